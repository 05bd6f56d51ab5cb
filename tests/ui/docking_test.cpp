// Docking the ticker to a screen edge: the strip, the screen it belongs to,
// the space it reserves, and the window and application on the offscreen
// platform (free rectangle kept, drags blocked, settings saved).
#include "ui/message_box.h"
#include "ui/screen_placement.h"
#include "ui/ticker_app.h"
#include "ui/ticker_window.h"
#include "ui/window_docking.h"
#include "ui_test_support.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>
#include <gtest/gtest.h>

namespace zr5::ui::test {
namespace {

TEST(DockedRectTest, TheStripSpansTheAvailableWidthAtTheChosenEdge)
{
    const QRect area(1024, 100, 800, 500);
    EXPECT_EQ(dockedRect(core::DockTop, area, 40), QRect(1024, 100, 800, 40));
    EXPECT_EQ(dockedRect(core::DockBottom, area, 40), QRect(1024, 560, 800, 40));
    EXPECT_EQ(dockedRect(core::DockBottom, area, 900), area) << "cut to the area, never beyond it";
}

TEST(DockedRectTest, NoStripForAFreeWindowAnUnknownEdgeOrAnEmptyScreen)
{
    const QRect area(0, 0, 800, 600);
    EXPECT_FALSE(dockedRect(core::DockFree, area, 40));
    EXPECT_FALSE(dockedRect(static_cast<core::WindowDock>(7), area, 40));
    EXPECT_FALSE(dockedRect(static_cast<core::WindowDock>(-1), area, 40));
    EXPECT_FALSE(dockedRect(core::DockTop, QRect(0, 0, 0, 0), 40));
    EXPECT_FALSE(dockedRect(core::DockBottom, QRect(10, 10, 800, 0), 40));
    EXPECT_FALSE(dockedRect(core::DockTop, area, 0));
    EXPECT_FALSE(dockedRect(core::DockTop, area, -5));
}

TEST(WithoutOwnStripTest, TheAreaTheWindowManagerTookForTheStripIsCountedBackOnce)
{
    const QRect top(0, 0, 1024, 40);
    EXPECT_EQ(withoutOwnStrip(QRect(0, 40, 1024, 728), core::DockTop, top), QRect(0, 0, 1024, 768));
    EXPECT_EQ(withoutOwnStrip(QRect(0, 0, 1024, 768), core::DockTop, top), QRect(0, 0, 1024, 768))
        << "not yet honoured: nothing to give back";
    const QRect bottom(0, 728, 1024, 40);
    EXPECT_EQ(withoutOwnStrip(QRect(0, 0, 1024, 728), core::DockBottom, bottom), QRect(0, 0, 1024, 768));
    EXPECT_EQ(withoutOwnStrip(QRect(0, 0, 1024, 728), core::DockTop, bottom), QRect(0, 0, 1024, 728))
        << "a panel of someone else at the other edge stays";
    EXPECT_EQ(withoutOwnStrip(QRect(1024, 40, 800, 560), core::DockTop, top), QRect(1024, 40, 800, 560))
        << "a strip on another screen reserves nothing here";
    EXPECT_EQ(withoutOwnStrip(QRect(0, 40, 1024, 728), core::DockTop, QRect()), QRect(0, 40, 1024, 728));
}

TEST(ChooseScreenTest, TheNamedScreenElseTheNearestUsableOne)
{
    const std::vector<ScreenArea> screens = {
        { "DP-1", QRect(0, 0, 1920, 1080) },
        { "HDMI-1", QRect(1920, 0, 1280, 1024) },
        { "Gone-dark", QRect(3200, 0, 0, 0) },
    };
    const QRect onFirst(100, 100, 300, 40);
    EXPECT_EQ(chooseScreen(screens, "HDMI-1", onFirst), 1) << "the name wins over the place";
    EXPECT_EQ(chooseScreen(screens, "VGA-9", onFirst), 0) << "an unknown name: where the window is";
    EXPECT_EQ(chooseScreen(screens, "", QRect(1800, 10, 300, 40)), 1) << "the larger share of the window";
    EXPECT_EQ(chooseScreen(screens, "", QRect(9000, 50, 300, 40)), 1) << "off every screen: the nearest";
    EXPECT_EQ(chooseScreen(screens, "", QRect(-9000, 50, 300, 40)), 0);
    EXPECT_EQ(chooseScreen(screens, "Gone-dark", QRect(3300, 10, 300, 40)), 1)
        << "a 0x0 screen is never chosen";
    EXPECT_EQ(chooseScreen({ { "A", QRect() }, { "B", QRect(5, 5, 0, 10) } }, "A", onFirst), -1);
    EXPECT_EQ(chooseScreen({}, "A", onFirst), -1);
}

TEST(KeepInsideTest, MovesTheRectangleInWithoutResizingIt)
{
    const QRect area(1920, 0, 1280, 1024);
    EXPECT_EQ(keepInside(QRect(2000, 100, 300, 40), area), QRect(2000, 100, 300, 40));
    EXPECT_EQ(keepInside(QRect(-50, 2000, 300, 40), area), QRect(1920, 984, 300, 40));
    EXPECT_EQ(keepInside(QRect(5000, -7, 3000, 40), area), QRect(1920, 0, 3000, 40))
        << "too wide: left aligned";
}

TEST(StrutPartialTest, TopAndBottomStripsCountFromTheRootWindowsEdges)
{
    // Two screens side by side, the right one taller: the root is 3200x1200.
    const QRect root(0, 0, 3200, 1200);
    StrutPartial top = strutPartial(core::DockTop, QRect(0, 0, 1920, 40), root);
    EXPECT_EQ(top, (StrutPartial { 0, 0, 40, 0, 0, 0, 0, 0, 0, 1919, 0, 0 }));

    // The left screen ends 120 pixels above the root's bottom edge.
    StrutPartial bottom = strutPartial(core::DockBottom, QRect(0, 1040, 1920, 40), root);
    EXPECT_EQ(bottom, (StrutPartial { 0, 0, 0, 160, 0, 0, 0, 0, 0, 0, 0, 1919 }));

    StrutPartial right = strutPartial(core::DockTop, QRect(1920, 30, 1280, 40), root);
    EXPECT_EQ(right, (StrutPartial { 0, 0, 70, 0, 0, 0, 0, 0, 1920, 3199, 0, 0 }));

    EXPECT_EQ(strutPartial(core::DockFree, QRect(0, 0, 1920, 40), root), StrutPartial {});
    EXPECT_EQ(strutPartial(core::DockTop, QRect(), root), StrutPartial {});
}

class DockingWindowTest : public ::testing::Test {
protected:
    DockingWindowTest()
    {
        // A skin that allows 150 to 400 pixels of width in steps of 7.
        m_window.setSkinRules(skin::computeWindowGeometry(0, 0, 220, 40, 220, 40, { 4, 4, 4, 4 }),
            { 150, 20, 400, 0 }, { 7, 1 });
        m_window.setGeometry(m_free);
        m_window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    }

    void drag()
    {
        const int distance = QGuiApplication::styleHints()->startDragDistance();
        QTest::mousePress(&m_window, Qt::LeftButton, {}, { 100, 20 });
        QTest::mouseMove(&m_window, { 100 + distance + 30, 25 });
        QTest::mouseMove(&m_window, { 100 + distance + 60, 30 });
        QTest::mouseRelease(&m_window, Qt::LeftButton, {}, m_window.mapFromGlobal(QCursor::pos()));
        QTest::qWait(50);
    }

    const QRect m_screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect m_free { m_screen.left() + 100, m_screen.top() + 120, 217, 40 };
    TickerWindow m_window;
    WindowDocking m_docking { m_window };
};

TEST_F(DockingWindowTest, DockedTheWindowSpansTheScreenAndUndockingRestoresTheFreeRectangle)
{
    m_docking.setDock(core::DockTop);
    EXPECT_TRUE(m_docking.docked());
    EXPECT_EQ(m_window.geometry(), QRect(m_screen.left(), m_screen.top(), m_screen.width(), 40))
        << "wider than the skin allows and off its steps";
    EXPECT_TRUE(m_window.isVisible());

    m_docking.setDock(core::DockBottom);
    EXPECT_EQ(m_window.geometry(), QRect(m_screen.left(), m_screen.bottom() - 39, m_screen.width(), 40));
    EXPECT_EQ(m_docking.freeRect(), m_free);

    m_docking.setDock(core::DockFree);
    EXPECT_FALSE(m_docking.docked());
    EXPECT_EQ(m_window.geometry(), m_free);
    EXPECT_EQ(m_window.maximumWidth(), 400) << "the skin's limits are back";

    m_docking.setDock(static_cast<core::WindowDock>(1234));
    EXPECT_EQ(m_docking.dock(), core::DockFree);
    EXPECT_EQ(m_window.geometry(), m_free);
}

TEST_F(DockingWindowTest, DockedDragsNeitherMoveNorResizeButClicksStillWork)
{
    m_docking.setDock(core::DockTop);
    const QRect strip = m_window.geometry();
    drag();
    EXPECT_EQ(m_window.geometry(), strip);

    QSignalSpy menu(&m_window, &TickerWindow::menuRequested);
    QSignalSpy link(&m_window, &TickerWindow::linkRequested);
    QTest::mouseClick(&m_window, Qt::RightButton, {}, { 12, 6 });
    QTest::mouseDClick(&m_window, Qt::LeftButton, {}, { 100, 20 });
    EXPECT_EQ(menu.count(), 1);
    EXPECT_EQ(link.count(), 1);

    m_docking.setDock(core::DockFree);
    drag();
    EXPECT_TRUE(waitFor([&] { return m_window.pos() != m_free.topLeft(); })) << "free again, drags move";
    EXPECT_EQ(m_docking.freeRect(), m_window.geometry()) << "the free rectangle follows the window";
}

TEST_F(DockingWindowTest, AScreenNameThatIsGoneLeavesTheWindowOnTheScreenItIsOn)
{
    const std::string here = QGuiApplication::primaryScreen()->name().toStdString();
    m_docking.restore("Unplugged-7", core::DockFree);
    EXPECT_EQ(m_docking.screenName(), here);
    EXPECT_EQ(m_window.geometry(), m_free);

    m_docking.moveToScreen("Unplugged-7");
    EXPECT_EQ(m_window.geometry(), m_free) << "no such screen: nothing moves";

    m_docking.restore(here, core::DockBottom);
    EXPECT_TRUE(m_docking.docked());
    EXPECT_EQ(m_window.y() + m_window.height(), m_screen.bottom() + 1);
}

class DockingAppTest : public ::testing::Test {
protected:
    DockingAppTest()
    {
        clearRecordedMessageBoxes();
        writeSkin(m_folder / "Skins" / "Plain", 300, 30);
    }

    TickerApp& start(const std::string& window)
    {
        writeFile(m_ini, "[Window]\nSkin=Plain\n" + window);
        TickerOptions options;
        options.scriptsFolder = m_folder / "Scripts";
        options.skinsFolder = m_folder / "Skins";
        options.settingsFile = m_ini;
        options.noticeUrl = "http://127.0.0.1:9/notice.html";
        options.patrol.logPath = m_folder / "debug_display.txt";
        m_app = std::make_unique<TickerApp>(options);
        EXPECT_TRUE(m_app->start()) << recordedBoxesUtf8();
        return *m_app;
    }

    std::string closeAndRead()
    {
        QSignalSpy finished(m_app.get(), &TickerApp::finished);
        m_app->requestClose();
        EXPECT_TRUE(waitFor([&] { return finished.count() == 1; }));
        m_app.reset();
        return readFile(m_ini);
    }

    ScratchFolder m_folder;
    std::filesystem::path m_ini = m_folder / "zr5.ini";
    std::unique_ptr<TickerApp> m_app;
    const QRect m_screen = QGuiApplication::primaryScreen()->availableGeometry();
    const std::string m_screenName = QGuiApplication::primaryScreen()->name().toStdString();
};

TEST_F(DockingAppTest, ADockedStartKeepsTheFreeRectangleAndTheScreenInTheSettings)
{
    const int x = m_screen.left() + 30;
    const int y = m_screen.top() + 40;
    TickerApp& app = start("X=" + std::to_string(x) + "\nY=" + std::to_string(y)
        + "\nWidth=310\nHeight=30\nDock=2\nScreen=Unplugged-7\n");
    app.show();
    EXPECT_EQ(app.window().geometry(), QRect(m_screen.left(), m_screen.bottom() - 29, m_screen.width(), 30));

    // A skin switch while docked keeps the window at its edge, with the new height.
    writeSkin(m_folder / "Skins" / "Tall", 250, 50);
    ASSERT_TRUE(app.switchSkin("Tall"));
    EXPECT_EQ(app.window().geometry(), QRect(m_screen.left(), m_screen.bottom() - 49, m_screen.width(), 50));

    std::string written = closeAndRead();
    EXPECT_NE(written.find("X=" + std::to_string(x) + "\nY=" + std::to_string(y)), std::string::npos)
        << written;
    EXPECT_NE(written.find("Width=250\nHeight=50"), std::string::npos) << written;
    EXPECT_NE(written.find("Dock=2"), std::string::npos) << written;
    EXPECT_NE(written.find("Screen=" + m_screenName), std::string::npos) << written;
}

TEST_F(DockingAppTest, UndockingAtRunTimeRestoresTheSavedRectangle)
{
    const QRect saved(m_screen.left() + 50, m_screen.top() + 60, 320, 30);
    TickerApp& app = start("X=" + std::to_string(saved.x()) + "\nY=" + std::to_string(saved.y())
        + "\nWidth=320\nHeight=30\nDock=1\n");
    app.show();
    EXPECT_EQ(app.window().geometry(), QRect(m_screen.topLeft(), QSize(m_screen.width(), 30)));
    app.setDock(core::DockFree);
    EXPECT_EQ(app.window().geometry(), saved);
    app.moveToScreen(m_screenName);
    EXPECT_EQ(app.window().geometry(), saved) << "already there";
    std::string written = closeAndRead();
    EXPECT_NE(written.find("Dock=0"), std::string::npos) << written;
    EXPECT_NE(written.find("Width=320"), std::string::npos) << written;
}

} // namespace
} // namespace zr5::ui::test
