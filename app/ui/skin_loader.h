// Loading a skin by name with the boxes a failure shows, and the start-up
// fallback to the first usable skin folder.
#pragma once

#include "skin/runtime/skin.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace zr5::ui {

struct NamedSkin {
    std::string name; // Shift_JIS, relative to the skins folder
    std::shared_ptr<skin::Skin> skin;
};

// Null after showing the failure (nothing shown for an empty name).
std::shared_ptr<skin::Skin> loadSkinNamed(
    QWidget* owner, const std::filesystem::path& skinsFolder, std::string_view name);

// The first folder of the skins folder that is neither a group nor hidden,
// loaded; only that one is tried. Nothing after showing why.
std::optional<NamedSkin> loadFallbackSkin(QWidget* owner, const std::filesystem::path& skinsFolder);

// The skin configured, else the fallback.
std::optional<NamedSkin> loadStartupSkin(
    QWidget* owner, const std::filesystem::path& skinsFolder, std::string_view configured);

} // namespace zr5::ui
