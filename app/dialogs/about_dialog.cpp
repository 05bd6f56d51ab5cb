#include "dialogs/about_dialog.h"

#include "dialogs/dialog_messages.h"
#include "dialogs/link_label.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace zr5::ui {
namespace {

constexpr int kPictureSize = 100;

void paintPetals(QPainter& painter, QPointF centre)
{
    painter.save();
    painter.translate(centre);
    painter.setPen(QPen(QColor(0xc0, 0x60, 0x90), 1));
    painter.setBrush(QColor(0xff, 0xd6, 0xe8));
    for (int petal = 0; petal < 6; ++petal) {
        painter.drawEllipse(QRectF(-7, -30, 14, 30));
        painter.rotate(60);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf5, 0xc8, 0x20));
    painter.drawEllipse(QRectF(-6, -6, 12, 12));
    painter.restore();
}

} // namespace

QImage aboutPicture()
{
    QImage image(kPictureSize, kPictureSize, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kPictureSize);
    sky.setColorAt(0, QColor(0x4a, 0x90, 0xd9));
    sky.setColorAt(1, QColor(0xd8, 0xec, 0xff));
    painter.fillRect(image.rect(), sky);
    painter.setPen(QPen(QColor(0x3c, 0x8c, 0x3c), 3));
    painter.drawLine(QPointF(50, 48), QPointF(54, 100));
    paintPetals(painter, QPointF(50, 44));
    painter.end();
    return image;
}

AboutDialog::AboutDialog(QWidget* owner)
    : QDialog(owner)
    , m_homePage(new LinkLabel(msg::tr8(msg::kHomePage), this))
{
    setWindowTitle(msg::tr8(msg::kAboutCaption));
    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap::fromImage(aboutPicture()));

    auto* texts = new QVBoxLayout;
    auto* name = new QLabel(msg::tr8(msg::kProductName), this);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    texts->addWidget(name);
    texts->addWidget(new QLabel(msg::tr8(msg::kVersion), this));
    texts->addWidget(new QLabel(msg::tr8(msg::kNotice), this));
    texts->addWidget(m_homePage);
    texts->addStretch();

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(msg::tr8(msg::kOk), QDialogButtonBox::AcceptRole)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(picture, 0, 0);
    grid->addLayout(texts, 0, 1);
    grid->addWidget(buttons, 1, 0, 1, 2);
}

void runAboutDialog(QWidget* owner)
{
    AboutDialog dialog(owner);
    dialog.exec();
}

} // namespace zr5::ui
