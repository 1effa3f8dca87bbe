#include "gui/ui/place_search.h"

#include <QRegion>

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace kelvo::gui {
namespace {

constexpr int kGap = 12;
// How far right of an open window's left edge a cascaded one starts.
constexpr int kCascade = 2 * kGap;
// The least width of a title strip that must stay in sight to pick its window up by.
constexpr int kGrip = 48;

int Touched(const QRect& place, const std::vector<QRect>& rects)
{
    return static_cast<int>(std::count_if(rects.begin(), rects.end(), [&place](const QRect& r) { return place.intersects(r); }));
}

long long Overlap(const QRect& place, const std::vector<QRect>& rects)
{
    long long area = 0;
    for (const QRect& r : rects) {
        const QRect common = place.intersected(r);
        if (!common.isEmpty())
            area += static_cast<long long>(common.width()) * common.height();
    }
    return area;
}

// Whether what is in sight of a strip `height` high holds a piece to pick it up by.
bool Grippable(const QRegion& shown, int height)
{
    return std::any_of(shown.begin(), shown.end(),
                       [height](const QRect& piece) { return piece.width() >= kGrip && 2 * piece.height() >= height; });
}

// What a place hides, the worst first: the smallest cost wins.
using Cost = std::tuple<int, int, int, int, long long, long long, int>;

class PlaceSearch {
public:
    PlaceSearch(const OpenWindow& opening, const QRect& anchor, const InSight& inSight)
        : m_size(opening.frame.size())
        , m_strip(opening.strip.translated(-opening.frame.topLeft()))
        , m_anchor(anchor)
        , m_keys(inSight.keys)
        , m_preferred(anchor.right() + 1 + kGap, anchor.top())
    {
        const std::vector<OpenWindow>& open = inSight.windows;
        const auto above = [](auto upper, auto lower) { return upper->onTop != lower->onTop ? upper->onTop : upper > lower; };
        for (auto lower = open.begin(); lower != open.end(); ++lower) {
            m_frames.push_back(lower->frame);
            m_strips.push_back(lower->strip);
            if (lower->onTop && !opening.onTop)
                m_above.push_back(lower->frame);
            // What the windows above it leave in sight of its strip.
            QRegion shown(lower->strip);
            for (auto upper = open.begin(); upper != open.end(); ++upper) {
                if (above(upper, lower))
                    shown -= upper->frame;
            }
            const bool under = !lower->onTop || opening.onTop;
            m_shown.push_back(shown);
            m_coverable.push_back(under && Grippable(shown, lower->strip.height()));
        }
    }

    QPoint best(const QRect& area) const
    {
        std::vector<int> xs{area.left(), area.right() + 1 - m_size.width()};
        std::vector<int> ys{area.top(), area.bottom() + 1 - m_size.height()};
        // Flush with, or a gap beside, everything that is in the way.
        const auto addEdges = [this, &xs, &ys](const QRect& r) {
            xs.insert(xs.end(), {r.left() - kGap - m_size.width(), r.left(), r.right() + 1 + kGap});
            ys.insert(ys.end(), {r.top() - kGap - m_size.height(), r.top(), r.bottom() + 1 + kGap});
        };
        addEdges(m_anchor);
        for (const auto* rects : {&m_keys, &m_strips, &m_frames})
            std::for_each(rects->begin(), rects->end(), addEdges);
        // Below an open window's title strip, a little to the right: a cascade.
        for (const QRect& strip : m_strips)
            xs.push_back(strip.left() + kCascade);

        QPoint chosen = KeptInside(m_preferred, m_size, area);
        Cost lowest = cost(chosen);
        for (const int x : xs) {
            for (const int y : ys) {
                const QPoint candidate = KeptInside({x, y}, m_size, area);
                if (const Cost c = cost(candidate); c < lowest) {
                    lowest = c;
                    chosen = candidate;
                }
            }
        }
        return chosen;
    }

private:
    Cost cost(QPoint topLeft) const
    {
        const QRect place(topLeft, m_size);
        const QRect strip = m_strip.translated(topLeft);
        const QPoint travel = topLeft - m_preferred;
        // Two strips on top of each other leave one window that cannot be picked up at all;
        // a strip that is partly covered can still be.
        return {Touched(strip, m_strips),
                hidden(place) + ownStripHidden(strip),
                Touched(place, m_keys),
                Touched(place, m_strips) + Touched(strip, m_above),
                Overlap(place, {m_anchor}),
                Overlap(place, m_frames),
                std::abs(travel.x()) + std::abs(travel.y())};
    }

    // How many strips that could be picked up no longer can with a window at `place`.
    int hidden(const QRect& place) const
    {
        int count = 0;
        for (std::size_t i = 0; i < m_strips.size(); ++i) {
            if (m_coverable[i] && place.intersects(m_strips[i]) && !Grippable(m_shown[i].subtracted(place), m_strips[i].height()))
                ++count;
        }
        return count;
    }

    // Whether the windows that stay on top leave the new window's own strip too little in sight.
    int ownStripHidden(const QRect& strip) const
    {
        if (Touched(strip, m_above) == 0)
            return 0;
        QRegion shown(strip);
        for (const QRect& above : m_above)
            shown -= above;
        return Grippable(shown, strip.height()) ? 0 : 1;
    }

    QSize m_size;
    QRect m_strip;
    QRect m_anchor;
    std::vector<QRect> m_keys;
    QPoint m_preferred;
    std::vector<QRect> m_frames;
    std::vector<QRect> m_strips;
    std::vector<QRect> m_above;
    std::vector<QRegion> m_shown;
    // Whether the new window would lie above the strip, which can be picked up so far.
    std::vector<bool> m_coverable;
};

} // namespace

QPoint KeptInside(QPoint topLeft, QSize size, const QRect& area)
{
    const int x = std::max(area.left(), std::min(topLeft.x(), area.right() + 1 - size.width()));
    const int y = std::max(area.top(), std::min(topLeft.y(), area.bottom() + 1 - size.height()));
    return {x, y};
}

QPoint FindPlace(const OpenWindow& opening, const QRect& anchor, const QRect& area, const InSight& inSight)
{
    return PlaceSearch(opening, anchor, inSight).best(area);
}

} // namespace kelvo::gui
