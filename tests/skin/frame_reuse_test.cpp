// Frames drawn with everything a FrameRenderer keeps (surfaces, the composed
// background, fonts, the scratch band) must equal, byte for byte, frames drawn
// from nothing, for every skin we ship or test with, through events, headline
// changes, resizes and both pixel ratios; and the changed rectangle it reports
// must be exactly where the new frame differs from the one before.
#include "core/display_holder.h"
#include "core/headline_list.h"
#include "skin/runtime/frame_renderer.h"
#include "skin/runtime/layer_object.h"
#include "skin/runtime/skin.h"
#include "skin_test_support.h"

#include <QImage>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zr5::skin {
namespace {

constexpr int kFrames = 90;

struct ReuseCase {
    std::filesystem::path folder;
    double scale;
};

std::ostream& operator<<(std::ostream& out, const ReuseCase& c)
{
    return out << c.folder.string() << " at " << c.scale;
}

std::string caseName(const ::testing::TestParamInfo<ReuseCase>& info)
{
    std::string name = info.param.folder.parent_path().filename().string() + "_"
        + info.param.folder.filename().string() + "_x" + std::to_string(static_cast<int>(info.param.scale));
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

// Every folder under the bundled skins and the test skins holding a skin that loads.
std::vector<ReuseCase> allSkinFolders()
{
    std::vector<ReuseCase> cases;
    for (const char* root : { ZR5_SKINS_DIR, ZR5_SKIN_TEST_DIR }) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.path().filename() == "zr5.skn" && Skin::load(entry.path().parent_path()).skin) {
                for (double scale : { 1.0, 2.0 }) {
                    cases.push_back({ entry.path().parent_path(), scale });
                }
            }
        }
    }
    return cases;
}

std::shared_ptr<core::HeadlineList> headlines(const std::string& label, int count, const std::string& stem)
{
    auto list = std::make_shared<core::HeadlineList>(label);
    for (int i = 0; i < count; ++i) {
        // Kana in some titles, so fallback fonts and their glyph extents are covered.
        const std::string kana = i % 2 ? " \x83\x6a\x83\x85\x81\x5b\x83\x58" : "";
        list->append(stem + std::to_string(i) + kana, "http://example.invalid/" + std::to_string(i));
    }
    return list;
}

// One skin and its headlines, driven by the same script of events as its twin.
struct SkinRun {
    std::shared_ptr<Skin> skin;
    std::shared_ptr<core::DisplayHolder> display = std::make_shared<core::DisplayHolder>();
};

std::optional<SkinRun> loadRun(const std::filesystem::path& folder)
{
    SkinLoadResult result = Skin::load(folder);
    if (!result.skin) {
        return std::nullopt;
    }
    SkinRun run { result.skin };
    run.display->setMainList(headlines("News:Top", 6, "Headline "));
    return run;
}

// What happens before frame i: events, a new headline list, a pause.
void stepScript(SkinRun& run, int i)
{
    if (i == 12) {
        run.skin->fireEvent(6);
    }
    if (i == 20) {
        run.display->setMainList(headlines("Site", 3, "Other story "));
    }
    if (i == 26) {
        run.skin->fireEvent(8);
    }
    if (i == 40) {
        run.skin->fireEvent(7);
        run.display->setPaused(true);
    }
    if (i == 48) {
        run.display->setPaused(false);
        run.skin->fireEvent(9);
    }
}

// The window's size for frame i: steady, then resized every frame, then steady again.
std::pair<int, int> sizeAt(const Skin& skin, int i)
{
    const int width = skin.geometry().designWidth;
    const int height = skin.geometry().designHeight;
    if (i >= 30 && i < 36) {
        return { width + 7 * (i - 29), height + (i % 2) };
    }
    return { i >= 36 ? width + 40 : width, height };
}

std::uint32_t timeAt(int i)
{
    // 10 ms apart, with a stretch of identical times where nothing moves.
    return i >= 60 && i < 64 ? 600u : static_cast<std::uint32_t>(10 * i);
}

// The bounding box of the pixels that differ between two frames of one size.
gfx::Rect differingPixels(const QImage& before, const QImage& after)
{
    gfx::Rect box { after.width(), after.height(), 0, 0 };
    for (int y = 0; y < after.height(); ++y) {
        for (int x = 0; x < after.width(); ++x) {
            if (before.pixel(x, y) != after.pixel(x, y)) {
                box = { std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), y + 1 };
            }
        }
    }
    return box.bottom > box.top ? box : gfx::Rect {};
}

bool sameRect(const gfx::Rect& a, const gfx::Rect& b)
{
    const bool aEmpty = a.right <= a.left || a.bottom <= a.top;
    const bool bEmpty = b.right <= b.left || b.bottom <= b.top;
    return aEmpty == bEmpty
        && (aEmpty || (a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom));
}

class FrameReuseTest : public ::testing::TestWithParam<ReuseCase> {
protected:
    static void SetUpTestSuite() { test::ensureGuiApplication(); }
};

// A renderer keeping its state over a skin of its own, and what it last showed.
struct KeptRun {
    SkinRun run;
    FrameRenderer renderer;
    QImage previous;
    int unchangedFrames = 0;
};

TEST_P(FrameReuseTest, KeptFramesEqualFramesDrawnFromNothing)
{
    std::optional<SkinRun> plain = loadRun(GetParam().folder);
    ASSERT_TRUE(plain);
    // The background joins at once, and as the ticker has it, once settled.
    std::vector<std::unique_ptr<KeptRun>> keptRuns;
    for (int settle : { 1, FrameRenderer::kSettleFrames }) {
        std::optional<SkinRun> run = loadRun(GetParam().folder);
        ASSERT_TRUE(run);
        keptRuns.push_back(std::make_unique<KeptRun>(
            KeptRun { std::move(*run), FrameRenderer(FrameRenderer::Reuse::Kept, settle), {}, 0 }));
    }
    for (int i = 0; i < kFrames; ++i) {
        stepScript(*plain, i);
        const auto [width, height] = sizeAt(*plain->skin, i);
        std::shared_ptr<gfx::Surface32> reference
            = renderFrame(*plain->skin, plain->display, timeAt(i), width, height, GetParam().scale);
        ASSERT_TRUE(reference);
        for (const auto& kept : keptRuns) {
            stepScript(kept->run, i);
            std::shared_ptr<gfx::Surface32> frame = kept->renderer.render(
                *kept->run.skin, kept->run.display, timeAt(i), width, height, GetParam().scale);
            ASSERT_TRUE(frame);
            const QImage& now = frame->image();
            ASSERT_EQ(now, reference->image()) << "frame " << i;
            const gfx::Rect expected = kept->previous.size() == now.size()
                ? differingPixels(kept->previous, now)
                : gfx::Rect { 0, 0, now.width(), now.height() };
            const gfx::Rect changed = kept->renderer.changedRect();
            EXPECT_TRUE(sameRect(changed, expected))
                << "frame " << i << ": reported " << changed.left << "," << changed.top << "-"
                << changed.right << "," << changed.bottom << ", differs " << expected.left << ","
                << expected.top << "-" << expected.right << "," << expected.bottom;
            kept->unchangedFrames += changed.right <= changed.left ? 1 : 0;
            kept->previous = now.copy();
        }
    }
    // The paused stretch at one time draws the same picture again.
    for (const auto& kept : keptRuns) {
        EXPECT_GT(kept->unchangedFrames, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(EverySkin, FrameReuseTest, ::testing::ValuesIn(allSkinFolders()), caseName);

class FrameRendererTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureGuiApplication(); }

    void SetUp() override
    {
        m_run = loadRun(std::filesystem::path(ZR5_SKINS_DIR) / "Zephyr");
        ASSERT_TRUE(m_run);
    }

    std::shared_ptr<gfx::Surface32> render(std::uint32_t now, int width = 600, double scale = 1.0)
    {
        return m_renderer.render(*m_run->skin, m_run->display, now, width, 48, scale);
    }

    std::optional<SkinRun> m_run;
    FrameRenderer m_renderer;
};

TEST_F(FrameRendererTest, NeverDrawsOverAFrameTheCallerHolds)
{
    std::vector<std::shared_ptr<gfx::Surface32>> held;
    std::vector<QImage> copies;
    for (int i = 0; i < 6; ++i) {
        held.push_back(render(static_cast<std::uint32_t>(40 * i)));
        copies.push_back(held.back()->image().copy());
    }
    for (std::size_t i = 0; i < held.size(); ++i) {
        EXPECT_EQ(held[i]->image(), copies[i]) << i;
    }
}

TEST_F(FrameRendererTest, ReusesItsTwoSurfacesOnceTheCallerLetsGo)
{
    const gfx::Surface32* first = render(0).get();
    const gfx::Surface32* second = render(10).get();
    EXPECT_NE(first, second);
    EXPECT_EQ(render(20).get(), first);
    EXPECT_EQ(render(30).get(), second);
}

TEST_F(FrameRendererTest, ReportsTheWholeFrameAfterAChangeOfSkinSizeOrScale)
{
    const auto whole = [this](int width, int height) {
        const gfx::Rect r = m_renderer.changedRect();
        return r.left == 0 && r.top == 0 && r.right == width && r.bottom == height;
    };
    render(0);
    EXPECT_TRUE(whole(600, 48));
    m_run->display->setPaused(true);
    render(0);
    EXPECT_FALSE(whole(600, 48));
    render(0, 601);
    EXPECT_TRUE(whole(601, 48));
    render(0, 601, 2.0);
    EXPECT_TRUE(whole(1202, 96));
    std::optional<SkinRun> other = loadRun(std::filesystem::path(ZR5_SKINS_DIR) / "Zephyr");
    ASSERT_TRUE(other);
    m_renderer.render(*other->skin, m_run->display, 0, 601, 48, 2.0);
    EXPECT_TRUE(whole(1202, 96));
}

TEST_F(FrameRendererTest, RefusedFramesReportNoChange)
{
    render(0);
    EXPECT_FALSE(render(10, 0));
    EXPECT_EQ(m_renderer.changedRect().right, 0);
    EXPECT_FALSE(render(10, 600, 0.0));
    EXPECT_EQ(m_renderer.changedRect().right, 0);
}

// Styled text (bold, slanted, outlined, shadowed) over an animated layer,
// with a message whose band is much narrower than its box.
TEST(FrameRendererStyles, StyledTextMatchesTheFrameDrawnFromNothing)
{
    test::ensureGuiApplication();
    test::TempSkinFolder folder;
    folder.writeCells("frame.bmp", 8, 8, 1, 1, { 0x204060 });
    folder.writeCells("cells.bmp", 4, 4, 2, 1, { 0xFF0000, 0x00FF00 });
    folder.writeScript("workarea 300, 40;\n"
                       "window main { file \"frame.bmp\"; xborder 2; yborder 2; zpos -1; }\n"
                       "image blink { file \"cells.bmp\"; cell 4; draw 0; wait 30; draw 1; wait 30; }\n"
                       "layer lamp { xpos 2; ypos 2; width 4; height 4; zpos 30; image = blink; }\n"
                       "message sub { xpos 10; ypos 0; width 280; height 14; zpos 20; bold; italic;"
                       " color #ffee00; edge #000080; shadow #404040; }\n"
                       "message main { xpos 10; ypos 16; width 280; height 20; zpos 20; wchange 1; bold;"
                       " italic; edge #101010; }\n"
                       "message fixed { xpos 200; ypos 2; width 90; height 12; zpos 40; italic; }\n");
    for (double scale : { 1.0, 2.0 }) {
        std::optional<SkinRun> kept = loadRun(folder.path());
        std::optional<SkinRun> plain = loadRun(folder.path());
        ASSERT_TRUE(kept && plain);
        FrameRenderer renderer;
        for (int i = 0; i < 40; ++i) {
            const int width = i < 20 ? 300 : 300 + i;
            const auto now = static_cast<std::uint32_t>(10 * i);
            std::shared_ptr<gfx::Surface32> frame
                = renderer.render(*kept->skin, kept->display, now, width, 40, scale);
            std::shared_ptr<gfx::Surface32> reference
                = renderFrame(*plain->skin, plain->display, now, width, 40, scale);
            ASSERT_TRUE(frame && reference);
            ASSERT_EQ(frame->image(), reference->image()) << "frame " << i << " at " << scale;
        }
    }
}

// Titles wider than any kept text image are drawn afresh where they show;
// they pass through the box and give way to the next one as the plain way has it.
TEST(FrameRendererLongTitles, MatchTheFrameDrawnFromNothing)
{
    test::ensureGuiApplication();
    auto list = std::make_shared<core::HeadlineList>("News:Long");
    std::string longTitle;
    for (int i = 0; i < 120; ++i) {
        longTitle += "Long story " + std::to_string(i) + " \x83\x6a\x83\x85\x81\x5b\x83\x58 ";
    }
    list->append(longTitle, "http://example.invalid/long");
    list->append("Short one", "http://example.invalid/short");
    list->append(longTitle + "again", "http://example.invalid/again");
    std::optional<SkinRun> kept = loadRun(std::filesystem::path(ZR5_SKINS_DIR) / "Zephyr");
    std::optional<SkinRun> plain = loadRun(std::filesystem::path(ZR5_SKINS_DIR) / "Zephyr");
    ASSERT_TRUE(kept && plain);
    kept->display->setMainList(list);
    plain->display->setMainList(list);
    FrameRenderer renderer;
    std::set<std::string> frontLinks;
    for (int i = 0; i < 160; ++i) {
        const double position = 211.0 * i;
        kept->display->setPosition(position);
        plain->display->setPosition(position);
        const auto now = static_cast<std::uint32_t>(10 * i);
        std::shared_ptr<gfx::Surface32> frame = renderer.render(*kept->skin, kept->display, now, 600, 48);
        std::shared_ptr<gfx::Surface32> reference = renderFrame(*plain->skin, plain->display, now, 600, 48);
        ASSERT_TRUE(frame && reference);
        ASSERT_EQ(frame->image(), reference->image()) << "frame " << i;
        frontLinks.insert(kept->display->currentHeadline()->link);
    }
    // Every title came to the front on the way.
    EXPECT_EQ(frontLinks.size(), 3U);
}

} // namespace
} // namespace zr5::skin
