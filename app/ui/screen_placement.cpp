#include "ui/screen_placement.h"

#include <algorithm>
#include <limits>

namespace zr5::ui {
namespace {

std::int64_t overlapArea(const QRect& a, const QRect& b)
{
    QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : static_cast<std::int64_t>(common.width()) * common.height();
}

std::int64_t distanceSquared(const QRect& area, const QRect& rect)
{
    std::int64_t dx = std::max({ 0, area.left() - rect.right(), rect.left() - area.right() });
    std::int64_t dy = std::max({ 0, area.top() - rect.bottom(), rect.top() - area.bottom() });
    return dx * dx + dy * dy;
}

std::uint32_t nonNegative(std::int64_t value)
{
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::uint32_t>::max()));
}

} // namespace

std::optional<QRect> dockedRect(core::WindowDock dock, const QRect& available, int height)
{
    if ((dock != core::DockTop && dock != core::DockBottom) || available.isEmpty() || height < 1) {
        return std::nullopt;
    }
    int stripHeight = std::min(height, available.height());
    int top = dock == core::DockTop ? available.top() : available.bottom() - stripHeight + 1;
    return QRect(available.left(), top, available.width(), stripHeight);
}

QRect withoutOwnStrip(QRect available, core::WindowDock dock, const QRect& ownStrip)
{
    bool beside
        = ownStrip.isValid() && ownStrip.left() <= available.right() && available.left() <= ownStrip.right();
    if (!beside) {
        return available;
    }
    if (dock == core::DockTop && available.top() == ownStrip.bottom() + 1) {
        available.setTop(ownStrip.top());
    } else if (dock == core::DockBottom && available.bottom() == ownStrip.top() - 1) {
        available.setBottom(ownStrip.bottom());
    }
    return available;
}

int chooseScreen(const std::vector<ScreenArea>& screens, const std::string& name, const QRect& near)
{
    int best = -1;
    for (int i = 0; i < static_cast<int>(screens.size()); ++i) {
        const QRect& area = screens[i].available;
        if (area.isEmpty()) {
            continue;
        }
        if (!name.empty() && screens[i].name == name) {
            return i;
        }
        if (best < 0) {
            best = i;
            continue;
        }
        const QRect& chosen = screens[best].available;
        std::int64_t overlap = overlapArea(area, near);
        std::int64_t chosenOverlap = overlapArea(chosen, near);
        if (overlap > chosenOverlap
            || (overlap == chosenOverlap && distanceSquared(area, near) < distanceSquared(chosen, near))) {
            best = i;
        }
    }
    return best;
}

QRect keepInside(const QRect& rect, const QRect& area)
{
    int x = std::clamp(rect.x(), area.left(), std::max(area.left(), area.right() + 1 - rect.width()));
    int y = std::clamp(rect.y(), area.top(), std::max(area.top(), area.bottom() + 1 - rect.height()));
    return { QPoint(x, y), rect.size() };
}

StrutPartial strutPartial(core::WindowDock dock, const QRect& strip, const QRect& root)
{
    StrutPartial strut {};
    if (strip.isEmpty()) {
        return strut;
    }
    const std::uint32_t startX = nonNegative(strip.left() - root.left());
    const std::uint32_t endX = nonNegative(strip.right() - root.left());
    if (dock == core::DockTop) {
        strut[2] = nonNegative(static_cast<std::int64_t>(strip.bottom()) + 1 - root.top());
        strut[8] = startX;
        strut[9] = endX;
    } else if (dock == core::DockBottom) {
        strut[3] = nonNegative(static_cast<std::int64_t>(root.bottom()) + 1 - strip.top());
        strut[10] = startX;
        strut[11] = endX;
    }
    return strut;
}

} // namespace zr5::ui
