// The fixed headers at the start of a Windows BMP file, read before any decoding so
// that a file claiming an absurd size, or lacking the pixel bytes it announces, is
// refused without allocating anything.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace zr5::gfx {

enum class BitmapCompression : std::uint32_t {
    Rgb = 0,
    Rle8 = 1,
    Rle4 = 2,
    BitFields = 3,
};

struct BitmapHeader {
    int width = 0;
    int height = 0; // always positive; see topDown
    bool topDown = false; // a negative height in the file
    int bitsPerPixel = 0;
    BitmapCompression compression = BitmapCompression::Rgb;
    std::int64_t pixelOffset = 0; // where the pixel rows start
};

// Enough bytes for the file header and the largest info header (version 5).
inline constexpr std::size_t kBitmapHeaderBytes = 14 + 124;

// Parses the leading bytes of a file of fileSize bytes. Refuses a wrong signature,
// zero or negative sizes, unknown depths or compressions, and uncompressed pixel
// data that would run past the end of the file.
std::optional<BitmapHeader> parseBitmapHeader(std::span<const unsigned char> bytes, std::int64_t fileSize);

} // namespace zr5::gfx
