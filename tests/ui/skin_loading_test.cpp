// Loading skins by name, the start-up fallback and what each failure shows.
#include "ui/message_box.h"
#include "ui/skin_loader.h"
#include "ui/window_rules.h"
#include "ui_test_support.h"

#include <gtest/gtest.h>

namespace zr5::ui::test {
namespace {

class SkinLoadingTest : public ::testing::Test {
protected:
    SkinLoadingTest() { clearRecordedMessageBoxes(); }

    ScratchFolder m_folder;
    std::filesystem::path m_skins = m_folder / "Skins";
};

TEST_F(SkinLoadingTest, ConfiguredSkinLoadsWithoutAnyBox)
{
    writeSkin(m_skins / "Plain", 300, 30);
    std::optional<NamedSkin> loaded = loadStartupSkin(nullptr, m_skins, "Plain");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->name, "Plain");
    EXPECT_EQ(loaded->skin->geometry().designWidth, 300);
    EXPECT_EQ(recordedBoxesUtf8(), "");
}

TEST_F(SkinLoadingTest, FallbackSkipsGroupsAndHiddenFoldersAndTakesTheFirstSkin)
{
    std::filesystem::create_directories(m_skins / ".cache");
    writeSkin(m_skins / "@Group" / "Inner");
    writeSkin(m_skins / "Beta");
    writeSkin(m_skins / "Gamma");
    writeFile(m_skins / "Alpha", "a plain file, not a folder");
    std::optional<NamedSkin> loaded = loadStartupSkin(nullptr, m_skins, "");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->name, "Beta");
    EXPECT_EQ(recordedBoxesUtf8(), "") << "an empty name fails silently";
}

TEST_F(SkinLoadingTest, AVanishedConfiguredSkinIsReportedThenTheFallbackLoads)
{
    writeSkin(m_skins / "Beta");
    std::optional<NamedSkin> loaded = loadStartupSkin(nullptr, m_skins, "Gone");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->name, "Beta");
    EXPECT_EQ(recordedBoxesUtf8(), "ZR5 skin script error: :: スクリプトファイルが見つかりません。");
}

TEST_F(SkinLoadingTest, OnlyTheFirstFallbackFolderIsTried)
{
    std::filesystem::create_directories(m_skins / "Broken");
    writeSkin(m_skins / "Good");
    EXPECT_FALSE(loadStartupSkin(nullptr, m_skins, ""));
    EXPECT_EQ(recordedBoxesUtf8(), "ZR5 skin script error: :: スクリプトファイルが見つかりません。");
}

TEST_F(SkinLoadingTest, MissingOrEmptySkinsFolderEndsTheStartWithItsMessage)
{
    EXPECT_FALSE(loadStartupSkin(nullptr, m_skins, "Any"));
    EXPECT_EQ(recordedBoxesUtf8(),
        "ZR5 skin script error: :: スクリプトファイルが見つかりません。\n"
        "ZR5 ERROR: Skinsフォルダが見つかりません。");
    clearRecordedMessageBoxes();
    std::filesystem::create_directories(m_skins / "@OnlyAGroup");
    EXPECT_FALSE(loadStartupSkin(nullptr, m_skins, ""));
    EXPECT_EQ(recordedBoxesUtf8(), "ZR5 ERROR: Skinsフォルダ内にフォルダが見つかりません。");
}

TEST_F(SkinLoadingTest, SkinErrorsShowTheirCaptionsAndText)
{
    writeSkinScript(m_skins / "NoMain", "workarea 100, 20;\n");
    EXPECT_EQ(loadSkinNamed(nullptr, m_skins, "NoMain"), nullptr);
    writeSkinScript(m_skins / "Syntax", "window main {\n\tfile \"frame.bmp\"\n");
    EXPECT_EQ(loadSkinNamed(nullptr, m_skins, "Syntax"), nullptr);
    const auto& boxes = recordedMessageBoxes();
    ASSERT_EQ(boxes.size(), 2U);
    EXPECT_EQ(boxes[0].caption, "ZR5 skin script error");
    EXPECT_EQ(recordedBoxesUtf8().substr(0, recordedBoxesUtf8().find('\n')),
        "ZR5 skin script error: :: window main が定義されていません。");
    EXPECT_EQ(boxes[1].caption, "ZR5 skin script error");
    EXPECT_NE(boxes[1].text.find("Line "), std::string::npos) << boxes[1].text;
}

TEST_F(SkinLoadingTest, GroupSkinsLoadFromTheFolderInsideTheGroup)
{
    writeSkin(m_skins / "@Seasons" / "Winter", 123, 45);
    std::shared_ptr<skin::Skin> loaded = loadSkinNamed(nullptr, m_skins, "@Seasons\\Winter");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->geometry().designWidth, 123);
    EXPECT_EQ(loaded->geometry().designHeight, 45);
}

TEST_F(SkinLoadingTest, SizeLimitsAndStepsComeFromTheMainWindow)
{
    writeSkin(m_skins / "Steps", 200, 40, "\txstep 10;\n\tystep 0;\n\txmin 120;\n\tymax 80;\n");
    writeSkin(m_skins / "Borders", 200, 40, "\txborder 10, 12;\n\tyborder 3, 4;\n");
    auto steps = loadSkinNamed(nullptr, m_skins, "Steps");
    auto borders = loadSkinNamed(nullptr, m_skins, "Borders");
    ASSERT_TRUE(steps && borders) << recordedBoxesUtf8();

    SizeLimits limits = sizeLimits(*steps);
    EXPECT_EQ(limits.minWidth, 120);
    EXPECT_EQ(limits.minHeight, 0);
    EXPECT_EQ(limits.maxWidth, 0);
    EXPECT_EQ(limits.maxHeight, 80);
    EXPECT_EQ(sizeSteps(*steps).x, 10);
    EXPECT_EQ(sizeSteps(*steps).y, 1);

    limits = sizeLimits(*borders);
    EXPECT_EQ(limits.minWidth, 22) << "xmin missing: the borders";
    EXPECT_EQ(limits.minHeight, 7);
    EXPECT_EQ(sizeSteps(*borders).x, 1);
}

} // namespace
} // namespace zr5::ui::test
