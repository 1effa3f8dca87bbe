#pragma once

#include <QMap>
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

// Where a dialog for each kind of file (each filter) starts: in the folder of the last
// file of that kind chosen, else in the program folder.
class StartFolders {
public:
    explicit StartFolders(QString programFolder)
        : m_programFolder(std::move(programFolder))
    {
    }
    QString startFor(const QString& filter) const { return m_last.value(filter, m_programFolder); }
    void chosen(const QString& filter, const QString& path);

private:
    QString m_programFolder;
    QMap<QString, QString> m_last;
};

// The platform's dialogs, through QFileDialog, each starting where StartFolders says.
class SystemFileDialogs final : public FileDialogs {
public:
    explicit SystemFileDialogs(const QString& programFolder)
        : m_folders(programFolder)
    {
    }
    std::optional<QString> openFile(QWidget* parent, const QString& filter) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& filter) override;

private:
    std::optional<QString> remembered(const QString& filter, const QString& path);

    StartFolders m_folders;
};

// "User step list|*.usl;" as Qt writes a filter: "User step list (*.usl)".
QString QtFileFilter(const QString& filter);

} // namespace kelvo::gui
