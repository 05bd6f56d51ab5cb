#include "gfx_test_support.h"

namespace zr5::gfx::test {
namespace {

constexpr std::uint32_t kMagentaRef = 0x00FF00FF;

TEST(Surface32Create, FreshSurfaceIsTransparentAndSizeIsBounded)
{
    Surface32 surface;
    EXPECT_TRUE(surface.isNull());
    ASSERT_TRUE(surface.create(3, 2));
    EXPECT_EQ(surface.width(), 3);
    EXPECT_EQ(surface.height(), 2);
    EXPECT_EQ(surface.image().format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_TRUE(surfaceMatches(surface, [](int, int) { return 0u; }));

    EXPECT_FALSE(surface.create(0, 5));
    EXPECT_TRUE(surface.isNull());
    EXPECT_FALSE(surface.create(5, -1));
    EXPECT_FALSE(surface.create(kMaxSurfaceSide + 1, 1));
    EXPECT_FALSE(surface.create(1, kMaxSurfaceSide + 1));
}

TEST(Surface32Create, PixelAccessOutsideIsIgnored)
{
    Surface32 surface;
    ASSERT_TRUE(surface.create(2, 2));
    surface.setPixel(-1, 0, 0xFFFFFFFF);
    surface.setPixel(2, 1, 0xFFFFFFFF);
    surface.setPixel(1, 1, 0xFF123456);
    EXPECT_EQ(surface.pixel(1, 1), 0xFF123456u);
    EXPECT_EQ(surface.pixel(5, 5), 0u);
    EXPECT_TRUE(surfaceMatches(surface, [](int x, int y) { return x == 1 && y == 1 ? 0xFF123456u : 0u; }));
}

TEST(ColorKey, LowestBitOfEachChannelIsIgnored)
{
    // As loaded from a file: colour only, alpha 0.
    const std::vector<std::uint32_t> row { 0x00FF00FF, 0x00FE00FE, 0x00FC00FC, 0x00FF01FE, 0x00FE00FC,
        0x00123456, 0x00000000 };
    Surface32 surface = makeSurface(7, 1, [&](int x, int) { return row[static_cast<std::size_t>(x)]; });
    ASSERT_TRUE(surface.applyColorKey(kMagentaRef));
    const std::vector<std::uint32_t> want { 0, 0, 0xFFFC00FC, 0, 0xFFFE00FC, 0xFF123456, 0xFF000000 };
    EXPECT_TRUE(surfaceMatches(surface, [&](int x, int) { return want[static_cast<std::size_t>(x)]; }));
    EXPECT_FALSE(surface.hasAdditivePixels());
}

TEST(ColorKey, KeyIsAColourReference)
{
    // 0x00BBGGRR: red FF, green 80, blue 00, so the pixel 0x00FF8000 is the key.
    Surface32 surface = makeSurface(2, 1, [](int x, int) { return x == 0 ? 0x00FF8000u : 0x000080FFu; });
    ASSERT_TRUE(surface.applyColorKey(0x000080FF));
    EXPECT_EQ(surface.pixel(0, 0), 0u);
    EXPECT_EQ(surface.pixel(1, 0), 0xFF0080FFu);
}

TEST(ColorKey, EmptySurfaceFails)
{
    Surface32 surface;
    EXPECT_FALSE(surface.applyColorKey(kMagentaRef));
}

// An opaque picture as the colour key leaves it, and a one-pixel mask of the given colour.
std::uint32_t maskedPixel(std::uint32_t picture, std::uint32_t mask)
{
    Surface32 surface = filledSurface(1, 1, picture);
    const Surface32 maskSurface = filledSurface(1, 1, mask);
    EXPECT_TRUE(surface.applyMask(maskSurface));
    return surface.pixel(0, 0);
}

TEST(Mask, GreyLevelBecomesAlphaAndScalesChannels)
{
    constexpr std::uint32_t picture = 0xFF4080C0;
    EXPECT_EQ(maskedPixel(picture, 0x00000000), 0u) << "black hides";
    EXPECT_EQ(maskedPixel(picture, 0x00FFFFFF), picture) << "white keeps";
    // 0x40 * 128 / 255 = 32, 0x80 * 128 / 255 = 64, 0xC0 * 128 / 255 = 96
    EXPECT_EQ(maskedPixel(picture, 0x00808080), 0x80204060u) << "mid-grey";
    // e = (10 + 20 + 31) / 3 = 20; 0xC0 * 20 / 255 = 15
    EXPECT_EQ(maskedPixel(picture, 0x000A141F), 0x14050A0Fu) << "channels averaged, rounded down";
    // The mask's own alpha byte plays no part.
    EXPECT_EQ(maskedPixel(picture, 0xFF808080), 0x80204060u);
}

TEST(Mask, PureRedMakesPixelAdditive)
{
    constexpr std::uint32_t picture = 0xFF4080C0;
    EXPECT_EQ(maskedPixel(picture, 0x00FF0000), 0x004080C0u);
    EXPECT_EQ(maskedPixel(picture, 0x00FE0101), 0x004080C0u) << "low bits ignored";
    // Red 253 is plain grey-level 84.
    EXPECT_EQ(maskedPixel(picture, 0x00FD0000), 0x54152A3Fu);
    EXPECT_EQ(maskedPixel(picture, 0x00FF0200), 0x55152A40u);

    Surface32 surface = filledSurface(1, 1, picture);
    ASSERT_TRUE(surface.applyMask(filledSurface(1, 1, 0x00FF0000)));
    EXPECT_TRUE(surface.hasAdditivePixels());
}

TEST(Mask, TransparentPixelsStayUntouched)
{
    // Keyed-out pixels, and a picture never keyed (alpha 0 everywhere).
    EXPECT_EQ(maskedPixel(0x00000000, 0x00FFFFFF), 0u);
    EXPECT_EQ(maskedPixel(0x00000000, 0x00FF0000), 0u);
    EXPECT_EQ(maskedPixel(0x00123456, 0x00808080), 0x00123456u);
}

TEST(Mask, SmallMaskIsTiledOverTheWholePicture)
{
    // Grey levels 0x40, 0x80 on the upper mask row and 0xC0, 0xFF on the lower one.
    const std::uint32_t grey[2][2] = { { 0x404040, 0x808080 }, { 0xC0C0C0, 0xFFFFFF } };
    const Surface32 mask = makeSurface(2, 2, [&](int x, int y) { return grey[y][x]; });
    Surface32 surface = filledSurface(10, 10, 0xFFFFFFFF);
    ASSERT_TRUE(surface.applyMask(mask));
    EXPECT_TRUE(surfaceMatches(surface, [&](int x, int y) {
        const std::uint32_t e = grey[y % 2][x % 2] & 0xFF;
        return e << 24 | e << 16 | e << 8 | e;
    }));
}

TEST(Mask, TilingStartsFromTheLowerLeftCorner)
{
    // Rows of 0x40 over 0xFF: with an odd picture height the bottom picture row must
    // meet the bottom mask row, so the top row is 0xFF too.
    const Surface32 mask = makeSurface(1, 2, [](int, int y) { return y == 0 ? 0x404040u : 0xFFFFFFu; });
    Surface32 surface = filledSurface(3, 5, 0xFFFFFFFF);
    ASSERT_TRUE(surface.applyMask(mask));
    EXPECT_TRUE(surfaceMatches(surface, [](int, int y) { return y % 2 == 0 ? 0xFFFFFFFFu : 0x40404040u; }));

    // A mask taller than the picture lends its lowest rows.
    Surface32 small = filledSurface(1, 1, 0xFFFFFFFF);
    ASSERT_TRUE(small.applyMask(mask));
    EXPECT_EQ(small.pixel(0, 0), 0xFFFFFFFFu);
}

TEST(Mask, SurfaceMaskedWithItself)
{
    // Mid-grey 0x808080 opaque: e = 128, channels 128 * 128 / 255 = 64.
    Surface32 surface = filledSurface(3, 3, 0xFF808080);
    ASSERT_TRUE(surface.applyMask(surface));
    EXPECT_TRUE(surfaceMatches(surface, [](int, int) { return 0x80404040u; }));
}

TEST(Mask, EmptySurfacesFail)
{
    Surface32 empty;
    Surface32 surface = filledSurface(2, 2, 0xFF102030);
    EXPECT_FALSE(empty.applyMask(surface));
    EXPECT_FALSE(surface.applyMask(empty));
    EXPECT_EQ(surface.pixel(1, 1), 0xFF102030u);
}

} // namespace
} // namespace zr5::gfx::test
