#include "gui/panels/panel_parts.h"

#include "gui/ui/value_name.h"

#include <QGridLayout>
#include <QRegularExpression>
#include <QStackedLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace kelvo::gui {

QString PanelStyleSheet()
{
    return QStringLiteral(R"(
        QWidget#Main, QWidget#Remote { background: #17191d; color: #d8dce2; }
        QFrame[kind="group"] { background: #22262c; border: 1px solid #33383f; border-radius: 6px; }
        QLabel[kind="group-title"] { color: #8a929c; font-size: 8pt; font-weight: bold; letter-spacing: 1px;
                                     background: transparent; border: none; }
        QPushButton[kind="key"] { background: #3a3f47; color: #eef0f3; border: 1px solid #4a5059;
                                  border-radius: 4px; padding: 3px 7px; font-weight: bold; }
        QPushButton[kind="key"]:hover { background: #55606c; border-color: #ffb000; }
        QPushButton[kind="key"]:pressed { background: #2c3036; }
        QPushButton[kind="key-on"] { background: #5a1e1e; color: #ffd9d9; border: 1px solid #8a3030;
                                     border-radius: 4px; padding: 3px 10px; font-weight: bold; }
        QPushButton[kind="key-on"]:hover { background: #7a2a2a; }
        *[kind="big"], *[kind="name"], *[kind="value"], *[kind="small"] {
            background: #070a08; color: #7dffa8; border: 1px solid #26302a; border-radius: 3px;
            padding: 2px 6px; font-family: "DejaVu Sans Mono", monospace; }
        *[kind="big"] { font-size: 17pt; font-weight: bold; }
        *[kind="name"] { font-size: 13pt; font-weight: bold; }
        *[kind="value"] { font-size: 12pt; }
        *[kind="small"] { font-size: 9pt; color: #b9f7cc; }
        QPushButton[kind="big"]:hover, QPushButton[kind="value"]:hover { border-color: #3f6b4d; }
        QPushButton#lblFreq { text-align: right; }
        QLabel[kind="unit"] { color: #8a929c; background: transparent; }
        QLabel[kind="status"] { color: #ffcf66; background: transparent; }
        QLineEdit { background: #0d1a12; color: #ffffff; border: 1px solid #ffb000; border-radius: 3px;
                    font-family: "DejaVu Sans Mono", monospace; font-size: 12pt; selection-background-color: #805800; }
        QWidget[kind="face"] { background: transparent; }
    )");
}

KeyButton* MakeKey(QWidget* parent, const QString& objectName, const QString& caption, std::function<void()> action,
                   const QString& toolTip, const QString& accessibleName)
{
    auto* key = new KeyButton(caption, parent);
    key->setObjectName(objectName);
    key->setProperty("kind", "key");
    key->setToolTip(toolTip);
    if (!accessibleName.isEmpty()) {
        key->setAccessibleName(accessibleName);
    } else if (!caption.contains(QRegularExpression(QStringLiteral("\\w")))) {
        // A symbol says nothing read aloud: such a key is named by its hint, less the key name.
        key->setAccessibleName(QString(toolTip).remove(QRegularExpression(QStringLiteral(" \\(.*\\)$"))));
    }
    QObject::connect(key, &KeyButton::clicked, parent, std::move(action));
    return key;
}

QLabel* MakeDisplay(QWidget* parent, const QString& objectName, const char* kind)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setProperty("kind", kind);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QLabel* MakeUnit(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setProperty("kind", "unit");
    return label;
}

QWidget* MakeGroup(QWidget* parent, const QString& title, QGridLayout*& grid)
{
    auto* group = new QFrame(parent);
    group->setProperty("kind", "group");
    group->setAccessibleName(title);
    auto* column = new QVBoxLayout(group);
    column->setContentsMargins(8, 5, 8, 8);
    column->setSpacing(4);
    auto* caption = new QLabel(title, group);
    caption->setProperty("kind", "group-title");
    column->addWidget(caption);
    grid = new QGridLayout;
    grid->setSpacing(4);
    column->addLayout(grid);
    column->addStretch(1);
    return group;
}

QStringList LevelCaptions()
{
    // Calibrated levels below -100 are rare enough to be held to the width of the dB captions.
    return {QStringLiteral("-199.99 dB"), QStringLiteral("-99.9 dBFS"), QStringLiteral("-99.9 dBu"),
            QStringLiteral("-99.9 dBV"),  QStringLiteral("999.9 mV"),   QStringLiteral("99.99 mVpp")};
}

void HoldWidest(QWidget* widget, const QStringList& texts)
{
    // The style sheet sets the font, so the metrics are right only once it is applied.
    widget->ensurePolished();
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, widget->fontMetrics().horizontalAdvance(text));
    // Room for the padding and the border of the display's style.
    widget->setFixedWidth(widest + 20);
}

EntryField::EntryField(QWidget* parent, const QString& labelName, const QString& boxName, const char* kind, const QString& holds)
    : m_container(new QWidget(parent))
    , m_label(new KeyButton(QString(), m_container))
    , m_box(new EntryBox(m_container))
    , m_holds(holds)
{
    m_label->setObjectName(labelName);
    m_label->setProperty("kind", kind);
    m_label->setAccessibleName(holds);
    m_box->setObjectName(boxName);
    m_box->setAccessibleName(holds);
    auto* stack = new QStackedLayout(m_container);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(m_label);
    stack->addWidget(m_box);
    setEditable(true);
}

void EntryField::setText(const QString& text)
{
    m_label->setText(text);
    m_label->setAccessibleName(ValueName(m_holds, text));
}

void EntryField::setEditable(bool editable)
{
    m_editable = editable;
    m_label->setCursor(editable ? Qt::IBeamCursor : Qt::ArrowCursor);
    m_label->setToolTip(editable ? QObject::tr("Click to type a value, Enter to take it") : QString());
}

void EntryField::open(const QString& text)
{
    static_cast<QStackedLayout*>(m_container->layout())->setCurrentWidget(m_box);
    m_box->open(text);
}

void EntryField::close()
{
    static_cast<QStackedLayout*>(m_container->layout())->setCurrentWidget(m_label);
}

void EntryField::connect(std::function<void()> clicked, std::function<void(const QString&)> entered)
{
    QObject::connect(m_label, &KeyButton::clicked, m_container, [this, clicked = std::move(clicked)] {
        if (m_editable)
            clicked();
    });
    QObject::connect(m_box, &EntryBox::entered, m_container, [this, entered = std::move(entered)](const QString& text) {
        close();
        // The window takes the focus back, so its shortcuts work again.
        m_container->window()->setFocus(Qt::OtherFocusReason);
        entered(text);
    });
}

} // namespace kelvo::gui
