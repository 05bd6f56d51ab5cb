#include "gfx/surface32.h"

#include "gfx/bitmap_header.h"

#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <array>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zr5::gfx {

namespace {

constexpr std::uint32_t kColorBits = 0x00FFFFFF;
constexpr std::uint32_t kIgnoreLowBits = 0x00FEFEFE;
constexpr std::uint32_t kAdditiveRed = 0x00FE0000;

std::uint32_t* row(QImage& image, int y)
{
    return reinterpret_cast<std::uint32_t*>(image.scanLine(y));
}

const std::uint32_t* row(const QImage& image, int y)
{
    return reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
}

bool sizeAllowed(int width, int height)
{
    return width >= 1 && height >= 1 && width <= kMaxSurfaceSide && height <= kMaxSurfaceSide;
}

// Checks the headers before Qt sees the file, then decodes it; a null image on any fault.
QImage decodeBitmap(const std::filesystem::path& path)
{
    // Opened by bytes, so a path that is not valid UTF-8 (skin folders named in
    // Shift_JIS) still reaches the file.
    // Only regular files: a FIFO or device under a bitmap's name must not block the load.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info { };
    QFile file;
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0) {
            ::close(fd);
        }
        return {};
    }
    std::array<unsigned char, kBitmapHeaderBytes> bytes {};
    const qint64 got = file.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
    const auto header = parseBitmapHeader(
        std::span(bytes.data(), got < 0 ? 0 : static_cast<std::size_t>(got)), file.size());
    if (!header || !sizeAllowed(header->width, header->height) || !file.seek(0)) {
        return {};
    }
    QImageReader reader(&file, "bmp");
    QImage image;
    if (!reader.read(&image) || image.width() != header->width || image.height() != header->height) {
        return {};
    }
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The mask's grey level as alpha; pure red (low bits ignored) keeps the colour as additive light.
std::uint32_t maskPixel(std::uint32_t pixel, std::uint32_t mask)
{
    if ((mask & kIgnoreLowBits) == kAdditiveRed) {
        return pixel & kColorBits;
    }
    const std::uint32_t e = ((mask >> 16 & 0xFF) + (mask >> 8 & 0xFF) + (mask & 0xFF)) / 3;
    const auto scale = [e](std::uint32_t v) { return v * e / kOpaque; };
    return e << 24 | scale(pixel >> 16 & 0xFF) << 16 | scale(pixel >> 8 & 0xFF) << 8 | scale(pixel & 0xFF);
}

} // namespace

bool Surface32::create(int width, int height)
{
    m_image = QImage();
    m_additive = false;
    if (!sizeAllowed(width, height)) {
        return false;
    }
    m_image = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
    if (m_image.isNull()) {
        return false;
    }
    m_image.fill(0);
    return true;
}

bool Surface32::loadBitmap(const std::filesystem::path& path)
{
    const QImage picture = decodeBitmap(path);
    if (picture.isNull() || !create(picture.width(), picture.height())) {
        m_image = QImage();
        return false;
    }
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint32_t* from = row(picture, y);
        std::uint32_t* to = row(m_image, y);
        for (int x = 0; x < picture.width(); ++x) {
            to[x] = from[x] & kColorBits;
        }
    }
    m_additive = true;
    return true;
}

bool Surface32::applyColorKey(std::uint32_t colorRef)
{
    return applyColorKey(colorRef, { 0, 0, width(), height() });
}

bool Surface32::applyColorKey(std::uint32_t colorRef, const Rect& area)
{
    if (isNull()) {
        return false;
    }
    const std::uint32_t key = colorRefToPixel(colorRef) & kIgnoreLowBits;
    const int left = std::max(area.left, 0);
    const int right = std::min(area.right, width());
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, height()); ++y) {
        std::uint32_t* line = row(m_image, y);
        for (int x = left; x < right; ++x) {
            line[x] = (line[x] & kIgnoreLowBits) == key ? 0 : line[x] | 0xFF000000;
        }
    }
    // Light left outside the area is still additive.
    m_additive = m_additive && (left > 0 || right < width() || area.top > 0 || area.bottom < height());
    return true;
}

bool Surface32::applyMask(const Surface32& mask)
{
    if (isNull() || mask.isNull()) {
        return false;
    }
    // Masking a surface with itself reads pixels this loop has already rewritten.
    const QImage maskImage = &mask == this ? m_image.copy() : mask.image();
    const int maskWidth = maskImage.width();
    const int maskHeight = maskImage.height();
    for (int y = 0; y < height(); ++y) {
        // Both pictures are anchored at their lowest line, so count rows from the bottom.
        const int fromBottom = (height() - 1 - y) % maskHeight;
        const std::uint32_t* maskLine = row(maskImage, maskHeight - 1 - fromBottom);
        std::uint32_t* line = row(m_image, y);
        for (int x = 0; x < width(); ++x) {
            if (line[x] > kColorBits) {
                const std::uint32_t m = maskLine[x % maskWidth];
                m_additive = m_additive || (m & kIgnoreLowBits) == kAdditiveRed;
                line[x] = maskPixel(line[x], m);
            }
        }
    }
    return true;
}

std::uint32_t Surface32::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height()) {
        return 0;
    }
    return row(m_image, y)[x];
}

void Surface32::setPixel(int x, int y, std::uint32_t argb)
{
    if (x < 0 || y < 0 || x >= width() || y >= height()) {
        return;
    }
    row(m_image, y)[x] = argb;
    const std::uint32_t alpha = argb >> 24;
    m_additive
        = m_additive || (argb >> 16 & 0xFF) > alpha || (argb >> 8 & 0xFF) > alpha || (argb & 0xFF) > alpha;
}

} // namespace zr5::gfx
