#include "gui/panels/panel_parts.h"

#include "oscillator/oscillator.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace kelvo::gui {

QString PanelStyleSheet()
{
    return QStringLiteral(R"(
        QWidget#Main, QWidget#Remote { background: #17191d; color: #d8dce2; }
        QFrame[kind="group"] { background: #22262c; border: 1px solid #33383f; border-radius: 6px; }
        QLabel[kind="group-title"] { color: #8a929c; font-size: 8pt; font-weight: bold; letter-spacing: 1px;
                                     background: transparent; border: none; }
        QLabel[kind="key"] { background: #3a3f47; color: #eef0f3; border: 1px solid #4a5059;
                             border-radius: 4px; padding: 3px 7px; font-weight: bold; }
        QLabel[kind="key"]:hover { background: #55606c; border-color: #ffb000; }
        QLabel[kind="key-on"] { background: #5a1e1e; color: #ffd9d9; border: 1px solid #8a3030;
                                border-radius: 4px; padding: 3px 10px; font-weight: bold; }
        QLabel[kind="key-on"]:hover { background: #7a2a2a; }
        QLabel[kind="big"], QLabel[kind="name"], QLabel[kind="value"], QLabel[kind="small"] {
            background: #070a08; color: #7dffa8; border: 1px solid #26302a; border-radius: 3px;
            padding: 2px 6px; font-family: "DejaVu Sans Mono", monospace; }
        QLabel[kind="big"] { font-size: 17pt; font-weight: bold; }
        QLabel[kind="name"] { font-size: 13pt; font-weight: bold; }
        QLabel[kind="value"] { font-size: 12pt; }
        QLabel[kind="small"] { font-size: 9pt; color: #b9f7cc; }
        QLabel[kind="big"]:hover, QLabel[kind="value"]:hover { border-color: #3f6b4d; }
        QLabel[kind="unit"] { color: #8a929c; background: transparent; }
        QLabel[kind="status"] { color: #ffcf66; background: transparent; }
        QLineEdit { background: #0d1a12; color: #ffffff; border: 1px solid #ffb000; border-radius: 3px;
                    font-family: "DejaVu Sans Mono", monospace; font-size: 12pt; selection-background-color: #805800; }
        QWidget[kind="face"] { background: transparent; }
    )");
}

ClickLabel* MakeKey(QWidget* parent, const QString& objectName, const QString& caption,
                    std::function<void()> action, const QString& toolTip)
{
    auto* key = new ClickLabel(caption, parent);
    key->setObjectName(objectName);
    key->setProperty("kind", "key");
    key->setToolTip(toolTip);
    QObject::connect(key, &ClickLabel::clicked, parent, std::move(action));
    return key;
}

ClickLabel* MakeDisplay(QWidget* parent, const QString& objectName, const char* kind)
{
    auto* label = new ClickLabel(QString(), parent);
    label->setObjectName(objectName);
    label->setProperty("kind", kind);
    label->setCursor(Qt::ArrowCursor);
    return label;
}

QLabel* MakeUnit(QWidget* parent, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setProperty("kind", "unit");
    return label;
}

QWidget* MakeGroupTitle(QWidget* parent, const QString& text)
{
    auto* title = new QLabel(text, parent);
    title->setProperty("kind", "group-title");
    return title;
}

QWidget* MakeGroup(QWidget* parent, const QString& title, QGridLayout*& grid)
{
    auto* group = new QFrame(parent);
    group->setProperty("kind", "group");
    auto* column = new QVBoxLayout(group);
    column->setContentsMargins(8, 5, 8, 8);
    column->setSpacing(4);
    column->addWidget(MakeGroupTitle(group, title));
    grid = new QGridLayout;
    grid->setSpacing(4);
    column->addLayout(grid);
    column->addStretch(1);
    return group;
}

int PanelKeyCode(const QKeyEvent* event)
{
    const int key = event->key();
    if (key >= Qt::Key_F1 && key <= Qt::Key_F10)
        return keys::F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return keys::Enter;
    case Qt::Key_Escape: return keys::Escape;
    case Qt::Key_Left: return keys::Left;
    case Qt::Key_Up: return keys::Up;
    case Qt::Key_Right: return keys::Right;
    case Qt::Key_Down: return keys::Down;
    default: return 0;
    }
}

EntryField::EntryField(QWidget* parent, const QString& labelName, const QString& boxName, const char* kind)
    : m_container(new QWidget(parent))
    , m_label(MakeDisplay(m_container, labelName, kind))
    , m_box(new EntryBox(m_container))
{
    m_label->setCursor(Qt::IBeamCursor);
    m_label->setToolTip(QObject::tr("Click to type a value, Enter to take it"));
    m_box->setObjectName(boxName);
    auto* stack = new QStackedLayout(m_container);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(m_label);
    stack->addWidget(m_box);
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
    QObject::connect(m_label, &ClickLabel::clicked, m_container, std::move(clicked));
    QObject::connect(m_box, &EntryBox::entered, m_container, [this, entered = std::move(entered)](const QString& text) {
        close();
        // The panel takes the focus back, so its shortcuts work again.
        m_container->window()->setFocus(Qt::OtherFocusReason);
        entered(text);
    });
}

} // namespace kelvo::gui
