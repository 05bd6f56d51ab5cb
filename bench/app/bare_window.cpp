// The yardstick for the ticker bench: a plain Qt window of the ticker's size,
// translucent and frameless like the ticker, repainted whole 100 times a
// second with a line of text moving one pixel a frame, the way a widget
// usually animates. Whatever it costs is what Qt and the X server ask for a
// window that repaints without care.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

namespace {

constexpr int kFrameMilliseconds = 10;

class BareWindow final : public QWidget {
public:
    BareWindow()
    {
        setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setAttribute(Qt::WA_TranslucentBackground);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_offset = (m_offset + 1) % (width() + 400);
            update();
        });
        m_timer.start(kFrameMilliseconds);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(), QColor(16, 40, 90, 230));
        painter.setPen(Qt::white);
        painter.drawText(width() - m_offset, height() * 2 / 3, QStringLiteral("A headline scrolling by"));
    }

private:
    QTimer m_timer;
    int m_offset = 0;
};

} // namespace

// Arguments: width height x y (all optional).
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    BareWindow window;
    const auto argument
        = [&](int index, int fallback) { return index < argc ? std::atoi(argv[index]) : fallback; };
    window.setGeometry(argument(3, 100), argument(4, 120), argument(1, 600), argument(2, 48));
    window.show();
    return app.exec();
}
