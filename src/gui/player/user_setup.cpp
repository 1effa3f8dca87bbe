#include "gui/player/user_setup.h"

#include "core/player/playlist.h"
#include "core/runtime/program_folder.h"
#include "core/settings/settings_files.h"
#include "gui/dialogs/list_box.h"
#include "gui/panels/signal_keys.h"
#include "gui/ui/elided_label.h"
#include "gui/ui/lamp.h"
#include "gui/ui/value_name.h"

#include <QFile>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace kelvo::gui {
namespace {

constexpr std::chrono::milliseconds kClockTick{60};
const QString kWaveFilter = QStringLiteral("Wav Files|*.wav;");
const ListFileKind kPlaylists{QStringLiteral("Playlist Files|*.lst;"), "playlist", LoadPlaylistList, SavePlaylistList};

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

// Paths as the file system names them, as the file dialogs hand them over.
QString PathText(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

UserSetup::UserSetup(Oscillator& oscillator, FileDialogs& fileDialogs, QWidget* parent)
    : SetupDialog(oscillator, QStringLiteral("frmUserSetup"), QStringLiteral("USERFILE WAV PLAYER UTILITY"), parent)
    , m_fileDialogs(fileDialogs)
    , m_observing(oscillator, this)
{
    grid()->addWidget(buildList(), 0, 0, 2, 1);
    grid()->addLayout(buildKeys(), 0, 1);
    grid()->addWidget(buildInfo(), 1, 1);
    grid()->setColumnStretch(0, 1);

    // "X" silences whatever plays, as the main panel's OFF does, before the window hides.
    if (auto* close = findChild<KeyButton*>(QStringLiteral("Label3")))
        connect(close, &KeyButton::clicked, this, [this] { this->oscillator().stopSignal(); });

    m_playlist->setFullText(PathText(ProgramFile(oscillator.folder(), kPlaylistFile).string()));
    m_tick = new QTimer(this);
    m_tick->setInterval(kClockTick);
    connect(m_tick, &QTimer::timeout, this, [this] {
        this->oscillator().player().tick();
        m_elapsed->setText(Text(this->oscillator().player().elapsed()));
    });
    m_tick->start();
    refill();
    panelChanged(oscillator.view());
}

QWidget* UserSetup::buildList()
{
    auto* column = new QWidget(face());
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    m_list = MakeDataList(column, QStringLiteral("List1"), tr("Playlist"));
    m_list->setMinimumSize(300, 260);
    for (int row = 0; row < kPlaylistEntries; ++row)
        m_list->addItem(QString());
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::currentRowChanged, this, &UserSetup::rowChosen);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { play(); });
    layout->addWidget(m_list, 1);

    m_selection = new QLabel(column);
    m_selection->setObjectName(QStringLiteral("Label1"));
    HoldWidest(m_selection, {Text(SelectionText(kLastPlaylistEntry))});
    m_path = new ElidedLabel(column);
    m_path->setObjectName(QStringLiteral("lblCut"));
    NameByCaption(*m_path, tr("File of the selected entry"));
    m_playlist = new ElidedLabel(column);
    m_playlist->setObjectName(QStringLiteral("lblPlaylist"));
    NameByCaption(*m_playlist, tr("Playlist file"));
    for (QLabel* label : std::initializer_list<QLabel*>{m_selection, m_path, m_playlist}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label);
    }
    return column;
}

QLayout* UserSetup::buildKeys()
{
    auto* keys = new QGridLayout;
    const struct {
        const char* name;
        QString caption;
        void (UserSetup::*action)();
        QString tip;
    } table[] = {
        {"cmdLoadWAV", QStringLiteral("LOAD FILE"), &UserSetup::loadFile, tr("Put a wave file into the selected entry")},
        {"cmdClrWAV", QStringLiteral("CLR FILE"), &UserSetup::clearFile, tr("Empty the selected entry")},
        {"cmdLoadList", QStringLiteral("LOAD LIST"), &UserSetup::loadList, tr("Load a playlist")},
        {"cmdSaveList", QStringLiteral("SAVE LIST"), &UserSetup::saveList, tr("Save the playlist")},
        {"cmdClrList", QStringLiteral("CLR LIST"), &UserSetup::clearList, tr("Empty every entry")},
        {"cmdPlay", QStringLiteral("PLAY"), &UserSetup::play, tr("Play the selected entry in a loop (Enter)")},
    };
    int row = 0;
    for (const auto& key : table)
        keys->addWidget(
            MakeKey(
                face(), QString::fromLatin1(key.name), key.caption, [this, action = key.action] { (this->*action)(); }, key.tip),
            row++, 0, 1, 2);
    keys->addWidget(MakeKey(
                        face(), QStringLiteral("cmdStop"), QStringLiteral("STOP"), [this] { oscillator().stopUserFile(); },
                        tr("Stop the file")),
                    row++, 0, 1, 2);
    m_led = new Lamp(face());
    m_led->setObjectName(QStringLiteral("lblPlayLED"));
    m_led->setAccessibleName(tr("Playing"));
    keys->addWidget(new QLabel(tr("PLAYING"), face()), row, 0);
    keys->addWidget(m_led, row++, 1, Qt::AlignCenter);
    QWidget* arb = MakeKey(
        face(), QStringLiteral("cmdArb"), QStringLiteral("ARB GEN"), [this] { Q_EMIT arbRequested(); },
        tr("Open the arbitrary wave editor"));
    keys->addWidget(arb, row++, 0, 1, 2);
    keys->setRowStretch(row, 1);
    return keys;
}

QWidget* UserSetup::buildInfo()
{
    QGridLayout* info = nullptr;
    QWidget* group = MakeGroup(face(), tr("FILE"), info);
    const struct {
        const char* name;
        QString caption;
        QLabel* UserSetup::*label;
    } table[] = {
        {"Label33", tr("Type"), &UserSetup::m_type},       {"Label19", tr("Channels"), &UserSetup::m_channels},
        {"Label20", tr("Resolution"), &UserSetup::m_bits}, {"Label21", tr("Sample rate"), &UserSetup::m_rate},
        {"Label34", tr("Size"), &UserSetup::m_size},       {"Label16", tr("Duration"), &UserSetup::m_duration},
        {"Label17", tr("Elapsed"), &UserSetup::m_elapsed},
    };
    int row = 0;
    for (const auto& entry : table) {
        auto* label = MakeDisplay(group, QString::fromLatin1(entry.name), "small");
        NameByCaption(*label, entry.caption);
        // All as wide as the widest text any of them shows.
        HoldWidest(label, {QStringLiteral("4294967295 bytes")});
        info->addWidget(MakeUnit(group, entry.caption), row, 0);
        info->addWidget(label, row++, 1);
        this->*entry.label = label;
    }
    return group;
}

void UserSetup::refill()
{
    SetupDialog::refill();
    refreshList();
    const QSignalBlocker quiet(m_list);
    m_list->setCurrentRow(SelectedEntry(oscillator().settings()));
    showSelection();
}

bool UserSetup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            play();
            return true;
        }
    }
    return SetupDialog::eventFilter(watched, event);
}

void UserSetup::panelChanged(const PanelView& view)
{
    m_led->setColor(LampColour(LampSite::User, view.signal));
    showPlayer();
}

void UserSetup::refreshList()
{
    SignalSettings& settings = oscillator().settings();
    NameEmptyEntries(settings);
    // The rows are rewritten in place, so the highlighted row stays where it was.
    for (int row = 0; row < kPlaylistEntries; ++row)
        m_list->item(row)->setText(Text(PlaylistRow(settings, row)));
}

void UserSetup::showSelection()
{
    const SignalSettings& settings = oscillator().settings();
    m_selection->setText(Text(SelectionText(SelectedEntry(settings))));
    m_path->setFullText(PathText(settings.PlaylistPath[static_cast<std::size_t>(SelectedEntry(settings))]));
}

void UserSetup::showPlayer()
{
    const UserPlayer& player = oscillator().player();
    const WaveInfo& info = player.info();
    m_type->setText(Text(info.type));
    m_channels->setText(Text(info.channels));
    m_bits->setText(Text(info.bits));
    m_rate->setText(Text(info.rate));
    m_size->setText(Text(info.size));
    m_duration->setText(Text(info.duration));
    m_elapsed->setText(Text(player.elapsed()));
}

void UserSetup::rowChosen(int row)
{
    if (row < 0)
        return;
    oscillator().settings().PlaylistSel = row;
    showSelection();
}

void UserSetup::play()
{
    rowChosen(m_list->currentRow());
    oscillator().playUserFile();
}

void UserSetup::loadFile()
{
    refreshList();
    const auto chosen = m_fileDialogs.openFile(this, kWaveFilter);
    if (!chosen)
        return;
    if (const std::string refusal = LoadPlaylistEntry(oscillator().settings(), LocalPath(*chosen)); !refusal.empty())
        oscillator().messages().show(refusal);
    refreshList();
    showSelection();
}

void UserSetup::clearFile()
{
    ClearPlaylistEntry(oscillator().settings());
    refreshList();
    showSelection();
}

void UserSetup::loadList()
{
    if (const auto file = LoadListFile(this, oscillator(), m_fileDialogs, kPlaylists)) {
        refreshList();
        showSelection();
        m_playlist->setFullText(PathText(file->string()));
    }
}

void UserSetup::saveList()
{
    if (const auto file = SaveListFile(this, oscillator(), m_fileDialogs, kPlaylists, [] {}))
        m_playlist->setFullText(PathText(file->string()));
}

void UserSetup::clearList()
{
    ClearPlaylist(oscillator().settings());
    refreshList();
    m_playlist->setFullText({});
    m_path->setFullText({});
}

} // namespace kelvo::gui
