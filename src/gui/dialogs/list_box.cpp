#include "gui/dialogs/list_box.h"

#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>

namespace kelvo::gui {

std::filesystem::path LocalPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QPlainTextEdit* MakeListBox(QWidget* parent, const QString& objectName, const QString& label)
{
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(objectName);
    box->setAccessibleName(label);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setTabChangesFocus(true);
    box->setMinimumSize(200, 160);
    // The look of the entry boxes beside it.
    box->setStyleSheet(QStringLiteral(R"(
        QPlainTextEdit { background: #0d1a12; color: #ffffff; border: 1px solid #ffb000; border-radius: 3px;
                         font-family: "DejaVu Sans Mono", monospace; font-size: 11pt;
                         selection-background-color: #805800; }
        QScrollBar:vertical { background: #1a1e23; width: 12px; margin: 0; }
        QScrollBar::handle:vertical { background: #4a5059; min-height: 20px; border-radius: 4px; }
        QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }
    )"));
    return box;
}

QListWidget* MakeDataList(QWidget* parent, const QString& objectName, const QString& label)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(objectName);
    list->setAccessibleName(label);
    list->setUniformItemSizes(true);
    list->setStyleSheet(
        QStringLiteral("QListWidget { background: #0d1a12; color: #ffffff; font-family: \"DejaVu Sans Mono\", monospace; }"
                       "QListWidget::item:selected { background: #805800; }"));
    return list;
}

void FillListBox(QPlainTextEdit& box, const std::string& text)
{
    // Qt's text edits hold LF line ends only.
    box.setPlainText(QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

std::string ListBoxText(const QPlainTextEdit& box)
{
    return box.toPlainText().toStdString();
}

std::optional<std::filesystem::path> LoadListFile(QWidget* parent, Oscillator& oscillator, FileDialogs& dialogs,
                                                  const ListFileKind& kind)
{
    const auto chosen = dialogs.openFile(parent, kind.filter);
    if (!chosen)
        return std::nullopt;
    const std::filesystem::path file = LocalPath(*chosen);
    const ListFileLoad result = kind.load(oscillator.settings(), file);
    if (!result.read) {
        oscillator.messages().show("The " + kind.what + " was not loaded:\n" + result.problem + ".");
        return std::nullopt;
    }
    return file;
}

std::optional<std::filesystem::path> SaveListFile(QWidget* parent, Oscillator& oscillator, FileDialogs& dialogs,
                                                  const ListFileKind& kind, const std::function<void()>& store)
{
    const auto chosen = dialogs.saveFile(parent, kind.filter);
    if (!chosen)
        return std::nullopt;
    store();
    const std::filesystem::path file = LocalPath(*chosen);
    if (const std::string error = kind.save(oscillator.settings(), file); !error.empty()) {
        oscillator.messages().show("The " + kind.what + " was not saved:\n" + error + ".");
        return std::nullopt;
    }
    return file;
}

} // namespace kelvo::gui
