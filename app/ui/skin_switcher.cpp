#include "ui/skin_switcher.h"

#include "ui/skin_loader.h"
#include "ui/window_rules.h"

#include <algorithm>

namespace zr5::ui {

SkinSwitcher::SkinSwitcher(TickerWindow& window, std::filesystem::path skinsFolder)
    : m_window(window)
    , m_skinsFolder(std::move(skinsFolder))
{
}

bool SkinSwitcher::loadAtStart(std::string_view configured, std::optional<QRect> savedRect)
{
    std::optional<NamedSkin> loaded = loadStartupSkin(nullptr, m_skinsFolder, configured);
    if (!loaded) {
        return false;
    }
    apply(std::move(*loaded), savedRect);
    return true;
}

bool SkinSwitcher::switchTo(const std::string& name)
{
    std::shared_ptr<skin::Skin> loaded = loadSkinNamed(&m_window, m_skinsFolder, name);
    if (!loaded) {
        return false;
    }
    apply(NamedSkin { name, std::move(loaded) }, std::nullopt);
    return true;
}

void SkinSwitcher::apply(NamedSkin loaded, std::optional<QRect> savedRect)
{
    m_skin = std::move(loaded.skin);
    m_name = std::move(loaded.name);
    const skin::WindowGeometry& geometry = m_skin->geometry();
    QSize size(std::max(1, geometry.designWidth), std::max(1, geometry.designHeight));
    m_window.setSkinRules(geometry, sizeLimits(*m_skin), sizeSteps(*m_skin));
    if (savedRect) {
        m_window.setGeometry(placeOnScreens(*savedRect, size));
    } else {
        m_window.resize(size);
    }
}

} // namespace zr5::ui
