#include "gui/ui/file_dialogs.h"

#include <QFileDialog>
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

std::optional<QString> SystemFileDialogs::openFile(QWidget* parent, const QString& filter)
{
    return Chosen(QFileDialog::getOpenFileName(parent, QString(), QString(), QtFileFilter(filter)));
}

std::optional<QString> SystemFileDialogs::saveFile(QWidget* parent, const QString& filter)
{
    // Qt adds no suffix unless asked to; a name typed without one is used as typed.
    return Chosen(QFileDialog::getSaveFileName(parent, QString(), QString(), QtFileFilter(filter)));
}

} // namespace kelvo::gui
