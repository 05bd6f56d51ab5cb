// `zr5skin render` run as a user runs it, on the bundled skins; the PNG it
// writes is read back and checked for its size, its alpha and its text.
#include "skin_test_support.h"

#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace zr5::skin {
namespace {

using test::pixelAt;

class RenderToolTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureGuiApplication(); }

    // Runs the tool; the exit status, and the picture in m_image.
    int render(const std::string& arguments)
    {
        std::string out = (m_folder.path() / "out.png").string();
        std::string command = std::string("QT_QPA_PLATFORM=offscreen '") + ZR5_SKIN_TOOL + "' render "
            + arguments + " '" + out + "' 2>/dev/null >/dev/null";
        int status = std::system(command.c_str());
        m_image = QImage(QString::fromStdString(out));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    int inkIn(int left, int top, int right, int bottom) const
    {
        int count = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                count += (pixelAt(m_image, x, y) >> 24) != 0 ? 1 : 0;
            }
        }
        return count;
    }

    test::TempSkinFolder m_folder;
    QImage m_image;
};

TEST_F(RenderToolTest, WritesTheLastFrameWithAlphaAtTheRequestedSize)
{
    ASSERT_EQ(render(std::string("'") + ZR5_SKINS_DIR
                  + "/Zephyr' --size 800x48 --frames 3 --headline 'One|http://a|A'"),
        0);
    ASSERT_FALSE(m_image.isNull());
    EXPECT_EQ(m_image.width(), 800);
    EXPECT_EQ(m_image.height(), 48);
    EXPECT_TRUE(m_image.hasAlphaChannel());
    m_image = m_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(pixelAt(m_image, 0, 0) >> 24, 0u); // the frame's shadow fades out at the corner
    EXPECT_GT(pixelAt(m_image, 400, 24) >> 24, 200u); // the glass bar
}

TEST_F(RenderToolTest, EventsAndHeadlinesChangeThePicture)
{
    const std::string skin = std::string("'") + ZR5_SKINS_DIR + "/Zephyr' --size 600x48 --frames 5";
    ASSERT_EQ(render(skin + " --headline 'Tick|x|Label'"), 0);
    QImage plain = m_image;
    // F3 (onMailOn) after the first frame shows the mail badge at the right end.
    ASSERT_EQ(render(skin + " --headline 'Tick|x|Label' --event 8@0"), 0);
    EXPECT_NE(m_image.copy(560, 0, 40, 48), plain.copy(560, 0, 40, 48));
    EXPECT_EQ(m_image.copy(0, 0, 300, 48), plain.copy(0, 0, 300, 48));
    ASSERT_EQ(render(skin + " --headline 'Other words|x|Label'"), 0);
    EXPECT_NE(m_image, plain);
}

TEST_F(RenderToolTest, BadArgumentsAndBrokenSkinsFail)
{
    EXPECT_EQ(render("--size 10"), 2);
    EXPECT_EQ(render(std::string("'") + ZR5_SKINS_DIR + "/Zephyr' --frames 0"), 2);
    EXPECT_EQ(render("'" + m_folder.path().string() + "'"), 1);
    for (const char* scale : { "0", "-1", "4.5", "abc", "nan", "inf", "2x", "''" }) {
        EXPECT_EQ(render(std::string("'") + ZR5_SKINS_DIR + "/Zephyr' --scale " + scale), 2) << scale;
    }
}

// The frame at a pixel ratio of 2: twice the size, the frame's bitmap in exact
// 2 x 2 blocks of the 1x render, the headline band drawn anew at the finer
// resolution rather than blown up.
TEST_F(RenderToolTest, ScaleRendersTheDevicePixelsOfAHighDensityScreen)
{
    const std::string skin = std::string("'") + ZR5_SKINS_DIR
        + "/Zephyr' --size 600x48 --frames 5 --headline 'Sharp text|x|Label' --headline 'Second|y|L'";
    ASSERT_EQ(render(skin), 0);
    const QImage one = m_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(render(skin + " --scale 2"), 0);
    const QImage two = m_image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(two.size(), QSize(1200, 96));
    const auto unlikeBlocks = [&](int left, int top, int right, int bottom) {
        int unlike = 0;
        for (int y = 2 * top; y < 2 * bottom; ++y) {
            for (int x = 2 * left; x < 2 * right; ++x) {
                unlike += pixelAt(two, x, y) != pixelAt(one, x / 2, y / 2);
            }
        }
        return unlike;
    };
    EXPECT_EQ(unlikeBlocks(0, 38, 600, 48), 0) << "the frame's lower edge and shadow";
    EXPECT_EQ(unlikeBlocks(300, 0, 560, 20), 0) << "glass above the text";
    EXPECT_GT(unlikeBlocks(34, 20, 300, 36), 100) << "the headline band";

    ASSERT_EQ(render(skin + " --scale 1.5"), 0);
    EXPECT_EQ(m_image.size(), QSize(900, 72));
}

} // namespace
} // namespace zr5::skin
