// X11 window hints Qt does not set by itself.
#pragma once

#include "core/settings.h"

#include <QRect>

class QWidget;

namespace zr5::ui {

// Keeps the ticker off taskbars and pagers (_NET_WM_STATE_SKIP_TASKBAR and
// _SKIP_PAGER). Call before the window is first shown; does nothing on
// platforms other than X11.
void markSkipTaskbar(QWidget& window);

// Docked at the top or bottom: the window becomes a dock
// (_NET_WM_WINDOW_TYPE_DOCK) that reserves its strip (_NET_WM_STRUT_PARTIAL
// and _NET_WM_STRUT, in logical coordinates here), so maximised windows end
// at its edge. Free: the type Qt gave it and no reserved strip. Window
// managers read the type when a window is mapped: a shown window must be
// mapped again for a change of type to count. Does nothing but on X11.
void setDockHints(QWidget& window, core::WindowDock dock, const QRect& strip);

} // namespace zr5::ui
