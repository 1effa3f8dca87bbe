#include "gui/runtime/guarded_application.h"

#include <QEvent>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <new>

namespace kelvo::test {
namespace {

// An event handler that runs out of memory, as a huge input met without a limit would.
class Hungry final : public QObject {
public:
    bool event(QEvent*) override { throw std::bad_alloc(); }
};

TEST(GuardedApplication, AFailedAllocationAbandonsTheActionWithAMessage)
{
    Hungry hungry;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&hungry, &event));
    int shown = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
            shown += box->text().contains(QStringLiteral("not enough memory")) ? 1 : 0;
            box->close();
        }
    }
    EXPECT_EQ(shown, 1);
}

} // namespace
} // namespace kelvo::test
