#include "gui/runtime/guarded_application.h"

#include <QMessageBox>

#include <cstdio>
#include <new>

namespace kelvo::gui {

GuardedApplication::GuardedApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        std::fputs("kelvo: not enough memory; the last action was abandoned\n", stderr);
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Kelvo"),
                                    QStringLiteral("There was not enough memory for the last action, so it was "
                                                   "abandoned. Everything else is as it was."),
                                    QMessageBox::Ok);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return false;
    }
}

} // namespace kelvo::gui
