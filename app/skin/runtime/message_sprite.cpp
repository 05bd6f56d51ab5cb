// Message drawing: the headlines of the display holder (`main`), the label of
// the front headline (`sub`) or a fixed text. Drawn from nothing, the texts go
// onto a magenta-filled scratch surface that is keyed out and blended onto the
// frame. Kept between frames, each text's keyed image is made once and copied
// in while the text stays in view: the same pixels for a fraction of the work.
#include "core/text_codec.h"
#include "skin/runtime/message_object.h"
#include "skin/runtime/skin_sprite.h"
#include "skin/runtime/text_image_cache.h"
#include "skin/runtime/text_painter.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace zr5::skin {
namespace {

constexpr std::uint32_t kKeyMagenta = 0xFF00FF;
constexpr std::uint32_t kOpaqueMagenta = 0xFFFF00FF;
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
void drawHeadlines(TextPainter& painter, const MessageSprite::PlaceText& place, core::DisplayHolder& source,
    int boxWidth, DrawnTitles& drawn)
{
    if (!source.isValid() || !source.currentHeadline()) {
        return;
    }
    int frontWidth = painter.width(source.currentHeadline()->title);
    std::int64_t x = -static_cast<std::int64_t>(std::trunc(std::clamp(source.position(), -1e15, 1e15)));
    if (frontWidth + x + kTitleGap < 0) {
        source.next();
        source.setPosition(0.0);
        x = 0;
        frontWidth = source.currentHeadline() ? painter.width(source.currentHeadline()->title) : 0;
    }
    x += kTitleGap;
    core::DisplayHolder cursor = source;
    drawn.front = source;
    bool first = true;
    while (x < boxWidth) {
        const core::Headline* headline = cursor.currentHeadline();
        const std::string& title = headline ? headline->title : kNoTitle;
        int width = first ? frontWidth : painter.width(title);
        first = false;
        place(title, static_cast<int>(x), 0);
        drawn.spans.emplace_back(static_cast<int>(x), static_cast<int>(x + width));
        cursor.next();
        x += width + kTitleGap;
    }
}

// Copies the part of a text's image that falls inside the box. A keyed image
// holds only opaque pixels and transparent ones, so copying the opaque ones
// is exactly what blending it at full strength gives.
void blitInside(gfx::Surface32& surface, const gfx::Rect& box, QPoint pen, const TextImage& image)
{
    const QRect placed(QPoint(box.left, box.top) + pen - image.origin, image.surface.image().size());
    const QRect shown = placed & QRect(box.left, box.top, box.right - box.left, box.bottom - box.top)
        & surface.image().rect();
    if (shown.isEmpty()) {
        return;
    }
    const QPoint from = shown.topLeft() - placed.topLeft();
    for (int y = 0; y < shown.height(); ++y) {
        const auto* source
            = reinterpret_cast<const std::uint32_t*>(image.surface.image().constScanLine(from.y() + y))
            + from.x();
        auto* target = reinterpret_cast<std::uint32_t*>(surface.image().scanLine(shown.y() + y)) + shown.x();
        // A select rather than a branch: the compiler makes it a vector blend.
        for (int x = 0; x < shown.width(); ++x) {
            target[x] = source[x] != 0 ? source[x] : target[x];
        }
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
        m_fonts = {};
        m_face.clear();
        m_images.clear();
    }
    const int deviceWidth = device.right - device.left;
    const int deviceHeight = device.bottom - device.top;
    // A box no surface could hold shows nothing, however it is drawn.
    if (deviceWidth < 1 || deviceHeight < 1 || deviceWidth > gfx::kMaxSurfaceSide
        || deviceHeight > gfx::kMaxSurfaceSide) {
        return;
    }
    TextPainter painter(
        m_text, fontsFor(box.bottom - box.top, deviceHeight, scale), scale, m_shapes, m_logicalShapes);
    if (m_keepState) {
        placeTexts(painter, box.right - box.left, [&](const std::string& text, int x, int y) {
            const QPoint pen(painter.device(x), painter.device(y));
            const QRect visible = QRect(0, 0, deviceWidth, deviceHeight).translated(-pen);
            if (const TextImage* image = m_images.image(painter, text, visible)) {
                blitInside(surface, device, pen, *image);
            }
        });
        m_images.sweep();
        return;
    }
    gfx::Surface32 scratch;
    if (!scratch.create(deviceWidth, deviceHeight)) {
        return;
    }
    scratch.image().fill(kOpaqueMagenta);
    placeTexts(painter, box.right - box.left, [&](const std::string& text, int x, int y) {
        painter.draw(scratch.image(), text, QPoint(painter.device(x), painter.device(y)));
    });
    scratch.applyColorKey(kKeyMagenta);
    gfx::blit(surface, device.left, device.top, deviceWidth, deviceHeight, scratch, 0, 0, deviceWidth,
        deviceHeight, gfx::kOpaque, gfx::BlitStretch);
}

// Text, scratch and debug outline stay within the box.
std::optional<gfx::Rect> MessageSprite::drawnArea(int dw, int dh, double scale) const
{
    return gfx::toDevice(anchoredBox(m_state, dw, dh), scale);
}

const TextFonts& MessageSprite::fontsFor(int height, int deviceHeight, double scale)
{
    if (m_face.isEmpty()) {
        m_face = installedFace(QString::fromStdString(core::cp932ToUtf8(m_text.font)));
    }
    if (m_fonts.height != height || m_fonts.deviceHeight != deviceHeight || m_fonts.scale != scale) {
        // Metrics as an image sees them: the texts are drawn onto images.
        static const QImage metricsDevice(1, 1, QImage::Format_ARGB32_Premultiplied);
        m_fonts.height = height;
        m_fonts.deviceHeight = deviceHeight;
        m_fonts.scale = scale;
        m_fonts.font = fontOf(m_face, m_text, deviceHeight);
        m_fonts.logicalFont = fontOf(m_face, m_text, height);
        m_fonts.ascent = QFontMetrics(m_fonts.font, &metricsDevice).ascent();
        m_images.clear();
    }
    return m_fonts;
}

void MessageSprite::placeTexts(TextPainter& painter, int width, const PlaceText& place)
{
    if (sourceIsEmpty(m_source.get()) || m_role == MessageRole::Fixed) {
        place(std::string(kFixedText), 0, 0);
    } else if (m_role == MessageRole::Headlines) {
        drawHeadlines(painter, place, *m_source, width, m_drawn);
    } else if (m_source->isValid() && m_source->currentHeadline()) {
        place(m_source->currentHeadline()->label, 0, 0);
    }
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
