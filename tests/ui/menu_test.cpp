// The popup menus and the skin submenu built from real folder trees.
#include "dialogs/qt_text.h"
#include "ui/popup_menu.h"
#include "ui/skin_catalog.h"
#include "ui_test_support.h"

#include <QMenu>
#include <gtest/gtest.h>

namespace zr5::ui::test {
namespace {

struct Row {
    int id;
    std::string text; // UTF-8; "-" for a separator
    bool checked;
};

std::vector<Row> rows(const QMenu& menu)
{
    std::vector<Row> out;
    for (QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            out.push_back({ 0, "-", false });
        } else {
            out.push_back({ action->data().toInt(), action->text().toStdString(), action->isChecked() });
        }
    }
    return out;
}

std::vector<std::string> texts(const QMenu& menu)
{
    std::vector<std::string> out;
    for (const Row& row : rows(menu)) {
        out.push_back(row.text);
    }
    return out;
}

QMenu* skinMenu(const QMenu& popup)
{
    QAction* action = findCommand(popup, CommandSkin);
    return action ? action->menu() : nullptr;
}

QMenu* openSubmenu(QMenu& menu, const std::string& utf8Text, SkinCatalog& catalog, const std::string& inUse)
{
    for (QAction* action : menu.actions()) {
        if (action->text().toStdString() == utf8Text && action->menu()) {
            fillSkinMenu(*action->menu(), catalog, inUse);
            return action->menu();
        }
    }
    return nullptr;
}

class MenuTest : public ::testing::Test {
protected:
    std::unique_ptr<QMenu> popup(PopupKind kind, MenuChecks checks = {})
    {
        auto menu = buildPopupMenu(kind, checks, m_catalog, m_inUse);
        fillSkinMenu(*skinMenu(*menu), m_catalog, m_inUse);
        return menu;
    }

    ScratchFolder m_folder;
    std::filesystem::path m_skins = m_folder / "Skins";
    SkinCatalog m_catalog { m_skins };
    std::string m_inUse;
};

TEST_F(MenuTest, WindowAndTrayMenusCarryTheCommandsInOrder)
{
    std::filesystem::create_directories(m_skins / "A");
    auto window = popup(PopupKind::Window, { true, false, true });
    std::vector<Row> expected = {
        { 40004, "オプション(&O)...", false },
        { 40003, "スクロール(R)...", false },
        { 40002, "スキン(S)", false },
        { 0, "-", false },
        { 40006, "常に前に表示(&T)", true },
        { 40007, "常に後に表示(&B)", false },
        { 40008, "位置サイズ固定(&S)", true },
        { 0, "-", false },
        { 40010, "ヘルプ(&H)...", false },
        { 40005, "バージョン情報(&A)...", false },
        { 40001, "終了(&X)", false },
    };
    std::vector<Row> got = rows(*window);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].id, expected[i].id) << i;
        EXPECT_EQ(got[i].text, expected[i].text) << i;
        EXPECT_EQ(got[i].checked, expected[i].checked) << i;
    }

    auto tray = popup(PopupKind::Tray, { false, true, false });
    got = rows(*tray);
    expected.insert(expected.begin() + 7, { 40009, "デスクトップの左上へ移動(&O)", false });
    expected[4].checked = false;
    expected[5].checked = true;
    expected[6].checked = false;
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].id, expected[i].id) << i;
        EXPECT_EQ(got[i].text, expected[i].text) << i;
        EXPECT_EQ(got[i].checked, expected[i].checked) << i;
    }
    EXPECT_EQ(findCommand(*tray, CommandMoveTopLeft)->text().toStdString(), "デスクトップの左上へ移動(&O)");
    EXPECT_EQ(findCommand(*window, CommandMoveTopLeft), nullptr);
}

TEST_F(MenuTest, MissingOrEmptySkinsFolderGivesOneGreyItem)
{
    auto menu = popup(PopupKind::Window);
    QMenu* skins = skinMenu(*menu);
    ASSERT_EQ(skins->actions().size(), 1);
    EXPECT_EQ(skins->actions()[0]->text().toStdString(), "Skinsフォルダが見つかりません。");
    EXPECT_FALSE(skins->actions()[0]->isEnabled());
    EXPECT_EQ(skins->actions()[0]->data().toInt(), 10001);

    std::filesystem::create_directories(m_skins);
    writeFile(m_skins / "README", "not a skin");
    std::filesystem::create_directories(m_skins / ".hidden");
    menu = popup(PopupKind::Tray);
    skins = skinMenu(*menu);
    ASSERT_EQ(skins->actions().size(), 1);
    EXPECT_EQ(skins->actions()[0]->text().toStdString(), "Skinsフォルダ内にフォルダが見つかりません。");
    EXPECT_FALSE(skins->actions()[0]->isEnabled());
    EXPECT_EQ(m_catalog.entries(), (std::vector<std::string> { "", "null" }));
}

TEST_F(MenuTest, GroupsOpenLazilyAndTheCheckFollowsTheWholePath)
{
    std::filesystem::create_directories(m_skins / "@Seasons" / "Winter");
    std::filesystem::create_directories(m_skins / "@Seasons" / "Summer");
    std::filesystem::create_directories(m_skins / "Winter");
    std::filesystem::create_directories(m_skins / "Zephyr");
    m_inUse = "@Seasons\\Winter";

    auto menu = popup(PopupKind::Window);
    QMenu* skins = skinMenu(*menu);
    EXPECT_EQ(texts(*skins), (std::vector<std::string> { "Seasons", "Winter", "Zephyr" }));
    QMenu* seasons = skins->actions()[0]->menu();
    ASSERT_NE(seasons, nullptr);
    EXPECT_TRUE(seasons->actions().isEmpty()) << "filled only when it opens";
    EXPECT_FALSE(skins->actions()[1]->isChecked()) << "a top-level Winter is another skin";

    seasons = openSubmenu(*skins, "Seasons", m_catalog, m_inUse);
    std::vector<Row> inGroup = rows(*seasons);
    ASSERT_EQ(inGroup.size(), 2U);
    EXPECT_EQ(inGroup[0].text, "Summer");
    EXPECT_FALSE(inGroup[0].checked);
    EXPECT_EQ(inGroup[1].text, "Winter");
    EXPECT_TRUE(inGroup[1].checked);
    EXPECT_EQ(m_catalog.skinForCommand(inGroup[1].id), std::optional<std::string>("@Seasons\\Winter"));
    EXPECT_EQ(
        m_catalog.skinForCommand(skins->actions()[2]->data().toInt()), std::optional<std::string>("Zephyr"));
    // Opening it again adds nothing.
    fillSkinMenu(*seasons, m_catalog, m_inUse);
    EXPECT_EQ(seasons->actions().size(), 2);

    // The next popup starts the names over from the root.
    menu = popup(PopupKind::Tray);
    EXPECT_EQ(m_catalog.entries().size(), 4U);
}

TEST_F(MenuTest, SkinNamesAreSortedBytewiseAndOnlyAHundredCanBeChosen)
{
    for (int i = 0; i < 120; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "s%03d", 119 - i);
        std::filesystem::create_directories(m_skins / name);
    }
    std::filesystem::create_directories(m_skins / "B");
    std::filesystem::create_directories(m_skins / "a");
    auto menu = popup(PopupKind::Window);
    QMenu* skins = skinMenu(*menu);
    ASSERT_EQ(skins->actions().size(), 122);
    EXPECT_EQ(skins->actions()[0]->text().toStdString(), "B");
    EXPECT_EQ(skins->actions()[1]->text().toStdString(), "a");
    EXPECT_EQ(skins->actions()[2]->text().toStdString(), "s000");
    // Entry 0 is the root: commands 10001..10099 choose, 10100 and above do not.
    EXPECT_EQ(m_catalog.skinForCommand(10099), std::optional<std::string>("s096"));
    EXPECT_EQ(m_catalog.skinForCommand(10100), std::nullopt);
    EXPECT_EQ(m_catalog.skinForCommand(10000), std::nullopt);
    EXPECT_EQ(m_catalog.skinForCommand(9999), std::nullopt);
}

TEST_F(MenuTest, JapaneseFolderNamesReachTheMenuAndTheSettingsInShiftJis)
{
    std::filesystem::create_directories(m_skins / "@季節" / "冬");
    m_inUse = sjis("@季節\\冬");
    auto menu = popup(PopupKind::Window);
    QMenu* skins = skinMenu(*menu);
    EXPECT_EQ(texts(*skins), (std::vector<std::string> { "季節" }));
    QMenu* group = openSubmenu(*skins, "季節", m_catalog, m_inUse);
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->actions().size(), 1);
    EXPECT_TRUE(group->actions()[0]->isChecked());
    EXPECT_EQ(m_catalog.skinForCommand(group->actions()[0]->data().toInt()), m_inUse);
    EXPECT_EQ(skinFolder(m_skins, m_inUse), m_skins / "@季節" / "冬");
}

} // namespace
} // namespace zr5::ui::test
