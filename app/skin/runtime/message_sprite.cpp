// Message drawing: the headlines of the display holder (`main`), the label of
// the front headline (`sub`) or a fixed text, on a magenta-filled scratch
// surface that is keyed out before it is blended onto the frame.
#include "core/text_codec.h"
#include "skin/runtime/message_object.h"
#include "skin/runtime/shaped_text_cache.h"
#include "skin/runtime/skin_sprite.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <vector>

namespace zr5::skin {
namespace {

constexpr std::uint32_t kKeyMagenta = 0xFF00FF;
constexpr std::uint32_t kOpaqueMagenta = 0xFFFF00FF;
constexpr std::uint32_t kDebugBlue = 0xFF0000;
constexpr int kTitleGap = 100;
constexpr int kGlyphMargin = 2;
constexpr std::string_view kFixedText = "ZEPHYRANT 2";
const std::string kNoTitle;

// Faces tried, in order, for a face the system does not have (skins name
// Windows fonts such as "MS UI Gothic").
constexpr const char* kJapaneseFaces[]
    = { "IPAGothic", "IPAPGothic", "Noto Sans CJK JP", "VL Gothic", "TakaoGothic" };

QString lookUpFace(const QString& face)
{
    if (QFontDatabase::hasFamily(face)) {
        return face;
    }
    for (const char* candidate : kJapaneseFaces) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(candidate))) {
            return QString::fromLatin1(candidate);
        }
    }
    return face;
}

// Asking the font database every frame would cost more than the drawing.
QString installedFace(const QString& face)
{
    static QHash<QString, QString> known;
    auto it = known.find(face);
    if (it == known.end()) {
        it = known.insert(face, lookUpFace(face));
    }
    return it.value();
}

// Beyond this many glyphs a run is cut to the glyphs that can reach the box:
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

// The character cell fills the box's height.
QFont fontOf(const QString& face, const TextStyle& style, int height)
{
    QFont font(face);
    font.setPixelSize(std::max(height, 1));
    font.setWeight(style.style & StyleBold ? QFont::Bold : QFont::Normal);
    font.setItalic(style.style & StyleItalic);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// Text on the scratch surface: shadow, outline, then the text itself, each
// placed by the top of its character cell as the ticker has always done.
// Positions, offsets and widths are logical pixels. Glyphs are drawn at the
// device's resolution but measured at the logical one, so that where titles
// scroll, and when the front one has left, does not depend on the screen.
class TextPainter final {
public:
    // image: the box in device pixels. logicalShapes: a second cache, so the
    // two fonts do not evict each other.
    TextPainter(QImage& image, const TextStyle& style, const TextFonts& fonts, double scale,
        ShapedTextCache& shapes, ShapedTextCache& logicalShapes)
        : m_painter(&image)
        , m_style(style)
        , m_fonts(fonts)
        , m_scale(scale)
        , m_shapes(shapes)
        , m_logicalShapes(fonts.logicalFont == fonts.font ? shapes : logicalShapes)
    {
        m_painter.setFont(m_fonts.font);
        m_painter.setRenderHint(QPainter::TextAntialiasing, false);
    }

    // Device pixels the text may have touched so far.
    const QRect& touched() const { return m_touched; }

    int width(const std::string& text) { return m_logicalShapes.shape(text, m_fonts.logicalFont).width; }

    void draw(const std::string& text, int x, int y)
    {
        const ShapedTextCache::Entry& shaped = m_shapes.shape(text, m_fonts.font);
        x = device(x);
        y = device(y);
        const int one = device(1);
        if (m_style.style & StyleShadow) {
            int offset = device(m_style.style & StyleEdge ? 2 : 1);
            pass(shaped, x + offset, y + offset, m_style.shadow);
        }
        if (m_style.style & StyleEdge) {
            pass(shaped, x, y + one, m_style.edge);
            pass(shaped, x + one, y, m_style.edge);
            pass(shaped, x, y - one, m_style.edge);
            pass(shaped, x - one, y, m_style.edge);
        }
        pass(shaped, x, y, m_style.color);
    }

private:
    void pass(const ShapedTextCache::Entry& shaped, int x, int y, std::uint32_t colorRef)
    {
        if (shaped.runs.isEmpty()) {
            return;
        }
        const QPointF baseline(x, y + m_fonts.ascent);
        m_painter.setPen(colorOf(colorRef));
        // A glyph's ink stays within a few character heights of its pen position.
        const double reach = 4.0 * m_fonts.deviceHeight + kGlyphMargin;
        const double from = -x - reach;
        const double to = m_painter.device()->width() - x + reach;
        for (const QGlyphRun& run : shaped.runs) {
            m_painter.drawGlyphRun(
                baseline, run.glyphIndexes().size() > kLongRun ? glyphsWithin(run, from, to) : run);
        }
        // Rasterised glyphs may reach a little past their outlines, and a
        // slanted face made from an upright one past its advance.
        const int slant = m_fonts.font.italic() ? m_fonts.deviceHeight / 2 : 0;
        m_touched |= shaped.bounds.translated(baseline).toAlignedRect().adjusted(
            -kGlyphMargin - slant, -kGlyphMargin, kGlyphMargin + slant, kGlyphMargin);
    }

    int device(int logical) const { return static_cast<int>(std::lround(logical * m_scale)); }

    QPainter m_painter;
    const TextStyle& m_style;
    const TextFonts& m_fonts;
    double m_scale;
    ShapedTextCache& m_shapes;
    ShapedTextCache& m_logicalShapes;
    QRect m_touched;
};

bool sourceIsEmpty(const core::DisplayHolder* source)
{
    if (!source) {
        return true;
    }
    bool mainEmpty = !source->mainList() || source->mainList()->empty();
    bool noticeEmpty = !source->noticeList() || source->noticeList()->empty();
    return mainEmpty && noticeEmpty;
}

// The ticker: titles 100 px apart, the front one entering 100 px from the left
// when the offset is 0. A front title that has left the box moves the shared
// cursor on and restarts the offset.
void drawHeadlines(TextPainter& text, core::DisplayHolder& source, int boxWidth, DrawnTitles& drawn)
{
    if (!source.isValid() || !source.currentHeadline()) {
        return;
    }
    int frontWidth = text.width(source.currentHeadline()->title);
    std::int64_t x = -static_cast<std::int64_t>(std::trunc(std::clamp(source.position(), -1e15, 1e15)));
    if (frontWidth + x + kTitleGap < 0) {
        source.next();
        source.setPosition(0.0);
        x = 0;
        frontWidth = source.currentHeadline() ? text.width(source.currentHeadline()->title) : 0;
    }
    x += kTitleGap;
    core::DisplayHolder cursor = source;
    drawn.front = source;
    bool first = true;
    while (x < boxWidth) {
        const core::Headline* headline = cursor.currentHeadline();
        const std::string& title = headline ? headline->title : kNoTitle;
        int width = first ? frontWidth : text.width(title);
        first = false;
        text.draw(title, static_cast<int>(x), 0);
        drawn.spans.emplace_back(static_cast<int>(x), static_cast<int>(x + width));
        cursor.next();
        x += width + kTitleGap;
    }
}

} // namespace

void MessageSprite::keepDrawingState(bool keep)
{
    m_keepState = keep;
}

void MessageSprite::draw(gfx::Surface32& surface, int dw, int dh, double scale)
{
    const gfx::Rect box = anchoredBox(m_state, dw, dh);
    const gfx::Rect device = gfx::toDevice(box, scale);
    if (m_state.debug) {
        gfx::drawOutline(surface, device, kDebugBlue);
    }
    m_drawn.box = box;
    m_drawn.front.reset();
    m_drawn.spans.clear();
    if (!m_keepState) {
        m_scratch = {};
        m_fonts = {};
        m_face.clear();
    }
    const int deviceWidth = device.right - device.left;
    const int deviceHeight = device.bottom - device.top;
    if (!prepareScratch(deviceWidth, deviceHeight)) {
        return;
    }
    drawText(fontsFor(box.bottom - box.top, deviceHeight), box.right - box.left, scale);
    const gfx::Rect& band = m_band;
    if (band.right <= band.left || band.bottom <= band.top) {
        return;
    }
    m_scratch.applyColorKey(kKeyMagenta, band);
    const int bandWidth = band.right - band.left;
    const int bandHeight = band.bottom - band.top;
    gfx::blit(surface, device.left + band.left, device.top + band.top, bandWidth, bandHeight, m_scratch,
        band.left, band.top, bandWidth, bandHeight, gfx::kOpaque, gfx::BlitStretch);
}

// Magenta all over: a new scratch is filled, a kept one only where the last
// draw keyed its text.
bool MessageSprite::prepareScratch(int width, int height)
{
    if (m_scratch.width() != width || m_scratch.height() != height) {
        if (!m_scratch.create(width, height)) {
            m_band = {};
            return false;
        }
        m_band = { 0, 0, width, height };
    }
    for (int y = m_band.top; y < m_band.bottom; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(m_scratch.image().scanLine(y));
        std::fill(line + m_band.left, line + m_band.right, kOpaqueMagenta);
    }
    return true;
}

const TextFonts& MessageSprite::fontsFor(int height, int deviceHeight)
{
    if (m_face.isEmpty()) {
        m_face = installedFace(QString::fromStdString(core::cp932ToUtf8(m_text.font)));
    }
    if (m_fonts.height != height || m_fonts.deviceHeight != deviceHeight) {
        m_fonts.height = height;
        m_fonts.deviceHeight = deviceHeight;
        m_fonts.font = fontOf(m_face, m_text, deviceHeight);
        m_fonts.logicalFont = fontOf(m_face, m_text, height);
        m_fonts.ascent = QFontMetrics(m_fonts.font, &m_scratch.image()).ascent();
    }
    return m_fonts;
}

// Draws the text onto the scratch and keeps the band it touched: all of the
// scratch when nothing is kept, so that the plain way keys and blends it whole.
void MessageSprite::drawText(const TextFonts& fonts, int width, double scale)
{
    QRect touched;
    {
        TextPainter text(m_scratch.image(), m_text, fonts, scale, m_shapes, m_logicalShapes);
        if (sourceIsEmpty(m_source.get()) || m_role == MessageRole::Fixed) {
            text.draw(std::string(kFixedText), 0, 0);
        } else if (m_role == MessageRole::Headlines) {
            drawHeadlines(text, *m_source, width, m_drawn);
        } else if (m_source->isValid() && m_source->currentHeadline()) {
            text.draw(m_source->currentHeadline()->label, 0, 0);
        }
        touched = m_keepState ? text.touched() & m_scratch.image().rect() : m_scratch.image().rect();
    }
    m_band = touched.isEmpty()
        ? gfx::Rect {}
        : gfx::Rect { touched.left(), touched.top(), touched.right() + 1, touched.bottom() + 1 };
}

std::optional<core::Headline> MessageSprite::headlineAt(int x, int y) const
{
    const gfx::Rect& box = m_drawn.box;
    if (!m_drawn.front || x < box.left || x >= box.right || y < box.top || y >= box.bottom) {
        return std::nullopt;
    }
    core::DisplayHolder cursor = *m_drawn.front;
    for (const auto& [left, right] : m_drawn.spans) {
        if (x - box.left >= left && x - box.left < right) {
            const core::Headline* headline = cursor.currentHeadline();
            return headline ? std::optional<core::Headline>(*headline) : std::nullopt;
        }
        cursor.next();
    }
    return std::nullopt;
}

} // namespace zr5::skin
