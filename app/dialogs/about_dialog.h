// The version dialog: product name, version, our notice, a picture and the
// home page link.
#pragma once

#include <QDialog>
#include <QImage>

namespace zr5::ui {

class LinkLabel;

class AboutDialog final : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* owner);

    LinkLabel* homePage() const { return m_homePage; }

private:
    LinkLabel* m_homePage;
};

// The dialog's 100 x 100 picture: a zephyr lily in front of a sky.
QImage aboutPicture();

void runAboutDialog(QWidget* owner);

} // namespace zr5::ui
