// X11 window hints Qt does not set by itself.
#pragma once

class QWidget;

namespace zr5::ui {

// Keeps the ticker off taskbars and pagers (_NET_WM_STATE_SKIP_TASKBAR and
// _SKIP_PAGER). Call before the window is first shown; does nothing on
// platforms other than X11.
void markSkipTaskbar(QWidget& window);

} // namespace zr5::ui
