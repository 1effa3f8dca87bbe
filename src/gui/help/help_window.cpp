#include "gui/help/help_window.h"

#include "core/help/help_topics.h"
#include "core/help/rtf_bounds.h"
#include "core/runtime/program_folder.h"
#include "gui/help/rtf_document_builder.h"
#include "gui/help/topic_printing.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <utility>

namespace kelvo::gui {
namespace {

constexpr int kMargin = 6;

// The view's font for text that names none.
QFont PlainFont()
{
    QFont plain(QStringLiteral("Times New Roman"), 8);
    plain.setStyleHint(QFont::Serif);
    return plain;
}

QString TopicName(int index)
{
    const std::string_view text = kHelpTopics[static_cast<std::size_t>(index)].listText;
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).trimmed();
}

// Qt leaves popup menus out of the accessibility tree; the viewer lists its context menu
// as its last child while the menu is open, so a screen reader finds it under the window.
class HelpAccessible final : public QAccessibleWidget {
public:
    explicit HelpAccessible(HelpWindow* window)
        : QAccessibleWidget(window, QAccessible::Window)
    {
    }

    int childCount() const override { return QAccessibleWidget::childCount() + (menuOpen() ? 1 : 0); }

    QAccessibleInterface* child(int index) const override
    {
        if (menuOpen() && index == QAccessibleWidget::childCount())
            return QAccessible::queryAccessibleInterface(help()->popup());
        return QAccessibleWidget::child(index);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (menuOpen() && child != nullptr && child->object() == help()->popup())
            return QAccessibleWidget::childCount();
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    HelpWindow* help() const { return static_cast<HelpWindow*>(widget()); }
    bool menuOpen() const { return help()->popup()->isVisible(); }
};

QAccessibleInterface* HelpFactory(const QString&, QObject* object)
{
    if (auto* help = qobject_cast<HelpWindow*>(object))
        return new HelpAccessible(help);
    return nullptr;
}

} // namespace

HelpWindow::HelpWindow(std::filesystem::path folder, QWidget* parent)
    : QMainWindow(parent)
    , m_folder(std::move(folder))
{
    // Before anything makes Qt build and keep the window's accessible interface.
    static const bool withItsMenu = (QAccessible::installFactory(&HelpFactory), true);
    Q_UNUSED(withItsMenu);
    setObjectName(QStringLiteral("Help"));
    setWindowTitle(QStringLiteral(" Help"));
    setAccessibleName(windowTitle());

    m_show = menuBar()->addAction(tr("Hide Topics"), this, &HelpWindow::toggleTopics);
    m_show->setObjectName(QStringLiteral("mnuShow"));
    QAction* print = menuBar()->addAction(tr("Print Topic"), this, &HelpWindow::printWithDialog);
    print->setObjectName(QStringLiteral("mnuPrint"));
    print->setShortcut(QKeySequence::Print);
    addAction(print);

    m_popup = new QMenu(tr("popup"), this);
    m_popup->setObjectName(QStringLiteral("mnupopup"));
    QAction* copy = m_popup->addAction(tr("Copy"), this, &HelpWindow::copySelection);
    copy->setObjectName(QStringLiteral("mnuCopy"));

    auto* face = new QWidget(this);
    auto* row = new QHBoxLayout(face);
    row->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    row->setSpacing(kMargin);
    m_list = new QListWidget(face);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setAccessibleName(tr("Topics"));
    for (const HelpTopic& topic : kHelpTopics)
        m_list->addItem(QString::fromUtf8(topic.listText.data(), static_cast<qsizetype>(topic.listText.size())));
    m_list->setFixedWidth(m_list->sizeHintForColumn(0) + 4 * m_list->frameWidth() + 2 * kMargin);
    m_list->viewport()->installEventFilter(this);
    row->addWidget(m_list);

    // A read-only text edit, not a browser, so that screen readers see a document they can
    // move through with the caret rather than a label.
    m_view = new QTextEdit(face);
    m_view->setObjectName(QStringLiteral("rtb1"));
    m_view->setAccessibleName(tr("Topic text"));
    m_view->setReadOnly(true);
    m_view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->document()->setDefaultFont(PlainFont());
    row->addWidget(m_view, 1);
    setCentralWidget(face);
    statusBar()->setObjectName(QStringLiteral("status"));

    connect(m_list, &QListWidget::currentRowChanged, this, &HelpWindow::showTopic);
    // A click on the topic already shown loads it afresh and goes back to its start.
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int row = m_list->row(item);
        if (row == m_topicAtPress)
            showTopic(row);
    });
    connect(m_view, &QWidget::customContextMenuRequested, this, &HelpWindow::showPopup);
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::open()
{
    if (!isVisible()) {
        m_view->document()->clear();
        m_shownTopic = -1;
        {
            const QSignalBlocker quiet(m_list);
            m_list->setCurrentRow(0);
        }
        statusBar()->clearMessage();
        showTopic(0);
        applyTopicsHidden();
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void HelpWindow::showTopic(int index)
{
    if (index < 0 || index >= static_cast<int>(kHelpTopics.size()))
        return;
    const auto& topic = kHelpTopics[static_cast<std::size_t>(index)];
    HelpTopicFile file = ReadHelpTopic(ProgramFile(m_folder, topic.fileName));
    if (!file.document) {
        statusBar()->showMessage(tr("%1 cannot be shown: %2").arg(TopicName(index), QString::fromStdString(file.error)));
        return;
    }
    // Any file must open at once, however long it is and however long its words.
    BoundRtfDocument(*file.document);
    // A fresh document: the one on show would be laid out again at every insertion.
    auto* document = new QTextDocument(m_view);
    document->setUndoRedoEnabled(false);
    document->setDefaultFont(PlainFont());
    FillTextDocument(*file.document, *document);
    m_view->setDocument(document);
    delete std::exchange(m_document, document);
    m_view->moveCursor(QTextCursor::Start);
    m_view->verticalScrollBar()->setValue(0);
    m_shownTopic = index;
    statusBar()->clearMessage();
}

void HelpWindow::toggleTopics()
{
    TopicsHidden = TopicsHidden == 1 ? 0 : 1;
    applyTopicsHidden();
}

// The list's row gives way to the view: the layout lets the view fill what the list leaves.
void HelpWindow::applyTopicsHidden()
{
    const bool hidden = TopicsHidden == 1;
    m_list->setVisible(!hidden);
    m_show->setText(hidden ? tr("Show Topics") : tr("Hide Topics"));
}

void HelpWindow::printWithDialog()
{
    QPrinter printer(QPrinter::HighResolution);
    const QString name = m_shownTopic >= 0 ? TopicName(m_shownTopic) : tr("Help");
    PreparePrinter(printer, name);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(tr("Print Topic"));
    if (dialog.exec() == QDialog::Accepted)
        printTopic(printer);
}

bool HelpWindow::printTopic(QPrinter& printer)
{
    // The whole topic is printed, whatever was selected.
    m_view->moveCursor(QTextCursor::Start);
    const QString error = PrintDocument(*m_view->document(), printer);
    if (!error.isEmpty()) {
        statusBar()->showMessage(tr("The topic was not printed: %1").arg(error));
        return false;
    }
    statusBar()->showMessage(printer.outputFileName().isEmpty()
                                 ? tr("The topic was sent to %1.").arg(printer.printerName())
                                 : tr("The topic was printed to %1.").arg(printer.outputFileName()));
    return true;
}

// Only a selection replaces what the clipboard holds.
void HelpWindow::copySelection()
{
    const QString text = m_view->textCursor().selection().toPlainText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void HelpWindow::showPopup(const QPoint& at)
{
    m_popup->popup(m_view->viewport()->mapToGlobal(at));
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::MouseButtonPress)
        m_topicAtPress = m_shownTopic;
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kelvo::gui
