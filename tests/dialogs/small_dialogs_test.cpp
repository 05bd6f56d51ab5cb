// The scroll-speed and about dialogs and the link label.
#include "dialog_test_support.h"
#include "dialogs/about_dialog.h"
#include "dialogs/link_label.h"
#include "dialogs/scroll_speed_dialog.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>

namespace zr5::ui {
namespace {

// Answers the next modal dialog as soon as it runs.
void answerNextDialog(std::function<void(QDialog&)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

QPushButton* buttonNamed(QDialog& dialog, const QString& text)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

TEST(ScrollSpeedDialog, ClampsOnOpeningAndStoresOnlyOnOk)
{
    std::int32_t speed = 12;
    answerNextDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("設定(スクロール)"));
        EXPECT_EQ(dialog.findChild<QSlider*>()->value(), 10);
        buttonNamed(dialog, QStringLiteral("OK"))->click();
    });
    EXPECT_EQ(runScrollSpeedDialog(nullptr, speed), 1);
    EXPECT_EQ(speed, 10);

    speed = -3;
    answerNextDialog([](QDialog& dialog) {
        EXPECT_EQ(dialog.findChild<QSlider*>()->value(), 0);
        dialog.accept();
    });
    EXPECT_EQ(runScrollSpeedDialog(nullptr, speed), 1);
    EXPECT_EQ(speed, 0);

    speed = 4;
    answerNextDialog([](QDialog& dialog) {
        auto* slider = dialog.findChild<QSlider*>();
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Right);
        EXPECT_EQ(slider->value(), 5);
        buttonNamed(dialog, QStringLiteral("キャンセル"))->click();
    });
    EXPECT_EQ(runScrollSpeedDialog(nullptr, speed), 2);
    EXPECT_EQ(speed, 4);

    answerNextDialog([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(runScrollSpeedDialog(nullptr, speed), 2);
    EXPECT_EQ(speed, 4);
}

TEST(ScrollSpeedDialog, SitsInTheMiddleOfTheAvailableArea)
{
    EXPECT_EQ(centredIn(QRect(0, 0, 1024, 738), QSize(301, 121)), QPoint(361, 308));
    EXPECT_EQ(centredIn(QRect(-1280, 30, 1280, 994), QSize(300, 120)), QPoint(-790, 467));

    ScrollSpeedDialog dialog(nullptr, 2);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QRect area = dialog.screen()->availableGeometry();
    EXPECT_EQ(dialog.frameGeometry().topLeft(), centredIn(area, dialog.frameGeometry().size()));
}

class OpenedLinks : public QObject {
    Q_OBJECT

public:
    std::vector<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};

class LinkLabelTest : public ::testing::Test {
protected:
    LinkLabelTest() { QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_opened, "open"); }
    ~LinkLabelTest() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    OpenedLinks m_opened;
};

TEST_F(LinkLabelTest, ShowsAndOpensAtMostThirtyOneCharacters)
{
    LinkLabel label(QStringLiteral("https://zephyrant2.orlemont.org/news/index.html"));
    label.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    EXPECT_EQ(label.link(), QStringLiteral("https://zephyrant2.orlemont.org"));
    EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(label.font().underline());

    QTest::mouseClick(&label, Qt::RightButton);
    EXPECT_TRUE(m_opened.urls.empty());
    QTest::mouseClick(&label, Qt::LeftButton);
    ASSERT_EQ(m_opened.urls.size(), 1u);
    EXPECT_EQ(m_opened.urls[0], QUrl(QStringLiteral("https://zephyrant2.orlemont.org")));

    // The text is painted in pure blue; the cut-off part is not painted at all.
    QImage image = test::grab(label);
    int blue = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            blue += image.pixel(x, y) == qRgb(0, 0, 255) ? 1 : 0;
        }
    }
    EXPECT_GT(blue, 20);
    QLabel whole(label.text());
    EXPECT_LT(label.sizeHint().width(), whole.sizeHint().width());
}

TEST_F(LinkLabelTest, ShortTextsStayWholeAndSurrogatesAreNotSplit)
{
    EXPECT_EQ(LinkLabel(QStringLiteral("https://a.example/")).link(), QStringLiteral("https://a.example/"));
    QString thirty = QString(30, u'x');
    EXPECT_EQ(LinkLabel(thirty + QStringLiteral("😀")).link(), thirty);
}

TEST(AboutDialog, ShowsNameVersionNoticePictureAndHomePage)
{
    AboutDialog dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Zephyrant2 バージョン情報"));
    QStringList texts;
    QImage picture;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
        if (!label->pixmap().isNull()) {
            picture = label->pixmap().toImage();
        }
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Zephyrant2")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Version 2.00")));
    EXPECT_TRUE(texts.filter(QStringLiteral("Orlemont")).size() >= 1);
    EXPECT_EQ(picture.size(), QSize(100, 100));
    EXPECT_NE(picture.pixel(50, 44), picture.pixel(5, 5)) << "something is drawn on the sky";
    EXPECT_EQ(dialog.homePage()->link(), QStringLiteral("https://zephyrant2.orlemont.org"));

    answerNextDialog([](QDialog& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
    runAboutDialog(nullptr);
    answerNextDialog([](QDialog& shown) { QTest::keyClick(&shown, Qt::Key_Return); });
    runAboutDialog(nullptr);
}

} // namespace
} // namespace zr5::ui

#include "small_dialogs_test.moc"
