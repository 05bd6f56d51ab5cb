#include "gfx_test_support.h"

#include <array>
#include <climits>
#include <cmath>
#include <gmock/gmock.h>

namespace zr5::gfx::test {
namespace {

// A distinct opaque colour for every source pixel, so a destination pixel tells
// which source pixel landed there.
std::uint32_t codeOf(int x, int y)
{
    return 0xFF000000u | static_cast<std::uint32_t>(x + 1) << 16 | static_cast<std::uint32_t>(y + 1) << 8
        | 0x80u;
}

Surface32 codedSurface(int width, int height)
{
    return makeSurface(width, height, codeOf);
}

// Premultiplied source-over with constant alpha k, per channel, in real numbers.
std::uint32_t blendByHand(std::uint32_t dst, std::uint32_t src, int constantAlpha)
{
    const double k = constantAlpha / 255.0;
    const double srcAlpha = (src >> 24) / 255.0;
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const double v = (src >> shift & 0xFF) * k + (dst >> shift & 0xFF) * (1.0 - srcAlpha * k);
        out |= static_cast<std::uint32_t>(std::lround(std::min(v, 255.0))) << shift;
    }
    return out;
}

struct BlendCase {
    const char* name;
    std::uint32_t dst;
    std::uint32_t src;
    int constantAlpha;
};

class ConstantAlphaBlend : public ::testing::TestWithParam<BlendCase> { };

TEST_P(ConstantAlphaBlend, MatchesPremultipliedSourceOver)
{
    const BlendCase& c = GetParam();
    Surface32 dst = filledSurface(4, 3, c.dst);
    const Surface32 src = filledSurface(2, 2, c.src);
    blit(dst, 1, 1, 2, 2, src, 0, 0, 2, 2, c.constantAlpha, BlitStretch);
    const std::uint32_t inside = blendByHand(c.dst, c.src, c.constantAlpha);
    EXPECT_TRUE(surfaceMatches(
        dst, [&](int x, int y) { return x >= 1 && x < 3 && y >= 1 ? inside : c.dst; }, 1));
}

INSTANTIATE_TEST_SUITE_P(Blit, ConstantAlphaBlend,
    ::testing::Values(BlendCase { "OpaqueCopies", 0xFF102030, 0xFF804020, 255 },
        BlendCase { "OpaqueAtHalf", 0xFF102030, 0xFF804020, 128 },
        BlendCase { "TranslucentSource", 0xFF0080FF, 0x80402010, 255 },
        BlendCase { "TranslucentAtQuarter", 0xFF0080FF, 0x80402010, 64 },
        BlendCase { "OntoTransparent", 0x00000000, 0xC0603000, 200 },
        BlendCase { "TransparentSource", 0xFF336699, 0x00000000, 255 },
        BlendCase { "AdditiveLight", 0xFF010203, 0x00102030, 255 },
        BlendCase { "AdditiveAtHalf", 0xFF404040, 0x00808080, 128 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Blit, AdditiveLightSaturatesInsteadOfWrapping)
{
    Surface32 dst = filledSurface(2, 1, 0xFF608000);
    Surface32 glow = filledSurface(1, 1, 0xFFC08040);
    ASSERT_TRUE(glow.applyMask(filledSurface(1, 1, 0x00FF0000)));
    blit(dst, 0, 0, 2, 1, glow, 0, 0, 1, 1, 255, BlitStretch);
    EXPECT_TRUE(surfaceMatches(dst, [](int, int) { return 0xFFFFFF40u; }));
}

TEST(Blit, OrdinaryPixelsBesideAdditiveOnesBlendAsUsual)
{
    // One additive pixel makes the whole surface take the saturating path; its
    // translucent and opaque neighbours must still come out as plain source-over.
    const std::vector<std::uint32_t> row { 0x00402010, 0x80402010, 0xFF804020 };
    const Surface32 src = makeSurface(3, 1, [&](int x, int) { return row[static_cast<std::size_t>(x)]; });
    ASSERT_TRUE(src.hasAdditivePixels());
    for (int constantAlpha : { 255, 128, 30 }) {
        Surface32 dst = filledSurface(3, 1, 0xFF306090);
        blit(dst, 0, 0, 3, 1, src, 0, 0, 3, 1, constantAlpha, BlitStretch);
        EXPECT_TRUE(surfaceMatches(
            dst,
            [&](int x, int) {
                return blendByHand(0xFF306090, row[static_cast<std::size_t>(x)], constantAlpha);
            },
            1))
            << "constant alpha " << constantAlpha;
    }
}

TEST(Blit, ZeroConstantAlphaLeavesDestination)
{
    Surface32 dst = filledSurface(3, 3, 0xFF102030);
    blit(dst, 0, 0, 3, 3, filledSurface(1, 1, 0xFFFFFFFF), 0, 0, 1, 1, 0, BlitStretch);
    EXPECT_TRUE(surfaceMatches(dst, [](int, int) { return 0xFF102030u; }));
}

TEST(Blit, StretchIsNearestNeighbour)
{
    Surface32 dst;
    ASSERT_TRUE(dst.create(6, 4));
    blit(dst, 0, 0, 6, 4, codedSurface(3, 2), 0, 0, 3, 2, 255, BlitStretch);
    EXPECT_TRUE(surfaceMatches(dst, [](int x, int y) { return codeOf(x / 2, y / 2); }));

    Surface32 shrunk;
    ASSERT_TRUE(shrunk.create(2, 1));
    blit(shrunk, 0, 0, 2, 1, codedSurface(4, 1), 0, 0, 4, 1, 255, BlitStretch);
    // Either pixel of each pair may be the sample, but never one from the other half.
    EXPECT_THAT(shrunk.pixel(0, 0), ::testing::AnyOf(codeOf(0, 0), codeOf(1, 0)));
    EXPECT_THAT(shrunk.pixel(1, 0), ::testing::AnyOf(codeOf(2, 0), codeOf(3, 0)));
}

TEST(Blit, SourceRectangleTakesPartOfTheSource)
{
    Surface32 dst;
    ASSERT_TRUE(dst.create(4, 4));
    blit(dst, 1, 1, 2, 2, codedSurface(5, 5), 2, 3, 2, 2, 255, BlitStretch);
    EXPECT_TRUE(surfaceMatches(
        dst, [](int x, int y) { return x >= 1 && x < 3 && y >= 1 && y < 3 ? codeOf(x + 1, y + 2) : 0u; }));
}

TEST(Blit, RefusedSourceRectanglesDrawNothing)
{
    const Surface32 src = codedSurface(4, 4);
    for (const auto& [sx, sy, sw, sh] : std::vector<std::array<int, 4>> {
             { 2, 0, 3, 4 }, { -1, 0, 2, 2 }, { 0, 3, 4, 2 }, { 0, 0, 0, 4 }, { 0, 0, 4, -2 } }) {
        Surface32 dst;
        ASSERT_TRUE(dst.create(4, 4));
        blit(dst, 0, 0, 4, 4, src, sx, sy, sw, sh, 255, BlitStretch);
        EXPECT_TRUE(surfaceMatches(dst, [](int, int) { return 0u; }))
            << sx << "," << sy << "," << sw << "," << sh;
    }
}

TEST(BlitTiling, ThirtyPixelSourceAcrossOneHundred)
{
    // Pieces at 0, 30, 60 and a 10-pixel piece at 90; each stretched to two rows.
    Surface32 dst;
    ASSERT_TRUE(dst.create(120, 3));
    blit(dst, 0, 0, 100, 2, codedSurface(30, 1), 0, 0, 30, 1, 255, BlitTileX);
    EXPECT_TRUE(surfaceMatches(dst, [](int x, int y) { return x < 100 && y < 2 ? codeOf(x % 30, 0) : 0u; }));
}

TEST(BlitTiling, LastPieceOfFullWidthWhenItFits)
{
    Surface32 dst;
    ASSERT_TRUE(dst.create(100, 1));
    blit(dst, 5, 0, 90, 1, codedSurface(40, 1), 10, 0, 30, 1, 255, BlitTileX);
    EXPECT_TRUE(
        surfaceMatches(dst, [](int x, int) { return x >= 5 && x < 95 ? codeOf(10 + (x - 5) % 30, 0) : 0u; }));
}

TEST(BlitTiling, VerticalPiecesStretchAcross)
{
    Surface32 dst;
    ASSERT_TRUE(dst.create(4, 12));
    blit(dst, 0, 1, 4, 10, codedSurface(2, 3), 0, 0, 2, 3, 255, BlitTileY);
    EXPECT_TRUE(
        surfaceMatches(dst, [](int x, int y) { return y >= 1 && y < 11 ? codeOf(x / 2, (y - 1) % 3) : 0u; }));
}

TEST(BlitTiling, BothDirectionsWithClippedLastRowAndColumn)
{
    Surface32 dst;
    ASSERT_TRUE(dst.create(9, 7));
    blit(dst, 1, 1, 7, 5, codedSurface(3, 2), 0, 0, 3, 2, 255, BlitTileBoth);
    EXPECT_TRUE(surfaceMatches(dst, [](int x, int y) {
        return x >= 1 && x < 8 && y >= 1 && y < 6 ? codeOf((x - 1) % 3, (y - 1) % 2) : 0u;
    }));
}

TEST(BlitTiling, PiecesLeftOfTheSurfaceAreSkippedNotShifted)
{
    Surface32 dst;
    ASSERT_TRUE(dst.create(100, 1));
    blit(dst, -65, 0, 200, 1, codedSurface(30, 1), 0, 0, 30, 1, 255, BlitTileX);
    EXPECT_TRUE(surfaceMatches(dst, [](int x, int) {
        const int offset = x + 65;
        return offset < 180 ? codeOf(offset % 30, 0) : codeOf(offset - 180, 0);
    }));
}

TEST(BlitTiling, HugeAreaCostsOnlyTheVisiblePieces)
{
    Surface32 dst;
    ASSERT_TRUE(dst.create(8, 8));
    blit(dst, INT_MIN / 2, INT_MIN / 2, INT_MAX, INT_MAX, codedSurface(1, 1), 0, 0, 1, 1, 255, BlitTileBoth);
    EXPECT_TRUE(surfaceMatches(dst, [](int, int) { return codeOf(0, 0); }));
}

TEST(BlitTiling, DegenerateSizesAndUnknownModesDrawNothing)
{
    const Surface32 src = codedSurface(4, 4);
    const std::vector<std::array<int, 5>> cases { // dw, dh, sw, sh, mode
        { 8, 8, 0, 4, BlitTileX }, { 8, 8, 4, 0, BlitTileY }, { 8, 8, 0, 0, BlitTileBoth },
        { -8, 8, 4, 4, BlitTileX }, { 8, 0, 4, 4, BlitTileBoth }, { 8, 8, 4, 4, 4 }, { 8, 8, 4, 4, -1 }
    };
    for (const auto& [dw, dh, sw, sh, mode] : cases) {
        Surface32 dst;
        ASSERT_TRUE(dst.create(8, 8));
        blit(dst, 0, 0, dw, dh, src, 0, 0, sw, sh, 255, mode);
        EXPECT_TRUE(surfaceMatches(dst, [](int, int) { return 0u; })) << dw << "x" << dh << " mode " << mode;
    }
}

TEST(Blit, AbsurdStretchIsRefusedWithoutOverflow)
{
    Surface32 dst;
    ASSERT_TRUE(dst.create(4, 4));
    blit(dst, INT_MIN, 0, INT_MAX, 4, codedSurface(2, 2), 0, 0, 2, 2, 255, BlitStretch);
    blit(dst, INT_MAX, INT_MAX, INT_MAX, INT_MAX, codedSurface(2, 2), 0, 0, 2, 2, 255, BlitStretch);
    EXPECT_TRUE(surfaceMatches(dst, [](int, int) { return 0u; }));
}

TEST(Blit, SurfaceOntoItself)
{
    Surface32 surface = makeSurface(4, 1, [](int x, int) { return x < 2 ? codeOf(x, 0) : 0u; });
    blit(surface, 2, 0, 2, 1, surface, 0, 0, 2, 1, 255, BlitStretch);
    EXPECT_TRUE(surfaceMatches(surface, [](int x, int) { return codeOf(x % 2, 0); }));
}

// Where a destination coordinate of a nine-part frame samples the source along one axis.
int frameSource(int d, int length, int sourceLength, int head, int tail, bool tiled)
{
    if (d < head) {
        return d;
    }
    if (d >= length - tail) {
        return sourceLength - tail + (d - (length - tail));
    }
    const int c = d - head;
    const int centre = length - head - tail;
    const int sourceCentre = sourceLength - head - tail;
    return head + (tiled ? c % sourceCentre : c * sourceCentre / centre);
}

struct FrameCase {
    const char* name;
    int mode;
    bool tiledX;
    bool tiledY;
};

class NinePartFrame : public ::testing::TestWithParam<FrameCase> { };

TEST_P(NinePartFrame, CornersKeepSizeEdgesAndCentreFill)
{
    // Source 7x6 cut by borders left 2, right 1, top 1, bottom 2: centre 4x3.
    // Destination 12x9 at (1, 2): centre 9x6, so stretching is by whole factors only
    // along y and tiling clips the last piece along x.
    const FrameCase& c = GetParam();
    Surface32 dst;
    ASSERT_TRUE(dst.create(14, 12));
    drawFrame(dst, 1, 2, 12, 9, codedSurface(7, 6), 2, 1, 1, 2, 255, c.mode);
    EXPECT_TRUE(surfaceMatches(dst, [&](int x, int y) {
        if (x < 1 || x >= 13 || y < 2 || y >= 11) {
            return 0u;
        }
        return codeOf(frameSource(x - 1, 12, 7, 2, 1, c.tiledX), frameSource(y - 2, 9, 6, 1, 2, c.tiledY));
    }));
}

INSTANTIATE_TEST_SUITE_P(Frame, NinePartFrame,
    ::testing::Values(
        FrameCase { "TileX", BlitTileX, true, false }, FrameCase { "TileBoth", BlitTileBoth, true, true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Frame, StretchedCentre)
{
    // Centre 2x2 of the source stretched to 6x4: whole factors, so nearest neighbour is exact.
    Surface32 dst;
    ASSERT_TRUE(dst.create(8, 6));
    drawFrame(dst, 0, 0, 8, 6, codedSurface(4, 4), 1, 1, 1, 1, 255, BlitStretch);
    EXPECT_TRUE(surfaceMatches(dst, [](int x, int y) {
        const auto axis = [](int d, int length) {
            return d == 0 ? 0 : d == length - 1 ? 3 : 1 + (d - 1) * 2 / (length - 2);
        };
        return codeOf(axis(x, 8), axis(y, 6));
    }));
}

TEST(Frame, ConstantAlphaReachesEveryPart)
{
    Surface32 dst = filledSurface(6, 6, 0xFF000000);
    drawFrame(dst, 0, 0, 6, 6, filledSurface(3, 3, 0xFFFFFFFF), 1, 1, 1, 1, 51, BlitStretch);
    EXPECT_TRUE(surfaceMatches(
        dst, [](int, int) { return 0xFF333333u; }, 1));
}

TEST(Frame, BordersWiderThanTheAreaDoNotCrash)
{
    Surface32 dst;
    ASSERT_TRUE(dst.create(4, 4));
    drawFrame(dst, 0, 0, 3, 3, codedSurface(6, 6), 2, 2, 2, 2, 255, BlitTileBoth);
    drawFrame(dst, 0, 0, 4, 4, codedSurface(3, 3), 5, -4, INT_MAX, INT_MIN, 255, BlitStretch);
    // The right-hand corner is drawn after the left one and covers it.
    EXPECT_EQ(dst.pixel(1, 0), codeOf(4, 0));
}

struct OutlineCase {
    const char* name;
    Rect rect;
    // Sides expected on the 10x10 surface: row, column extents as [from, to).
    std::vector<std::array<int, 4>> strokes; // x0, y0, x1, y1
};

class Outline : public ::testing::TestWithParam<OutlineCase> { };

TEST_P(Outline, SidesInsideTheSurfaceAreDrawn)
{
    const OutlineCase& c = GetParam();
    Surface32 dst;
    ASSERT_TRUE(dst.create(10, 10));
    drawOutline(dst, c.rect, 0x00112233);
    EXPECT_TRUE(surfaceMatches(dst, [&](int x, int y) {
        for (const auto& [x0, y0, x1, y1] : c.strokes) {
            if (x >= x0 && x < x1 && y >= y0 && y < y1) {
                return 0xFF332211u;
            }
        }
        return 0u;
    }));
}

INSTANTIATE_TEST_SUITE_P(Draw, Outline,
    ::testing::Values(OutlineCase { "Inside", { 2, 3, 7, 8 },
                          { { 2, 3, 7, 4 }, { 6, 3, 7, 8 }, { 2, 7, 7, 8 }, { 2, 3, 3, 8 } } },
        OutlineCase { "WholeSurface", { 0, 0, 10, 10 },
            { { 0, 0, 10, 1 }, { 9, 0, 10, 10 }, { 0, 9, 10, 10 }, { 0, 0, 1, 10 } } },
        OutlineCase { "OverTopLeft", { -3, -3, 5, 5 }, { { 4, 0, 5, 5 }, { 0, 4, 5, 5 } } },
        OutlineCase { "OverBottomRight", { 5, 6, 20, 20 }, { { 5, 6, 10, 7 }, { 5, 6, 6, 10 } } },
        OutlineCase { "OverEveryEdge", { -1, -1, 11, 11 }, {} },
        OutlineCase { "OnePixel", { 4, 4, 5, 5 }, { { 4, 4, 5, 5 } } },
        OutlineCase { "Empty", { 4, 4, 4, 8 }, {} }, OutlineCase { "Inverted", { 8, 8, 2, 2 }, {} },
        OutlineCase { "Outside", { 20, 20, 30, 30 }, {} }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Draw, EmptySurfacesAreIgnored)
{
    Surface32 empty;
    Surface32 dst;
    ASSERT_TRUE(dst.create(2, 2));
    blit(empty, 0, 0, 2, 2, dst, 0, 0, 2, 2, 255, BlitStretch);
    blit(dst, 0, 0, 2, 2, empty, 0, 0, 2, 2, 255, BlitStretch);
    drawFrame(empty, 0, 0, 2, 2, dst, 0, 0, 0, 0, 255, BlitStretch);
    drawOutline(empty, { 0, 0, 2, 2 }, 0);
    EXPECT_TRUE(surfaceMatches(dst, [](int, int) { return 0u; }));
}

// One picture of every kind of piece: a nine-part frame tiled along x, a tiled
// fill whose last row and column are clipped, and a stretch of part of a source
// at an offset, all laid out in logical pixels. Stretches are by whole factors:
// elsewhere nearest neighbour may pick either source pixel at a boundary.
void drawScene(Surface32& dst, double scale)
{
    drawFrame(dst, 1, 1, 12, 9, codedSurface(7, 6), 2, 1, 1, 2, 255, BlitTileX, scale);
    blit(dst, 14, 0, 7, 5, codedSurface(3, 2), 0, 0, 3, 2, 255, BlitTileBoth, scale);
    blit(dst, 3, 11, 6, 2, codedSurface(4, 3), 1, 1, 2, 1, 255, BlitStretch, scale);
}

class ScaledBlit : public ::testing::TestWithParam<int> { };

TEST_P(ScaledBlit, IntegerScalesAreBlockCopiesOfScaleOne)
{
    const int scale = GetParam();
    Surface32 logical;
    Surface32 device;
    ASSERT_TRUE(logical.create(22, 14));
    ASSERT_TRUE(device.create(22 * scale, 14 * scale));
    drawScene(logical, 1.0);
    drawScene(device, scale);
    EXPECT_TRUE(surfaceMatches(device, [&](int x, int y) { return logical.pixel(x / scale, y / scale); }));
}

INSTANTIATE_TEST_SUITE_P(Blit, ScaledBlit, ::testing::Values(2, 3));

TEST(ScaledBlit, FractionalScalesLeaveNoGapsBetweenPieces)
{
    // Edges land on round(edge * 1.5): the frame's logical (1, 1)-(10, 8) covers
    // device (2, 2)-(15, 12) without a hole where two pieces meet.
    EXPECT_EQ(toDevice({ 1, 1, 10, 8 }, 1.5).left, 2);
    EXPECT_EQ(toDevice({ 1, 1, 10, 8 }, 1.5).right, 15);
    EXPECT_EQ(toDevice({ 1, 1, 10, 8 }, 1.5).bottom, 12);
    EXPECT_EQ(toDevice({ -3, 0, 0, 0 }, 1.5).left, -5);
    Surface32 dst;
    ASSERT_TRUE(dst.create(18, 15));
    drawFrame(dst, 1, 1, 9, 7, filledSurface(5, 5, 0xFFFFFFFF), 1, 2, 1, 2, 255, BlitTileBoth, 1.5);
    EXPECT_TRUE(surfaceMatches(
        dst, [](int x, int y) { return x >= 2 && x < 15 && y >= 2 && y < 12 ? 0xFFFFFFFFu : 0u; }));
}

TEST(ScaledBlit, ScalesThatAreNotAboveZeroDrawNothing)
{
    for (double scale : { 0.0, -2.0, std::nan(""), HUGE_VAL }) {
        Surface32 dst;
        ASSERT_TRUE(dst.create(8, 8));
        drawScene(dst, scale);
        EXPECT_TRUE(surfaceMatches(dst, [](int, int) { return 0u; })) << scale;
    }
}

} // namespace
} // namespace zr5::gfx::test
