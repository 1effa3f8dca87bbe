#include "gui/ui/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace kelvo::gui {
namespace {

std::optional<QString> Chosen(const QString& path)
{
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

} // namespace

QString QtFileFilter(const QString& filter)
{
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return filter;
    const QString description = filter.left(bar);
    QStringList patterns = filter.mid(bar + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

void StartFolders::chosen(const QString& filter, const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!folder.isEmpty())
        m_last.insert(filter, folder);
}

std::optional<QString> SystemFileDialogs::remembered(const QString& filter, const QString& path)
{
    const std::optional<QString> chosen = Chosen(path);
    if (chosen)
        m_folders.chosen(filter, *chosen);
    return chosen;
}

std::optional<QString> SystemFileDialogs::openFile(QWidget* parent, const QString& filter)
{
    return remembered(filter, QFileDialog::getOpenFileName(parent, QString(), m_folders.startFor(filter), QtFileFilter(filter)));
}

std::optional<QString> SystemFileDialogs::saveFile(QWidget* parent, const QString& filter)
{
    // Qt adds no suffix unless asked to; a name typed without one is used as typed.
    return remembered(filter, QFileDialog::getSaveFileName(parent, QString(), m_folders.startFor(filter), QtFileFilter(filter)));
}

} // namespace kelvo::gui
