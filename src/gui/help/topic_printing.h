#pragma once

#include <QString>

class QPrinter;
class QTextDocument;

namespace kelvo::gui {

// Names the print job after the topic. With no printer installed the job goes to a PDF
// file named after the topic in the user's documents folder (or home folder), which the
// print dialog then offers.
void PreparePrinter(QPrinter& printer, const QString& topicName);

// Prints the whole document once; returns what went wrong, empty on success.
QString PrintDocument(const QTextDocument& document, QPrinter& printer);

} // namespace kelvo::gui
