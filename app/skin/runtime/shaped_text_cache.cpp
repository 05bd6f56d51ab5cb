#include "skin/runtime/shaped_text_cache.h"

#include "core/text_codec.h"

#include <QFontMetrics>
#include <QRawFont>
#include <QTextLayout>
#include <QTextOption>

namespace zr5::skin {
namespace {

// Wider than any frame can be: one line, never wrapped.
constexpr double kUnboundedLine = 1e7;

// The glyphs' own outlines: the run's bounding rectangle, as a layout gives
// it, is the line's box rather than where ink may fall.
QRectF inkBounds(const QGlyphRun& run)
{
    const QRawFont font = run.rawFont();
    const QList<quint32> glyphs = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    QRectF bounds;
    for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
        bounds |= font.boundingRect(glyphs[i]).translated(positions[i]);
    }
    return bounds;
}

ShapedTextCache::Entry shapeText(const QString& text, const QFont& font)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid()) {
        line.setLineWidth(kUnboundedLine);
    }
    layout.endLayout();
    ShapedTextCache::Entry entry;
    entry.runs = layout.glyphRuns();
    // Glyph positions come relative to the line's top; the line's ascent may
    // exceed the font's when a fallback font supplies some glyphs.
    const double baseline = line.isValid() ? line.ascent() : 0.0;
    for (QGlyphRun& run : entry.runs) {
        QList<QPointF> positions = run.positions();
        for (QPointF& position : positions) {
            position.ry() -= baseline;
        }
        run.setPositions(positions);
        entry.bounds |= inkBounds(run);
    }
    entry.width = QFontMetrics(font).horizontalAdvance(text);
    return entry;
}

} // namespace

const ShapedTextCache::Entry& ShapedTextCache::shape(const std::string& cp932, const QFont& font)
{
    if (!m_hasFont || !(font == m_font)) {
        m_entries.clear();
        m_textBytes = 0;
        m_font = font;
        m_hasFont = true;
    }
    if (auto found = m_entries.find(cp932); found != m_entries.end()) {
        return found->second;
    }
    if (m_entries.size() >= kMaxEntries || m_textBytes + cp932.size() > kMaxTextBytes) {
        m_entries.clear();
        m_textBytes = 0;
    }
    m_textBytes += cp932.size();
    const QString text = QString::fromStdString(core::cp932ToUtf8(cp932));
    return m_entries.emplace(cp932, shapeText(text, font)).first->second;
}

} // namespace zr5::skin
