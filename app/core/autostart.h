// Starting the ticker when the user logs in: an XDG autostart entry, a
// desktop entry file in the autostart folder that the session runs.
#pragma once

#include "core/atomic_file.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zr5::core {

// What the session runs at login.
struct AutostartCommand {
    std::filesystem::path program; // absolute
    std::vector<std::string> arguments; // after the program, e.g. "--home", DIR
};

enum class AutostartState {
    Off, // no entry, or one the user switched off (Hidden=true)
    On,
    Stale, // an entry whose program no longer exists or cannot run
};

inline constexpr std::string_view kAutostartFileName = "zr5a.desktop";

// $XDG_CONFIG_HOME/autostart/zr5a.desktop; the XDG default ~/.config when
// XDG_CONFIG_HOME is unset, empty or not absolute.
std::filesystem::path autostartEntryPath();
// The running program's absolute path, empty when the system will not say.
std::filesystem::path runningProgram();

// The desktop entry that runs command.
std::string autostartEntry(const AutostartCommand& command);
// The state of the entry file at path as the session will see it.
AutostartState readAutostart(const std::filesystem::path& path);
// Creates the folder when needed and replaces the file at path.
SaveResult writeAutostart(const std::filesystem::path& path, const AutostartCommand& command);
// No file at path afterwards (none before is fine).
SaveResult removeAutostart(const std::filesystem::path& path);

} // namespace zr5::core
