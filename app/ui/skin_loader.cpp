#include "ui/skin_loader.h"

#include "core/text_codec.h"
#include "ui/message_box.h"
#include "ui/skin_catalog.h"
#include "ui/ui_messages.h"

namespace zr5::ui {

std::shared_ptr<skin::Skin> loadSkinNamed(
    QWidget* owner, const std::filesystem::path& skinsFolder, std::string_view name)
{
    if (name.empty()) {
        return nullptr;
    }
    skin::SkinLoadResult result = skin::Skin::load(skinFolder(skinsFolder, name));
    if (!result.skin) {
        showMessageBox(owner, result.error.caption, result.error.message);
    }
    return result.skin;
}

std::optional<NamedSkin> loadFallbackSkin(QWidget* owner, const std::filesystem::path& skinsFolder)
{
    std::optional<std::vector<std::string>> names = listFolders(skinsFolder);
    if (!names) {
        showMessageBox(owner, msg::kCaptionFolderError, msg::kNoSkinsFolder);
        return std::nullopt;
    }
    for (const std::string& diskName : *names) {
        if (diskName.empty() || diskName.front() == '@' || diskName.front() == '.') {
            continue;
        }
        std::string name = core::localeToCp932(diskName);
        if (auto skin = loadSkinNamed(owner, skinsFolder, name)) {
            return NamedSkin { std::move(name), std::move(skin) };
        }
        return std::nullopt;
    }
    showMessageBox(owner, msg::kCaptionFolderError, msg::kNoSkinFolders);
    return std::nullopt;
}

std::optional<NamedSkin> loadStartupSkin(
    QWidget* owner, const std::filesystem::path& skinsFolder, std::string_view configured)
{
    if (auto skin = loadSkinNamed(owner, skinsFolder, configured)) {
        return NamedSkin { std::string(configured), std::move(skin) };
    }
    return loadFallbackSkin(owner, skinsFolder);
}

} // namespace zr5::ui
