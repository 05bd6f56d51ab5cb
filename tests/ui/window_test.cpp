// The ticker window on the offscreen platform: grips, size steps, keys,
// clicks, the lock, the outline used without a compositor, and placing a
// remembered rectangle.
#include "ui/ticker_window.h"
#include "ui/window_rules.h"
#include "ui_test_support.h"

#include <QBitmap>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QRegion>
#include <QScreen>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace zr5::ui::test {
namespace {

TEST(SizeStepsTest, SizesDropToTheLargestMultipleButNeverBelowOneStep)
{
    EXPECT_EQ(applySizeSteps({ 257, 33 }, { 10, 1 }), QSize(250, 33));
    EXPECT_EQ(applySizeSteps({ 257, 33 }, { 10, 16 }), QSize(250, 32));
    EXPECT_EQ(applySizeSteps({ 7, 5 }, { 10, 16 }), QSize(10, 16));
    EXPECT_EQ(applySizeSteps({ 640, 48 }, { 0, -3 }), QSize(640, 48)) << "steps below 1 count as 1";
}

TEST(GripEdgesTest, EachGripResizesItsEdges)
{
    EXPECT_EQ(gripEdges(0), Qt::TopEdge | Qt::LeftEdge);
    EXPECT_EQ(gripEdges(1), Qt::Edges(Qt::TopEdge));
    EXPECT_EQ(gripEdges(2), Qt::TopEdge | Qt::RightEdge);
    EXPECT_EQ(gripEdges(3), Qt::Edges(Qt::LeftEdge));
    EXPECT_EQ(gripEdges(4), Qt::Edges {});
    EXPECT_EQ(gripEdges(5), Qt::Edges(Qt::RightEdge));
    EXPECT_EQ(gripEdges(6), Qt::BottomEdge | Qt::LeftEdge);
    EXPECT_EQ(gripEdges(7), Qt::Edges(Qt::BottomEdge));
    EXPECT_EQ(gripEdges(8), Qt::BottomEdge | Qt::RightEdge);
    EXPECT_EQ(gripEdges(-1), Qt::Edges {});
    EXPECT_EQ(gripEdges(9), Qt::Edges {});
}

class WindowTest : public ::testing::Test {
protected:
    WindowTest()
    {
        // Frame at (10, 5) of 200x40 in a 220x50 window; grips 4 wide (2 on top).
        m_geometry = skin::computeWindowGeometry(10, 5, 200, 40, 220, 50, { 2, 4, 4, 4 });
        m_window.setSkinRules(m_geometry, { 50, 20, 0, 0 }, { 10, 1 });
        m_window.setGeometry(100, 100, 220, 50);
        QImage frame(220, 50, QImage::Format_ARGB32_Premultiplied);
        frame.fill(qRgba(0, 0, 80, 255));
        m_window.present(frame, 255);
        m_window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    }

    skin::WindowGeometry m_geometry;
    TickerWindow m_window;
};

TEST_F(WindowTest, NineGripRectanglesFollowTheFrameAndSkipTheCentre)
{
    struct Probe {
        QPoint point;
        int grip;
    };
    // Frame spans x 10..209, y 5..44 of the 220x50 window.
    const Probe probes[] = {
        { { 10, 5 }, 0 },
        { { 13, 6 }, 0 },
        { { 100, 5 }, 1 },
        { { 206, 6 }, 2 },
        { { 209, 5 }, 2 },
        { { 10, 20 }, 3 },
        { { 100, 20 }, -1 },
        { { 209, 20 }, 5 },
        { { 10, 44 }, 6 },
        { { 100, 41 }, 7 },
        { { 209, 44 }, 8 },
        { { 5, 20 }, -1 },
        { { 215, 48 }, -1 },
        { { 100, 7 }, -1 },
    };
    for (const Probe& probe : probes) {
        EXPECT_EQ(m_window.gripAt(probe.point), probe.grip) << probe.point.x() << "," << probe.point.y();
    }
    // Edges measured from the right and bottom move with the window.
    m_window.resize(320, 50);
    EXPECT_TRUE(waitFor([&] { return m_window.width() == 320; }));
    EXPECT_EQ(m_window.gripAt({ 309, 20 }), 5);
    EXPECT_EQ(m_window.gripAt({ 209, 20 }), -1);
}

TEST_F(WindowTest, ResizingKeepsToTheSkinsSteps)
{
    m_window.resize(257, 50);
    EXPECT_TRUE(waitFor([&] { return m_window.width() == 250; })) << m_window.width();
    EXPECT_EQ(m_window.sizeIncrement(), QSize(10, 1));
    EXPECT_EQ(m_window.minimumSize(), QSize(50, 20));
}

TEST_F(WindowTest, FunctionKeysStartSkinEventsSixToNine)
{
    QSignalSpy events(&m_window, &TickerWindow::skinEventRequested);
    for (Qt::Key key : { Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_A }) {
        QTest::keyClick(&m_window, key);
    }
    ASSERT_EQ(events.count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(events.at(i).at(0).toInt(), 6 + i);
    }
}

TEST_F(WindowTest, RightButtonOpensTheMenuEvenWhenLockedAndDoubleClickOpensTheLink)
{
    QSignalSpy menu(&m_window, &TickerWindow::menuRequested);
    QSignalSpy link(&m_window, &TickerWindow::linkRequested);
    m_window.setPositionLocked(true);
    QTest::mouseClick(&m_window, Qt::RightButton, {}, { 12, 6 });
    ASSERT_EQ(menu.count(), 1);
    EXPECT_EQ(menu.at(0).at(0).toPoint(), m_window.mapToGlobal(QPoint(12, 6)));
    QTest::mouseDClick(&m_window, Qt::LeftButton, {}, { 100, 20 });
    EXPECT_EQ(link.count(), 1);
}

TEST_F(WindowTest, DragMovesOnlyWithoutTheLockAndOnlyPastTheDragDistance)
{
    const QPoint start = m_window.pos();
    const int distance = QGuiApplication::styleHints()->startDragDistance();
    m_window.setPositionLocked(true);
    QTest::mousePress(&m_window, Qt::LeftButton, {}, { 100, 20 });
    QTest::mouseMove(&m_window, { 100 + distance + 30, 20 });
    QTest::mouseRelease(&m_window, Qt::LeftButton, {}, { 100 + distance + 30, 20 });
    EXPECT_EQ(m_window.pos(), start);

    m_window.setPositionLocked(false);
    QTest::mousePress(&m_window, Qt::LeftButton, {}, { 100, 20 });
    QTest::mouseMove(&m_window, { 100 + distance / 2, 20 });
    EXPECT_EQ(m_window.pos(), start) << "a small jitter is still a click";
    QTest::mouseMove(&m_window, { 100 + distance + 30, 20 });
    EXPECT_TRUE(waitFor([&] { return m_window.pos() != start; }));
    QTest::mouseRelease(&m_window, Qt::LeftButton, {}, m_window.mapFromGlobal(QCursor::pos()));
}

TEST(AlphaOutlineTest, TheShapeKeepsPixelsFromTheThresholdAndLeavesSoftEdgesOut)
{
    QImage frame(8, 4, QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    frame.setPixel(0, 0, qRgba(0, 0, 0, 255));
    frame.setPixel(3, 1, qRgba(1, 0, 0, 1)); // a shadow's faint edge
    frame.setPixel(7, 3, qRgba(60, 60, 60, 127));
    frame.setPixel(5, 2, qRgba(60, 60, 60, 128));
    auto areaOf = [](const QRegion& region) {
        int area = 0;
        for (const QRect& rect : region) {
            area += rect.width() * rect.height();
        }
        return area;
    };
    QRegion region(QBitmap::fromImage(alphaOutline(frame, TickerWindow::kShapeAlphaThreshold)));
    EXPECT_TRUE(region.contains(QPoint(0, 0)));
    EXPECT_TRUE(region.contains(QPoint(5, 2)));
    EXPECT_FALSE(region.contains(QPoint(3, 1)));
    EXPECT_FALSE(region.contains(QPoint(7, 3)));
    EXPECT_EQ(areaOf(region), 2);
    EXPECT_EQ(areaOf(QRegion(QBitmap::fromImage(alphaOutline(frame, 1)))), 4);

    // A frame drawn at twice the device pixels gives the outline in window pixels.
    QImage doubled = frame.scaled(16, 8);
    doubled.setDevicePixelRatio(2.0);
    const QImage outline = alphaOutline(doubled, TickerWindow::kShapeAlphaThreshold);
    EXPECT_EQ(outline.size(), QSize(8, 4));
    QRegion doubledRegion(QBitmap::fromImage(outline));
    EXPECT_TRUE(doubledRegion.contains(QPoint(5, 2)));
    EXPECT_EQ(areaOf(doubledRegion), 2);

    // Retracing only the rows a new frame changed gives its whole outline,
    // padding bytes included (outlines are compared bytewise).
    QImage outlineBits = alphaOutline(frame, TickerWindow::kShapeAlphaThreshold);
    QImage next = frame.copy();
    next.setPixel(0, 0, qRgba(0, 0, 0, 0));
    next.setPixel(6, 0, qRgba(9, 9, 9, 200));
    next.setPixel(2, 1, qRgba(9, 9, 9, 255));
    retraceOutline(next, TickerWindow::kShapeAlphaThreshold, outlineBits, 0, 2);
    const QImage whole = alphaOutline(next, TickerWindow::kShapeAlphaThreshold);
    ASSERT_EQ(outlineBits.sizeInBytes(), whole.sizeInBytes());
    EXPECT_EQ(std::memcmp(
                  outlineBits.constBits(), whole.constBits(), static_cast<std::size_t>(whole.sizeInBytes())),
        0);
}

// Paint events and the rectangles they asked for.
class PaintCounter final : public QObject {
public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    std::vector<QRect> painted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            painted.push_back(static_cast<QPaintEvent*>(event)->rect());
        }
        return false;
    }
};

TEST_F(WindowTest, OnlyWhatChangedIsPaintedAndAnUnchangedFrameNotAtAll)
{
    QImage frame(220, 50, QImage::Format_ARGB32_Premultiplied);
    frame.fill(qRgba(0, 0, 80, 255));
    PaintCounter paints(m_window);
    EXPECT_TRUE(m_window.present(frame, 255, TickerWindow::Paint::Now).isEmpty());
    QCoreApplication::processEvents();
    EXPECT_TRUE(paints.painted.empty()) << "a frame like the one before is not presented";

    // Two pixels apart: their bounding box, nothing else.
    frame.setPixel(30, 10, qRgba(200, 0, 0, 255));
    frame.setPixel(40, 12, qRgba(0, 200, 0, 255));
    EXPECT_EQ(m_window.present(frame, 255, TickerWindow::Paint::Now), QRect(30, 10, 11, 3));
    ASSERT_EQ(paints.painted.size(), 1u);
    EXPECT_EQ(paints.painted[0], QRect(30, 10, 11, 3));
    EXPECT_EQ(m_window.grab().toImage().convertToFormat(frame.format()), frame)
        << "the part painted is the new one";

    // Pixels in the last column and row reach the edges.
    frame.setPixel(219, 49, qRgba(1, 2, 3, 255));
    EXPECT_EQ(m_window.present(frame, 255), QRect(219, 49, 1, 1));
    // A new alpha, size or pixel ratio repaints the whole window.
    EXPECT_EQ(m_window.present(frame, 128), m_window.rect());
    EXPECT_EQ(m_window.present(frame.copy(0, 0, 100, 50), 128), m_window.rect());
    QImage doubled = frame.scaled(440, 100);
    doubled.setDevicePixelRatio(2.0);
    EXPECT_EQ(m_window.present(doubled, 128), m_window.rect());

    // At twice the pixels, a change covers the window pixels it falls in.
    doubled.setPixel(61, 21, qRgba(9, 9, 9, 255));
    EXPECT_EQ(m_window.present(doubled, 128), QRect(30, 10, 1, 1));
    doubled.setPixel(62, 22, qRgba(9, 9, 9, 255));
    EXPECT_EQ(m_window.present(doubled, 128), QRect(31, 11, 1, 1));
    QImage oneAndHalf = frame.scaled(330, 75);
    oneAndHalf.setDevicePixelRatio(1.5);
    m_window.present(oneAndHalf, 128);
    oneAndHalf.setPixel(4, 4, qRgba(9, 9, 9, 255));
    EXPECT_EQ(m_window.present(oneAndHalf, 128), QRect(2, 2, 2, 2)) << "device pixel 4 spans 2.67 to 3.33";

    // A change the caller knows is taken as told, in window pixels; a known
    // "nothing changed" paints nothing. A new alpha still repaints it all.
    oneAndHalf.setPixel(10, 10, qRgba(9, 9, 9, 255));
    EXPECT_EQ(m_window.present(oneAndHalf, 128, TickerWindow::Paint::Later, QRect(10, 10, 1, 1)),
        QRect(6, 6, 2, 2));
    EXPECT_TRUE(m_window.present(oneAndHalf, 128, TickerWindow::Paint::Later, QRect()).isEmpty());
    EXPECT_EQ(m_window.present(oneAndHalf, 255, TickerWindow::Paint::Later, QRect()), m_window.rect());
}

TEST_F(WindowTest, TheDisplayAnswersARequestForAFrame)
{
    QSignalSpy due(&m_window, &TickerWindow::frameDue);
    m_window.requestFrame();
    EXPECT_TRUE(due.wait(2000));
    EXPECT_EQ(due.count(), 1);
}

TEST(PlaceOnScreensTest, RememberedRectanglesStayReachable)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize skinSize(300, 40);
    QRect inside(screen.left() + 20, screen.top() + 30, 250, 35);
    EXPECT_EQ(placeOnScreens(inside, skinSize), inside);

    QRect farAway(screen.right() + 5000, screen.bottom() + 4000, 250, 35);
    QRect placed = placeOnScreens(farAway, skinSize);
    EXPECT_EQ(placed.size(), farAway.size());
    EXPECT_TRUE(screen.contains(placed)) << placed.x() << "," << placed.y();

    QRect sliver(screen.left() - 245, screen.top() + 10, 250, 35);
    EXPECT_TRUE(screen.contains(placeOnScreens(sliver, skinSize)));

    QRect empty(screen.left() + 40, screen.top() + 50, 0, 0);
    EXPECT_EQ(placeOnScreens(empty, skinSize), QRect(empty.topLeft(), skinSize));
}

} // namespace
} // namespace zr5::ui::test
