// A scroll speed from slow (0) to fast (10): a slider between the two words.
#pragma once

#include <QWidget>
#include <cstdint>

class QSlider;

namespace zr5::ui {

class SpeedSlider final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSlowest = 0;
    static constexpr int kFastest = 10;

    // speed is clamped to the slider's range.
    explicit SpeedSlider(std::int32_t speed, QWidget* parent = nullptr);

    std::int32_t speed() const;
    QSlider* slider() const { return m_slider; }

private:
    QSlider* m_slider;
};

} // namespace zr5::ui
