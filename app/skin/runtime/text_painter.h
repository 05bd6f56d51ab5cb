// A message's text as the ticker has always drawn it: shadow, outline, then
// the text itself, each placed by the top of its character cell, without
// antialiasing. Positions and widths the skin sees are logical pixels; glyphs
// are drawn at the device's resolution but measured at the logical one, so
// that where titles scroll, and when the front one has left, does not depend
// on the screen.
#pragma once

#include "skin/runtime/shaped_text_cache.h"
#include "skin/runtime/skin_sprite.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <string>

namespace zr5::skin {

class TextPainter final {
public:
    // logicalShapes: a second cache, so that the two fonts do not evict each other.
    TextPainter(const TextStyle& style, const TextFonts& fonts, double scale, ShapedTextCache& shapes,
        ShapedTextCache& logicalShapes);

    // The text's advance in logical pixels.
    int width(const std::string& text);
    // Device pixels the text may touch when its pen is at (0, 0): rasterised
    // glyphs may reach a little past their outlines, and a slanted face made
    // from an upright one past its advance.
    QRect reach(const std::string& text);
    // Draws the text with its pen at `pen` (device pixels of image). Glyphs of
    // a long text are drawn only where they can reach image.
    void draw(QImage& image, const std::string& text, QPoint pen);

    int device(int logical) const;

private:
    const TextStyle& m_style;
    const TextFonts& m_fonts;
    double m_scale;
    ShapedTextCache& m_shapes;
    ShapedTextCache& m_logicalShapes;
};

} // namespace zr5::skin
