#include "core/autostart.h"

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace zr5::core {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kGroup = "[Desktop Entry]";
// Characters that make an argument of Exec need quotes, and those of them
// that need a backslash inside the quotes.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

std::string quoteArgument(std::string_view argument)
{
    std::string quoted;
    const bool needsQuotes = argument.empty() || argument.find_first_of(kReserved) != std::string_view::npos;
    for (char c : argument) {
        if (needsQuotes && kEscapedInQuotes.find(c) != std::string_view::npos) {
            quoted += '\\';
        }
        // A lone % would start a field code.
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    return needsQuotes ? '"' + quoted + '"' : quoted;
}

// The escapes of a desktop entry's string values, on top of the quoting.
std::string escapeValue(std::string_view value)
{
    std::string escaped;
    for (char c : value) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\r':
            escaped += "\\r";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string unescapeValue(std::string_view value)
{
    std::string plain;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            plain += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's':
            plain += ' ';
            break;
        case 'n':
            plain += '\n';
            break;
        case 't':
            plain += '\t';
            break;
        case 'r':
            plain += '\r';
            break;
        case '\\':
            plain += '\\';
            break;
        default:
            plain += '\\';
            plain += value[i];
        }
    }
    return plain;
}

// The program of an unescaped Exec value: its first argument, unquoted.
std::string programOf(std::string_view exec)
{
    std::size_t i = exec.find_first_not_of(" \t");
    std::string program;
    if (i == std::string_view::npos) {
        return program;
    }
    const bool quoted = exec[i] == '"';
    for (i += quoted ? 1 : 0; i < exec.size(); ++i) {
        char c = exec[i];
        if (quoted ? c == '"' : (c == ' ' || c == '\t')) {
            break;
        }
        if (quoted && c == '\\' && i + 1 < exec.size()) {
            c = exec[++i];
        } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
            ++i;
        }
        program += c;
    }
    return program;
}

bool isExecutableFile(const fs::path& path)
{
    struct stat found { };
    return ::stat(path.c_str(), &found) == 0 && S_ISREG(found.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// A bare name is looked up in PATH, as the session does.
bool programRuns(const std::string& program)
{
    if (program.empty()) {
        return false;
    }
    if (program.find('/') != std::string::npos) {
        return isExecutableFile(program);
    }
    const char* path = std::getenv("PATH");
    std::istringstream folders(path ? path : "/usr/local/bin:/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        if (!folder.empty() && isExecutableFile(fs::path(folder) / program)) {
            return true;
        }
    }
    return false;
}

std::string_view trimmed(std::string_view text)
{
    std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

struct EntryKeys {
    std::string exec;
    bool hidden = false;
    bool gnomeDisabled = false;
};

EntryKeys readEntryKeys(std::istream& in)
{
    EntryKeys keys;
    bool inGroup = false;
    for (std::string line; std::getline(in, line);) {
        std::string_view text = trimmed(line);
        if (text.starts_with('[')) {
            inGroup = text == kGroup;
            continue;
        }
        std::size_t equals = text.find('=');
        if (!inGroup || equals == std::string_view::npos) {
            continue;
        }
        std::string_view key = trimmed(text.substr(0, equals));
        std::string_view value = trimmed(text.substr(equals + 1));
        if (key == "Exec") {
            keys.exec = unescapeValue(value);
        } else if (key == "Hidden") {
            keys.hidden = value == "true";
        } else if (key == "X-GNOME-Autostart-enabled") {
            keys.gnomeDisabled = value == "false";
        }
    }
    return keys;
}

fs::path homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home) {
        return home;
    }
    const passwd* user = ::getpwuid(::getuid());
    return user && user->pw_dir ? fs::path(user->pw_dir) : fs::path();
}

SaveResult failure(const fs::path& path, const std::error_code& error)
{
    return SaveResult::failure(path.string() + ": " + error.message());
}

} // namespace

fs::path autostartEntryPath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    fs::path folder = config && fs::path(config).is_absolute() ? fs::path(config) : homeFolder() / ".config";
    return folder / "autostart" / kAutostartFileName;
}

fs::path runningProgram()
{
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : program;
}

std::string autostartEntry(const AutostartCommand& command)
{
    std::string exec = quoteArgument(command.program.string());
    for (const std::string& argument : command.arguments) {
        exec += ' ' + quoteArgument(argument);
    }
    return std::string(kGroup) + "\nType=Application\nName=Zephyrant2\nComment=Desktop headline ticker\nExec="
        + escapeValue(exec) + "\nIcon=zr5a\nTerminal=false\nX-GNOME-Autostart-enabled=true\n";
}

AutostartState readAutostart(const fs::path& path)
{
    std::ifstream in(path);
    if (!in) {
        return AutostartState::Off;
    }
    EntryKeys keys = readEntryKeys(in);
    if (keys.hidden || keys.gnomeDisabled) {
        return AutostartState::Off;
    }
    return programRuns(programOf(keys.exec)) ? AutostartState::On : AutostartState::Stale;
}

SaveResult writeAutostart(const fs::path& path, const AutostartCommand& command)
{
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    if (error) {
        return failure(path.parent_path(), error);
    }
    return writeFileAtomically(path, autostartEntry(command));
}

SaveResult removeAutostart(const fs::path& path)
{
    std::error_code error;
    fs::remove(path, error);
    return error ? failure(path, error) : SaveResult();
}

} // namespace zr5::core
