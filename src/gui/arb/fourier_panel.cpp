#include "gui/arb/fourier_panel.h"

#include "core/arb/harmonic_sets.h"
#include "core/settings/entry_rules.h"
#include "core/settings/settings_files.h"
#include "gui/dialogs/list_box.h"
#include "gui/panels/panel_parts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace kelvo::gui {
namespace {

const ListFileKind kFourierFiles{QStringLiteral("Fourier Sequence File|*.for;"), "Fourier sequence file", LoadFourierList,
                                 SaveFourierList};

const FieldInfo& AmplitudeField()
{
    return *FindField("FourierAmp");
}

struct PresetKey {
    const char* objectName;
    const char* caption;
    PresetShape shape;
};

constexpr PresetKey kPresetKeys[] = {
    {"cmdPreloadSine", "SINE", PresetShape::Sine},
    {"cmdPreloadSq", "SQUARE", PresetShape::Square},
    {"cmdPreloadHaversine", "HV.SINE", PresetShape::Haversine},
    {"cmdPreloadGauss", "GAUSS", PresetShape::Gauss},
};

} // namespace

FourierPanel::FourierPanel(Oscillator& oscillator, FileDialogs& fileDialogs, std::function<void(const CurveRows&)> draw,
                           std::function<void(const QString&)> status, QWidget* parent)
    : QWidget(parent)
    , m_oscillator(oscillator)
    , m_fileDialogs(fileDialogs)
    , m_draw(std::move(draw))
    , m_status(std::move(status))
{
    // Narrow boxes: 24 of them sit under the viewport.
    setStyleSheet(QStringLiteral("QLineEdit { min-width: 3.5em; max-width: 4.5em; font-size: 10pt; }"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    auto* presets = new QHBoxLayout;
    for (const PresetKey& key : kPresetKeys)
        presets->addWidget(MakeKey(this, QString::fromLatin1(key.objectName), QString::fromLatin1(key.caption),
                                   [this, shape = key.shape] { preset(shape); }));
    presets->addWidget(MakeKey(
        this, QStringLiteral("cmdPreloadFourier"), QStringLiteral("LOAD FOURIER"), [this] { loadFourier(); },
        tr("Draw the sum of the harmonics")));
    column->addLayout(presets);

    auto* boxes = new QGridLayout;
    boxes->setHorizontalSpacing(4);
    boxes->setVerticalSpacing(2);
    for (int n = 1; n <= kFourierCount; ++n) {
        const QString label = QStringLiteral("Fr x %1").arg(n);
        auto* caption = new QLabel(label, this);
        caption->setProperty("kind", "unit");
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("txtFourier(%1)").arg(n));
        box->setAccessibleName(label);
        caption->setBuddy(box);
        const int row = (n - 1) / 6;
        const int col = (n - 1) % 6;
        boxes->addWidget(caption, row, 2 * col);
        boxes->addWidget(box, row, 2 * col + 1);
        connect(box, &QLineEdit::textChanged, this,
                [this, n](const QString& text) { TakeEntry(m_oscillator.settings(), AmplitudeField(), text.toStdString(), n); });
        m_boxes[static_cast<std::size_t>(n - 1)] = box;
    }
    column->addLayout(boxes);

    auto* sets = new QHBoxLayout;
    sets->addWidget(MakeKey(
        this, QStringLiteral("cmdClrFourier"), QStringLiteral("C"), [this] { clearAmplitudes(); }, tr("All amplitudes to 0")));
    const auto named = HarmonicSets();
    for (int k = 1; k <= static_cast<int>(named.size()); ++k) {
        const HarmonicSet& set = named[static_cast<std::size_t>(k - 1)];
        KeyButton* key = MakeKey(
            this, QStringLiteral("cmdPreLoadFourierSeq(%1)").arg(k),
            QString::fromUtf8(set.caption.data(), static_cast<int>(set.caption.size())), [this, k] { namedSet(k); },
            QString::fromUtf8(set.name.data(), static_cast<int>(set.name.size())));
        sets->addWidget(key);
    }
    sets->addSpacing(12);
    sets->addWidget(MakeKey(
        this, QStringLiteral("cmdLoadFourier"), QStringLiteral("Load"), [this] { loadFile(); },
        tr("Load a Fourier sequence file")));
    sets->addWidget(MakeKey(
        this, QStringLiteral("cmdSaveFourier"), QStringLiteral("Save"), [this] { saveFile(); },
        tr("Save the amplitudes as a Fourier sequence file")));
    column->addLayout(sets);
}

void FourierPanel::refill()
{
    for (int n = 1; n <= kFourierCount; ++n) {
        QLineEdit* box = m_boxes[static_cast<std::size_t>(n - 1)];
        // The record already holds what the box shows.
        const QSignalBlocker quiet(box);
        box->setText(QString::fromStdString(EntryText(m_oscillator.settings(), AmplitudeField(), n)));
    }
}

void FourierPanel::preset(PresetShape shape)
{
    const SignalSettings& s = m_oscillator.settings();
    m_draw(PresetCurve(shape, s.ArbPercent, s.ArbCycles));
}

void FourierPanel::takeBoxes()
{
    for (int n = 1; n <= kFourierCount; ++n)
        TakeEntry(m_oscillator.settings(), AmplitudeField(), m_boxes[static_cast<std::size_t>(n - 1)]->text().toStdString(), n);
}

void FourierPanel::loadFourier()
{
    takeBoxes();
    const SignalSettings& s = m_oscillator.settings();
    m_draw(FourierCurve(s.FourierAmp, s.ArbPercent, s.ArbCycles));
}

void FourierPanel::clearAmplitudes()
{
    for (int n = 1; n <= kFourierCount; ++n)
        m_oscillator.settings().FourierAmp[static_cast<std::size_t>(n)] = 0;
    refill();
}

void FourierPanel::namedSet(int index)
{
    const HarmonicSet& set = HarmonicSets()[static_cast<std::size_t>(index - 1)];
    ApplyHarmonicSet(m_oscillator.settings(), set);
    m_status(QString::fromUtf8(set.name.data(), static_cast<int>(set.name.size())));
    refill();
    loadFourier();
}

void FourierPanel::loadFile()
{
    // Nothing is drawn: LOAD FOURIER synthesises what was loaded.
    if (LoadListFile(this, m_oscillator, m_fileDialogs, kFourierFiles))
        refill();
}

void FourierPanel::saveFile()
{
    SaveListFile(this, m_oscillator, m_fileDialogs, kFourierFiles, [this] { takeBoxes(); });
}

} // namespace kelvo::gui
