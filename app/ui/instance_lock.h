// Only one ticker per user: an exclusive flock on a lock file, held for the
// life of the process (the kernel drops it when the process ends, however it ends).
#pragma once

#include <filesystem>

namespace zr5::ui {

class InstanceLock final {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // $XDG_RUNTIME_DIR/<name>, else <temp folder>/<name with the user id>.
    static std::filesystem::path defaultPath();

    // False when another process holds the lock or the file cannot be opened.
    // Never truncates or otherwise changes the file.
    bool acquire(const std::filesystem::path& path);
    bool held() const { return m_fd >= 0; }
    void release();

private:
    int m_fd = -1;
};

} // namespace zr5::ui
