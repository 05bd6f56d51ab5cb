#include "ui/skin_catalog.h"

#include "core/text_codec.h"
#include "sjis_bytes.h"
#include "ui/ui_messages.h"

#include <algorithm>

namespace zr5::ui {
namespace {

constexpr std::string_view kPlaceholderEntry = "null";

// Group prefixes end in the separator; a skin named 表 ends in 0x5C too.
bool isGroupPrefix(std::string_view entry)
{
    return entry.empty() || sjis::endsWithBackslash(entry);
}

} // namespace

std::filesystem::path skinFolder(const std::filesystem::path& skinsFolder, std::string_view name)
{
    return skinsFolder / core::cp932ToLocale(sjis::backslashesToSlashes(name));
}

std::optional<std::vector<std::string>> listFolders(const std::filesystem::path& folder)
{
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (; it != std::filesystem::directory_iterator(); it.increment(error)) {
        if (error) {
            break;
        }
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            names.push_back(it->path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

SkinCatalog::SkinCatalog(std::filesystem::path skinsFolder)
    : m_folder(std::move(skinsFolder))
{
    reset();
}

void SkinCatalog::reset()
{
    m_entries.assign(1, std::string());
}

SkinMenuItem SkinCatalog::placeholder(std::string_view text)
{
    SkinMenuItem item { SkinItemKind::Placeholder, std::string(text), nextCommand(), false, 0 };
    m_entries.emplace_back(kPlaceholderEntry);
    return item;
}

std::vector<SkinMenuItem> SkinCatalog::listLevel(std::size_t prefixEntry, std::string_view skinInUse)
{
    std::vector<SkinMenuItem> items;
    if (prefixEntry >= m_entries.size() || !isGroupPrefix(m_entries[prefixEntry])) {
        return items;
    }
    const std::string prefix = m_entries[prefixEntry];
    std::optional<std::vector<std::string>> names = listFolders(skinFolder(m_folder, prefix));
    if (!names) {
        items.push_back(placeholder(msg::kNoSkinsFolder));
        return items;
    }
    for (const std::string& diskName : *names) {
        if (diskName.empty() || diskName.front() == '.') {
            continue;
        }
        std::string name = core::localeToCp932(diskName);
        SkinMenuItem item;
        item.command = nextCommand();
        if (name.front() == '@') {
            item.kind = SkinItemKind::Group;
            item.text = name.substr(1);
            item.groupEntry = m_entries.size();
            m_entries.push_back(prefix + name + "\\");
        } else {
            item.text = name;
            item.checked = prefix + name == skinInUse;
            m_entries.push_back(prefix + name);
        }
        items.push_back(std::move(item));
    }
    if (items.empty()) {
        items.push_back(placeholder(msg::kNoSkinFolders));
    }
    return items;
}

std::optional<std::string> SkinCatalog::skinForCommand(int command) const
{
    int index = command - kFirstSkinCommand;
    if (index < 0 || index >= kSkinCommandCount || static_cast<std::size_t>(index) >= m_entries.size()) {
        return std::nullopt;
    }
    const std::string& entry = m_entries[static_cast<std::size_t>(index)];
    // Placeholders are greyed and never chosen; a skin folder really named
    // "null" stays choosable.
    if (isGroupPrefix(entry)) {
        return std::nullopt;
    }
    return entry;
}

} // namespace zr5::ui
