// Skin names whose Shift_JIS ends in a byte that is also a backslash (表 is
// 0x95 0x5C) or any other trail byte: listed, chosen, checked, saved in
// zr5.ini and found again at the next start.
#include "core/settings.h"
#include "core/text_codec.h"
#include "ui/message_box.h"
#include "ui/popup_menu.h"
#include "ui/skin_catalog.h"
#include "ui/skin_loader.h"
#include "ui_test_support.h"

#include <QMenu>
#include <cstdio>
#include <gtest/gtest.h>

namespace zr5::ui::test {
namespace {

constexpr unsigned char kLeadBytes[] = { 0x95, 0x94, 0x8F, 0x83, 0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x8E,
    0x90, 0x91, 0x92, 0x93, 0x96, 0x97, 0x98, 0x82, 0x81, 0xE0, 0xE5, 0xEA };

// A double-byte character with this trail byte that makes a file name and
// comes back unchanged from it, or nothing when the leads tried have none.
std::optional<std::string> characterEndingIn(unsigned trail)
{
    for (unsigned char lead : kLeadBytes) {
        const std::string character { static_cast<char>(lead), static_cast<char>(trail) };
        const std::string onDisk = core::cp932ToLocale(character);
        if (!onDisk.empty() && core::localeToCp932(onDisk) == character) {
            return character;
        }
    }
    return std::nullopt;
}

// One name for every CP932 trail byte (0x40-0x7E, 0x80-0xFC).
std::vector<std::string> namesForEveryTrailByte()
{
    std::vector<std::string> names;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) {
            continue;
        }
        std::optional<std::string> name = characterEndingIn(trail);
        EXPECT_TRUE(name) << "no usable character ends in " << trail;
        if (name) {
            names.push_back(*name);
        }
    }
    return names;
}

std::string hex(std::string_view bytes)
{
    std::string out;
    for (char byte : bytes) {
        char buffer[4];
        std::snprintf(buffer, sizeof buffer, "%02X ", static_cast<unsigned char>(byte));
        out += buffer;
    }
    return out;
}

std::filesystem::path onDisk(std::string_view cp932)
{
    return core::cp932ToLocale(cp932);
}

class SkinCatalogTest : public ::testing::Test {
protected:
    SkinCatalogTest() { clearRecordedMessageBoxes(); }

    ScratchFolder m_folder;
    std::vector<std::string> m_names = namesForEveryTrailByte();
};

TEST_F(SkinCatalogTest, NamesEndingInAnyTrailByteAreListedCheckedAndChosen)
{
    for (const std::string& name : m_names) {
        SCOPED_TRACE(hex(name));
        // A skin of that name at the top and inside a group of that name.
        const std::filesystem::path skins = m_folder / hex(name);
        std::filesystem::create_directories(skins / onDisk(name));
        std::filesystem::create_directories(skins / onDisk("@" + name) / onDisk(name));
        const std::string grouped = "@" + name + "\\" + name;
        SkinCatalog catalog(skins);

        std::vector<SkinMenuItem> top = catalog.listLevel(0, name);
        ASSERT_EQ(top.size(), 2U);
        EXPECT_EQ(top[0].kind, SkinItemKind::Group);
        EXPECT_EQ(top[0].text, name);
        EXPECT_EQ(top[1].kind, SkinItemKind::Skin);
        EXPECT_EQ(top[1].text, name);
        EXPECT_TRUE(top[1].checked);
        EXPECT_EQ(catalog.skinForCommand(top[1].command), name);
        EXPECT_EQ(catalog.skinForCommand(top[0].command), std::nullopt) << "a group is no skin";

        std::vector<SkinMenuItem> inGroup = catalog.listLevel(top[0].groupEntry, grouped);
        ASSERT_EQ(inGroup.size(), 1U);
        EXPECT_EQ(inGroup[0].text, name);
        EXPECT_TRUE(inGroup[0].checked);
        EXPECT_EQ(catalog.skinForCommand(inGroup[0].command), grouped);
        const auto skinEntry = static_cast<std::size_t>(top[1].command - kFirstSkinCommand);
        EXPECT_TRUE(catalog.listLevel(skinEntry, name).empty()) << "a skin is no group";

        EXPECT_EQ(skinFolder(skins, name), skins / onDisk(name));
        EXPECT_EQ(skinFolder(skins, grouped), skins / onDisk("@" + name) / onDisk(name));
    }
}

TEST_F(SkinCatalogTest, TheSkinMenuChecksAndChoosesHyou)
{
    const std::string hyou = sjis("表");
    const std::string grouped = sjis("@Classic\\表");
    const std::filesystem::path skins = m_folder / "Skins";
    std::filesystem::create_directories(skins / "表");
    std::filesystem::create_directories(skins / "@Classic" / "表");
    std::filesystem::create_directories(skins / "@Classic" / "Paper");
    SkinCatalog catalog(skins);

    auto menu = buildPopupMenu(PopupKind::Window, {}, catalog, grouped);
    QMenu* skinMenu = findCommand(*menu, CommandSkin)->menu();
    fillSkinMenu(*skinMenu, catalog, grouped);
    ASSERT_EQ(skinMenu->actions().size(), 2);
    QAction* single = skinMenu->actions()[1];
    EXPECT_EQ(single->text().toStdString(), "表");
    EXPECT_FALSE(single->isChecked()) << "only the grouped one is in use";
    EXPECT_EQ(catalog.skinForCommand(single->data().toInt()), hyou);

    QMenu* classic = skinMenu->actions()[0]->menu();
    ASSERT_NE(classic, nullptr);
    fillSkinMenu(*classic, catalog, grouped);
    ASSERT_EQ(classic->actions().size(), 2);
    EXPECT_EQ(classic->actions()[0]->text().toStdString(), "Paper");
    EXPECT_FALSE(classic->actions()[0]->isChecked());
    EXPECT_EQ(catalog.skinForCommand(classic->actions()[0]->data().toInt()), "@Classic\\Paper");
    EXPECT_EQ(classic->actions()[1]->text().toStdString(), "表");
    EXPECT_TRUE(classic->actions()[1]->isChecked());
    EXPECT_EQ(catalog.skinForCommand(classic->actions()[1]->data().toInt()), grouped);
}

TEST_F(SkinCatalogTest, NamesEndingInAnyTrailByteAreSavedAndLoadedAtTheNextStart)
{
    const std::filesystem::path skins = m_folder / "Skins";
    const std::filesystem::path ini = m_folder / "zr5.ini";
    for (const std::string& name : m_names) {
        SCOPED_TRACE(hex(name));
        const std::string grouped = "@" + name + "\\" + name;
        // Told apart by their widths.
        const int groupedWidth = 100 + static_cast<unsigned char>(name[1]);
        writeSkin(skins / onDisk(name), 99, 20);
        writeSkin(skins / onDisk("@" + name) / onDisk(name), groupedWidth, 20);
        for (const std::string& chosen : { name, grouped }) {
            core::Settings settings;
            settings.window.skin = chosen;
            ASSERT_EQ(core::saveSettingsFile(ini, core::ScriptList(), settings), std::nullopt);

            const std::string configured = core::readSettings(core::ProfileFile::load(ini)).window.skin;
            EXPECT_EQ(configured, chosen);
            std::optional<NamedSkin> loaded = loadStartupSkin(nullptr, skins, configured);
            ASSERT_TRUE(loaded);
            EXPECT_EQ(loaded->name, chosen);
            EXPECT_EQ(loaded->skin->geometry().designWidth, chosen == name ? 99 : groupedWidth);
        }
    }
    EXPECT_EQ(recordedBoxesUtf8(), "");
}

} // namespace
} // namespace zr5::ui::test
