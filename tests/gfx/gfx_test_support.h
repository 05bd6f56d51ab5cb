// Shared pieces of the graphics tests: a BMP writer, surface builders and a
// whole-surface comparison that leaves PNGs of both pictures behind on failure.
#pragma once

#include "gfx/surface32.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zr5::gfx::test {

using Bytes = std::vector<unsigned char>;
using PixelFunction = std::function<std::uint32_t(int x, int y)>;

struct BmpContent {
    int width = 0;
    int height = 0; // negative for rows stored top-down
    int bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> palette; // 0x00RRGGBB
    std::vector<std::uint32_t> bitFields; // red, green, blue masks for compression 3
    Bytes pixels; // exactly as stored in the file
};

// A complete file: file header, 40-byte info header, masks, palette, pixels.
Bytes encodeBmp(const BmpContent& content);
// Rows of an uncompressed picture in file order; value(x, y) (y from the top) is a
// palette index, a 16-bit word, 0xRRGGBB or a 32-bit word depending on the depth.
Bytes packRows(int width, int height, int bitsPerPixel, bool topDown, const PixelFunction& value);
// Run-length streams (bottom-up) for compression 1 (8 bits) and 2 (4 bits).
Bytes encodeRle8(int width, int height, const PixelFunction& index);
Bytes encodeRle4(int width, int height, const PixelFunction& index);

// A file in a fresh folder of the test's own, removed with the fixture.
class TempFiles final {
public:
    TempFiles();
    ~TempFiles();
    TempFiles(const TempFiles&) = delete;
    TempFiles& operator=(const TempFiles&) = delete;
    std::filesystem::path write(const std::string& name, const Bytes& bytes) const;

private:
    std::filesystem::path m_dir;
};

Surface32 makeSurface(int width, int height, const PixelFunction& pixel);
Surface32 filledSurface(int width, int height, std::uint32_t argb);

// Compares every pixel (each channel within tolerance); on mismatch writes
// <test>-actual.png and <test>-expected.png into the working folder.
::testing::AssertionResult surfaceMatches(
    const Surface32& actual, const PixelFunction& expected, int tolerance = 0);

} // namespace zr5::gfx::test
