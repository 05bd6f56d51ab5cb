#include "ui_test_support.h"

#include "core/text_codec.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>
#include <clocale>
#include <gtest/gtest.h>

namespace zr5::ui::test {

void writeSkinScript(const std::filesystem::path& folder, std::string_view script)
{
    std::filesystem::create_directories(folder);
    QImage frame(20, 20, QImage::Format_RGB32);
    frame.fill(qRgb(40, 80, 160));
    frame.save(QString::fromStdString((folder / "frame.bmp").string()), "BMP");
    writeFile(folder / "zr5.skn", script);
}

void writeSkin(const std::filesystem::path& folder, int width, int height, std::string_view extra)
{
    std::string script = "window main\n{\n\tfile \"frame.bmp\";\n\txpos 0;\n\typos 0;\n\twidth "
        + std::to_string(width) + ";\n\theight " + std::to_string(height) + ";\n" + std::string(extra)
        + "\n}\n";
    writeSkinScript(folder, script);
}

std::string recordedBoxesUtf8()
{
    std::string out;
    for (const RecordedMessageBox& box : recordedMessageBoxes()) {
        if (!out.empty()) {
            out += '\n';
        }
        out += core::cp932ToUtf8(box.caption) + ": " + core::cp932ToUtf8(box.text);
    }
    return out;
}

bool waitFor(const std::function<bool()>& done, int limitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > limitMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

} // namespace zr5::ui::test

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    zr5::ui::setMessageBoxMode(zr5::ui::MessageBoxMode::RecordOnly);
    return RUN_ALL_TESTS();
}
