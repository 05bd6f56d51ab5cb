// Frames rendered for high-density screens: the same skin at 1, 1.5 and 2
// device pixels per logical pixel. Bitmaps must come out as exact blocks of
// the 1x frame, text must be drawn anew at the finer resolution, and the
// scrolling must not depend on the scale.
#include "core/display_holder.h"
#include "core/headline_list.h"
#include "skin/runtime/frame_renderer.h"
#include "skin/runtime/skin.h"
#include "skin_test_support.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zr5::skin {
namespace {

using test::pixelAt;

// A layer of coloured cells at (10, 2) and the ticker's text band at (60, 4),
// outlined and shadowed so that every text pass is scaled.
constexpr const char* kScript = "window main { file \"frame.bmp\"; }\n"
                                "image cells { file \"cells.bmp\"; }\n"
                                "layer a { image = cells; xpos = 10; ypos = 2; width = 40; height = 16; }\n"
                                "message main { xpos 60; ypos 4; width 340; height 16; color #ffffff;\n"
                                "  style 12; edge #102030; shadow #405060; }\n"
                                "workarea 400, 24;\n";
constexpr int kTextTop = 4;
constexpr int kTextBottom = 20;

// One skin and one headline source, rendered at one scale.
class ScaledTicker final {
public:
    ScaledTicker(const test::TempSkinFolder& folder, double scale)
        : m_scale(scale)
    {
        SkinLoadResult result = Skin::loadScript(kScript, folder.path());
        EXPECT_TRUE(result.skin) << result.error.message;
        m_skin = result.skin;
        auto list = std::make_shared<core::HeadlineList>("label");
        for (const char* title : { "Short", "A rather longer headline", "Mid length one" }) {
            list->append(title, std::string("http://example.invalid/") + title);
        }
        m_display->setMainList(list);
        m_display->setSpeed(10);
    }

    QImage frame(std::uint32_t now)
    {
        std::shared_ptr<gfx::Surface32> surface = renderFrame(*m_skin, m_display, now, 400, 24, m_scale);
        return surface ? surface->image() : QImage();
    }

    const core::DisplayHolder& display() const { return *m_display; }

private:
    double m_scale;
    std::shared_ptr<Skin> m_skin;
    std::shared_ptr<core::DisplayHolder> m_display = std::make_shared<core::DisplayHolder>();
};

class ScaledRenderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureGuiApplication(); }

    void SetUp() override
    {
        m_folder.writeCells("frame.bmp", 8, 8, 1, 1, { 0xFF00FF });
        m_folder.writeCells("cells.bmp", 5, 4, 4, 2,
            { 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808080, 0x00FFFF, 0xFFFF00, 0x102030 });
    }

    test::TempSkinFolder m_folder;
};

// Whether every pixel of the band is its 1x pixel repeated as a scale x scale block.
int pixelsUnlikeBlocks(const QImage& device, const QImage& logical, int scale, int top, int bottom)
{
    int unlike = 0;
    for (int y = top * scale; y < bottom * scale; ++y) {
        for (int x = 0; x < device.width(); ++x) {
            unlike += pixelAt(device, x, y) != pixelAt(logical, x / scale, y / scale);
        }
    }
    return unlike;
}

// Left edges of runs of columns holding ink in the band, runs closer than `gap` merged.
std::vector<int> inkStarts(const QImage& image, int top, int bottom, int gap)
{
    std::vector<int> starts;
    int empty = gap;
    for (int x = 0; x < image.width(); ++x) {
        bool ink = false;
        for (int y = top; y < bottom && !ink; ++y) {
            ink = (pixelAt(image, x, y) >> 24) != 0;
        }
        if (ink && empty >= gap) {
            starts.push_back(x);
        }
        empty = ink ? 0 : empty + 1;
    }
    return starts;
}

TEST_F(ScaledRenderTest, BitmapsAreBlocksOfTheLogicalFrameAndTextIsDrawnAtDeviceResolution)
{
    ScaledTicker logical(m_folder, 1.0);
    ScaledTicker device(m_folder, 2.0);
    const QImage one = logical.frame(0);
    const QImage two = device.frame(0);
    ASSERT_EQ(two.width(), 800);
    ASSERT_EQ(two.height(), 48);
    // The layer lies above and below the text band too: those rows are pure bitmap.
    EXPECT_EQ(pixelsUnlikeBlocks(two, one, 2, 0, kTextTop), 0);
    EXPECT_EQ(pixelsUnlikeBlocks(two, one, 2, kTextBottom, 24), 0);
    EXPECT_EQ(pixelAt(two, 20, 4), pixelAt(one, 10, 2));
    EXPECT_EQ(pixelAt(one, 10, 2), 0xFFFF0000u);

    // Text at twice the size in a font of twice the pixel size differs from the
    // 1x text blown up, yet sits in the same places.
    EXPECT_GT(pixelsUnlikeBlocks(two, one, 2, kTextTop, kTextBottom), 100);
    const std::vector<int> starts = inkStarts(one, kTextTop, kTextBottom, 40);
    const std::vector<int> deviceStarts = inkStarts(two, 2 * kTextTop, 2 * kTextBottom, 80);
    ASSERT_GE(starts.size(), 3u);
    ASSERT_EQ(deviceStarts.size(), starts.size());
    for (std::size_t i = 0; i < starts.size(); ++i) {
        EXPECT_NEAR(deviceStarts[i], 2 * starts[i], 4) << i;
    }
}

TEST_F(ScaledRenderTest, TheFrontHeadlineChangesAtTheSamePositionAtEveryScale)
{
    ScaledTicker logical(m_folder, 1.0);
    std::vector<ScaledTicker> scaled;
    scaled.emplace_back(m_folder, 1.5);
    scaled.emplace_back(m_folder, 2.0);
    int changes = 0;
    std::string front = logical.display().currentHeadline()->title;
    // Three pixels a frame: enough frames for the front title to leave several times.
    for (std::uint32_t frame = 0; frame < 320; ++frame) {
        logical.frame(frame * 10);
        changes += logical.display().currentHeadline()->title != front;
        front = logical.display().currentHeadline()->title;
        for (ScaledTicker& ticker : scaled) {
            ticker.frame(frame * 10);
            ASSERT_EQ(ticker.display().currentHeadline()->title, front) << "frame " << frame;
            ASSERT_EQ(ticker.display().position(), logical.display().position()) << "frame " << frame;
        }
    }
    EXPECT_GE(changes, 2);
}

TEST_F(ScaledRenderTest, FramesAreRoundedToWholeDevicePixelsAndBadScalesAreRefused)
{
    ScaledTicker ticker(m_folder, 1.5);
    const QImage image = ticker.frame(0);
    EXPECT_EQ(image.width(), 600);
    EXPECT_EQ(image.height(), 36);

    SkinLoadResult result = Skin::loadScript(kScript, m_folder.path());
    ASSERT_TRUE(result.skin);
    auto display = std::make_shared<core::DisplayHolder>();
    std::shared_ptr<gfx::Surface32> odd = renderFrame(*result.skin, display, 0, 201, 15, 1.5);
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd->width(), 302); // 301.5 rounded away from zero
    EXPECT_EQ(odd->height(), 23);
    for (double scale : { 0.0, -1.0, std::nan(""), HUGE_VAL }) {
        EXPECT_FALSE(renderFrame(*result.skin, display, 0, 400, 24, scale)) << scale;
    }
}

// Every skin that loads, bundled or written for the tests, renders at a
// fractional scale (1.5: blocks of one and two pixels) at its design size and
// wider.
TEST_F(ScaledRenderTest, EverySkinRendersAtAFractionalScale)
{
    std::vector<std::filesystem::path> folders = { std::filesystem::path(ZR5_SKINS_DIR) / "Zephyr",
        std::filesystem::path(ZR5_SKINS_DIR) / "@Classic/Paper" };
    for (const auto& entry : std::filesystem::directory_iterator(ZR5_SKIN_TEST_DIR)) {
        if (entry.is_directory()) {
            folders.push_back(entry.path());
        }
    }
    int rendered = 0;
    for (const std::filesystem::path& folder : folders) {
        SkinLoadResult result = Skin::load(folder);
        if (!result.skin) {
            continue;
        }
        auto display = std::make_shared<core::DisplayHolder>();
        auto list = std::make_shared<core::HeadlineList>("News:Top");
        list->append("Headline one", "http://example.invalid/1", "Label");
        display->setMainList(list);
        const WindowGeometry& geometry = result.skin->geometry();
        for (const auto& [width, height] : { std::pair { geometry.designWidth, geometry.designHeight },
                 std::pair { geometry.designWidth + 37, geometry.designHeight + 5 } }) {
            for (std::uint32_t now = 0; now < 30; now += 10) {
                std::shared_ptr<gfx::Surface32> surface
                    = renderFrame(*result.skin, display, now, width, height, 1.5);
                ASSERT_TRUE(surface) << folder;
                EXPECT_EQ(surface->width(), std::lround(width * 1.5)) << folder;
                EXPECT_EQ(surface->height(), std::lround(height * 1.5)) << folder;
            }
        }
        ++rendered;
    }
    EXPECT_GE(rendered, 10);
}

} // namespace
} // namespace zr5::skin
