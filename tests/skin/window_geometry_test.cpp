#include "skin/runtime/window_geometry.h"

#include <gtest/gtest.h>

namespace zr5::skin {
namespace {

bool sameRect(const gfx::Rect& a, const gfx::Rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(WindowGeometryTest, WorkareaGivesDesignSizeAndMargins)
{
    WindowGeometry g = computeWindowGeometry(10, 5, 200, 40, 300, 60, {});
    EXPECT_EQ(g.designWidth, 300);
    EXPECT_EQ(g.designHeight, 60);
    EXPECT_EQ(g.rightMargin, 90);
    EXPECT_EQ(g.bottomMargin, 15);
}

TEST(WindowGeometryTest, MissingOrNonPositiveWorkareaFallsBackToTheFrame)
{
    for (auto [w, h] : { std::pair { 0, 0 }, std::pair { -1, 60 }, std::pair { 300, 0 } }) {
        WindowGeometry g = computeWindowGeometry(10, 5, 200, 40, w, h, {});
        EXPECT_EQ(g.designWidth, 210);
        EXPECT_EQ(g.designHeight, 45);
        EXPECT_EQ(g.rightMargin, 0);
        EXPECT_EQ(g.bottomMargin, 0);
    }
}

TEST(WindowGeometryTest, StoredGripRectanglesFollowTheRelativeConvention)
{
    // L = 10, T = 5, R = 90, B = 15; grips top 1, right 2, bottom 3, left 4.
    WindowGeometry g = computeWindowGeometry(10, 5, 200, 40, 300, 60, { 1, 2, 3, 4 });
    const gfx::Rect expected[9] = {
        { 10, 5, 14, 6 },
        { 14, 5, -92, 6 },
        { -92, 5, -90, 6 },
        { 10, 6, 14, -18 },
        { 14, 6, -92, -18 },
        { -92, 6, -90, -18 },
        { 10, -18, 14, -15 },
        { 14, -18, -92, -15 },
        { -92, -18, -90, -15 },
    };
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(sameRect(g.gripRects[static_cast<std::size_t>(i)], expected[i]));
    }
}

TEST(WindowGeometryTest, ResolvedGripsTrackTheWindowSize)
{
    WindowGeometry g = computeWindowGeometry(10, 5, 200, 40, 300, 60, { 1, 2, 3, 4 });
    // At the design size the bottom-right grip hugs the frame's corner.
    EXPECT_TRUE(sameRect(resolveGripRect(g, GripBottomRight, 300, 60), { 208, 42, 210, 45 }));
    // Enlarged by 100 x 20, right and bottom grips move, left and top stay.
    EXPECT_TRUE(sameRect(resolveGripRect(g, GripBottomRight, 400, 80), { 308, 62, 310, 65 }));
    EXPECT_TRUE(sameRect(resolveGripRect(g, GripTop, 400, 80), { 14, 5, 308, 6 }));
    EXPECT_TRUE(sameRect(resolveGripRect(g, GripLeft, 400, 80), { 10, 6, 14, 62 }));
    EXPECT_TRUE(sameRect(resolveGripRect(g, GripTopLeft, 400, 80), { 10, 5, 14, 6 }));
}

TEST(WindowGeometryTest, HitTestFindsGripsAndSkipsTheCentre)
{
    WindowGeometry g = computeWindowGeometry(0, 0, 100, 50, 0, 0, {});
    EXPECT_EQ(hitTestGrips(g, 0, 0, 100, 50), GripTopLeft);
    EXPECT_EQ(hitTestGrips(g, 50, 2, 100, 50), GripTop);
    EXPECT_EQ(hitTestGrips(g, 99, 0, 100, 50), GripTopRight);
    EXPECT_EQ(hitTestGrips(g, 1, 25, 100, 50), GripLeft);
    EXPECT_EQ(hitTestGrips(g, 50, 25, 100, 50), -1);
    EXPECT_EQ(hitTestGrips(g, 97, 25, 100, 50), GripRight);
    EXPECT_EQ(hitTestGrips(g, 3, 49, 100, 50), GripBottomLeft);
    EXPECT_EQ(hitTestGrips(g, 50, 46, 100, 50), GripBottom);
    EXPECT_EQ(hitTestGrips(g, 96, 46, 100, 50), GripBottomRight);
    // Right and bottom edges are exclusive.
    EXPECT_EQ(hitTestGrips(g, 100, 25, 100, 50), -1);
    EXPECT_EQ(hitTestGrips(g, 4, 25, 100, 50), -1);
}

TEST(WindowGeometryTest, HugeValuesAreClampedInsteadOfOverflowing)
{
    WindowGeometry g = computeWindowGeometry(
        -2147483647, 0, 2147483647, 2147483647, 2147483647, 1000000000, { 2147483647, -2147483647, 0, 0 });
    EXPECT_EQ(g.designWidth, gfx::kMaxSurfaceSide);
    EXPECT_EQ(g.designHeight, gfx::kMaxSurfaceSide);
    EXPECT_EQ(g.x, -gfx::kMaxSurfaceSide);
    EXPECT_EQ(g.rightMargin, gfx::kMaxSurfaceSide);
    (void)hitTestGrips(g, 0, 0, g.designWidth, g.designHeight);
}

} // namespace
} // namespace zr5::skin
