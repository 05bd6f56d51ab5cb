// Which Qt platform zr5a asks for in the session it was started in. A Wayland
// client may neither place nor stack its own window, so where XWayland is at
// hand the ticker goes through it, unless the user chose a platform.
#pragma once

#include "launch/environment.h"

#include <optional>
#include <string>
#include <string_view>

namespace zr5::launch {

// "xcb" when WAYLAND_DISPLAY and DISPLAY are both set and neither
// QT_QPA_PLATFORM nor a -platform option chose already; else nothing (Qt's choice).
std::optional<std::string> platformForSession(const Environment& environment, bool platformChosen);

// True for Qt's Wayland platforms ("wayland", "wayland-egl", ...).
bool isWaylandPlatform(std::string_view platformName);

} // namespace zr5::launch
