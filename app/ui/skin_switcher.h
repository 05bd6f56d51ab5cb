// The skin in use: loaded at start-up (with the fallback to the first usable
// folder), switched from the menu, and applied to the window, whose size
// rules and size come from the skin. A failed switch keeps the skin in use.
#pragma once

#include "skin/runtime/skin.h"
#include "ui/ticker_window.h"

#include <QRect>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zr5::ui {

struct NamedSkin;

class SkinSwitcher final {
public:
    // window must outlive this.
    SkinSwitcher(TickerWindow& window, std::filesystem::path skinsFolder);

    // The configured skin, else the fallback; placed at savedRect (brought
    // onto a screen) when there is one, else at the skin's size. Boxes on failure.
    bool loadAtStart(std::string_view configured, std::optional<QRect> savedRect);
    // Boxes on failure, when the skin in use stays.
    bool switchTo(const std::string& name);

    const std::shared_ptr<skin::Skin>& skin() const { return m_skin; }
    const std::string& name() const { return m_name; }

private:
    void apply(NamedSkin loaded, std::optional<QRect> savedRect);

    TickerWindow& m_window;
    std::filesystem::path m_skinsFolder;
    std::shared_ptr<skin::Skin> m_skin;
    std::string m_name;
};

} // namespace zr5::ui
