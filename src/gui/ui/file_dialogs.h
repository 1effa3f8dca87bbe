#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace kelvo::gui {

// The one way every window asks the user for a file. A filter is given as the program
// writes it, "description|pattern;" (such as "User step list|*.usl;"). The dialog starts
// with no name, opens only existing files, adds no extension to a typed name, and never
// touches a file itself. The answer is the chosen path, or nothing for a cancel (an empty
// name counts as a cancel). Tests install their own answers.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<QString> openFile(QWidget* parent, const QString& filter) = 0;
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& filter) = 0;
};

// The platform's dialogs, through QFileDialog.
class SystemFileDialogs final : public FileDialogs {
public:
    std::optional<QString> openFile(QWidget* parent, const QString& filter) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& filter) override;
};

// "User step list|*.usl;" as Qt writes a filter: "User step list (*.usl)".
QString QtFileFilter(const QString& filter);

} // namespace kelvo::gui
