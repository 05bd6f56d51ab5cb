#include "gfx/bitmap_header.h"
#include "gfx_test_support.h"

#include <cstdlib>
#include <sys/stat.h>

namespace zr5::gfx::test {
namespace {

struct Picture {
    BmpContent content;
    PixelFunction colour; // 0xRRGGBB the picture shows at (x, y), y from the top
    int tolerance = 0;
};

std::vector<std::uint32_t> makePalette(int count, std::uint32_t (*colour)(int))
{
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < count; ++i) {
        palette.push_back(colour(i));
    }
    return palette;
}

std::uint32_t paletteColour(int i)
{
    const auto v = static_cast<std::uint32_t>(i);
    return (v * 11 & 0xFF) << 16 | (255 - v) << 8 | ((v * 7 + 3) & 0xFF);
}

Picture indexed(int width, int height, int bits, const PixelFunction& index)
{
    Picture p;
    p.content = BmpContent { width, height, bits, 0, makePalette(1 << bits, paletteColour), {},
        packRows(width, std::abs(height), bits, height < 0, index) };
    p.colour = [index](int x, int y) { return paletteColour(static_cast<int>(index(x, y))); };
    return p;
}

std::uint32_t trueColour(int x, int y)
{
    return static_cast<std::uint32_t>(x * 40) << 16 | static_cast<std::uint32_t>(y * 80) << 8 | 0x5A;
}

// 5 bits per channel stored as 0RRRRRGGGGGBBBBB (or 6 bits of green with bitFields 565).
Picture sixteenBit(bool rgb565)
{
    const auto value = [rgb565](int x, int y) -> std::uint32_t {
        const std::uint32_t r = static_cast<std::uint32_t>(x * 10), g = static_cast<std::uint32_t>(y * 15),
                            b = 31u - r / 10;
        return rgb565 ? r << 11 | (g * 2) << 5 | b : r << 10 | g << 5 | b;
    };
    Picture p;
    p.content = BmpContent { 3, 3, 16, rgb565 ? 3u : 0u, {}, {}, packRows(3, 3, 16, false, value) };
    if (rgb565) {
        p.content.bitFields = { 0xF800, 0x07E0, 0x001F };
    }
    p.colour = [](int x, int y) {
        const auto scale = [](int v) { return static_cast<std::uint32_t>(v * 255 / 31); };
        return scale(x * 10) << 16 | scale(y * 15) << 8 | scale(31 - x);
    };
    p.tolerance = 8; // readers widen 5-bit channels by shifting or by replicating bits
    return p;
}

Picture direct(int bits, int height, std::uint32_t compression = 0)
{
    Picture p;
    // The fourth byte of 32-bit pixels is noise: the loader must drop it.
    const auto value = [bits](int x, int y) { return trueColour(x, y) | (bits == 32 ? 0x7F000000u : 0u); };
    p.content = BmpContent { 5, height, bits, compression, {}, {},
        packRows(5, std::abs(height), bits, height < 0, value) };
    if (compression == 3) {
        p.content.bitFields = { 0xFF0000, 0x00FF00, 0x0000FF };
    }
    p.colour = trueColour;
    return p;
}

Picture runLength(int bits)
{
    const PixelFunction index = [](int x, int y) { return static_cast<std::uint32_t>((x / 2 + y) % 5 + 1); };
    Picture p;
    p.content = BmpContent { 7, 3, bits, bits == 8 ? 1u : 2u, makePalette(1 << bits, paletteColour), {},
        bits == 8 ? encodeRle8(7, 3, index) : encodeRle4(7, 3, index) };
    p.colour = [index](int x, int y) { return paletteColour(static_cast<int>(index(x, y))); };
    return p;
}

struct LoadCase {
    const char* name;
    Picture (*make)();
};

class BitmapDepths : public ::testing::TestWithParam<LoadCase> {
protected:
    TempFiles m_files;
};

TEST_P(BitmapDepths, PixelsArriveInPlaceWithAlphaZero)
{
    const Picture picture = GetParam().make();
    Surface32 surface;
    ASSERT_TRUE(surface.loadBitmap(m_files.write("picture.bmp", encodeBmp(picture.content))));
    ASSERT_EQ(surface.width(), picture.content.width);
    ASSERT_EQ(surface.height(), std::abs(picture.content.height));
    EXPECT_TRUE(surfaceMatches(surface, picture.colour, picture.tolerance));
    for (int y = 0; y < surface.height(); ++y) {
        for (int x = 0; x < surface.width(); ++x) {
            ASSERT_EQ(surface.pixel(x, y) >> 24, 0u) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Load, BitmapDepths,
    ::testing::Values(
        LoadCase { "OneBit", [] { return indexed(5, 3, 1, [](int x, int y) { return (x + y) % 2u; }); } },
        LoadCase {
            "FourBit", [] { return indexed(5, 3, 4, [](int x, int y) { return (x + 5u * y) % 16u; }); } },
        LoadCase {
            "EightBit", [] { return indexed(7, 3, 8, [](int x, int y) { return x + 7u * y + 100u; }); } },
        LoadCase {
            "EightBitTopDown", [] { return indexed(7, -3, 8, [](int x, int y) { return x + 7u * y; }); } },
        LoadCase { "SixteenBit555", [] { return sixteenBit(false); } },
        LoadCase { "SixteenBit565", [] { return sixteenBit(true); } },
        LoadCase { "TwentyFourBit", [] { return direct(24, 3); } },
        LoadCase { "TwentyFourBitTopDown", [] { return direct(24, -3); } },
        LoadCase { "ThirtyTwoBit", [] { return direct(32, 2); } },
        LoadCase { "ThirtyTwoBitFields", [] { return direct(32, 2, 3); } },
        LoadCase { "RunLength8", [] { return runLength(8); } },
        LoadCase { "RunLength4", [] { return runLength(4); } }),
    [](const auto& info) { return std::string(info.param.name); });

class BitmapFaults : public ::testing::Test {
protected:
    bool loads(const Bytes& bytes)
    {
        Surface32 surface;
        surface.create(2, 2);
        const bool ok = surface.loadBitmap(m_files.write("fault.bmp", bytes));
        EXPECT_EQ(ok, !surface.isNull()) << "a failed load leaves no picture behind";
        return ok;
    }

    static Bytes withField(Bytes bytes, std::size_t at, std::uint32_t value, int size = 4)
    {
        for (int i = 0; i < size; ++i) {
            bytes[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i) & 0xFF);
        }
        return bytes;
    }

    TempFiles m_files;
    const Bytes m_good = encodeBmp(direct(24, 3).content);
};

TEST_F(BitmapFaults, GoodFileLoads)
{
    EXPECT_TRUE(loads(m_good));
}

TEST_F(BitmapFaults, MissingFileFails)
{
    Surface32 surface;
    EXPECT_FALSE(surface.loadBitmap("/nonexistent/zr5/picture.bmp"));
    EXPECT_TRUE(surface.isNull());
}

TEST_F(BitmapFaults, OnlyRegularFilesAreRead)
{
    Surface32 surface;
    EXPECT_FALSE(surface.loadBitmap(m_files.write("x.bmp", m_good).parent_path()));
    const auto fifo = m_files.write("placeholder", {}).parent_path() / "fifo.bmp";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(surface.loadBitmap(fifo)) << "returns at once instead of waiting for a writer";
}

TEST_F(BitmapFaults, PathIsPassedAsBytes)
{
    // Katakana "skin" in Shift_JIS: not valid UTF-8, as skin folder names may be.
    Surface32 surface;
    EXPECT_TRUE(surface.loadBitmap(m_files.write("\x83\x58\x83\x4C\x83\x93.bmp", m_good)));
}

TEST_F(BitmapFaults, TruncatedFilesFail)
{
    for (std::size_t length : { std::size_t { 0 }, std::size_t { 2 }, std::size_t { 14 }, std::size_t { 30 },
             std::size_t { 54 }, m_good.size() - 1 }) {
        EXPECT_FALSE(loads(Bytes(m_good.begin(), m_good.begin() + static_cast<std::ptrdiff_t>(length))))
            << length << " bytes";
    }
}

TEST_F(BitmapFaults, MalformedHeadersFail)
{
    EXPECT_FALSE(loads(withField(m_good, 0, 'B' | 'A' << 8, 2))) << "signature";
    EXPECT_FALSE(loads(withField(m_good, 14, 8))) << "info header size";
    EXPECT_FALSE(loads(withField(m_good, 18, 0))) << "zero width";
    EXPECT_FALSE(loads(withField(m_good, 18, static_cast<std::uint32_t>(-5)))) << "negative width";
    EXPECT_FALSE(loads(withField(m_good, 22, 0))) << "zero height";
    EXPECT_FALSE(loads(withField(m_good, 28, 7, 2))) << "depth";
    EXPECT_FALSE(loads(withField(m_good, 30, 2))) << "run-length 4 on 24 bits";
    EXPECT_FALSE(loads(withField(m_good, 30, 4))) << "embedded JPEG";
    EXPECT_FALSE(loads(withField(m_good, 22, 0x80000000u))) << "height INT32_MIN";
}

TEST_F(BitmapFaults, HugeClaimsAreRefusedBeforeDecoding)
{
    // Under ASan an attempt to allocate 40 GB would abort the test, so passing shows
    // nothing of that size was allocated.
    const Bytes huge = withField(withField(m_good, 18, 100000), 22, 100000);
    EXPECT_FALSE(loads(huge));
    const Bytes hugeRle = withField(withField(encodeBmp(runLength(8).content), 18, 100000), 22, 100000);
    EXPECT_FALSE(loads(hugeRle));
    EXPECT_FALSE(loads(withField(encodeBmp(runLength(8).content), 18, kMaxSurfaceSide + 1)));
    // Sizes whose byte count overflows 64 bits.
    const Bytes widest = withField(withField(withField(m_good, 18, 0x7FFFFFFF), 22, 0x7FFFFFFF), 28, 32, 2);
    EXPECT_FALSE(loads(widest));
}

TEST_F(BitmapFaults, ColourKeyAfterLoading)
{
    BmpContent content { 3, 1, 24, 0, {}, {},
        packRows(3, 1, 24, false, [](int x, int) {
            return std::array<std::uint32_t, 3> { 0xFF00FF, 0x123456, 0xFE01FE }[static_cast<std::size_t>(x)];
        }) };
    Surface32 surface;
    ASSERT_TRUE(surface.loadBitmap(m_files.write("keyed.bmp", encodeBmp(content))));
    ASSERT_TRUE(surface.applyColorKey(0x00FF00FF));
    EXPECT_TRUE(surfaceMatches(surface, [](int x, int) { return x == 1 ? 0xFF123456u : 0u; }));
}

TEST(BitmapHeaderParse, ReadsSizesAndDirection)
{
    const Bytes topDown = encodeBmp(direct(24, -3).content);
    const auto header = parseBitmapHeader(topDown, static_cast<std::int64_t>(topDown.size()));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->width, 5);
    EXPECT_EQ(header->height, 3);
    EXPECT_TRUE(header->topDown);
    EXPECT_EQ(header->bitsPerPixel, 24);
    EXPECT_EQ(header->pixelOffset, 54);
    // Announcing more bytes than the file holds.
    EXPECT_FALSE(parseBitmapHeader(topDown, 54 + 15));
}

TEST(BitmapHeaderParse, OldCoreHeader)
{
    // 12-byte header: 16-bit width and height, planes, depth; then a 3-byte palette.
    Bytes bytes { 'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0, 0, 12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0 };
    bytes.insert(bytes.end(), { 0, 0, 0, 255, 255, 255, 0x40, 0, 0, 0 });
    const auto header = parseBitmapHeader(bytes, static_cast<std::int64_t>(bytes.size()));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->width, 2);
    EXPECT_EQ(header->height, 1);
    EXPECT_EQ(header->bitsPerPixel, 1);
    EXPECT_FALSE(header->topDown);
}

} // namespace
} // namespace zr5::gfx::test
