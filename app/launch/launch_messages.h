// What zr5a says on standard error before (or instead of) opening a window:
// its command line, the home folder and the session it runs in. Plain ASCII,
// and UTF-8 where a path is inserted.
#pragma once

#include <string_view>

namespace zr5::launch::msg {

inline constexpr std::string_view kUsage = "usage: zr5a [--home DIR] [--version] [--help] [Qt options]\n";
inline constexpr std::string_view kHelp
    = "The Zephyrant2 desktop headline ticker.\n"
      "\n"
      "  --home DIR   keep zr5.ini, Scripts, Skins and Help in DIR; by default\n"
      "               $ZR5_HOME, else $XDG_DATA_HOME/Zephyrant2, else\n"
      "               ~/.local/share/Zephyrant2. Created and filled from the\n"
      "               installed data on first use; your own files are never replaced.\n"
      "  --version    print the version and exit\n"
      "  -h, --help   print this text and exit\n"
      "\n"
      "Qt's own options (-platform NAME, -display DISPLAY, -style NAME, ...) are\n"
      "passed on to Qt. In a Wayland session with DISPLAY set the ticker runs\n"
      "through XWayland unless a platform is chosen (-platform or QT_QPA_PLATFORM).\n"
      "\n"
      "Environment: ZR5_HOME (the home folder), ZR5_NOTICE_URL (the notice page),\n"
      "ZR5_DEBUG (diagnostics on standard error).\n";
inline constexpr std::string_view kTryHelp = "Try 'zr5a --help' for more information.\n";
inline constexpr std::string_view kUnknownOption = "unknown option";
inline constexpr std::string_view kUnexpectedArgument = "unexpected argument";
inline constexpr std::string_view kMissingValue = "option needs a value";
inline constexpr std::string_view kProgramPrefix = "zr5a: ";

// Home folder problems; the path and the system's reason follow.
inline constexpr std::string_view kNoHome
    = "no home folder: set HOME, ZR5_HOME or XDG_DATA_HOME, or start with --home DIR";
inline constexpr std::string_view kHomeNotFolder = "the home folder is not a folder: ";
inline constexpr std::string_view kHomeNotWritable = "the home folder is not writable: ";
inline constexpr std::string_view kHomeNotCreated = "cannot create the home folder ";
inline constexpr std::string_view kHomeNotFilled = "cannot copy the bundled files into ";
inline constexpr std::string_view kHomeNotEntered = "cannot enter the home folder ";
inline constexpr std::string_view kNoDataFolder
    = "zr5a: the bundled Scripts, Skins and Help were not found (share/zephyrant2 beside the program or in "
      "XDG_DATA_DIRS); the home folder is left as it is\n";

// A Wayland client may not move or stack its own window.
inline constexpr std::string_view kWaylandLimits
    = "zr5a: running as a Wayland client: the session does not let the ticker place its window, keep "
      "it in front or behind, or return it to its saved position; set DISPLAY (XWayland) or "
      "QT_QPA_PLATFORM=xcb for all of these\n";
inline constexpr std::string_view kPlatformPrefix = "zr5a: Qt platform ";

} // namespace zr5::launch::msg
