// The scroll-speed dialog: a slider from slow (0) to fast (10).
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <cstdint>

class QSlider;

namespace zr5::ui {

class SpeedSlider;

class ScrollSpeedDialog final : public QDialog {
    Q_OBJECT

public:
    // speed is clamped to the slider's range.
    ScrollSpeedDialog(QWidget* owner, std::int32_t speed);

    std::int32_t speed() const;
    QSlider* slider() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    SpeedSlider* m_speed;
};

// Where a window of size goes to sit in the middle of area.
QPoint centredIn(const QRect& area, const QSize& size);

// 1 = OK (speed updated), 2 = cancel (speed untouched).
int runScrollSpeedDialog(QWidget* owner, std::int32_t& speed);

} // namespace zr5::ui
