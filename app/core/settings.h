// The settings the ticker keeps in ./zr5.ini, read once at start-up and
// written once at exit.
#pragma once

#include "core/profile_file.h"
#include "core/script_list.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace zr5::core {

struct ProxySettings {
    std::int32_t type = 0; // 0 the system's settings, 1 direct, 2 the proxy below
    std::string address;
    std::int32_t port = 8080;
    std::int32_t bypassLocal = 0;
};

struct WindowSettings {
    std::string skin;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t z = 0; // 1 always in front, -1 always behind
    std::int32_t sticking = 0; // non-zero: position and size locked
    // Display options. X, Y, Width and Height keep the free rectangle while
    // the window is docked, so undocking can return to it.
    std::int32_t speed = 2; // scroll speed, 0 (slow) to 10 (fast)
    std::int32_t hoverPause = 1; // 1: scrolling stops while the pointer rests on the window
    std::int32_t dock = 0; // see WindowDock
    std::int32_t opacity = 100; // percent, 20 to 100, on top of the skin's own alpha
    std::string screen; // name of the screen the window was last on
};

enum WindowDock : std::int32_t { DockFree = 0, DockTop = 1, DockBottom = 2 };

struct Settings {
    std::int32_t reloadMinutes = 30; // patrol interval
    // Bounds of one script run and of one document fetch, 1 to 86400 seconds.
    std::int32_t scriptLimitSeconds = 30;
    std::int32_t fetchLimitSeconds = 120;
    WindowSettings window;
    ProxySettings proxy;
    std::string noticeUrl; // empty: no notice page is fetched
};

inline constexpr std::string_view kSettingsFileName = "zr5.ini";

// Applies the file to an enumerated script list (order, enabled flags,
// checked categories, RSS sites) and returns the rest.
// Never fails: whatever is missing, unreadable or out of range takes its default.
Settings loadSettings(const ProfileFile& file, ScriptList& scripts);
// The rest alone (limits are needed before the scripts are loaded).
Settings readSettings(const ProfileFile& file);

// Writes everything into file, keeping whatever else it holds.
void storeSettings(ProfileFile& file, const ScriptList& scripts, const Settings& settings);

// Reads path, stores everything into it and saves it. Returns why the save
// failed (naming the file and the system's reason), or nothing on success.
std::optional<std::string> saveSettingsFile(
    const std::filesystem::path& path, const ScriptList& scripts, const Settings& settings);

// The value of one "Script" entry, as stored.
std::string scriptEntry(const ScriptRecord& record);

} // namespace zr5::core
