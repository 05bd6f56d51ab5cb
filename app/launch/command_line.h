// zr5a's command line, read before Qt is started so that --help, --version
// and mistakes need no display. Qt's own options are passed on to it.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zr5::launch {

enum class LaunchAction { Run, Help, Version, UsageError };

// EX_USAGE of sysexits.h.
inline constexpr int kExitUsage = 64;

struct CommandLine {
    LaunchAction action = LaunchAction::Run;
    std::optional<std::filesystem::path> home;
    // The program name, then the options meant for Qt, in their order.
    std::vector<std::string> qtArguments;
    // A -platform option was given: the user chose the Qt platform.
    bool platformChosen = false;
    // UsageError: what was wrong, for the message.
    std::string error;
};

CommandLine parseCommandLine(std::span<const char* const> arguments);

// The complete text for standard error after a usage error.
std::string usageErrorText(const CommandLine& line);

} // namespace zr5::launch
