// The check list on its own: where a press toggles, the keyboard, drawing.
#include "dialog_test_support.h"
#include "dialogs/check_list.h"

#include <QSignalSpy>
#include <QTest>

namespace zr5::ui {
namespace {

using test::clickRow;
using test::doubleClickRow;
using test::grab;

class CheckListTest : public ::testing::Test {
protected:
    CheckListTest()
    {
        for (const char* name : { "first", "second", "third" }) {
            auto* item = new QListWidgetItem(QString::fromLatin1(name), &m_list);
            CheckList::setChecked(item, false);
        }
        m_list.resize(200, 100);
        m_list.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_list));
    }

    std::vector<bool> checks() const
    {
        std::vector<bool> result;
        for (int row = 0; row < m_list.count(); ++row) {
            result.push_back(CheckList::isChecked(m_list.item(row)));
        }
        return result;
    }

    CheckList m_list;
};

TEST_F(CheckListTest, RowsAreSixteenPixelsHigh)
{
    EXPECT_EQ(m_list.visualItemRect(m_list.item(0)).height(), 16);
    EXPECT_EQ(m_list.visualItemRect(m_list.item(2)).top(), 32);
}

TEST_F(CheckListTest, PressOnTheBoxTogglesAndReportsButFurtherRightOnlySelects)
{
    QSignalSpy toggled(&m_list, &CheckList::checkToggled);
    clickRow(m_list, 1, 13);
    EXPECT_EQ(checks(), (std::vector<bool> { false, true, false }));
    EXPECT_EQ(m_list.currentRow(), 1);
    ASSERT_EQ(toggled.count(), 1);
    EXPECT_EQ(toggled.at(0).at(0).toInt(), 1);

    clickRow(m_list, 2, 14);
    EXPECT_EQ(checks(), (std::vector<bool> { false, true, false }));
    EXPECT_EQ(m_list.currentRow(), 2);
    EXPECT_EQ(toggled.count(), 1);

    clickRow(m_list, 1, 0);
    EXPECT_EQ(checks(), (std::vector<bool> { false, false, false }));
    EXPECT_EQ(toggled.count(), 2);
}

TEST_F(CheckListTest, DoubleClickOnTheBoxTogglesTwiceAndBelowTheRowsNothing)
{
    doubleClickRow(m_list, 0, 5);
    EXPECT_EQ(checks(), (std::vector<bool> { false, false, false }));
    doubleClickRow(m_list, 0, 40);
    EXPECT_EQ(checks(), (std::vector<bool> { false, false, false }));
    QTest::mouseClick(m_list.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 16 * 3 + 4));
    EXPECT_EQ(checks(), (std::vector<bool> { false, false, false }));
}

TEST_F(CheckListTest, SpaceTogglesTheSelectedRowOnly)
{
    QSignalSpy toggled(&m_list, &CheckList::checkToggled);
    QTest::keyClick(&m_list, Qt::Key_Space);
    EXPECT_EQ(checks(), (std::vector<bool> { false, false, false })) << "no row selected yet";
    m_list.setCurrentRow(2);
    QTest::keyClick(&m_list, Qt::Key_Space);
    EXPECT_EQ(checks(), (std::vector<bool> { false, false, true }));
    QTest::keyClick(&m_list, Qt::Key_Space);
    EXPECT_EQ(checks(), (std::vector<bool> { false, false, false }));
    EXPECT_EQ(toggled.count(), 2);
}

TEST_F(CheckListTest, DisabledListIgnoresPressesAndLooksDifferent)
{
    CheckList::setChecked(m_list.item(0), true);
    QImage enabled = grab(m_list);
    m_list.setEnabled(false);
    clickRow(m_list, 0, 5);
    EXPECT_EQ(checks(), (std::vector<bool> { true, false, false }));
    QImage disabled = grab(m_list);
    QRect box(0, 0, 16, 16);
    QRect text(17, 0, 60, 16);
    EXPECT_NE(enabled.copy(box), disabled.copy(box));
    EXPECT_NE(enabled.copy(text), disabled.copy(text));
}

TEST_F(CheckListTest, CheckedAndUncheckedBoxesDiffer)
{
    QImage before = grab(m_list).copy(0, 0, 16, 16);
    CheckList::setChecked(m_list.item(0), true);
    m_list.viewport()->update();
    QImage after = grab(m_list).copy(0, 0, 16, 16);
    EXPECT_NE(before, after);
}

TEST_F(CheckListTest, SiteRowsCarryTheBadgeAtTheirRightEnd)
{
    int right = m_list.visualItemRect(m_list.item(1)).right() + 1;
    QRect badge(right - CheckList::kBadgeWidth, 16, CheckList::kBadgeWidth, 16);
    QImage plain = grab(m_list).copy(badge);
    CheckList::setSite(m_list.item(1), true);
    m_list.viewport()->update();
    QImage marked = grab(m_list);
    EXPECT_NE(marked.copy(badge), plain);
    // Nothing of it spills onto the next row.
    EXPECT_EQ(marked.copy(badge.translated(0, 16)), plain);
}

} // namespace
} // namespace zr5::ui
