#pragma once

#include "gui/arb/arb_viewport.h"
#include "gui/arb/arb_window.h"
#include "gui_rig.h"
#include "wavefile/wave_file.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>

#include <vector>

namespace kelvo::test {

// The editor opened in the program's windows over a fresh folder.
struct ArbRig {
    ArbRig()
        : rig(folder.path(), &dialogs)
    {
        rig.desktop.show(gui::WindowId::ArbEditor);
    }

    gui::ArbWindow& arb() { return static_cast<gui::ArbWindow&>(rig.desktop.window(gui::WindowId::ArbEditor)); }
    gui::ArbViewport& view() { return arb().viewport(); }
    SignalSettings& settings() { return rig.settings(); }
    void click(const QString& name) { Click(arb(), name); }
    void type(const QString& box, const QString& text) { Child<QLineEdit>(arb(), box).setText(text); }
    QString path(const char* name) const { return QString::fromStdString((folder / name).string()); }
    int listed() { return Child<QListWidget>(arb(), "List1").count(); }

    // A drag with the left button through `points` in viewport pixels, as the mouse sends it.
    void drag(const std::vector<QPoint>& points)
    {
        QWidget& target = view();
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(at) + QPointF(0.5, 0.5), target.mapToGlobal(QPointF(at)), button, held,
                              Qt::NoModifier);
            QApplication::sendEvent(&target, &event);
        };
        send(QEvent::MouseButtonPress, points.front(), Qt::LeftButton, Qt::LeftButton);
        for (const QPoint& at : points)
            send(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, points.back(), Qt::LeftButton, Qt::NoButton);
    }

    // A freehand stroke pixel by pixel along a row.
    void stroke(int row, int from, int to)
    {
        std::vector<QPoint> points;
        for (int x = from; x <= to; ++x)
            points.emplace_back(x, row);
        drag(points);
    }

    TempFolder folder;
    QueuedDialogs dialogs;
    GuiRig rig;
};

// The sample rate and the 16-bit samples (left, right, left, ...) of a wave file.
inline std::pair<std::int32_t, std::vector<std::int16_t>> ReadSamples(const std::filesystem::path& path)
{
    const OpenedWave wave = OpenWave(path);
    std::vector<std::int16_t> data(static_cast<std::size_t>(wave.dataSize) / 2);
    if (wave.isOpen())
        ReadAt(wave.fd(), wave.layout.dataOffset, std::as_writable_bytes(std::span(data)));
    return {wave.format.sampleRate, data};
}

} // namespace kelvo::test
