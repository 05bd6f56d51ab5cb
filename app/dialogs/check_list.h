// A list whose rows carry a check box of their own: 16-pixel rows, a press
// on the box (the first 14 pixels) toggles it, the space bar toggles the
// selected row. Rows of RSS sites show a badge at their right end, and a row
// with an icon (the last patrol's status) shows it left of that.
#pragma once

#include <QListWidget>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace zr5::ui {

class CheckList final : public QListWidget {
    Q_OBJECT

public:
    enum Role { CheckedRole = Qt::UserRole + 1, SiteRole };
    static constexpr int kRowHeight = 16;
    static constexpr int kCheckWidth = 14; // presses left of this toggle
    static constexpr int kTextLeft = 17;
    static constexpr int kBadgeWidth = 32;

    explicit CheckList(QWidget* parent = nullptr);

    static bool isChecked(const QListWidgetItem* item);
    static void setChecked(QListWidgetItem* item, bool checked);
    static void setSite(QListWidgetItem* item, bool site);

signals:
    // The user changed row's check (by mouse or space bar).
    void checkToggled(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void toggleAt(const QPoint& point);
    void toggle(int row);
};

class CheckListDelegate final : public QStyledItemDelegate {
public:
    explicit CheckListDelegate(QObject* parent);

    void paint(
        QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    void paintCheck(QPainter* painter, const QStyleOptionViewItem& option, bool checked) const;
    void paintText(QPainter* painter, const QStyleOptionViewItem& option, const QRect& area,
        const QModelIndex& index) const;

    QPixmap m_badge;
};

// The 32 x 16 badge of an RSS site, painted rather than shipped.
QPixmap siteBadge();

} // namespace zr5::ui
