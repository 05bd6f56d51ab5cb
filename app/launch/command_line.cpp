#include "launch/command_line.h"

#include "launch/launch_messages.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace zr5::launch {
namespace {

struct QtOption {
    std::string_view name;
    bool takesValue;
};

// QGuiApplication's and QApplication's options, with the X11 plugin's.
constexpr std::array kQtOptions {
    QtOption { "platform", true },
    QtOption { "platformpluginpath", true },
    QtOption { "platformtheme", true },
    QtOption { "plugin", true },
    QtOption { "qwindowgeometry", true },
    QtOption { "qwindowicon", true },
    QtOption { "qwindowtitle", true },
    QtOption { "geometry", true },
    QtOption { "title", true },
    QtOption { "icon", true },
    QtOption { "windowicon", true },
    QtOption { "display", true },
    QtOption { "name", true },
    QtOption { "session", true },
    QtOption { "style", true },
    QtOption { "stylesheet", true },
    QtOption { "reverse", false },
    QtOption { "nograb", false },
    QtOption { "dograb", false },
    QtOption { "sync", false },
    QtOption { "widgetcount", false },
};

const QtOption* findQtOption(std::string_view name)
{
    auto found = std::find_if(
        kQtOptions.begin(), kQtOptions.end(), [&](const QtOption& option) { return option.name == name; });
    return found == kQtOptions.end() ? nullptr : &*found;
}

// "--name" or "-name" without its dashes, and the value of "name=value".
struct Spelling {
    std::string_view name;
    std::optional<std::string_view> value;
};

Spelling spell(std::string_view argument)
{
    argument.remove_prefix(argument.starts_with("--") ? 2 : 1);
    if (std::size_t equals = argument.find('='); equals != std::string_view::npos) {
        return { argument.substr(0, equals), argument.substr(equals + 1) };
    }
    return { argument, std::nullopt };
}

CommandLine usageError(std::string_view what, std::string_view argument)
{
    CommandLine line;
    line.action = LaunchAction::UsageError;
    line.error = std::string(what) + ": '" + std::string(argument) + "'";
    return line;
}

} // namespace

CommandLine parseCommandLine(std::span<const char* const> arguments)
{
    CommandLine line;
    line.qtArguments.emplace_back(arguments.empty() ? "zr5a" : arguments[0]);
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument.size() < 2 || argument[0] != '-' || argument == "--") {
            return usageError(msg::kUnexpectedArgument, argument);
        }
        if (argument == "-h" || argument == "--help") {
            line.action = LaunchAction::Help;
            return line;
        }
        if (argument == "--version") {
            line.action = LaunchAction::Version;
            return line;
        }
        const Spelling spelling = spell(argument);
        const bool ours = argument.starts_with("--") && spelling.name == "home";
        const QtOption* qt = ours ? nullptr : findQtOption(spelling.name);
        if (!ours && !qt) {
            return usageError(msg::kUnknownOption, argument);
        }
        const bool needsValue = ours || qt->takesValue;
        std::optional<std::string_view> value = spelling.value;
        if (needsValue && !value) {
            if (i + 1 >= arguments.size()) {
                return usageError(msg::kMissingValue, argument);
            }
            value = arguments[++i];
        }
        if ((needsValue && value->empty()) || (!needsValue && value)) {
            return usageError(needsValue ? msg::kMissingValue : msg::kUnknownOption, argument);
        }
        if (ours) {
            line.home = std::filesystem::path(*value);
            continue;
        }
        line.platformChosen = line.platformChosen || qt->name == "platform";
        // Qt reads "-name value" whichever way it was written here.
        line.qtArguments.push_back("-" + std::string(qt->name));
        if (needsValue) {
            line.qtArguments.emplace_back(*value);
        }
    }
    return line;
}

std::string usageErrorText(const CommandLine& line)
{
    return std::string(msg::kProgramPrefix) + line.error + "\n" + std::string(msg::kUsage)
        + std::string(msg::kTryHelp);
}

} // namespace zr5::launch
