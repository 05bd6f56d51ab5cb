// `layer name { ... }`: a sprite showing an image, driven by its body, which
// runs as a script over time. At load the body only yields its event handlers;
// the sprite's defaults are then written into the properties, so that the
// body's own assignments take effect when it runs.
#pragma once

#include "skin/runtime/skin_object.h"

#include <array>
#include <string_view>

namespace zr5::skin {

inline constexpr std::array<std::string_view, 10> kEventNames {
    "onClick",
    "onDblClick",
    "onMouseUp",
    "onMouseDown",
    "onMouseOver",
    "onMouseOut",
    "onNewsOn",
    "onNewsOff",
    "onMailOn",
    "onMailOff",
};

class LayerObject final : public SkinObject {
public:
    using SkinObject::SkinObject;
    char kind() const override { return 'l'; }
    void evaluate() override;

    // The handler body stored for an event, or null.
    const Node* eventHandler(std::size_t index) const
    {
        return index < m_events.size() ? m_events[index] : nullptr;
    }

protected:
    // Phase 1 runs nothing: statements wait for the script to run.
    void visitStatement(const Node& /*statement*/) override { }
    void visitEvent(const Node& event) override;

private:
    void writeSpriteDefaults();

    std::array<const Node*, kEventNames.size()> m_events {};
};

} // namespace zr5::skin
