// The ticker window: frameless, translucent, always a Qt::Tool window. It only
// presents the frames it is given and reports what the user does; the skin's
// grips, limits and steps are handed to it at each skin load.
#pragma once

#include "skin/runtime/window_geometry.h"
#include "ui/window_rules.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

namespace zr5::ui {

enum class Stacking { Normal, AlwaysInFront, AlwaysBehind };
enum class Shape { Translucent, Masked };

class TickerWindow final : public QWidget {
    Q_OBJECT
public:
    TickerWindow();

    // The frame and the constant alpha it is shown with. Immediate paints
    // during fades; otherwise the next paint event.
    enum class Paint { Later, Now };
    void present(QImage frame, int alpha, Paint paint = Paint::Later);
    const QImage& frame() const { return m_frame; }
    int alpha() const { return m_alpha; }

    void setSkinRules(const skin::WindowGeometry& geometry, SizeLimits limits, SizeSteps steps);
    void setPositionLocked(bool locked) { m_locked = locked; }
    void setStacking(Stacking stacking);
    // Without a compositor transparent pixels show black: cut them away.
    void setShape(Shape shape);
    Shape shape() const { return m_shape; }

    // The grip under a point in window coordinates (-1: none, so a drag moves).
    int gripAt(QPoint point) const;

signals:
    void menuRequested(QPoint globalPos);
    void linkRequested();
    void skinEventRequested(int eventIndex);
    void closeRequested();
    // The window's screen rectangle changed (moved, resized).
    void placed(QRect rect);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
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
    void updateMask();

    QImage m_frame;
    QImage m_maskBits;
    int m_alpha = 0;
    skin::WindowGeometry m_geometry;
    SizeSteps m_steps;
    bool m_locked = false;
    Shape m_shape = Shape::Translucent;
    Drag m_drag;
};

// The 1-bit outline of a frame: set where alpha > 0 (color1 of a QBitmap).
QImage alphaOutline(const QImage& frame);

} // namespace zr5::ui
