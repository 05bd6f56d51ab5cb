#include "ui/instance_lock.h"

#include "ui/ui_messages.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zr5::ui {
namespace {

constexpr mode_t kPrivateMode = 0700;

bool isPrivateFolder(const std::filesystem::path& folder)
{
    struct stat info { };
    // lstat: a symbolic link, even to a good folder, is someone else's choice of place.
    return ::lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid()
        && (info.st_mode & 07777) == kPrivateMode;
}

} // namespace

InstanceLock::~InstanceLock()
{
    release();
}

std::optional<std::filesystem::path> InstanceLock::privateFolder(const std::filesystem::path& base)
{
    std::filesystem::path folder = base / ("zr5-" + std::to_string(::getuid()));
    if (::mkdir(folder.c_str(), kPrivateMode) == 0) {
        // The umask may have taken bits we need; only a folder we made is adjusted.
        ::chmod(folder.c_str(), kPrivateMode);
    } else if (errno != EEXIST) {
        return std::nullopt;
    }
    if (!isPrivateFolder(folder)) {
        return std::nullopt;
    }
    return folder;
}

std::optional<std::filesystem::path> InstanceLock::defaultPath()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime && std::filesystem::is_directory(runtime)) {
        return std::filesystem::path(runtime) / msg::kLockFileName;
    }
    std::error_code error;
    std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (error) {
        temp = "/tmp";
    }
    std::optional<std::filesystem::path> folder = privateFolder(temp);
    if (!folder) {
        return std::nullopt;
    }
    return *folder / msg::kLockFileName;
}

bool InstanceLock::acquire(const std::filesystem::path& path)
{
    release();
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void InstanceLock::release()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

} // namespace zr5::ui
