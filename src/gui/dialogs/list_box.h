#pragma once

#include "core/oscillator/oscillator.h"
#include "core/settings/settings_files.h"
#include "gui/ui/file_dialogs.h"

#include <QString>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QListWidget;
class QPlainTextEdit;
class QWidget;

namespace kelvo::gui {

// The multi-line box of a list setup (user steps, multitone frequencies): named
// `objectName`, read aloud as `label`, with a vertical scroll bar.
QPlainTextEdit* MakeListBox(QWidget* parent, const QString& objectName, const QString& label);

// A list of values to pick from (a playlist, a table's raw data) with the look of the list
// boxes: named `objectName`, read aloud as `label`.
QListWidget* MakeDataList(QWidget* parent, const QString& objectName, const QString& label);

// Replaces the box's text with a list text (lines ended by CR LF); it never appends.
void FillListBox(QPlainTextEdit& box, const std::string& text);
// The box's text as the list parsers take it.
std::string ListBoxText(const QPlainTextEdit& box);

// A path the file dialogs returned, as the file system names it.
std::filesystem::path LocalPath(const QString& path);

// A kind of user list file and the layout it is read and written with.
struct ListFileKind {
    QString filter;   // as the file dialogs take it: "User step list|*.usl;"
    std::string what; // for messages: "user step list"
    ListFileLoad (*load)(SignalSettings&, const std::filesystem::path&);
    std::string (*save)(const SignalSettings&, const std::filesystem::path&);
};

// Asks for a list file and loads it into the record. A cancel changes nothing and shows
// nothing; a file that cannot be read changes nothing and is shown with its reason; a
// damaged one loads what it holds and says so. The file, when the record took it.
std::optional<std::filesystem::path> LoadListFile(QWidget* parent, Oscillator& oscillator, FileDialogs& dialogs,
                                                  const ListFileKind& kind);

// Asks for a file name; once one is chosen, `store` takes the box into the record and the
// list is written. A failed write is shown with its reason. The file, when it was written.
std::optional<std::filesystem::path> SaveListFile(QWidget* parent, Oscillator& oscillator, FileDialogs& dialogs,
                                                  const ListFileKind& kind, const std::function<void()>& store);

} // namespace kelvo::gui
