#include "gfx/surface32.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace zr5::gfx {

namespace {

// Beyond this a stretched rectangle only overflows Qt's fixed-point arithmetic.
constexpr std::int64_t kMaxCoordinate = std::int64_t { 1 } << 24;

bool fitsCoordinate(std::int64_t v)
{
    return v >= -kMaxCoordinate && v <= kMaxCoordinate;
}

// Far beyond any coordinate that fits, and still exact in a double.
constexpr double kMaxScaledEdge = 0x1p52;

std::int64_t deviceEdge(std::int64_t logical, double scale)
{
    const double scaled = std::clamp(static_cast<double>(logical) * scale, -kMaxScaledEdge, kMaxScaledEdge);
    return std::llround(scaled);
}

QRect rectOf(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h)
{
    return QRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h));
}

// A destination rectangle in logical pixels, wide enough that sums cannot overflow.
struct Piece {
    std::int64_t x, y, w, h;
};

// The part of src that the pieces of one blit read, with its place in src.
struct SourceArea {
    QImage pixels;
    QPoint origin;
};

// Additive pixels need the constant alpha applied before they are added, since Qt's
// Plus saturates first and blends with the constant alpha afterwards; copying with
// the Source mode scales every pixel by the opacity, alpha-0 pixels included.
SourceArea premultiplyArea(const QImage& image, const QRect& area, int constantAlpha)
{
    SourceArea scaled { QImage(area.size(), QImage::Format_ARGB32_Premultiplied), area.topLeft() };
    if (area.isEmpty()) {
        return scaled; // every piece will be refused
    }
    scaled.pixels.fill(0);
    QPainter painter(&scaled.pixels);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setOpacity(constantAlpha / double { kOpaque });
    painter.drawImage(QPoint(0, 0), image, area);
    return scaled;
}

// Draws pieces of one blit; opened once per blit so every piece shares the painter.
class PieceBlender final {
public:
    // area: the source rectangle of the blit, already clipped to src.
    PieceBlender(Surface32& dst, const Surface32& src, const QRect& area, int constantAlpha, double scale)
        : m_sourceSize(src.image().size())
        , m_additive(src.hasAdditivePixels())
        , m_scale(scale)
        , m_painter(&dst.image())
    {
        if (m_additive && constantAlpha < kOpaque) {
            m_source = premultiplyArea(src.image(), area, constantAlpha);
        } else {
            // Drawing a surface onto itself would read pixels the painter is changing.
            m_source.pixels = &dst == &src ? src.image().copy() : src.image();
            m_painter.setOpacity(constantAlpha / double { kOpaque });
        }
    }

    // The piece is skipped, as the system blend refuses it, when the source rectangle
    // is empty or leaves the source surface, or when its place on the device is
    // empty or too far out for Qt's fixed-point arithmetic.
    void draw(const Piece& piece, std::int64_t sx, std::int64_t sy, std::int64_t sw, std::int64_t sh)
    {
        const std::int64_t left = deviceEdge(piece.x, m_scale);
        const std::int64_t top = deviceEdge(piece.y, m_scale);
        const std::int64_t right = deviceEdge(piece.x + piece.w, m_scale);
        const std::int64_t bottom = deviceEdge(piece.y + piece.h, m_scale);
        if (right <= left || bottom <= top || sw <= 0 || sh <= 0 || sx < 0 || sy < 0
            || sx + sw > m_sourceSize.width() || sy + sh > m_sourceSize.height() || !fitsCoordinate(left)
            || !fitsCoordinate(top) || !fitsCoordinate(right) || !fitsCoordinate(bottom)) {
            return;
        }
        const QRect target = rectOf(left, top, right - left, bottom - top);
        const QRect source(static_cast<int>(sx) - m_source.origin.x(),
            static_cast<int>(sy) - m_source.origin.y(), static_cast<int>(sw), static_cast<int>(sh));
        if (!m_additive) {
            m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            m_painter.drawImage(target, m_source.pixels, source);
            return;
        }
        // Source-over treats alpha-0 pixels as absent and would drop additive light;
        // darkening by the source alpha and then adding (saturated) keeps it.
        m_painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        m_painter.drawImage(target, m_source.pixels, source);
        m_painter.setCompositionMode(QPainter::CompositionMode_Plus);
        m_painter.drawImage(target, m_source.pixels, source);
    }

private:
    QSize m_sourceSize;
    SourceArea m_source;
    bool m_additive;
    double m_scale;
    QPainter m_painter;
};

// Cuts [start, start + length) into pieces of `step` while more than `step` remains,
// then one shorter or equal last piece; only pieces meeting [0, limit) are reported
// as (offset from start, length), so a huge length costs nothing.
template <typename Visit>
void forEachTile(
    std::int64_t start, std::int64_t length, std::int64_t step, std::int64_t limit, Visit&& visit)
{
    if (length <= 0 || step <= 0) {
        return;
    }
    const std::int64_t fullPieces = length > step ? (length - step + step - 1) / step : 0;
    std::int64_t k = start < 0 ? std::min(-start / step, fullPieces) : 0;
    for (; k < fullPieces && start + k * step < limit; ++k) {
        visit(k * step, step);
    }
    const std::int64_t last = fullPieces * step;
    if (start + last < limit && start + length > 0) {
        visit(last, length - last);
    }
}

// Destination and source rectangles of one blit, widened so sums cannot overflow.
struct BlitArea {
    std::int64_t dx, dy, dw, dh;
    std::int64_t sx, sy, sw, sh;
};

// Every piece reads from (sx, sy) and at most (sw, sh) pixels of the source.
QRect clippedSource(const BlitArea& a, const QSize& size)
{
    const std::int64_t left = std::clamp<std::int64_t>(a.sx, 0, size.width());
    const std::int64_t top = std::clamp<std::int64_t>(a.sy, 0, size.height());
    const std::int64_t right = std::clamp<std::int64_t>(a.sx + a.sw, left, size.width());
    const std::int64_t bottom = std::clamp<std::int64_t>(a.sy + a.sh, top, size.height());
    return rectOf(left, top, right - left, bottom - top);
}

// The surface's extent in logical pixels: tiles beyond it cannot reach a device pixel.
QSize logicalSize(const QSize& device, double scale)
{
    const auto extent = [scale](int pixels) {
        return static_cast<int>(std::min(std::ceil(pixels / scale), double { kMaxCoordinate }));
    };
    return { extent(device.width()), extent(device.height()) };
}

void blitTiled(PieceBlender& blender, const QSize& limit, const BlitArea& a, int mode)
{
    switch (mode) {
    case BlitTileX:
        forEachTile(a.dx, a.dw, a.sw, limit.width(), [&](std::int64_t off, std::int64_t len) {
            blender.draw({ a.dx + off, a.dy, len, a.dh }, a.sx, a.sy, len, a.sh);
        });
        break;
    case BlitTileY:
        forEachTile(a.dy, a.dh, a.sh, limit.height(), [&](std::int64_t off, std::int64_t len) {
            blender.draw({ a.dx, a.dy + off, a.dw, len }, a.sx, a.sy, a.sw, len);
        });
        break;
    case BlitTileBoth:
        forEachTile(a.dy, a.dh, a.sh, limit.height(), [&](std::int64_t offY, std::int64_t lenY) {
            forEachTile(a.dx, a.dw, a.sw, limit.width(), [&](std::int64_t offX, std::int64_t lenX) {
                blender.draw({ a.dx + offX, a.dy + offY, lenX, lenY }, a.sx, a.sy, lenX, lenY);
            });
        });
        break;
    default:
        break;
    }
}

// One column or row of a nine-part frame: destination and source offset and length.
struct FrameBand {
    std::int64_t offset;
    std::int64_t length;
    std::int64_t sourceOffset;
    std::int64_t sourceLength;
};

std::array<FrameBand, 3> frameBands(
    std::int64_t length, std::int64_t sourceLength, std::int64_t head, std::int64_t tail)
{
    return { {
        { 0, head, 0, head },
        { head, length - head - tail, head, sourceLength - head - tail },
        { length - tail, tail, sourceLength - tail, tail },
    } };
}

bool fitsInt(std::int64_t v)
{
    return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
}

void setRow(Surface32& dst, int y, int from, int to, std::uint32_t color)
{
    auto* line = reinterpret_cast<std::uint32_t*>(dst.image().scanLine(y));
    std::fill(line + from, line + to, color);
}

void setColumn(Surface32& dst, int x, int from, int to, std::uint32_t color)
{
    for (int y = from; y < to; ++y) {
        reinterpret_cast<std::uint32_t*>(dst.image().scanLine(y))[x] = color;
    }
}

} // namespace

bool isValidScale(double scale)
{
    return scale > 0.0 && std::isfinite(scale);
}

Rect unite(const Rect& a, const Rect& b)
{
    if (a.isEmpty()) {
        return b.isEmpty() ? Rect {} : b;
    }
    if (b.isEmpty()) {
        return a;
    }
    return { std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
        std::max(a.bottom, b.bottom) };
}

Rect intersect(const Rect& a, const Rect& b)
{
    const Rect both { std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
        std::min(a.bottom, b.bottom) };
    return both.isEmpty() ? Rect {} : both;
}

Rect toDevice(const Rect& logical, double scale)
{
    const auto edge = [scale](int v) {
        return static_cast<int>(std::clamp<std::int64_t>(deviceEdge(v, scale), -kMaxRectEdge, kMaxRectEdge));
    };
    return { edge(logical.left), edge(logical.top), edge(logical.right), edge(logical.bottom) };
}

void blit(Surface32& dst, int dx, int dy, int dw, int dh, const Surface32& src, int sx, int sy, int sw,
    int sh, int constantAlpha, int mode, double scale)
{
    if (dst.isNull() || src.isNull() || constantAlpha <= 0 || !isValidScale(scale)) {
        return;
    }
    const BlitArea area { dx, dy, dw, dh, sx, sy, sw, sh };
    PieceBlender blender(
        dst, src, clippedSource(area, src.image().size()), std::min(constantAlpha, kOpaque), scale);
    if (mode == BlitStretch) {
        blender.draw({ area.dx, area.dy, area.dw, area.dh }, area.sx, area.sy, area.sw, area.sh);
    } else {
        blitTiled(blender, logicalSize(dst.image().size(), scale), area, mode);
    }
}

void drawFrame(Surface32& dst, int dx, int dy, int dw, int dh, const Surface32& src, int left, int right,
    int top, int bottom, int constantAlpha, int mode, double scale)
{
    if (dst.isNull() || src.isNull()) {
        return;
    }
    const auto columns = frameBands(dw, src.width(), left, right);
    const auto rows = frameBands(dh, src.height(), top, bottom);
    for (const FrameBand& row : rows) {
        for (const FrameBand& column : columns) {
            const std::array<std::int64_t, 8> v { dx + column.offset, dy + row.offset, column.length,
                row.length, column.sourceOffset, row.sourceOffset, column.sourceLength, row.sourceLength };
            if (std::all_of(v.begin(), v.end(), fitsInt)) {
                blit(dst, static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]),
                    static_cast<int>(v[3]), src, static_cast<int>(v[4]), static_cast<int>(v[5]),
                    static_cast<int>(v[6]), static_cast<int>(v[7]), constantAlpha, mode, scale);
            }
        }
    }
}

void drawOutline(Surface32& dst, const Rect& rect, std::uint32_t colorRef)
{
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const int right = std::min(rect.right, dst.width());
    const int bottom = std::min(rect.bottom, dst.height());
    if (dst.isNull() || left >= right || top >= bottom) {
        return;
    }
    const std::uint32_t color = 0xFF000000 | colorRefToPixel(colorRef);
    if (rect.top >= 0) {
        setRow(dst, top, left, right, color);
    }
    if (rect.right <= dst.width()) {
        setColumn(dst, right - 1, top, bottom, color);
    }
    if (rect.bottom <= dst.height()) {
        setRow(dst, bottom - 1, left, right, color);
    }
    if (rect.left >= 0) {
        setColumn(dst, left, top, bottom, color);
    }
}

} // namespace zr5::gfx
