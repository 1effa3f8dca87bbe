#include "gui/runtime/box_messages.h"

#include <QMessageBox>
#include <QString>

namespace kelvo::gui {

void BoxMessages::show(std::string_view text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Kelvo"),
                                QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), QMessageBox::Ok);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace kelvo::gui
