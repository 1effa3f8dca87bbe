#pragma once

#include "gui/app/desktop.h"
#include "gui/panels/main_panel.h"
#include "gui/panels/remote_panel.h"
#include "gui/runtime/qt_event_loop.h"
#include "gui/ui/entry_box.h"
#include "gui/ui/highlight.h"
#include "gui/ui/lamp.h"
#include "support/oscillator_rig.h"
#include "support/test_support.h"

#include <QApplication>
#include <QTest>

#include <optional>

namespace kelvo::test {

// Answers the windows' file dialogs in turn with a path, or nothing for a cancel.
struct QueuedDialogs final : gui::FileDialogs {
    std::optional<QString> openFile(QWidget*, const QString& filter) override { return next(filter); }
    std::optional<QString> saveFile(QWidget*, const QString& filter) override { return next(filter); }
    std::optional<QString> next(const QString& filter)
    {
        filters << filter;
        if (answers.empty()) {
            ADD_FAILURE() << "a file dialog opened with no answer queued";
            return std::nullopt;
        }
        const auto answer = answers.front();
        answers.pop_front();
        return answer ? std::optional(QString::fromStdString(answer->string())) : std::nullopt;
    }
    std::deque<std::optional<std::filesystem::path>> answers;
    QStringList filters;
};

// The desktop program's windows over an oscillator on fake devices, driven by Qt's loop;
// `fileDialogs` answers the windows' file dialogs, the platform's when none is given. The
// oscillator setup lists one fake output, not the machine's.
struct GuiRig {
    explicit GuiRig(const std::filesystem::path& folder, gui::FileDialogs* fileDialogs = nullptr)
        : oscillator(folder, streamDevice, legacyDevice, loop, messages)
        , desktop(oscillator, fileDialogs)
    {
        desktop.setOutputDevices([](std::string&) { return std::vector<std::string>{"Fake output"}; });
        desktop.start();
    }

    QWidget& main() { return desktop.main(); }
    QWidget& remote() { return desktop.remote(); }
    SignalSettings& settings() { return oscillator.settings(); }

    gui::QtEventLoop loop;
    RecordingMessages messages;
    FakeAudioDevice streamDevice{loop};
    FakeAudioDevice legacyDevice{loop};
    Oscillator oscillator;
    gui::Desktop desktop;
};

// The child of `window` named `name`; fails the test when there is none.
template <typename T = QWidget> T& Child(QWidget& window, const QString& name)
{
    T* found = window.findChild<T*>(name);
    if (found == nullptr)
        throw std::runtime_error(window.objectName().toStdString() + " has no " + name.toStdString());
    return *found;
}

inline QString Caption(QWidget& window, const QString& name)
{
    return Child(window, name).property("text").toString();
}

// Empties a box and types `text` key by key, as a user does: every keystroke is one change.
inline void Retype(QWidget& window, const QString& name, const QString& text)
{
    auto& box = Child<QLineEdit>(window, name);
    box.clear();
    QTest::keyClicks(&box, text);
}

inline void Click(QWidget& window, const QString& name)
{
    QTest::mouseClick(&Child(window, name), Qt::LeftButton);
}

// Types `text` into the entry box `name` over its selected contents and presses Enter.
inline void Type(QWidget& window, const QString& name, const QString& text)
{
    auto& box = Child<gui::EntryBox>(window, name);
    box.selectAll();
    QTest::keyClicks(&box, text);
    QTest::keyClick(&box, Qt::Key_Return);
}

} // namespace kelvo::test
