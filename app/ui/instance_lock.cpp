#include "ui/instance_lock.h"

#include "ui/ui_messages.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace zr5::ui {

InstanceLock::~InstanceLock()
{
    release();
}

std::filesystem::path InstanceLock::defaultPath()
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
    // The temp folder is shared between users: each gets a lock of their own.
    std::string name(msg::kLockFileName);
    name.insert(name.rfind('.'), "-" + std::to_string(::getuid()));
    return temp / name;
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
