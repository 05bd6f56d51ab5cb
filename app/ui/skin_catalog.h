// The skin folders under ./Skins as the skin menu shows them: one level at a
// time, group folders ("@name") opening lazily as submenus. The catalog keeps
// the list of names behind the menu's command ids (entry k belongs to command
// 10000 + k); entry 0 is the root prefix "".
//
// Names are Shift_JIS, relative to ./Skins, with "\" between a group and its
// skin (as the settings file keeps them); on disk "\" is "/" and the names
// are in the locale's encoding.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zr5::ui {

inline constexpr int kFirstSkinCommand = 10000;
// Only this many entries (the root included) can be chosen.
inline constexpr int kSkinCommandCount = 100;

enum class SkinItemKind { Skin, Group, Placeholder };

struct SkinMenuItem {
    SkinItemKind kind = SkinItemKind::Skin;
    std::string text; // Shift_JIS
    int command = 0;
    bool checked = false;
    // Groups: the entry whose prefix fills the group's submenu.
    std::size_t groupEntry = 0;
};

class SkinCatalog final {
public:
    explicit SkinCatalog(std::filesystem::path skinsFolder = "Skins");

    // A popup menu opens: only the root entry remains.
    void reset();
    // The items of the level behind entry prefixEntry, appending their entries.
    // Empty when prefixEntry is not a group prefix.
    std::vector<SkinMenuItem> listLevel(std::size_t prefixEntry, std::string_view skinInUse);
    // The skin name of a chosen command, or nothing for ids out of range and
    // group prefixes.
    std::optional<std::string> skinForCommand(int command) const;

    const std::vector<std::string>& entries() const { return m_entries; }

private:
    int nextCommand() const { return kFirstSkinCommand + static_cast<int>(m_entries.size()); }
    SkinMenuItem placeholder(std::string_view text);

    std::filesystem::path m_folder;
    std::vector<std::string> m_entries;
};

// The folder of a skin name ("@Seasons\Winter" -> Skins/@Seasons/Winter).
std::filesystem::path skinFolder(const std::filesystem::path& skinsFolder, std::string_view name);

// Directory names of folder in bytewise order, or nothing when it cannot be listed.
std::optional<std::vector<std::string>> listFolders(const std::filesystem::path& folder);

} // namespace zr5::ui
