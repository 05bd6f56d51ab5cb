// Where the main frame sits in the ticker window and where its resize grips
// are. Grip rectangles keep edges relative to the window: for column i % 3
// (and likewise row i / 3 with top/bottom), 0 measures both edges from the
// left, 1 the left edge from the left and the right edge from the right, 2 both
// from the right, so the rectangles follow the window as it is resized.
#pragma once

#include "gfx/surface32.h"

#include <array>

namespace zr5::skin {

enum GripIndex : int {
    GripTopLeft = 0,
    GripTop,
    GripTopRight,
    GripLeft,
    GripCentre,
    GripRight,
    GripBottomLeft,
    GripBottom,
    GripBottomRight,
};

// Band widths of the resize zones, in the order of grip0 to grip3.
struct GripWidths {
    int top = 4;
    int right = 4;
    int bottom = 4;
    int left = 4;
};

struct WindowGeometry {
    // The main frame inside the window.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    // The design size: what the window is given at load, and what anchoring
    // measures enlargement against.
    int designWidth = 0;
    int designHeight = 0;
    int rightMargin = 0;
    int bottomMargin = 0;
    GripWidths grips;
    std::array<gfx::Rect, 9> gripRects {};
};

// workWidth/workHeight below 1 mean "no workarea": the frame decides the size.
// Inputs are clamped to the surface limit so that no sum can overflow.
WindowGeometry computeWindowGeometry(
    int x, int y, int width, int height, int workWidth, int workHeight, GripWidths grips);

// A grip rectangle in client coordinates for a window of the given size.
gfx::Rect resolveGripRect(const WindowGeometry& geometry, int index, int clientWidth, int clientHeight);

// The first grip (in index order, centre skipped) containing the point, or -1.
int hitTestGrips(const WindowGeometry& geometry, int px, int py, int clientWidth, int clientHeight);

} // namespace zr5::skin
