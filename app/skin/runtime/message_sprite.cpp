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
#include <cmath>
#include <vector>

namespace zr5::skin {
namespace {

constexpr std::uint32_t kKeyMagenta = 0xFF00FF;
constexpr std::uint32_t kDebugBlue = 0xFF0000;
constexpr int kTitleGap = 100;
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

QColor colorOf(std::uint32_t colorRef)
{
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>(colorRef >> 8 & 0xFF),
        static_cast<int>(colorRef >> 16 & 0xFF));
}

// The character cell fills the box's height.
QFont fontOf(const TextStyle& style, int height)
{
    QFont font(installedFace(QString::fromStdString(core::cp932ToUtf8(style.font))));
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
    // height: the box's logical height; image: the box in device pixels.
    // logicalShapes: a second cache, so the two fonts do not evict each other.
    TextPainter(QImage& image, const TextStyle& style, int height, double scale, ShapedTextCache& shapes,
        ShapedTextCache& logicalShapes)
        : m_painter(&image)
        , m_style(style)
        , m_scale(scale)
        , m_font(fontOf(style, image.height()))
        , m_logicalFont(fontOf(style, height))
        , m_shapes(shapes)
        , m_logicalShapes(m_logicalFont == m_font ? shapes : logicalShapes)
    {
        m_painter.setFont(m_font);
        m_painter.setRenderHint(QPainter::TextAntialiasing, false);
        m_ascent = m_painter.fontMetrics().ascent();
    }

    int width(const std::string& text) { return m_logicalShapes.shape(text, m_logicalFont).width; }

    void draw(const std::string& text, int x, int y)
    {
        const ShapedTextCache::Entry& shaped = m_shapes.shape(text, m_font);
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
        m_painter.setPen(colorOf(colorRef));
        for (const QGlyphRun& run : shaped.runs) {
            m_painter.drawGlyphRun(QPointF(x, y + m_ascent), run);
        }
    }

    int device(int logical) const { return static_cast<int>(std::lround(logical * m_scale)); }

    QPainter m_painter;
    const TextStyle& m_style;
    double m_scale;
    QFont m_font;
    QFont m_logicalFont;
    ShapedTextCache& m_shapes;
    ShapedTextCache& m_logicalShapes;
    int m_ascent = 0;
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

void MessageSprite::draw(gfx::Surface32& surface, int dw, int dh, double scale)
{
    const gfx::Rect box = anchoredBox(m_state, dw, dh);
    const gfx::Rect device = gfx::toDevice(box, scale);
    if (m_state.debug) {
        gfx::drawOutline(surface, device, kDebugBlue);
    }
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    const int deviceWidth = device.right - device.left;
    const int deviceHeight = device.bottom - device.top;
    m_drawn.box = box;
    m_drawn.front.reset();
    m_drawn.spans.clear();
    gfx::Surface32 scratch;
    if (!scratch.create(deviceWidth, deviceHeight)) {
        return;
    }
    scratch.image().fill(0xFFFF00FFu);
    {
        TextPainter text(scratch.image(), m_text, height, scale, m_shapes, m_logicalShapes);
        if (sourceIsEmpty(m_source.get()) || m_role == MessageRole::Fixed) {
            text.draw(std::string(kFixedText), 0, 0);
        } else if (m_role == MessageRole::Headlines) {
            drawHeadlines(text, *m_source, width, m_drawn);
        } else if (m_source->isValid() && m_source->currentHeadline()) {
            text.draw(m_source->currentHeadline()->label, 0, 0);
        }
    }
    scratch.applyColorKey(kKeyMagenta);
    gfx::blit(surface, device.left, device.top, deviceWidth, deviceHeight, scratch, 0, 0, deviceWidth,
        deviceHeight, gfx::kOpaque, gfx::BlitStretch);
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
