// Where the desktop opens its windows, at the two screen sizes of gui/screens.json.
#include "gui/ui/drag_strip.h"
#include "gui/ui/placement.h"
#include "gui_rig.h"

#include <QScreen>

namespace kelvo::test {
namespace {

using gui::WindowId;

QRect OnScreen(const QWidget& widget)
{
    return {widget.mapToGlobal(QPoint(0, 0)), widget.size()};
}

bool OnTop(const QWidget* window)
{
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

// Whether a window of `size` fits within `area` left or right of `keys`, or above or below them.
bool HasRoom(QSize size, const QRect& keys, const QRect& area)
{
    return size.width() <= keys.left() - area.left() || size.width() <= area.right() - keys.right() ||
           size.height() <= keys.top() - area.top() || size.height() <= area.bottom() - keys.bottom();
}

// Every window in `stack` (the bottom first) still shows enough of its strip to be dragged.
void ExpectEveryStripInSight(const std::vector<QWidget*>& stack, const std::string& when)
{
    for (auto lower = stack.begin(); lower != stack.end(); ++lower) {
        QRegion shown(OnScreen(*(*lower)->findChild<gui::DragStrip*>()));
        for (auto upper = lower + 1; upper != stack.end(); ++upper)
            shown -= (*upper)->frameGeometry();
        EXPECT_TRUE(std::any_of(shown.begin(), shown.end(), [](const QRect& piece) { return piece.width() >= 24; }))
            << (*lower)->objectName().toStdString() << " after " << when;
    }
}

// Every window opens wholly on the screen; where the screen has room for it clear of the
// front panel's ON, OFF, CFG SIG, CFG OSC and EXIT it leaves them uncovered; no two drag
// strips overlap; and with all the small windows open, each can still be picked up by its
// strip.
TEST(WindowPlacement, WindowsOpenOnTheScreenClearOfThePanelsKeysAndOfEachOthersStrips)
{
    // How many of the windows below have room clear of the keys at each size: all but the
    // editor (1012 px wide) at 1280 x 800.
    const struct {
        QSize screen;
        int roomy;
    } screens[] = {{{1280, 800}, 14}, {{1600, 1000}, 15}};
    // The small windows first: with all of them open, each must still show its strip.
    const WindowId windows[] = {
        WindowId::NoiseSetup, WindowId::BurstSetup, WindowId::PulseSetup, WindowId::ToneSetup, WindowId::WarbleSetup,
        WindowId::AmSetup,    WindowId::FmSetup,    WindowId::DsbSetup,   WindowId::Remote,    WindowId::SweepSetup,
        WindowId::MultiSetup, WindowId::OscSetup,   WindowId::UserSetup,  WindowId::ArbEditor, WindowId::Help,
    };
    const std::size_t small = 9;
    const char* const keys[] = {"lblSigOn", "lblSigOff", "lblCfgSig", "lblCfgOsc", "lblExit"};
    for (const auto& s : screens) {
        const QList<QScreen*> all = QGuiApplication::screens();
        const auto found =
            std::find_if(all.begin(), all.end(), [&s](const QScreen* screen) { return screen->size() == s.screen; });
        ASSERT_NE(found, all.end()) << s.screen.width();
        const QRect area = (*found)->availableGeometry();
        TempFolder folder;
        GuiRig rig(folder.path());
        QWidget& panel = rig.main();
        panel.move(area.topLeft());
        gui::PlaceCentred(panel, &panel);
        ASSERT_TRUE(area.contains(panel.frameGeometry()));
        QRect keyArea;
        for (const char* key : keys)
            keyArea |= OnScreen(Child(panel, key));

        std::vector<QWidget*> open{&panel};
        std::vector<QWidget*> stack{&panel}; // the bottom first
        int roomy = 0;
        for (const WindowId id : windows) {
            rig.desktop.show(id);
            QWidget& window = rig.desktop.window(id);
            stack.insert(OnTop(&window) ? stack.end() : std::find_if(stack.begin(), stack.end(), OnTop), &window);
            const std::string name = window.objectName().toStdString() + " at " + std::to_string(area.width());
            const QRect place = window.frameGeometry();
            EXPECT_TRUE(window.isVisible() && area.contains(place)) << name;
            if (HasRoom(place.size(), keyArea, area)) {
                ++roomy;
                for (const char* key : keys)
                    EXPECT_FALSE(place.intersects(OnScreen(Child(panel, key)))) << name << " covers " << key;
            }
            // The help viewer's strip is the system's frame: only the others have one to check.
            if (const auto* strip = window.findChild<gui::DragStrip*>()) {
                for (const QWidget* other : open) {
                    EXPECT_FALSE(OnScreen(*strip).intersects(OnScreen(*other->findChild<gui::DragStrip*>())))
                        << name << " and " << other->objectName().toStdString();
                }
                open.push_back(&window);
            }
            if (stack.size() == small + 1)
                ExpectEveryStripInSight(stack, name);
        }
        EXPECT_EQ(roomy, s.roomy) << area.width();
    }
}

} // namespace
} // namespace kelvo::test
