#include "launch/home_folder.h"

#include "core/atomic_file.h"
#include "core/script_list.h"
#include "core/settings.h"
#include "launch/launch_messages.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <pwd.h>
#include <set>
#include <sstream>
#include <unistd.h>

namespace zr5::launch {
namespace {

namespace fs = std::filesystem;

constexpr char kFolderName[] = "Zephyrant2";
constexpr char kDataFolderName[] = "zephyrant2";
constexpr char kDefaultDataDirs[] = "/usr/local/share:/usr/share";

std::optional<fs::path> userHome(const Environment& environment)
{
    if (auto home = variable(environment, "HOME")) {
        return fs::path(*home);
    }
    const passwd* entry = getpwuid(getuid());
    if (entry && entry->pw_dir && *entry->pw_dir) {
        return fs::path(entry->pw_dir);
    }
    return std::nullopt;
}

std::string failure(std::string_view what, const fs::path& path, const std::error_code& error)
{
    return std::string(what) + path.string() + ": " + error.message();
}

std::error_code lastError()
{
    return { errno, std::generic_category() };
}

// Regular files of the data folder, relative to it, in a stable order.
std::vector<fs::path> bundledFiles(const fs::path& data)
{
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(data, fs::directory_options::skip_permission_denied, error), end;
         !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error)) {
            files.push_back(it->path().lexically_relative(data));
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

using OfferedFiles = std::set<std::string>;

std::optional<OfferedFiles> readOffered(const fs::path& folder)
{
    std::ifstream in(folder / kBundledListName);
    if (!in) {
        return std::nullopt;
    }
    OfferedFiles offered;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            offered.insert(line);
        }
    }
    return offered;
}

core::SaveResult writeOffered(const fs::path& folder, const OfferedFiles& offered)
{
    std::ostringstream out;
    for (const std::string& name : offered) {
        out << name << '\n';
    }
    return core::writeFileAtomically(folder / kBundledListName, out.str());
}

// Copied under a temporary name, then linked to its real name, so a file
// never appears half-written and one that is there already is never replaced.
std::error_code copyIfMissing(const fs::path& from, const fs::path& to)
{
    std::error_code error;
    fs::create_directories(to.parent_path(), error);
    if (error) {
        return error;
    }
    fs::path part = to;
    part += ".part";
    fs::copy_file(from, part, fs::copy_options::overwrite_existing, error);
    if (error) {
        return error;
    }
    if (::link(part.c_str(), to.c_str()) != 0 && errno != EEXIST) {
        // Some file systems have no hard links.
        error = lastError();
        if (!fs::exists(to)) {
            fs::rename(part, to, error);
        }
    }
    fs::remove(part);
    return error;
}

std::optional<std::string> offerBundledFiles(const fs::path& folder, const fs::path& data)
{
    const std::optional<OfferedFiles> listed = readOffered(folder);
    OfferedFiles offered = listed.value_or(OfferedFiles {});
    bool added = !listed;
    for (const fs::path& name : bundledFiles(data)) {
        if (offered.contains(name.generic_string())) {
            continue;
        }
        std::error_code error;
        if (!fs::exists(folder / name, error)) {
            error = copyIfMissing(data / name, folder / name);
        }
        if (error) {
            return failure(msg::kHomeNotFilled, folder / name, error);
        }
        offered.insert(name.generic_string());
        added = true;
    }
    if (!added) {
        return std::nullopt;
    }
    if (core::SaveResult saved = writeOffered(folder, offered); !saved) {
        return std::string(msg::kHomeNotFilled) + saved.error();
    }
    return std::nullopt;
}

// A first start shows the welcome script's headlines instead of an empty ticker.
class QuietErrors final : public core::LoadErrorSink {
public:
    void loadError(std::string_view) override { }
};

std::optional<std::string> writeFirstSettings(const fs::path& folder)
{
    const fs::path settings = folder / core::kSettingsFileName;
    const fs::path welcome = folder / "Scripts" / kWelcomeScript;
    if (fs::exists(settings) || !fs::is_regular_file(welcome)) {
        return std::nullopt;
    }
    QuietErrors errors;
    core::ScriptList scripts;
    auto& record = scripts.entries.emplace_back(
        std::make_unique<core::ScriptRecord>(core::RecordKind::ScriptFile, kWelcomeScript));
    record->path = welcome;
    record->load(welcome, errors);
    record->enabled = true;
    for (core::Category& category : record->categories) {
        category.checked = true;
    }
    if (auto failed = core::saveSettingsFile(settings, scripts, core::Settings {})) {
        return std::string(msg::kHomeNotFilled) + *failed;
    }
    return std::nullopt;
}

std::optional<std::string> fill(const fs::path& folder, const std::optional<fs::path>& data)
{
    if (data) {
        if (auto failed = offerBundledFiles(folder, *data)) {
            return failed;
        }
    }
    return writeFirstSettings(folder);
}

bool isEmptyFolder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error) && fs::is_empty(path, error) && !error;
}

// Built beside the home under a name of its own and renamed into place; an
// empty folder at home (made by the user for us) is replaced by the rename.
std::optional<std::string> createHome(const fs::path& home, const std::optional<fs::path>& data)
{
    fs::path partial = home.parent_path() / ("." + home.filename().string() + ".partial");
    std::error_code error;
    fs::create_directories(partial, error);
    if (error) {
        return failure(msg::kHomeNotCreated, home, error);
    }
    if (auto failed = fill(partial, data)) {
        return failed;
    }
    if (::rename(partial.c_str(), home.c_str()) != 0) {
        return failure(msg::kHomeNotCreated, home, lastError());
    }
    return std::nullopt;
}

} // namespace

std::optional<fs::path> chooseHomeFolder(
    const std::optional<fs::path>& option, const Environment& environment)
{
    std::optional<fs::path> home = option;
    if (!home) {
        if (auto chosen = variable(environment, "ZR5_HOME")) {
            home = fs::path(*chosen);
        }
    }
    if (!home) {
        // An XDG_DATA_HOME that is not absolute is ignored, as desktops do.
        if (auto dataHome = variable(environment, "XDG_DATA_HOME");
            dataHome && fs::path(*dataHome).is_absolute()) {
            home = fs::path(*dataHome) / kFolderName;
        } else if (auto user = userHome(environment)) {
            home = *user / ".local" / "share" / kFolderName;
        }
    }
    if (!home) {
        return std::nullopt;
    }
    std::error_code error;
    fs::path absolute = fs::absolute(*home, error);
    return (error ? *home : absolute).lexically_normal();
}

std::vector<fs::path> dataFolderCandidates(const fs::path& programFolder, const Environment& environment)
{
    std::vector<fs::path> candidates {
        (programFolder / ".." / "share" / kDataFolderName).lexically_normal()
    };
    std::string dirs = variable(environment, "XDG_DATA_DIRS").value_or(kDefaultDataDirs);
    std::istringstream in(dirs);
    for (std::string dir; std::getline(in, dir, ':');) {
        if (fs::path(dir).is_absolute()) {
            candidates.push_back(fs::path(dir) / kDataFolderName);
        }
    }
    return candidates;
}

std::optional<fs::path> findDataFolder(const fs::path& programFolder, const Environment& environment)
{
    for (const fs::path& candidate : dataFolderCandidates(programFolder, environment)) {
        std::error_code error;
        if (fs::is_directory(candidate / "Skins", error)) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::optional<std::string> prepareHomeFolder(const fs::path& home, const std::optional<fs::path>& data)
{
    std::error_code error;
    const fs::file_status status = fs::status(home, error);
    if (!fs::exists(status)) {
        // A dangling symbolic link is not ours to replace.
        if (fs::is_symlink(fs::symlink_status(home, error))) {
            return std::string(msg::kHomeNotFolder) + home.string();
        }
        return createHome(home, data);
    }
    if (!fs::is_directory(status)) {
        return std::string(msg::kHomeNotFolder) + home.string();
    }
    if (::access(home.c_str(), W_OK | X_OK) != 0) {
        return failure(msg::kHomeNotWritable, home, lastError());
    }
    return isEmptyFolder(home) ? createHome(home, data) : fill(home, data);
}

} // namespace zr5::launch
