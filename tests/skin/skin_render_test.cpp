// Frames rendered headlessly: layers, windows and messages on real bitmaps
// and real fonts. Exact where the arithmetic is exact; text is checked by its
// structure (where ink is), since the font decides the pixels.
#include "core/display_holder.h"
#include "skin/runtime/frame_renderer.h"
#include "skin/runtime/skin.h"
#include "skin/runtime/skin_sprite.h"
#include "skin_test_support.h"

#include <gtest/gtest.h>
#include <vector>

namespace zr5::skin {
namespace {

using test::pixelAt;

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

class SkinRenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureGuiApplication(); }

    void SetUp() override
    {
        // All magenta: the frame is keyed out and leaves the surface to the sprites.
        m_folder.writeCells("frame.bmp", 8, 8, 1, 1, { 0xFF00FF });
        m_folder.writeCells("gray.bmp", 8, 8, 1, 1, { 0x808080 });
        m_folder.writeCells("cells.bmp", 4, 4, 2, 2, { 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF });
        m_display->setMainList(std::make_shared<core::HeadlineList>());
    }

    // Workarea 200 x 20 unless the script says otherwise.
    void load(const std::string& body)
    {
        std::string script = "window main { file \"frame.bmp\"; }\n"
                             "image still { file \"cells.bmp\"; cell 4; draw 3; }\n"
                             "image cells { file \"cells.bmp\"; cell 4; }\n"
            + body;
        if (body.find("workarea") == std::string::npos) {
            script += "workarea 200, 20;\n";
        }
        SkinLoadResult result = Skin::loadScript(script, m_folder.path());
        ASSERT_TRUE(result.skin) << result.error.message;
        m_skin = result.skin;
    }

    QImage frame(int width = 200, int height = 20, std::uint32_t now = 0)
    {
        std::shared_ptr<gfx::Surface32> surface = renderFrame(*m_skin, m_display, now, width, height);
        return surface ? surface->image() : QImage();
    }

    void setHeadlines(const std::vector<std::string>& titles)
    {
        auto list = std::make_shared<core::HeadlineList>("label");
        for (const std::string& title : titles) {
            list->append(title, "http://example.invalid/" + title);
        }
        m_display->setMainList(list);
    }

    test::TempSkinFolder m_folder;
    std::shared_ptr<Skin> m_skin;
    std::shared_ptr<core::DisplayHolder> m_display = std::make_shared<core::DisplayHolder>();
};

// Columns of a band of rows that hold any visible pixel.
std::vector<bool> inkColumns(const QImage& image, int top, int bottom)
{
    std::vector<bool> ink(image.width(), false);
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ink[x] = ink[x] || (pixelAt(image, x, y) >> 24) != 0;
        }
    }
    return ink;
}

// Starts of ink groups separated by at least `gap` empty columns.
std::vector<int> groupStarts(const std::vector<bool>& ink, int gap)
{
    std::vector<int> starts;
    int empty = gap;
    for (int x = 0; x < static_cast<int>(ink.size()); ++x) {
        if (ink[x] && empty >= gap) {
            starts.push_back(x);
        }
        empty = ink[x] ? 0 : empty + 1;
    }
    return starts;
}

TEST_F(SkinRenderTest, LayersDrawTheirCellInsideTheBoxAtTheOffset)
{
    load("layer a { image = still; xpos = 10; ypos = 2; width = 4; height = 4; }\n"
         "layer b { image = still; xpos = 20; ypos = 2; width = 4; height = 4; ximage = 2; }\n"
         "layer c { image = still; xpos = 30; ypos = 2; width = 4; height = 4; ximage = -3; yimage = -1; }\n"
         "layer d { image = cells; xpos = 40; ypos = 0; width = 100; height = 100; }\n");
    QImage image = frame();
    EXPECT_EQ(pixelAt(image, 9, 3), 0u);
    EXPECT_EQ(pixelAt(image, 10, 2), kWhite);
    EXPECT_EQ(pixelAt(image, 13, 5), kWhite);
    EXPECT_EQ(pixelAt(image, 14, 2), 0u);
    // Pushed right by 2 and cut at the box's right edge.
    EXPECT_EQ(pixelAt(image, 21, 2), 0u);
    EXPECT_EQ(pixelAt(image, 22, 2), kWhite);
    EXPECT_EQ(pixelAt(image, 24, 2), 0u);
    // A negative offset cuts the picture's left and top part off.
    EXPECT_EQ(pixelAt(image, 30, 2), kWhite);
    EXPECT_EQ(pixelAt(image, 31, 2), 0u);
    EXPECT_EQ(pixelAt(image, 30, 4), kWhite);
    EXPECT_EQ(pixelAt(image, 30, 5), 0u);
    // Without an animation table the whole bitmap is shown.
    EXPECT_EQ(pixelAt(image, 40, 0), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(image, 44, 0), 0xFF00FF00u);
    EXPECT_EQ(pixelAt(image, 44, 4), kWhite);
}

TEST_F(SkinRenderTest, CellsComeFromTheGridAndBlankCellsDrawNothing)
{
    load("image blue { file \"cells.bmp\"; cell 4; draw 2; }\n"
         "image blank { file \"cells.bmp\"; cell 4; clear; }\n"
         "image beyond { file \"cells.bmp\"; cell 4; draw 4; }\n"
         "layer a { image = blue; xpos = 0; ypos = 10; width = 4; height = 4; }\n"
         "layer b { image = blank; xpos = 10; ypos = 10; width = 4; height = 4; }\n"
         "layer c { image = beyond; xpos = 20; ypos = 10; width = 4; height = 4; }\n");
    QImage image = frame();
    EXPECT_EQ(pixelAt(image, 0, 10), 0xFF0000FFu);
    EXPECT_EQ(pixelAt(image, 3, 13), 0xFF0000FFu);
    EXPECT_EQ(pixelAt(image, 10, 10), 0u);
    EXPECT_EQ(pixelAt(image, 20, 10), 0u);
}

TEST_F(SkinRenderTest, CellAlphaAndLayerAlphaMultiply)
{
    load("image half { file \"cells.bmp\"; cell 4; draw 3, 0.5; }\n"
         "layer a { image = half; alpha = 128; xpos = 10; ypos = 10; width = 4; height = 4; }\n");
    QImage image = frame();
    // 127 * 128 / 255 = 63, white premultiplied; the blend may round one down.
    EXPECT_NEAR(pixelAt(image, 10, 10) >> 24, 63.0, 1.0);
    EXPECT_EQ(pixelAt(image, 10, 10) & 0xFF, pixelAt(image, 10, 10) >> 24);
}

TEST_F(SkinRenderTest, HiddenLayersAndDebugOutlines)
{
    load("layer a { image = still; clear; xpos = 10; ypos = 2; width = 4; height = 4; }\n"
         "layer b { debug = 1; xpos = 20; ypos = 2; width = 6; height = 6; }\n"
         "layer c { image = still; debug = 1; xpos = 30; ypos = 2; width = 6; height = 6; }\n");
    QImage image = frame();
    EXPECT_EQ(pixelAt(image, 10, 2), 0u);
    EXPECT_EQ(pixelAt(image, 20, 2), 0u); // no bitmap: nothing at all
    EXPECT_EQ(pixelAt(image, 35, 7), 0xFF000000u); // black outline, right and bottom inside the box
    EXPECT_EQ(pixelAt(image, 30, 2), kWhite);
}

TEST_F(SkinRenderTest, AnchoringFollowsTheWindowsEnlargement)
{
    load("layer a { image = still; xpos = 10; ypos = 2; width = 4; height = 4; xchange = 1; }\n");
    QImage image = frame(250, 20);
    EXPECT_EQ(pixelAt(image, 10, 2), 0u);
    EXPECT_EQ(pixelAt(image, 60, 2), kWhite);
}

TEST_F(SkinRenderTest, HigherZDrawsOnTopAndLayersMayChangeTheirZ)
{
    load(
        "image red { file \"cells.bmp\"; cell 4; draw 0; }\n"
        "layer a { image = red; zpos = 5; xpos = 10; ypos = 2; width = 4; height = 4; wait 100; zpos = 0; }\n"
        "layer b { image = still; zpos = 1; xpos = 10; ypos = 2; width = 4; height = 4; }\n");
    EXPECT_EQ(pixelAt(frame(200, 20, 0), 10, 2), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(frame(200, 20, 100), 10, 2), kWhite);
}

TEST_F(SkinRenderTest, WindowsStretchOverTheMainFrameAndDebugDrawsARedOutline)
{
    load("window main { file \"gray.bmp\"; xpos 2; ypos 1; debug 1; }\nworkarea 20, 12;\n");
    // Design 20 x 12: margins right 10, bottom 3. At 40 x 12 the frame spans 2..29.
    QImage image = frame(40, 12);
    EXPECT_EQ(pixelAt(image, 29, 5), 0xFF808080u);
    EXPECT_EQ(pixelAt(image, 30, 5), 0u);
    EXPECT_EQ(pixelAt(image, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(pixelAt(image, 39, 11), 0xFFFF0000u);
}

TEST_F(SkinRenderTest, HeadlinesRunOneHundredPixelsApartAndMagentaIsKeyedOut)
{
    load("message main { xpos 0; ypos 0; width 1000; height 16; color #ffffff; }\nworkarea 1000, 16;\n");
    setHeadlines({ "ABCDEFGHIJ" });
    QImage image = frame(1000, 16);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            std::uint32_t pixel = pixelAt(image, x, y);
            ASSERT_TRUE(pixel == 0 || pixel == kWhite) << x << "," << y << " " << std::hex << pixel;
        }
    }
    std::vector<int> starts = groupStarts(inkColumns(image, 0, 16), 60);
    ASSERT_GE(starts.size(), 3u);
    EXPECT_GE(starts[0], 100);
    EXPECT_LE(starts[0], 103);
    const int pitch = starts[1] - starts[0];
    EXPECT_GT(pitch, 150); // ten letters and the gap
    EXPECT_EQ(starts[2] - starts[1], pitch);
}

TEST_F(SkinRenderTest, HostileHeadlinesSpeedsAndEventStormsStayBounded)
{
    load("message main { xpos 0; ypos 0; width 300; height 16; color #ffffff; }\n"
         "layer busy { image = still; event onNewsOn { xpos = xpos + 1; wait 5; } }\n"
         "workarea 300, 16;\n");
    setHeadlines({ std::string(10000, 'W'), "", std::string(300, '\x82') });
    for (std::int32_t speed : { -1000, 0, 10, 1000000 }) {
        m_display->setSpeed(speed);
        for (int i = 0; i < 20; ++i) {
            for (int event = 0; event < 10; ++event) {
                m_skin->fireEvent(6);
            }
            ASSERT_FALSE(frame(300, 16, static_cast<std::uint32_t>(i)).isNull());
        }
    }
    // The huge speed has scrolled the front titles away; the cursor is still sound.
    EXPECT_TRUE(m_display->isValid());
}

TEST_F(SkinRenderTest, TheFrontHeadlineLeavesAndTheSharedCursorMovesOn)
{
    load("message main { xpos 0; ypos 0; width 400; height 16; }\n"
         "message sub { xpos 0; ypos 20; width 400; height 16; }\nworkarea 400, 40;\n");
    setHeadlines({ "first", "second" });
    frame(400, 40);
    EXPECT_DOUBLE_EQ(m_display->position(), 1.0); // speed 2: 2 x 0.25 + 0.5
    m_display->setPosition(80.0);
    frame(400, 40);
    EXPECT_EQ(m_display->currentHeadline()->title, "first");
    m_display->setPosition(2000.0);
    QImage image = frame(400, 40);
    EXPECT_EQ(m_display->currentHeadline()->title, "second");
    EXPECT_DOUBLE_EQ(m_display->position(), 1.0);
    // Restarted at 0: the new front title enters 100 pixels from the left.
    std::vector<int> starts = groupStarts(inkColumns(image, 0, 16), 60);
    ASSERT_FALSE(starts.empty());
    EXPECT_GE(starts[0], 100);
    EXPECT_LE(starts[0], 103);
}

TEST_F(SkinRenderTest, TheHeadlineUnderAPointIsTheOneTheLastFrameDrewThere)
{
    load("message main { xpos 10; ypos 4; width 1000; height 16; color #ffffff; }\n"
         "message other { xpos 0; ypos 22; width 1000; height 8; }\nworkarea 1020, 30;\n");
    setHeadlines({ "AAAAAAAA", "BBBB", "CCCCCCCCCCCC" });
    EXPECT_FALSE(m_skin->headlineAt(150, 10)) << "nothing drawn yet";
    QImage image = frame(1020, 30);
    std::vector<int> starts = groupStarts(inkColumns(image, 4, 20), 60);
    ASSERT_GE(starts.size(), 3u);
    const char* expected[] = { "AAAAAAAA", "BBBB", "CCCCCCCCCCCC" };
    for (int i = 0; i < 3; ++i) {
        std::optional<core::Headline> headline = m_skin->headlineAt(starts[i] + 2, 10);
        ASSERT_TRUE(headline) << i;
        EXPECT_EQ(headline->title, expected[i]);
        EXPECT_EQ(headline->link, std::string("http://example.invalid/") + expected[i]);
    }
    EXPECT_FALSE(m_skin->headlineAt(50, 10)) << "the gap before the front title";
    EXPECT_FALSE(m_skin->headlineAt(starts[1] - 20, 10)) << "the gap between two titles";
    EXPECT_FALSE(m_skin->headlineAt(starts[0] + 2, 25)) << "another message";
    EXPECT_FALSE(m_skin->headlineAt(starts[0] + 2, 2)) << "above the box";

    // A list arriving mid-scroll keeps the front title; the new one follows it.
    m_display->setPosition(30.0);
    setHeadlines({ "XXXX", "YYYY" });
    image = frame(1020, 30);
    starts = groupStarts(inkColumns(image, 4, 20), 60);
    ASSERT_GE(starts.size(), 2u);
    EXPECT_EQ(m_display->currentHeadline()->title, "AAAAAAAA");
    EXPECT_EQ(m_skin->headlineAt(starts[0] + 2, 10)->title, "AAAAAAAA");
    EXPECT_EQ(m_skin->headlineAt(starts[1] + 2, 10)->title, "XXXX");
    m_display->setPosition(2000.0);
    frame(1020, 30);
    EXPECT_EQ(m_display->currentHeadline()->title, "XXXX");
}

TEST_F(SkinRenderTest, SubShowsTheLabelAndEmptySourcesShowTheProductName)
{
    load("message sub { xpos 0; ypos 0; width 300; height 16; }\n"
         "message other { xpos 0; ypos 20; width 300; height 16; }\n"
         "message main { xpos 0; ypos 40; width 300; height 16; }\nworkarea 300, 60;\n");
    QImage empty = frame(300, 60);
    // The empty list: all three show the same fixed text.
    EXPECT_EQ(empty.copy(0, 0, 300, 16), empty.copy(0, 20, 300, 16));
    EXPECT_EQ(empty.copy(0, 40, 300, 16), empty.copy(0, 20, 300, 16));
    EXPECT_TRUE(groupStarts(inkColumns(empty, 0, 16), 60).at(0) < 4);
    setHeadlines({ "headline" });
    QImage full = frame(300, 60);
    EXPECT_NE(full.copy(0, 0, 300, 16), full.copy(0, 20, 300, 16)); // the label instead
    EXPECT_EQ(full.copy(0, 20, 300, 16), empty.copy(0, 20, 300, 16));
}

TEST_F(SkinRenderTest, MagentaTextVanishesAndOutlinesWidenTheInk)
{
    load("message main { xpos 0; ypos 0; width 300; height 16; color #ff00ff; }\n"
         "message a { xpos 0; ypos 20; width 300; height 16; color #ffffff; }\n"
         "message b { xpos 0; ypos 40; width 300; height 16; color #ffffff; edge; }\n"
         "message c { xpos 0; ypos 60; width 300; height 16; color #ffffff; shadow #808080; }\n"
         "workarea 300, 80;\n");
    setHeadlines({ "invisible" });
    QImage image = frame(300, 80);
    auto count = [&image](int top, std::uint32_t value) {
        int n = 0;
        for (int y = top; y < top + 16; ++y) {
            for (int x = 0; x < 300; ++x) {
                n += pixelAt(image, x, y) == value ? 1 : 0;
            }
        }
        return n;
    };
    EXPECT_EQ(count(0, 0), 300 * 16);
    const int plain = 300 * 16 - count(20, 0);
    EXPECT_GT(plain, 0);
    EXPECT_GT(count(40, 0xFF000000u), 0); // black outline around white text
    EXPECT_EQ(count(40, kWhite), count(20, kWhite));
    EXPECT_GT(count(60, 0xFF808080u), 0); // grey shadow
    EXPECT_EQ(count(60, kWhite), count(20, kWhite));
}

TEST_F(SkinRenderTest, WindowsFaceNamesFallBackToAnInstalledJapaneseFace)
{
    load("message a { xpos 0; ypos 0; width 300; height 16; color #ffffff; }\n"
         "message b { xpos 0; ypos 20; width 300; height 16; color #ffffff; font \"IPAGothic\"; }\n"
         "message c { xpos 0; ypos 40; width 300; height 16; color #ffffff; font \"IPAGothic\"; bold; }\n"
         "workarea 300, 60;\n");
    QImage image = frame(300, 60);
    // "MS UI Gothic" is no Linux font: the default face draws as IPAGothic does.
    EXPECT_EQ(image.copy(0, 0, 300, 16), image.copy(0, 20, 300, 16));
    EXPECT_NE(image.copy(0, 40, 300, 16), image.copy(0, 20, 300, 16));
}

TEST_F(SkinRenderTest, MessagesWithoutASizeDrawNothingAndHugeSizesAreRefused)
{
    load("message main { xpos 0; ypos 0; height 16; }\n"
         "message sub { xpos 0; ypos 0; width 1e9; height 1e9; }\n");
    setHeadlines({ "x" });
    QImage image = frame();
    EXPECT_EQ(inkColumns(image, 0, 20), std::vector<bool>(200, false));
    EXPECT_FALSE(renderFrame(*m_skin, m_display, 0, 0, 10));
}

} // namespace
} // namespace zr5::skin
