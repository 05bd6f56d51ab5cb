// Titles shaped once and drawn many times: a ticker draws every visible title
// up to six times a frame (shadow, outline, text), a hundred frames a second,
// and shaping Japanese text is the costly part of that.
#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QRectF>
#include <QString>
#include <string>
#include <unordered_map>

namespace zr5::skin {

class ShapedTextCache final {
public:
    struct Entry {
        QList<QGlyphRun> runs; // positions relative to the baseline at y = 0
        int width = 0; // the text's horizontal advance
        QRectF bounds; // the glyphs' extent, relative to the same baseline
    };

    // The text (Shift_JIS) shaped in font; a font other than the last one's
    // empties the cache. The reference stays valid until the next call.
    const Entry& shape(const std::string& cp932, const QFont& font);

private:
    // A screen shows a few dozen titles, and a single title may be huge: the
    // cache is emptied when it holds either too many texts or too many bytes.
    static constexpr std::size_t kMaxEntries = 512;
    static constexpr std::size_t kMaxTextBytes = std::size_t { 1 } << 20;

    QFont m_font;
    bool m_hasFont = false;
    std::unordered_map<std::string, Entry> m_entries;
    std::size_t m_textBytes = 0;
};

} // namespace zr5::skin
