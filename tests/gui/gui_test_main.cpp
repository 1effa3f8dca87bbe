#include "gui/runtime/guarded_application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The window tests never need, and must never use, a real display. Two screens side by
    // side (gui/screens.json), 1280 x 800 the primary and 1600 x 1000, let them open windows
    // at either size.
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KELVO_TEST_SCREENS);
    ::testing::InitGoogleTest(&argc, argv);
    kelvo::gui::GuardedApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
