// Message drawing: the headlines of the display holder (`main`), the label of
// the front headline (`sub`) or a fixed text, on a magenta-filled scratch
// surface that is keyed out before it is blended onto the frame.
#include "core/text_codec.h"
#include "skin/runtime/message_object.h"
#include "skin/runtime/skin_sprite.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
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

QString toQString(const std::string& cp932)
{
    return QString::fromStdString(core::cp932ToUtf8(cp932));
}

// Text on the scratch surface: shadow, outline, then the text itself, each
// placed by the top of its character cell as the ticker has always done.
class TextPainter final {
public:
    TextPainter(QImage& image, const TextStyle& style, int height)
        : m_painter(&image)
        , m_style(style)
    {
        QFont font(installedFace(toQString(style.font)));
        font.setPixelSize(std::max(height, 1));
        font.setWeight(style.style & StyleBold ? QFont::Bold : QFont::Normal);
        font.setItalic(style.style & StyleItalic);
        font.setStyleStrategy(QFont::NoAntialias);
        m_painter.setFont(font);
        m_painter.setRenderHint(QPainter::TextAntialiasing, false);
        m_ascent = m_painter.fontMetrics().ascent();
    }

    int width(const QString& text) const { return m_painter.fontMetrics().horizontalAdvance(text); }

    void draw(const QString& text, int x, int y)
    {
        if (m_style.style & StyleShadow) {
            int offset = m_style.style & StyleEdge ? 2 : 1;
            pass(text, x + offset, y + offset, m_style.shadow);
        }
        if (m_style.style & StyleEdge) {
            pass(text, x, y + 1, m_style.edge);
            pass(text, x + 1, y, m_style.edge);
            pass(text, x, y - 1, m_style.edge);
            pass(text, x - 1, y, m_style.edge);
        }
        pass(text, x, y, m_style.color);
    }

private:
    void pass(const QString& text, int x, int y, std::uint32_t colorRef)
    {
        m_painter.setPen(colorOf(colorRef));
        m_painter.drawText(QPoint(x, y + m_ascent), text);
    }

    QPainter m_painter;
    const TextStyle& m_style;
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
void drawHeadlines(TextPainter& text, core::DisplayHolder& source, int boxWidth)
{
    if (!source.isValid() || !source.currentHeadline()) {
        return;
    }
    QString front = toQString(source.currentHeadline()->title);
    int frontWidth = text.width(front);
    std::int64_t x = -static_cast<std::int64_t>(std::trunc(std::clamp(source.position(), -1e15, 1e15)));
    if (frontWidth + x + kTitleGap < 0) {
        source.next();
        source.setPosition(0.0);
        x = 0;
        front = source.currentHeadline() ? toQString(source.currentHeadline()->title) : QString();
        frontWidth = text.width(front);
    }
    x += kTitleGap;
    core::DisplayHolder cursor = source;
    bool first = true;
    while (x < boxWidth) {
        const core::Headline* headline = cursor.currentHeadline();
        QString title = first ? front : headline ? toQString(headline->title) : QString();
        int width = first ? frontWidth : text.width(title);
        first = false;
        text.draw(title, static_cast<int>(x), 0);
        cursor.next();
        x += width + kTitleGap;
    }
}

} // namespace

void MessageSprite::draw(gfx::Surface32& surface, int dw, int dh)
{
    const gfx::Rect box = anchoredBox(m_state, dw, dh);
    if (m_state.debug) {
        gfx::drawOutline(surface, box, kDebugBlue);
    }
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    gfx::Surface32 scratch;
    if (!scratch.create(width, height)) {
        return;
    }
    scratch.image().fill(0xFFFF00FFu);
    {
        TextPainter text(scratch.image(), m_text, height);
        if (sourceIsEmpty(m_source.get()) || m_role == MessageRole::Fixed) {
            text.draw(QString::fromLatin1(kFixedText.data(), static_cast<int>(kFixedText.size())), 0, 0);
        } else if (m_role == MessageRole::Headlines) {
            drawHeadlines(text, *m_source, width);
        } else if (m_source->isValid() && m_source->currentHeadline()) {
            text.draw(toQString(m_source->currentHeadline()->label), 0, 0);
        }
    }
    scratch.applyColorKey(kKeyMagenta);
    gfx::blit(surface, box.left, box.top, width, height, scratch, 0, 0, width, height, 255, gfx::BlitStretch);
}

} // namespace zr5::skin
