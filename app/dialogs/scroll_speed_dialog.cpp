#include "dialogs/scroll_speed_dialog.h"

#include "dialogs/dialog_messages.h"
#include "dialogs/speed_slider.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace zr5::ui {

ScrollSpeedDialog::ScrollSpeedDialog(QWidget* owner, std::int32_t speed)
    : QDialog(owner)
    , m_speed(new SpeedSlider(speed, this))
{
    setWindowTitle(msg::tr8(msg::kSpeedCaption));

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(msg::tr8(msg::kOk), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(msg::tr8(msg::kCancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(msg::tr8(msg::kSpeedLabel), this), 0, 0);
    grid->addWidget(m_speed, 1, 0);
    grid->addWidget(buttons, 2, 0);
}

std::int32_t ScrollSpeedDialog::speed() const
{
    return m_speed->speed();
}

QSlider* ScrollSpeedDialog::slider() const
{
    return m_speed->slider();
}

void ScrollSpeedDialog::showEvent(QShowEvent* event)
{
    QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    if (screen) {
        move(centredIn(screen->availableGeometry(), frameGeometry().size()));
    }
    QDialog::showEvent(event);
}

QPoint centredIn(const QRect& area, const QSize& size)
{
    // Edges as the window system counts them: the right edge is exclusive.
    int right = area.left() + area.width();
    int bottom = area.top() + area.height();
    return { (area.left() + right - size.width()) / 2, (area.top() + bottom - size.height()) / 2 };
}

int runScrollSpeedDialog(QWidget* owner, std::int32_t& speed)
{
    ScrollSpeedDialog dialog(owner, speed);
    if (dialog.exec() != QDialog::Accepted) {
        return 2;
    }
    speed = dialog.speed();
    return 1;
}

} // namespace zr5::ui
