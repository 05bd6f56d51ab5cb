#include "dialogs/check_list.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace zr5::ui {

CheckList::CheckList(QWidget* parent)
    : QListWidget(parent)
{
    setItemDelegate(new CheckListDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

bool CheckList::isChecked(const QListWidgetItem* item)
{
    return item && item->data(CheckedRole).toBool();
}

void CheckList::setChecked(QListWidgetItem* item, bool checked)
{
    item->setData(CheckedRole, checked);
}

void CheckList::setSite(QListWidgetItem* item, bool site)
{
    item->setData(SiteRole, site);
}

void CheckList::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        toggleAt(event->position().toPoint());
    }
    // The selection still moves as for any press.
    QListWidget::mousePressEvent(event);
}

void CheckList::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click arrives here instead of as a press.
    if (event->button() == Qt::LeftButton) {
        toggleAt(event->position().toPoint());
    }
    QListWidget::mouseDoubleClickEvent(event);
}

void CheckList::keyPressEvent(QKeyEvent* event)
{
    // Focus alone makes a row current without selecting it; only a selected
    // row answers the space bar.
    QListWidgetItem* selected = currentItem();
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && selected
        && selected->isSelected()) {
        toggle(currentRow());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void CheckList::toggleAt(const QPoint& point)
{
    QListWidgetItem* hit = itemAt(point);
    if (hit && point.x() < kCheckWidth) {
        toggle(row(hit));
    }
}

void CheckList::toggle(int row)
{
    QListWidgetItem* target = item(row);
    setChecked(target, !isChecked(target));
    emit checkToggled(row);
}

CheckListDelegate::CheckListDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
    , m_badge(siteBadge())
{
}

QSize CheckListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return { QStyledItemDelegate::sizeHint(option, index).width() + CheckList::kTextLeft,
        CheckList::kRowHeight };
}

void CheckListDelegate::paint(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    painter->save();
    painter->fillRect(option.rect, option.palette.brush(QPalette::Active, QPalette::Base));
    paintCheck(painter, option, index.data(CheckList::CheckedRole).toBool());
    // From the right: the site badge, then the last patrol's status icon.
    int right = option.rect.right() + 1;
    if (index.data(CheckList::SiteRole).toBool()) {
        right -= CheckList::kBadgeWidth;
        painter->drawPixmap(right, option.rect.top(), m_badge);
    }
    const QIcon status = index.data(Qt::DecorationRole).value<QIcon>();
    if (!status.isNull()) {
        right -= CheckList::kRowHeight;
        status.paint(painter, QRect(right, option.rect.top(), CheckList::kRowHeight, CheckList::kRowHeight));
    }
    QRect text(option.rect.left() + CheckList::kTextLeft, option.rect.top(),
        right - option.rect.left() - CheckList::kTextLeft, option.rect.height());
    paintText(painter, option, text, index);
    painter->restore();
}

void CheckListDelegate::paintCheck(QPainter* painter, const QStyleOptionViewItem& option, bool checked) const
{
    QStyleOptionButton box;
    box.rect = QRect(option.rect.topLeft(), QSize(CheckList::kRowHeight, CheckList::kRowHeight));
    box.state = (checked ? QStyle::State_On : QStyle::State_Off) | (option.state & QStyle::State_Enabled);
    box.palette = option.palette;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, widget);
}

void CheckListDelegate::paintText(
    QPainter* painter, const QStyleOptionViewItem& option, const QRect& area, const QModelIndex& index) const
{
    bool enabled = option.state & QStyle::State_Enabled;
    QPalette::ColorRole role = QPalette::Text;
    if (option.state & QStyle::State_Selected) {
        painter->fillRect(area, option.palette.brush(QPalette::Active, QPalette::Highlight));
        role = QPalette::HighlightedText;
    }
    painter->setPen(option.palette.color(enabled ? QPalette::Active : QPalette::Disabled, role));
    painter->setFont(option.font);
    painter->drawText(
        area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.rect = area;
        focus.state = option.state;
        focus.palette = option.palette;
        QStyle* style = option.widget ? option.widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
}

QPixmap siteBadge()
{
    QImage image(CheckList::kBadgeWidth, CheckList::kRowHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf2, 0x7a, 0x1a));
    painter.drawRoundedRect(QRectF(1, 2, 30, 12), 3, 3);
    QFont font = painter.font();
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(1, 2, 30, 12), Qt::AlignCenter, QStringLiteral("RSS"));
    painter.end();
    return QPixmap::fromImage(image);
}

} // namespace zr5::ui
