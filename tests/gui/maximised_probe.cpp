// A window that asks the window manager to maximise it: where it ends shows
// which parts of the screen docked windows keep for themselves. Frameless,
// so its geometry is the maximised area itself.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("maximised-probe"));
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.showMaximized();
    return app.exec();
}
