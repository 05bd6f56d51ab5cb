#include "core/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace zr5::core {
namespace {

namespace fs = std::filesystem;

// mkstemp's "XXXXXX".
constexpr std::size_t kTemporarySuffixLength = 6;
// As many links as the kernel itself follows before it gives up.
constexpr int kMaxLinkHops = 40;

// The file a chain of symbolic links at path ends in, whether it exists or
// not; path itself when it is no link.
fs::path resolveTarget(fs::path path)
{
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(path, error))) {
            return path;
        }
        fs::path next = fs::read_symlink(path, error);
        if (error) {
            return path;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

SaveResult failure(const fs::path& path, int error)
{
    return SaveResult::failure(
        path.string() + ": " + std::error_code(error, std::generic_category()).message());
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Fills mode with the old file's permission bits (0644 for a new file) and
// returns why the old file may not be replaced, 0 when it may. A file its
// owner may not write is the user's way of saying "keep this", also for root,
// whom the system would let through.
int checkReplaceable(const fs::path& target, mode_t& mode)
{
    struct stat old { };
    if (::stat(target.c_str(), &old) != 0) {
        mode = 0644;
        return errno == ENOENT ? 0 : errno;
    }
    mode = old.st_mode & 07777;
    if ((old.st_mode & S_IWUSR) == 0) {
        return EACCES;
    }
    return 0;
}

// Flushing the folder makes the rename itself durable; failure only costs that.
void syncFolder(const fs::path& folder)
{
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes, fixes the mode and flushes; errno of the first failure, else 0.
int fillTemporary(int fd, std::string_view bytes, mode_t mode)
{
    int error = 0;
    if (!writeAll(fd, bytes) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

bool isTemporaryName(std::string_view name, std::string_view base)
{
    if (name.size() != base.size() + 1 + kTemporarySuffixLength || name.substr(0, base.size()) != base
        || name[base.size()] != '.') {
        return false;
    }
    std::string_view suffix = name.substr(base.size() + 1);
    return std::all_of(suffix.begin(), suffix.end(),
        [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

void removeTemporariesBeside(const fs::path& file)
{
    const std::string base = file.filename().string();
    std::error_code error;
    fs::directory_iterator it(file.parent_path().empty() ? fs::path(".") : file.parent_path(), error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        struct stat found { };
        // Only regular files of ours: never a link, nor someone else's file.
        if (isTemporaryName(it->path().filename().string(), base) && ::lstat(it->path().c_str(), &found) == 0
            && S_ISREG(found.st_mode) && found.st_uid == ::geteuid()) {
            ::unlink(it->path().c_str());
        }
    }
}

} // namespace

SaveResult writeFileAtomically(
    const fs::path& path, std::string_view bytes, const std::function<void()>& beforeRename)
{
    const fs::path target = resolveTarget(path);
    mode_t mode = 0644;
    if (int error = checkReplaceable(target, mode)) {
        return failure(path, error);
    }
    std::string pattern = target.string() + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return failure(path, errno);
    }
    int error = fillTemporary(fd, bytes, mode);
    if (error == 0 && beforeRename) {
        beforeRename();
    }
    if (error == 0 && ::rename(name.data(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(name.data());
        return failure(path, error);
    }
    syncFolder(target.parent_path());
    return {};
}

void removeStaleTemporaries(const fs::path& path)
{
    removeTemporariesBeside(path);
    const fs::path target = resolveTarget(path);
    if (target != path) {
        removeTemporariesBeside(target);
    }
}

} // namespace zr5::core
