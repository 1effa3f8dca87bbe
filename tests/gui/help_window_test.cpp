#include "core/help/help_topics.h"
#include "core/help/rtf_bounds.h"
#include "gui/help/help_window.h"
#include "gui_rig.h"
#include "kelvo_config.h"

#include <QAccessible>
#include <QListWidget>
#include <QMenu>
#include <QPrinter>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextEdit>

namespace kelvo::test {
namespace {

// The help window over a program folder that holds the shipped topics.
struct HelpRig {
    HelpRig()
    {
        EXPECT_EQ(CopyMissingHelpTopics(KELVO_SOURCE_HELPDIR, folder.path()), "");
        window.open();
    }

    QListWidget& list() { return Child<QListWidget>(window, QStringLiteral("List1")); }
    QTextEdit& view() { return Child<QTextEdit>(window, QStringLiteral("rtb1")); }
    QString text() { return view().toPlainText(); }
    QString status() { return window.statusBar()->currentMessage(); }
    void choose(int row)
    {
        QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, list().visualItemRect(list().item(row)).center());
        QApplication::processEvents();
    }

    TempFolder folder;
    gui::HelpWindow window{folder.path()};
};

TEST(HelpWindow, TheHelpButtonOpensWelcomeAndExitClosesTheViewer)
{
    TempFolder folder;
    GuiRig rig(folder.path());
    ASSERT_EQ(CopyMissingHelpTopics(KELVO_SOURCE_HELPDIR, folder.path()), "");
    Click(rig.main(), QStringLiteral("lblHelp"));
    gui::HelpWindow& help = rig.desktop.help();
    ASSERT_TRUE(help.isVisible());
    EXPECT_EQ(help.accessibleName(), QStringLiteral(" Help"));
    auto& list = Child<QListWidget>(help, QStringLiteral("List1"));
    EXPECT_EQ(list.count(), 3);
    EXPECT_FALSE(list.accessibleName().isEmpty());
    auto& view = Child<QTextEdit>(help, QStringLiteral("rtb1"));
    EXPECT_FALSE(view.accessibleName().isEmpty());
    EXPECT_TRUE(view.toPlainText().startsWith(QStringLiteral("Welcome to Kelvo\n")));
    Click(rig.main(), QStringLiteral("lblExit"));
    EXPECT_FALSE(help.isVisible());
}

// A chosen topic shows from its start, even chosen again; one that cannot be read leaves the
// view as it was and says why; one huge word shows as much as the view takes, and says so.
TEST(HelpWindow, ChoosingATopicShowsItsStartOrSaysWhyNot)
{
    HelpRig rig;
    rig.choose(2);
    EXPECT_TRUE(rig.text().startsWith(QStringLiteral("Sound Card Interfacing\n")));
    rig.view().moveCursor(QTextCursor::End);
    QApplication::processEvents();
    ASSERT_GT(rig.view().verticalScrollBar()->value(), 0);
    rig.choose(2);
    EXPECT_EQ(rig.view().textCursor().position(), 0);
    EXPECT_EQ(rig.view().verticalScrollBar()->value(), 0);

    WriteFile(rig.folder / "help.rtf", "plain text, not rich text");
    const QString shown = rig.text();
    rig.choose(1);
    EXPECT_EQ(rig.text(), shown);
    EXPECT_TRUE(rig.status().contains(QStringLiteral("help.rtf\" is not an RTF file"))) << rig.status().toStdString();
    rig.choose(0);
    EXPECT_TRUE(rig.status().isEmpty());

    WriteFile(rig.folder / "help.rtf", "{\\rtf1 " + std::string(300'000, 'x') + "}");
    rig.choose(1);
    QString huge = rig.text().remove(QChar(0x200B)).remove(QLatin1Char('\n'));
    ASSERT_TRUE(huge.endsWith(QString::fromUtf8(kRtfCutNote.data(), static_cast<qsizetype>(kRtfCutNote.size()))));
    huge.truncate(huge.indexOf(QLatin1Char('[')));
    EXPECT_GT(huge.size(), 100'000);
    EXPECT_EQ(huge, QString(huge.size(), QLatin1Char('x')));
}

TEST(HelpWindow, PrintTopicWritesTheWholeTopicToAPdfAndSaysWhenItCannot)
{
    HelpRig rig;
    rig.choose(2);
    QTextCursor selection = rig.view().textCursor();
    selection.setPosition(10, QTextCursor::KeepAnchor); // a selection is not what prints
    rig.view().setTextCursor(selection);
    const auto print = [&](const std::filesystem::path& pdf) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        return rig.window.printTopic(printer);
    };
    EXPECT_TRUE(print(rig.folder / "topic.pdf"));
    EXPECT_TRUE(rig.status().contains(QString::fromStdString((rig.folder / "topic.pdf").string())));
    const ShellResult text = RunShell("pdftotext -enc UTF-8 " + ShellQuoted(rig.folder / "topic.pdf") + " -");
    EXPECT_NE(text.output.find("Picking the output device"), std::string::npos) << "beyond the selection";
    EXPECT_FALSE(print(rig.folder / "no such folder" / "topic.pdf"));
    EXPECT_TRUE(rig.status().startsWith(QStringLiteral("The topic was not printed")));
}

// A screen reader meets the topic as read-only text it can move the caret through, and the
// view's context menu under the window while it is open.
TEST(HelpWindow, AScreenReaderReadsTheTopicAsADocumentAndFindsItsContextMenu)
{
    HelpRig rig;
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(&rig.view());
    EXPECT_EQ(view->role(), QAccessible::EditableText);
    EXPECT_TRUE(view->state().readOnly);
    QAccessibleTextInterface* text = view->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->text(0, text->characterCount()).startsWith(QStringLiteral("Welcome to Kelvo")));
    text->setCursorPosition(8);
    EXPECT_EQ(rig.view().textCursor().position(), 8);

    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&rig.window);
    const auto menus = [window] {
        QStringList found;
        for (int i = 0; i < window->childCount(); ++i) {
            QAccessibleInterface* child = window->child(i);
            if (child->role() == QAccessible::PopupMenu && window->indexOfChild(child) == i)
                found << child->child(0)->text(QAccessible::Name);
        }
        return found;
    };
    EXPECT_EQ(menus(), QStringList());
    Q_EMIT rig.view().customContextMenuRequested(QPoint(5, 5));
    EXPECT_EQ(menus(), QStringList({"Copy"}));
    rig.window.popup()->hide();
    EXPECT_EQ(menus(), QStringList());
}

} // namespace
} // namespace kelvo::test
