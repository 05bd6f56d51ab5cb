// 32-bit premultiplied ARGB surfaces (pixel word 0xAARRGGBB) and the drawing
// primitives skins are made of. Backed by QImage::Format_ARGB32_Premultiplied;
// all blending is QPainter's source-over with a constant opacity. Pixels with more
// colour than alpha (additive light from a mask's pure red) are added below with
// saturation: QPainter alone would skip their alpha-0 pixels.
//
// Coordinates are top-down (y = 0 is the top row). Colours given in the skin
// language's form are colour references 0x00BBGGRR.
#pragma once

#include <QImage>
#include <cstdint>
#include <filesystem>

namespace zr5::gfx {

// Same numbers as the skin property `mode`.
enum BlitMode : int {
    BlitStretch = 0,
    BlitTileX = 1,
    BlitTileY = 2,
    BlitTileBoth = 3,
};

// Alpha of a fully opaque pixel, and the constant alpha that blends at full strength.
inline constexpr int kOpaque = 255;

// Larger surfaces are refused, so a hostile bitmap header cannot exhaust memory.
inline constexpr int kMaxSurfaceSide = 16384;

// A colour reference 0x00BBGGRR in pixel order 0x00RRGGBB.
constexpr std::uint32_t colorRefToPixel(std::uint32_t colorRef)
{
    return (colorRef & 0xFF) << 16 | (colorRef & 0xFF00) | (colorRef >> 16 & 0xFF);
}

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0; // exclusive
    int bottom = 0; // exclusive

    bool isEmpty() const { return right <= left || bottom <= top; }
};

// The smallest rectangle holding both; an empty one adds nothing.
Rect unite(const Rect& a, const Rect& b);
// Where both overlap; empty (all zero) when they do not.
Rect intersect(const Rect& a, const Rect& b);

class Surface32 final {
public:
    Surface32() = default;

    // A fresh, fully transparent surface; false for sizes below 1 or above the limit.
    bool create(int width, int height);
    // A BMP file (1 to 32 bits, run-length 4/8, bottom-up or top-down) as Qt's reader
    // decodes it; every alpha byte is 0 afterwards. The headers are checked first: a
    // picture above the size limit, or shorter than its headers announce, is refused
    // without decoding, and the surface is left empty.
    bool loadBitmap(const std::filesystem::path& path);
    // Pixels equal to key (low bit of each channel ignored) become 0, all others opaque.
    bool applyColorKey(std::uint32_t colorRef);
    // The same inside area only (clipped to the surface).
    bool applyColorKey(std::uint32_t colorRef, const Rect& area);
    // Grey level of the mask (tiled from the lower-left corner) becomes alpha;
    // pure red in the mask makes the pixel additive (alpha 0, colour kept). False when
    // either surface is empty.
    bool applyMask(const Surface32& mask);

    bool isNull() const { return m_image.isNull(); }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    std::uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, std::uint32_t argb);
    QImage& image() { return m_image; }
    const QImage& image() const { return m_image; }
    // True when some pixel may carry more colour than its alpha (loaded, not yet keyed,
    // or masked additively): such light is added below, so blits saturate instead of wrapping.
    bool hasAdditivePixels() const { return m_additive; }

private:
    QImage m_image;
    bool m_additive = false;
};

// Edges of scaled rectangles stay within this, so that their sizes fit an int.
inline constexpr int kMaxRectEdge = 1 << 30;

// Device pixels per logical pixel must be a finite number above 0.
bool isValidScale(double scale);

// A logical rectangle on a surface of `scale` device pixels per logical pixel.
// Edges are scaled and rounded rather than sizes, so rectangles that touch in
// logical pixels touch on the device too, without gaps or overlaps.
Rect toDevice(const Rect& logical, double scale);

// Blends src's rectangle onto dst's: result = dst * (1 - srcA * k) + src * k with
// k = constantAlpha / kOpaque. Modes: stretch, or tile along x, y or both (the last
// piece clipped, not scaled). Nearest-neighbour stretching. A piece whose source
// rectangle is empty or leaves src is skipped; an unknown mode draws nothing.
// The destination is in logical pixels: every piece is laid out as at scale 1,
// and only its rectangle on dst is scaled (nearest neighbour, so skin pixels stay
// sharp). An invalid scale draws nothing.
void blit(Surface32& dst, int dx, int dy, int dw, int dh, const Surface32& src, int sx, int sy, int sw,
    int sh, int constantAlpha, int mode, double scale = 1.0);
// Nine-part frame: corners keep their size, edges and centre stretch or tile.
void drawFrame(Surface32& dst, int dx, int dy, int dw, int dh, const Surface32& src, int left, int right,
    int top, int bottom, int constantAlpha, int mode, double scale = 1.0);
// One-pixel opaque outline of rect, clipped to the surface.
void drawOutline(Surface32& dst, const Rect& rect, std::uint32_t colorRef);

} // namespace zr5::gfx
