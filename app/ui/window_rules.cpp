#include "ui/window_rules.h"

#include "skin/runtime/skin.h"
#include "ui/screen_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <limits>

namespace zr5::ui {
namespace {

int mainValue(const skin::Skin& skin, const char* property)
{
    std::shared_ptr<skin::SkinObject> main = skin.object("wmain");
    return main ? main->get(property).toInt() : 0;
}

int positiveOrZero(long long value)
{
    return value > 0 ? static_cast<int>(std::min<long long>(value, std::numeric_limits<int>::max())) : 0;
}

std::int64_t distanceSquared(const QRect& area, const QRect& rect)
{
    std::int64_t dx = std::max({ 0, area.left() - rect.right(), rect.left() - area.right() });
    std::int64_t dy = std::max({ 0, area.top() - rect.bottom(), rect.top() - area.bottom() });
    return dx * dx + dy * dy;
}

// A sliver at a screen's edge cannot be grabbed to drag the window back.
bool showsEnough(const QRect& area, const QRect& rect)
{
    QRect visible = area.intersected(rect);
    return visible.width() >= std::min(rect.width(), 16) && visible.height() >= std::min(rect.height(), 8);
}

} // namespace

SizeLimits sizeLimits(const skin::Skin& skin)
{
    SizeLimits limits;
    if (!skin.object("wmain")) {
        return limits;
    }
    int xmin = mainValue(skin, "xmin");
    int ymin = mainValue(skin, "ymin");
    limits.minWidth = positiveOrZero(
        xmin > 0 ? xmin : static_cast<long long>(mainValue(skin, "xborder0")) + mainValue(skin, "xborder1"));
    limits.minHeight = positiveOrZero(
        ymin > 0 ? ymin : static_cast<long long>(mainValue(skin, "yborder0")) + mainValue(skin, "yborder1"));
    limits.maxWidth = positiveOrZero(mainValue(skin, "xmax"));
    limits.maxHeight = positiveOrZero(mainValue(skin, "ymax"));
    return limits;
}

SizeSteps sizeSteps(const skin::Skin& skin)
{
    SizeSteps steps;
    steps.x = std::max(1, mainValue(skin, "xstep"));
    steps.y = std::max(1, mainValue(skin, "ystep"));
    return steps;
}

QSize applySizeSteps(QSize size, SizeSteps steps)
{
    int sx = std::max(1, steps.x);
    int sy = std::max(1, steps.y);
    int width = std::max(sx, size.width() / sx * sx);
    int height = std::max(sy, size.height() / sy * sy);
    return { width, height };
}

Qt::Edges gripEdges(int gripIndex)
{
    static constexpr Qt::Edges kEdges[9] = {
        Qt::TopEdge | Qt::LeftEdge,
        Qt::TopEdge,
        Qt::TopEdge | Qt::RightEdge,
        Qt::LeftEdge,
        {},
        Qt::RightEdge,
        Qt::BottomEdge | Qt::LeftEdge,
        Qt::BottomEdge,
        Qt::BottomEdge | Qt::RightEdge,
    };
    return gripIndex >= 0 && gripIndex < 9 ? kEdges[gripIndex] : Qt::Edges {};
}

QRect placeOnScreens(QRect saved, QSize skinSize)
{
    if (saved.width() <= 0 || saved.height() <= 0) {
        saved.setSize(skinSize);
    }
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty()) {
        return saved;
    }
    QRect best = screens.front()->availableGeometry();
    for (QScreen* screen : screens) {
        QRect area = screen->availableGeometry();
        if (showsEnough(area, saved)) {
            return saved;
        }
        if (distanceSquared(area, saved) < distanceSquared(best, saved)) {
            best = area;
        }
    }
    return keepInside(saved, best);
}

} // namespace zr5::ui
