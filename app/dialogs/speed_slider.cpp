#include "dialogs/speed_slider.h"

#include "dialogs/dialog_messages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <algorithm>

namespace zr5::ui {

SpeedSlider::SpeedSlider(std::int32_t speed, QWidget* parent)
    : QWidget(parent)
    , m_slider(new QSlider(Qt::Horizontal, this))
{
    m_slider->setRange(kSlowest, kFastest);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setPageStep(1);
    m_slider->setValue(std::clamp<std::int32_t>(speed, kSlowest, kFastest));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(msg::tr8(msg::kSlow), this));
    row->addWidget(m_slider, 1);
    row->addWidget(new QLabel(msg::tr8(msg::kFast), this));
}

std::int32_t SpeedSlider::speed() const
{
    return m_slider->value();
}

} // namespace zr5::ui
