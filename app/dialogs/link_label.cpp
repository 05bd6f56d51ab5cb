#include "dialogs/link_label.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

namespace zr5::ui {
namespace {

QFont linkFont()
{
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    font.setUnderline(true);
    return font;
}

} // namespace

LinkLabel::LinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setFont(linkFont());
}

QString LinkLabel::link() const
{
    QString shown = text().left(kMaxLength);
    // Never leave half of a surrogate pair behind.
    if (!shown.isEmpty() && shown.back().isHighSurrogate()) {
        shown.chop(1);
    }
    return shown;
}

void LinkLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QApplication::palette("QMenu").color(QPalette::Window));
    painter.setFont(font());
    painter.setPen(QColor(0, 0, 255));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, link());
}

void LinkLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        QDesktopServices::openUrl(QUrl(link()));
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

QSize LinkLabel::sizeHint() const
{
    QFontMetrics metrics(font());
    return { metrics.horizontalAdvance(link()) + 2, metrics.height() };
}

} // namespace zr5::ui
