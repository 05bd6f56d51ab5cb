// Titles drawn from the cache of shaped text must look exactly as if the text
// had been drawn directly, also where a fallback font supplies the Japanese
// glyphs, and must follow a change of font.
#include "core/text_codec.h"
#include "skin/runtime/shaped_text_cache.h"
#include "skin_test_support.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace zr5::skin {
namespace {

QFont tickerFont(const char* family, int pixels)
{
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(pixels);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QImage canvas()
{
    QImage image(320, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(0xFFFF00FFu);
    return image;
}

QImage drawnDirectly(const std::string& cp932, const QFont& font)
{
    QImage image = canvas();
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(
        QPoint(7, 3 + painter.fontMetrics().ascent()), QString::fromStdString(core::cp932ToUtf8(cp932)));
    return image;
}

QImage drawnFromCache(ShapedTextCache& cache, const std::string& cp932, const QFont& font)
{
    QImage image = canvas();
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    for (const QGlyphRun& run : cache.shape(cp932, font).runs) {
        painter.drawGlyphRun(QPointF(7, 3 + painter.fontMetrics().ascent()), run);
    }
    return image;
}

TEST(ShapedTextCache, DrawsAndMeasuresLikeDirectTextInEveryFont)
{
    test::ensureGuiApplication();
    // "Zephyrant ニュース 2" (Shift_JIS): Latin and kana, which a Latin face
    // must take from a fallback font.
    const std::string title = "Zephyrant \x83\x6a\x83\x85\x81\x5b\x83\x58 2";
    ShapedTextCache cache;
    for (const char* family : { "IPAGothic", "DejaVu Sans", "No Such Face" }) {
        for (int pixels : { 12, 20 }) {
            const QFont font = tickerFont(family, pixels);
            ASSERT_NE(drawnDirectly(title, font), canvas()) << "nothing drawn in " << family;
            EXPECT_EQ(drawnFromCache(cache, title, font), drawnDirectly(title, font))
                << family << " " << pixels;
            EXPECT_EQ(cache.shape(title, font).width,
                QFontMetrics(font).horizontalAdvance(QString::fromStdString(core::cp932ToUtf8(title))));
        }
    }
}

TEST(ShapedTextCache, EmptyAndUnconvertibleTextsDrawNothing)
{
    test::ensureGuiApplication();
    ShapedTextCache cache;
    const QFont font = tickerFont("IPAGothic", 16);
    EXPECT_EQ(drawnFromCache(cache, "", font), canvas());
    EXPECT_EQ(cache.shape("", font).width, 0);
    // A lone lead byte converts to nothing.
    EXPECT_EQ(drawnFromCache(cache, "\x83", font), drawnDirectly("\x83", font));
}

} // namespace
} // namespace zr5::skin
