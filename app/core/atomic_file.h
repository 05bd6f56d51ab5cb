// Replacing a file so that readers, and a crash, see either the old or the
// new content, never a mix.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

namespace zr5::core {

// Writes bytes to a temporary file beside path (same folder, so the rename
// stays on one file system), flushes it to disk and renames it over path.
// A symbolic link at path is followed, so the link survives. The file keeps
// the old file's permissions. beforeRename runs between writing and renaming
// (tests use it to stand for a crash). Returns false when anything failed;
// the old file is then untouched and the temporary file removed.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
    const std::function<void()>& beforeRename = {});

} // namespace zr5::core
