// The bundled skins rendered headlessly and compared with committed pictures.
// Fonts decide some pixels, so a pixel may differ by a little everywhere and
// by any amount on a small share of the picture; a failure writes the actual
// frame beside the test binary. ZR5_UPDATE_GOLDEN=1 rewrites the pictures.
#include "core/display_holder.h"
#include "core/headline_list.h"
#include "skin/runtime/frame_renderer.h"
#include "skin/runtime/skin.h"
#include "skin_test_support.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace zr5::skin {
namespace {

constexpr int kChannelTolerance = 8;
constexpr double kMaxDifferingShare = 0.03;

struct GoldenCase {
    const char* name;
    const char* skinFolder;
    std::uint32_t now;
    int frames;
};

std::ostream& operator<<(std::ostream& out, const GoldenCase& golden)
{
    return out << golden.name;
}

int channelDistance(QRgb a, QRgb b)
{
    const int da = std::abs(qAlpha(a) - qAlpha(b));
    const int dr = std::abs(qRed(a) - qRed(b));
    const int dg = std::abs(qGreen(a) - qGreen(b));
    const int db = std::abs(qBlue(a) - qBlue(b));
    return std::max(std::max(da, dr), std::max(dg, db));
}

QImage renderBundled(const GoldenCase& golden)
{
    SkinLoadResult result = Skin::load(std::string(ZR5_SKINS_DIR) + "/" + golden.skinFolder);
    EXPECT_TRUE(result.skin) << result.error.message;
    if (!result.skin) {
        return {};
    }
    auto display = std::make_shared<core::DisplayHolder>();
    auto list = std::make_shared<core::HeadlineList>("News:Top");
    list->append("Headline one", "http://example.invalid/1");
    list->append("Headline two", "http://example.invalid/2");
    display->setMainList(list);
    const WindowGeometry& geometry = result.skin->geometry();
    std::shared_ptr<gfx::Surface32> surface;
    for (int i = 0; i < golden.frames; ++i) {
        surface = renderFrame(*result.skin, display, golden.now + static_cast<std::uint32_t>(10 * i),
            geometry.designWidth, geometry.designHeight);
    }
    return surface ? surface->image().convertToFormat(QImage::Format_ARGB32) : QImage();
}

class GoldenRenderTest : public ::testing::TestWithParam<GoldenCase> {
protected:
    static void SetUpTestSuite() { test::ensureGuiApplication(); }
};

TEST_P(GoldenRenderTest, MatchesThePictureWithinTolerance)
{
    const GoldenCase& golden = GetParam();
    const QImage actual = renderBundled(golden);
    ASSERT_FALSE(actual.isNull());
    const std::string goldenPath = std::string(ZR5_SKIN_GOLDEN_DIR) + "/" + golden.name + ".png";
    if (std::getenv("ZR5_UPDATE_GOLDEN")) {
        ASSERT_TRUE(actual.save(QString::fromStdString(goldenPath)));
        GTEST_SKIP() << "golden picture rewritten";
    }
    const QImage expected = QImage(QString::fromStdString(goldenPath)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(expected.isNull()) << goldenPath;
    ASSERT_EQ(actual.size(), expected.size());
    int differing = 0;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            differing += channelDistance(actual.pixel(x, y), expected.pixel(x, y)) > kChannelTolerance;
        }
    }
    const double share = static_cast<double>(differing) / (actual.width() * actual.height());
    if (share > kMaxDifferingShare) {
        actual.save(QString::fromStdString(std::string(golden.name) + "-actual.png"));
    }
    EXPECT_LE(share, kMaxDifferingShare) << differing << " pixels differ";
}

INSTANTIATE_TEST_SUITE_P(BundledSkins, GoldenRenderTest,
    ::testing::Values(GoldenCase { "zephyr-start", "Zephyr", 0, 1 },
        GoldenCase { "zephyr-scrolled", "Zephyr", 1000, 30 },
        GoldenCase { "paper-start", "@Classic/Paper", 0, 1 }),
    [](const ::testing::TestParamInfo<GoldenCase>& info) {
        std::string name = info.param.name;
        for (char& c : name) {
            c = c == '-' ? '_' : c;
        }
        return name;
    });

} // namespace
} // namespace zr5::skin
