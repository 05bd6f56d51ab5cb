// A label that shows a web address as a link and opens it when pressed.
#pragma once

#include <QLabel>

namespace zr5::ui {

class LinkLabel final : public QLabel {
    Q_OBJECT

public:
    // Longer texts are cut, both on screen and when opened.
    static constexpr int kMaxLength = 31;

    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

    // The text as shown and opened.
    QString link() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace zr5::ui
