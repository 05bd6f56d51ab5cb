#include "gfx/bitmap_header.h"

#include <algorithm>
#include <cstdint>

namespace zr5::gfx {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12; // the old OS/2 layout with 16-bit sizes
constexpr std::uint32_t kInfoHeaderSize = 40;

std::uint32_t readU16(std::span<const unsigned char> b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}

std::uint32_t readU32(std::span<const unsigned char> b, std::size_t at)
{
    return readU16(b, at) | readU16(b, at + 2) << 16;
}

std::int32_t readI32(std::span<const unsigned char> b, std::size_t at)
{
    return static_cast<std::int32_t>(readU32(b, at));
}

bool depthFits(int bits, BitmapCompression compression)
{
    switch (compression) {
    case BitmapCompression::Rgb:
        return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case BitmapCompression::Rle8:
        return bits == 8;
    case BitmapCompression::Rle4:
        return bits == 4;
    case BitmapCompression::BitFields:
        return bits == 16 || bits == 32;
    }
    return false;
}

// Reads the size, depth and compression fields; nullopt when the info header is cut short.
std::optional<BitmapHeader> readInfo(std::span<const unsigned char> bytes, std::uint32_t infoSize)
{
    const std::size_t info = kFileHeaderSize;
    BitmapHeader header;
    if (infoSize == kCoreHeaderSize) {
        header.width = static_cast<int>(readU16(bytes, info + 4));
        header.height = static_cast<int>(readU16(bytes, info + 6));
        header.bitsPerPixel = static_cast<int>(readU16(bytes, info + 10));
        return header;
    }
    if (infoSize < kInfoHeaderSize || bytes.size() < info + kInfoHeaderSize) {
        return std::nullopt;
    }
    const std::int64_t height = readI32(bytes, info + 8);
    header.width = readI32(bytes, info + 4);
    header.topDown = height < 0;
    // INT32_MIN has no positive counterpart; it is far beyond any size limit anyway.
    header.height
        = height < 0 ? (height == INT32_MIN ? 0 : static_cast<int>(-height)) : static_cast<int>(height);
    header.bitsPerPixel = static_cast<int>(readU16(bytes, info + 14));
    header.compression = static_cast<BitmapCompression>(readU32(bytes, info + 16));
    return header;
}

} // namespace

std::optional<BitmapHeader> parseBitmapHeader(std::span<const unsigned char> bytes, std::int64_t fileSize)
{
    if (bytes.size() < kFileHeaderSize + 4 || bytes[0] != 'B' || bytes[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t infoSize = readU32(bytes, kFileHeaderSize);
    if (infoSize < kCoreHeaderSize || bytes.size() < kFileHeaderSize + kCoreHeaderSize) {
        return std::nullopt;
    }
    auto header = readInfo(bytes, infoSize);
    if (!header || header->width <= 0 || header->height <= 0
        || !depthFits(header->bitsPerPixel, header->compression)) {
        return std::nullopt;
    }
    // Some writers leave the offset at zero; the pixels then follow the headers.
    const std::int64_t headersEnd = static_cast<std::int64_t>(kFileHeaderSize) + infoSize;
    header->pixelOffset = std::max<std::int64_t>(readU32(bytes, 10), headersEnd);
    if (header->compression == BitmapCompression::Rle4 || header->compression == BitmapCompression::Rle8) {
        return header->pixelOffset < fileSize ? header : std::nullopt;
    }
    const std::int64_t stride
        = (static_cast<std::int64_t>(header->width) * header->bitsPerPixel + 31) / 32 * 4;
    // Divided rather than multiplied: width and height may each be near 2^31.
    if (header->pixelOffset > fileSize || stride > (fileSize - header->pixelOffset) / header->height) {
        return std::nullopt;
    }
    return header;
}

} // namespace zr5::gfx
