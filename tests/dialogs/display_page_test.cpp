// The display page of the settings sheet: the window's display options and
// the login entry, on real files in the scratch folder.
#include "core/autostart.h"
#include "dialog_test_support.h"
#include "dialogs/display_page.h"
#include "dialogs/proxy_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

namespace zr5::ui {
namespace {

namespace fs = std::filesystem;
using core::test::readFile;
using core::test::writeFile;

std::string summary(const core::WindowSettings& w)
{
    return std::to_string(w.speed) + "/" + std::to_string(w.hoverPause) + "/" + std::to_string(w.dock) + "/"
        + std::to_string(w.opacity) + "/" + w.screen;
}

core::WindowSettings windowWith(int speed, int hoverPause, int dock, int opacity, std::string screen)
{
    core::WindowSettings window;
    window.speed = speed;
    window.hoverPause = hoverPause;
    window.dock = dock;
    window.opacity = opacity;
    window.screen = std::move(screen);
    return window;
}

void makeProgram(const fs::path& path)
{
    writeFile(path, "#!/bin/sh\n");
    fs::permissions(path, fs::perms::owner_all);
}

void clickBox(QAbstractButton& box)
{
    QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box.height() / 2));
}

class DisplayPageTest : public test::SheetTest {
protected:
    DisplayPageTest()
    {
        m_window = windowWith(7, 0, core::DockBottom, 60, "HDMI-1");
        makeProgram(program());
    }

    DisplayPage& page() { return *m_sheet->displayPage(); }
    const fs::path& program() const { return m_context.autostart.program; }
    const fs::path& entry() const { return m_context.autostartEntry; }
    SettingsSheet& openPage()
    {
        SettingsSheet& sheet = openSheet();
        sheet.tabs()->setCurrentWidget(&page());
        return sheet;
    }
    std::string shown()
    {
        int dock = 0;
        while (dock < 3 && !page().dockButton(dock)->isChecked()) {
            ++dock;
        }
        return std::to_string(page().speed()->value()) + "/" + (page().hoverPause()->isChecked() ? "1" : "0")
            + "/" + std::to_string(dock) + "/" + std::to_string(page().opacity()->value()) + "/"
            + page().screen()->currentText().toStdString();
    }
};

TEST_F(DisplayPageTest, IsTheLastTabAndShowsTheSettings)
{
    SettingsSheet& sheet = openPage();
    ASSERT_EQ(sheet.tabs()->count(), 4);
    EXPECT_EQ(sheet.tabs()->tabText(3), QStringLiteral("表示"));
    EXPECT_EQ(shown(), "7/0/2/60/HDMI-1");
    EXPECT_EQ(page().screen()->count(), 2);
    EXPECT_EQ(page().screen()->itemText(0), QStringLiteral("DP-1"));
    EXPECT_EQ(page().speed()->minimum(), 0);
    EXPECT_EQ(page().speed()->maximum(), 10);
    EXPECT_EQ(page().opacity()->minimum(), 20);
    EXPECT_EQ(page().opacity()->maximum(), 100);
    EXPECT_FALSE(page().autostart()->isChecked());
    EXPECT_EQ(page().autostartNote()->text(), QString());
    EXPECT_FALSE(sheet.applyButton()->isEnabled());
}

TEST_F(DisplayPageTest, EveryControlEnablesApplyAndOkWritesThemAll)
{
    SettingsSheet& sheet = openPage();
    auto changes = [&sheet](const char* what, const std::function<void()>& change) {
        sheet.applyButton()->setEnabled(false);
        change();
        EXPECT_TRUE(sheet.applyButton()->isEnabled()) << what;
    };
    changes("speed", [this] {
        page().speed()->setFocus();
        QTest::keyClick(page().speed(), Qt::Key_Right);
    });
    changes("hover", [this] { clickBox(*page().hoverPause()); });
    changes("dock", [this] { clickBox(*page().dockButton(core::DockTop)); });
    changes("screen", [this] { QTest::keyClick(page().screen(), Qt::Key_Up); });
    changes("opacity", [this] {
        page().opacity()->setFocus();
        QTest::keyClick(page().opacity(), Qt::Key_Down);
    });
    EXPECT_EQ(summary(m_window), "7/0/2/60/HDMI-1") << "nothing before OK";

    sheet.okButton()->click();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(sheet.outcome(), 1);
    EXPECT_EQ(summary(m_window), "8/1/1/59/DP-1");
    EXPECT_FALSE(fs::exists(entry())) << "the login box was not touched";
}

TEST_F(DisplayPageTest, CancelLeavesTheSettingsAndTheLoginEntryAlone)
{
    SettingsSheet& sheet = openPage();
    page().speed()->setValue(0);
    clickBox(*page().hoverPause());
    clickBox(*page().dockButton(core::DockFree));
    page().opacity()->setValue(100);
    clickBox(*page().autostart());
    EXPECT_TRUE(page().autostart()->isChecked());
    sheet.cancelButton()->click();
    EXPECT_EQ(summary(m_window), "7/0/2/60/HDMI-1");
    EXPECT_FALSE(fs::exists(entry()));
    EXPECT_FALSE(fs::exists(entry().parent_path()));
}

TEST_F(DisplayPageTest, OutOfRangeValuesAndUnknownScreensShowAsTheNearestValidOnes)
{
    m_window = windowWith(12, 5, 7, 5, "gone");
    SettingsSheet& sheet = openPage();
    EXPECT_EQ(shown(), "10/1/0/20/DP-1");
    clickBox(*page().hoverPause());
    clickBox(*page().hoverPause());
    sheet.applyButton()->click();
    EXPECT_EQ(summary(m_window), "10/1/0/20/DP-1");

    m_window = windowWith(-3, -1, -1, 300, "");
    m_context.screenNames.clear();
    openPage();
    EXPECT_EQ(shown(), "0/1/0/100/");
    EXPECT_FALSE(page().screen()->isEnabled());
    page().opacity()->setValue(1000);
    EXPECT_EQ(page().opacity()->value(), 100);
    m_sheet->okButton()->click();
    EXPECT_EQ(summary(m_window), "0/1/0/100/") << "without screens the saved name stays";
}

TEST_F(DisplayPageTest, TheLoginBoxWritesAndRemovesTheEntryAndReflectsItOnOpening)
{
    SettingsSheet& sheet = openPage();
    clickBox(*page().autostart());
    sheet.applyButton()->click();
    EXPECT_FALSE(sheet.applyButton()->isEnabled());
    EXPECT_EQ(core::readAutostart(entry()), core::AutostartState::On);
    EXPECT_NE(readFile(entry()).find("\nExec=" + program().string() + "\n"), std::string::npos);
    sheet.okButton()->click();

    openPage();
    EXPECT_TRUE(page().autostart()->isChecked());
    clickBox(*page().autostart());
    m_sheet->okButton()->click();
    EXPECT_FALSE(fs::exists(entry()));

    // Switched off by hand in the session's settings.
    ASSERT_TRUE(core::writeAutostart(entry(), m_context.autostart));
    writeFile(entry(), readFile(entry()) + "Hidden=true\n");
    openPage();
    EXPECT_FALSE(page().autostart()->isChecked());
    clickBox(*page().autostart());
    m_sheet->okButton()->click();
    EXPECT_EQ(core::readAutostart(entry()), core::AutostartState::On);
}

TEST_F(DisplayPageTest, AStaleEntryIsNotedAndCheckingTheBoxRewritesIt)
{
    const fs::path removed = m_folder / "old" / "zr5a";
    ASSERT_TRUE(core::writeAutostart(entry(), { removed, {} }));
    const std::string stale = readFile(entry());

    SettingsSheet& sheet = openPage();
    EXPECT_FALSE(page().autostart()->isChecked());
    EXPECT_EQ(page().autostartNote()->text(),
        QStringLiteral("ログイン時の起動項目は、もう存在しないプログラムを指しています。"));
    page().speed()->setValue(3);
    sheet.applyButton()->click();
    EXPECT_EQ(readFile(entry()), stale) << "an untouched box leaves the entry as it is";

    clickBox(*page().autostart());
    sheet.okButton()->click();
    EXPECT_EQ(core::readAutostart(entry()), core::AutostartState::On);
    EXPECT_EQ(readFile(entry()).find(removed.string()), std::string::npos);

    openPage();
    EXPECT_TRUE(page().autostart()->isChecked());
    EXPECT_EQ(page().autostartNote()->text(), QString());
}

TEST_F(DisplayPageTest, ARefusedEntryKeepsTheSheetOpenWithTheReasonAndAppliesNothing)
{
    writeFile(entry().parent_path(), "a file where the folder should be");
    m_proxy.type = 1;
    SettingsSheet& sheet = openSheet();
    page().speed()->setValue(1);
    sheet.tabs()->setCurrentWidget(sheet.proxyPage());
    sheet.proxyPage()->typeButton(0)->click();
    clickBox(*page().autostart());

    sheet.okButton()->click();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.tabs()->currentWidget(), &page());
    EXPECT_TRUE(
        page().autostartNote()->text().startsWith(QStringLiteral("ログイン時の起動を設定できませんでした: ")))
        << page().autostartNote()->text().toStdString();
    EXPECT_TRUE(
        page().autostartNote()->text().contains(QString::fromStdString(entry().parent_path().string())));
    EXPECT_EQ(summary(m_window), "7/0/2/60/HDMI-1");
    EXPECT_EQ(m_proxy.type, 1);
    EXPECT_TRUE(sheet.applyButton()->isEnabled());

    clickBox(*page().autostart());
    sheet.okButton()->click();
    EXPECT_FALSE(sheet.isVisible());
    EXPECT_EQ(summary(m_window), "1/0/2/60/HDMI-1");
    EXPECT_EQ(m_proxy.type, 0);
}

} // namespace
} // namespace zr5::ui
