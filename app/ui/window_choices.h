// The window choices the menus check (stacking, position lock) and how
// zr5.ini's [Window] section keeps them.
#pragma once

#include "core/settings.h"
#include "ui/popup_menu.h"
#include "ui/ticker_window.h"

#include <cstdint>

namespace zr5::ui {

// [Window] Z. Both menu checks on store AlwaysInFront, although the window
// then stays behind: the file keeps what the older versions wrote.
enum class SavedStacking : std::int32_t { Normal = 0, AlwaysInFront = 1, AlwaysBehind = -1 };

MenuChecks checksFromSettings(const core::WindowSettings& window);
void storeChecks(const MenuChecks& checks, core::WindowSettings& window);
// Always behind wins: every restacking sends the window back to the bottom.
Stacking stackingFor(const MenuChecks& checks);

} // namespace zr5::ui
