#include "skin/runtime/window_geometry.h"

#include <algorithm>

namespace zr5::skin {
namespace {

int clampSide(int value)
{
    return std::clamp(value, -gfx::kMaxSurfaceSide, gfx::kMaxSurfaceSide);
}

std::array<gfx::Rect, 9> gripRects(const WindowGeometry& g)
{
    const int l = g.x;
    const int t = g.y;
    const int r = g.rightMargin;
    const int b = g.bottomMargin;
    const GripWidths& w = g.grips;
    // Column edges (left, right) and row edges (top, bottom), relative as above.
    const std::array<std::array<int, 2>, 3> cols { { { l, l + w.left }, { l + w.left, -w.right - r },
        { -w.right - r, -r } } };
    const std::array<std::array<int, 2>, 3> rows { { { t, t + w.top }, { t + w.top, -w.bottom - b },
        { -w.bottom - b, -b } } };
    std::array<gfx::Rect, 9> rects {};
    for (int i = 0; i < 9; ++i) {
        const auto& col = cols[static_cast<std::size_t>(i % 3)];
        const auto& row = rows[static_cast<std::size_t>(i / 3)];
        rects[static_cast<std::size_t>(i)] = { col[0], row[0], col[1], row[1] };
    }
    return rects;
}

} // namespace

WindowGeometry computeWindowGeometry(
    int x, int y, int width, int height, int workWidth, int workHeight, GripWidths grips)
{
    WindowGeometry g;
    g.x = clampSide(x);
    g.y = clampSide(y);
    g.width = clampSide(width);
    g.height = clampSide(height);
    workWidth = clampSide(workWidth);
    workHeight = clampSide(workHeight);
    if (workWidth < 1 || workHeight < 1) {
        workWidth = g.x + g.width;
        workHeight = g.y + g.height;
    }
    g.designWidth = workWidth;
    g.designHeight = workHeight;
    g.rightMargin = workWidth - g.x - g.width;
    g.bottomMargin = workHeight - g.y - g.height;
    g.grips
        = { clampSide(grips.top), clampSide(grips.right), clampSide(grips.bottom), clampSide(grips.left) };
    g.gripRects = gripRects(g);
    return g;
}

gfx::Rect resolveGripRect(const WindowGeometry& geometry, int index, int clientWidth, int clientHeight)
{
    gfx::Rect rect = geometry.gripRects.at(static_cast<std::size_t>(index));
    const int col = index % 3;
    const int row = index / 3;
    if (col == 2) {
        rect.left += clientWidth;
    }
    if (col >= 1) {
        rect.right += clientWidth;
    }
    if (row == 2) {
        rect.top += clientHeight;
    }
    if (row >= 1) {
        rect.bottom += clientHeight;
    }
    return rect;
}

int hitTestGrips(const WindowGeometry& geometry, int px, int py, int clientWidth, int clientHeight)
{
    for (int i = 0; i < 9; ++i) {
        if (i == GripCentre) {
            continue;
        }
        gfx::Rect r = resolveGripRect(geometry, i, clientWidth, clientHeight);
        if (px >= r.left && px < r.right && py >= r.top && py < r.bottom) {
            return i;
        }
    }
    return -1;
}

} // namespace zr5::skin
