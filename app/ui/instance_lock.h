// Only one ticker per user: an exclusive flock on a lock file, held for the
// life of the process (the kernel drops it when the process ends, however it ends).
#pragma once

#include <filesystem>
#include <optional>

namespace zr5::ui {

class InstanceLock final {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // $XDG_RUNTIME_DIR/<name>, else <name> in privateFolder(<temp folder>);
    // nothing when that folder cannot be had.
    static std::optional<std::filesystem::path> defaultPath();
    // base/zr5-<uid>, created with mode 0700 when missing. Nothing when it
    // exists but is not a real folder of this user with mode 0700: another
    // user could have put it there to take or hold our lock.
    static std::optional<std::filesystem::path> privateFolder(const std::filesystem::path& base);

    // False when another process holds the lock or the file cannot be opened.
    // Never truncates or otherwise changes the file.
    bool acquire(const std::filesystem::path& path);
    bool held() const { return m_fd >= 0; }
    void release();

private:
    int m_fd = -1;
};

} // namespace zr5::ui
