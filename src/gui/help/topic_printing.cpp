#include "gui/help/topic_printing.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>
#include <QTextDocument>

namespace kelvo::gui {

void PreparePrinter(QPrinter& printer, const QString& topicName)
{
    printer.setDocName(topicName);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        const QDir folder = documents.exists() ? documents : QDir::home();
        printer.setOutputFileName(folder.filePath(topicName + QStringLiteral(".pdf")));
    }
}

QString PrintDocument(const QTextDocument& document, QPrinter& printer)
{
    const QString file = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    document.print(&printer);
    if (printer.printerState() == QPrinter::Error)
        return file.isEmpty() ? QObject::tr("the printer %1 reported an error").arg(printer.printerName())
                              : QObject::tr("%1 could not be written").arg(file);
    if (!file.isEmpty() && QFileInfo(file).size() <= 0)
        return QObject::tr("%1 could not be written").arg(file);
    return {};
}

} // namespace kelvo::gui
