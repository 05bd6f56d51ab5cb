#include "core/atomic_file.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zr5::core {
namespace {

namespace fs = std::filesystem;

fs::path resolveTarget(const fs::path& path)
{
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(path, error))) {
        fs::path target = fs::weakly_canonical(path, error);
        if (!error) {
            return target;
        }
    }
    return path;
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

mode_t modeFor(const fs::path& target)
{
    struct stat old { };
    if (::stat(target.c_str(), &old) == 0) {
        return old.st_mode & 07777;
    }
    return 0644;
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

} // namespace

bool writeFileAtomically(
    const fs::path& path, std::string_view bytes, const std::function<void()>& beforeRename)
{
    const fs::path target = resolveTarget(path);
    std::string pattern = target.string() + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return false;
    }
    bool ok = writeAll(fd, bytes) && ::fchmod(fd, modeFor(target)) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && beforeRename) {
        beforeRename();
    }
    if (!ok || ::rename(name.data(), target.c_str()) != 0) {
        ::unlink(name.data());
        return false;
    }
    syncFolder(target.parent_path());
    return true;
}

} // namespace zr5::core
