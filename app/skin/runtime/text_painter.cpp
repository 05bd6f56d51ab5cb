#include "skin/runtime/text_painter.h"

#include "skin/runtime/message_object.h"

#include <QColor>
#include <QGlyphRun>
#include <QPainter>
#include <cmath>

namespace zr5::skin {
namespace {

constexpr int kGlyphMargin = 2;

// Beyond this many glyphs a run is cut to the glyphs that can reach the image:
// a title may be far longer than any screen.
constexpr qsizetype kLongRun = 64;

// The run's glyphs whose pen positions lie within [from, to).
QGlyphRun glyphsWithin(const QGlyphRun& run, double from, double to)
{
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    QList<quint32> keptGlyphs;
    QList<QPointF> keptPositions;
    for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
        if (positions[i].x() >= from && positions[i].x() < to) {
            keptGlyphs.append(glyphs[i]);
            keptPositions.append(positions[i]);
        }
    }
    QGlyphRun visible = run;
    visible.setGlyphIndexes(keptGlyphs);
    visible.setPositions(keptPositions);
    return visible;
}

QColor colorOf(std::uint32_t colorRef)
{
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>(colorRef >> 8 & 0xFF),
        static_cast<int>(colorRef >> 16 & 0xFF));
}

// Where each pass of a text goes, relative to the pen: shadow, the four
// outline copies, then the text.
struct Pass {
    QPoint offset;
    std::uint32_t colorRef;
};

std::vector<Pass> passesOf(const TextStyle& style, int one, int shadowOffset)
{
    std::vector<Pass> passes;
    if (style.style & StyleShadow) {
        passes.push_back({ { shadowOffset, shadowOffset }, style.shadow });
    }
    if (style.style & StyleEdge) {
        for (QPoint offset : { QPoint(0, one), QPoint(one, 0), QPoint(0, -one), QPoint(-one, 0) }) {
            passes.push_back({ offset, style.edge });
        }
    }
    passes.push_back({ {}, style.color });
    return passes;
}

} // namespace

TextPainter::TextPainter(const TextStyle& style, const TextFonts& fonts, double scale,
    ShapedTextCache& shapes, ShapedTextCache& logicalShapes)
    : m_style(style)
    , m_fonts(fonts)
    , m_scale(scale)
    , m_shapes(shapes)
    , m_logicalShapes(fonts.logicalFont == fonts.font ? shapes : logicalShapes)
{
}

int TextPainter::device(int logical) const
{
    return static_cast<int>(std::lround(logical * m_scale));
}

int TextPainter::width(const std::string& text)
{
    return m_logicalShapes.shape(text, m_fonts.logicalFont).width;
}

QRect TextPainter::reach(const std::string& text)
{
    const ShapedTextCache::Entry& shaped = m_shapes.shape(text, m_fonts.font);
    if (shaped.runs.isEmpty()) {
        return {};
    }
    const int slant = m_fonts.font.italic() ? m_fonts.deviceHeight / 2 : 0;
    const QRect ink = shaped.bounds.translated(0, m_fonts.ascent)
                          .toAlignedRect()
                          .adjusted(-kGlyphMargin - slant, -kGlyphMargin, kGlyphMargin + slant, kGlyphMargin);
    QRect reach;
    for (const Pass& pass : passesOf(m_style, device(1), device(m_style.style & StyleEdge ? 2 : 1))) {
        reach |= ink.translated(pass.offset);
    }
    return reach;
}

void TextPainter::draw(QImage& image, const std::string& text, QPoint pen)
{
    const ShapedTextCache::Entry& shaped = m_shapes.shape(text, m_fonts.font);
    if (shaped.runs.isEmpty()) {
        return;
    }
    QPainter painter(&image);
    painter.setFont(m_fonts.font);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    // A glyph's ink stays within a few character heights of its pen position.
    const double margin = 4.0 * m_fonts.deviceHeight + kGlyphMargin;
    for (const Pass& pass : passesOf(m_style, device(1), device(m_style.style & StyleEdge ? 2 : 1))) {
        const QPoint at = pen + pass.offset;
        const QPointF baseline(at.x(), at.y() + m_fonts.ascent);
        painter.setPen(colorOf(pass.colorRef));
        const double from = -at.x() - margin;
        const double to = image.width() - at.x() + margin;
        for (const QGlyphRun& run : shaped.runs) {
            painter.drawGlyphRun(
                baseline, run.glyphIndexes().size() > kLongRun ? glyphsWithin(run, from, to) : run);
        }
    }
}

} // namespace zr5::skin
