#include "gui/runtime/guarded_application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The window tests never need, and must never use, a real display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    kelvo::gui::GuardedApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
