// Replacing a file so that readers, and a crash, see either the old or the
// new content, never a mix.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace zr5::core {

// The outcome of a save: true on success, else the reason for people
// ("path: system's reason").
class SaveResult final {
public:
    SaveResult() = default;
    static SaveResult failure(std::string reason) { return SaveResult(std::move(reason)); }

    explicit operator bool() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }

private:
    explicit SaveResult(std::string reason)
        : m_error(std::move(reason))
    {
    }

    std::string m_error;
};

// Writes bytes to a temporary file beside path (same folder, so the rename
// stays on one file system), flushes it to disk and renames it over path.
// A symbolic link at path, or a chain of them, is followed (a dangling one to
// the file it names), so the link survives. The file keeps the old file's
// permissions; a file its owner may not write is not replaced. beforeRename
// runs between writing and renaming (tests use it to stand for a crash). On
// failure the old file is untouched and the temporary file removed.
SaveResult writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
    const std::function<void()>& beforeRename = {});

// Removes what saves of path that were killed half-way left beside it: files
// named like our temporary files ("zr5.ini.XXXXXX") that are ours. Call at
// start-up, before anything saves path.
void removeStaleTemporaries(const std::filesystem::path& path);

} // namespace zr5::core
