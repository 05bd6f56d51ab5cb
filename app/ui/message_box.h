// Every message box of the program goes through here, so that each is also
// written to standard error ("caption: text", UTF-8) and tests can record
// boxes instead of showing them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace zr5::ui {

enum class MessageBoxMode { Show, RecordOnly };

struct RecordedMessageBox {
    std::string caption; // Shift_JIS
    std::string text; // Shift_JIS
};

// Main thread. Caption and text are Shift_JIS; the box carries the stop icon.
void showMessageBox(QWidget* owner, std::string_view caption, std::string_view text);
// Only the standard error line of such a box, for when no box may be shown.
void writeMessageLine(std::string_view caption, std::string_view text);

void setMessageBoxMode(MessageBoxMode mode);
// Boxes recorded (not shown) since the last clear, oldest first.
const std::vector<RecordedMessageBox>& recordedMessageBoxes();
void clearRecordedMessageBoxes();

} // namespace zr5::ui
