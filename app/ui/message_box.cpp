#include "ui/message_box.h"

#include "dialogs/qt_text.h"

#include <QMessageBox>
#include <cstdio>

namespace zr5::ui {
namespace {

MessageBoxMode g_mode = MessageBoxMode::Show;
std::vector<RecordedMessageBox> g_recorded;

} // namespace

void writeMessageLine(std::string_view caption, std::string_view text)
{
    std::string line = core::cp932ToUtf8(caption) + ": " + core::cp932ToUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void showMessageBox(QWidget* owner, std::string_view caption, std::string_view text)
{
    writeMessageLine(caption, text);
    if (g_mode == MessageBoxMode::RecordOnly) {
        g_recorded.push_back({ std::string(caption), std::string(text) });
        return;
    }
    QMessageBox box(QMessageBox::Critical, toQString(caption), toQString(text), QMessageBox::Ok, owner);
    box.exec();
}

void setMessageBoxMode(MessageBoxMode mode)
{
    g_mode = mode;
}

const std::vector<RecordedMessageBox>& recordedMessageBoxes()
{
    return g_recorded;
}

void clearRecordedMessageBoxes()
{
    g_recorded.clear();
}

} // namespace zr5::ui
