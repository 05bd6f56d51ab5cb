// The ticker window: frameless, translucent, always a Qt::Tool window. It only
// presents the frames it is given and reports what the user does; the skin's
// grips, limits and steps are handed to it at each skin load.
#pragma once

#include "skin/runtime/window_geometry.h"
#include "ui/window_rules.h"

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <optional>

namespace zr5::ui {

enum class Stacking { Normal, AlwaysInFront, AlwaysBehind };
enum class Shape { Translucent, Masked };

class TickerWindow final : public QWidget {
    Q_OBJECT
public:
    TickerWindow();

    // The frame and the constant alpha it is shown with, painted at once or at
    // the next paint event. Only the part that differs from the frame before
    // is painted: the rectangle returned (logical pixels), empty when the two
    // are alike and nothing is painted. knownChange: the device pixels that
    // differ from the frame presented before, when the caller knows them
    // (empty when none do); otherwise the two frames are compared.
    enum class Paint { Later, Now };
    QRect present(
        QImage frame, int alpha, Paint paint = Paint::Later, std::optional<QRect> knownChange = std::nullopt);
    // Asks for frameDue() when the display is ready for the next frame.
    void requestFrame();
    // For a screen that does not tell its refresh rate.
    static constexpr double kDefaultRefreshRate = 60.0;
    const QImage& frame() const { return m_frame; }
    int alpha() const { return m_alpha; }

    void setSkinRules(const skin::WindowGeometry& geometry, SizeLimits limits, SizeSteps steps);
    void setPositionLocked(bool locked) { m_locked = locked; }
    // Docked along a screen edge: drags neither move nor resize, and the
    // width (the screen's) is free of the skin's width limits and steps.
    void setDocked(bool docked);
    bool isDocked() const { return m_docked; }
    void setStacking(Stacking stacking);
    // Without a compositor transparent pixels show black: cut them away,
    // with the soft edges (alpha below kShapeAlphaThreshold) that would show
    // as a dark fringe.
    void setShape(Shape shape);
    static constexpr int kShapeAlphaThreshold = 128;
    // The whole window's opacity over the skin's own alpha, 20 to 100 %.
    void setOpacityPercent(int percent);
    int opacityPercent() const { return m_opacityPercent; }
    static constexpr int kMinOpacityPercent = 20;
    Shape shape() const { return m_shape; }

    // The grip under a point in window coordinates (-1: none, so a drag moves).
    int gripAt(QPoint point) const;

    // What the ticker's keys ask for (F1 to F4 start skin events instead).
    enum class KeyCommand { PreviousHeadline, NextHeadline, OpenFrontLink, TogglePause };

signals:
    void menuRequested(QPoint globalPos);
    // A double-click at a point of the window.
    void linkRequested(QPoint windowPos);
    void keyCommand(TickerWindow::KeyCommand command);
    // The pointer came onto the window (true) or left it.
    void hovered(bool inside);
    // Whole wheel steps, positive away from the user.
    void wheelTurned(int steps);
    void skinEventRequested(int eventIndex);
    void closeRequested();
    // The window's screen rectangle changed (moved, resized).
    void placed(QRect rect);
    // The window came onto the screen: what is painted from now on is seen.
    void exposed();
    void frameDue();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Drag {
        bool pending = false;
        bool manual = false; // the platform cannot move or resize for us
        int grip = -1;
        QPoint pressGlobal;
        QRect startGeometry;
    };

    void startDrag(QPoint globalPos);
    void dragManually(QPoint globalPos);
    // changed: the logical rectangle that differs from the frame shown before.
    void updateMask(const QRect& changed);
    void applySizeLimits();
    bool fixedInPlace() const { return m_locked || m_docked; }
    QRect changedArea(const QImage& next, const std::optional<QRect>& knownChange) const;

    QImage m_frame;
    QImage m_maskBits;
    QPointer<QWindow> m_watched;
    QTimer m_framePacer;
    int m_alpha = 0;
    skin::WindowGeometry m_geometry;
    SizeSteps m_steps;
    bool m_locked = false;
    bool m_docked = false;
    SizeLimits m_limits;
    Shape m_shape = Shape::Translucent;
    Drag m_drag;
    int m_opacityPercent = 100;
    int m_wheelEighths = 0; // a fine-grained wheel's travel short of a whole step
};

// The 1-bit outline of a frame in logical pixels: set (color1 of a QBitmap)
// where alpha >= threshold.
QImage alphaOutline(const QImage& frame, int threshold);
// Traces the logical rows [top, bottom) of the frame's outline into bits,
// which holds the outline of a frame of the same size.
void retraceOutline(const QImage& frame, int threshold, QImage& bits, int top, int bottom);

} // namespace zr5::ui
