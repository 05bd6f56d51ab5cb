// The home folder: where zr5.ini, Scripts, Skins, Help and the patrol log
// live. Chosen from the command line and the environment, created and filled
// from the installed data on first use, completed when a start was cut short,
// and given the bundled files that are new after an upgrade. The user's own
// files are never replaced.
#pragma once

#include "launch/environment.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace zr5::launch {

// --home, else $ZR5_HOME, else $XDG_DATA_HOME/Zephyrant2, else
// ~/.local/share/Zephyrant2; made absolute. Nothing when no home is known at all.
std::optional<std::filesystem::path> chooseHomeFolder(
    const std::optional<std::filesystem::path>& option, const Environment& environment);

// Where the bundled data may be, in the order it is looked for:
// <bindir>/../share/zephyrant2, then zephyrant2 in each of $XDG_DATA_DIRS.
std::vector<std::filesystem::path> dataFolderCandidates(
    const std::filesystem::path& programFolder, const Environment& environment);
// The first candidate holding a Skins folder.
std::optional<std::filesystem::path> findDataFolder(
    const std::filesystem::path& programFolder, const Environment& environment);

// Names inside the home folder.
inline constexpr char kBundledListName[] = ".bundled-files";
inline constexpr char kWelcomeScript[] = "welcome.zrs";

// Creates or completes home from data (which may be missing: then only the
// folder is made). A new home is built under a temporary name beside it and
// renamed into place, so it appears whole or not at all; a temporary left by
// an interrupted start is completed. Every bundled file is offered once: the
// list of files already offered lives in the home folder, so a file the user
// deleted stays deleted and a file new in an upgrade is added. A home without
// that list gets every bundled file it misses. Writes the first zr5.ini when
// there is none. Returns why the folder cannot be used, or nothing.
std::optional<std::string> prepareHomeFolder(
    const std::filesystem::path& home, const std::optional<std::filesystem::path>& data);

} // namespace zr5::launch
