// `layer name { ... }`: a sprite showing an image, driven by its body, which
// runs as a script over time. At load the body only yields its event handlers;
// the sprite's defaults are then written into the properties, so that the
// body's own assignments take effect when it runs.
//
// The script runs on an explicit stack of (node, walk state) entries, one entry
// per step(), so that `wait` can suspend it between any two statements and an
// event handler can run on top of whatever it interrupted.
#pragma once

#include "skin/runtime/skin_object.h"

#include <array>
#include <string_view>
#include <vector>

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

    void step() override;
    void startEvent(int index) override;
    // The script ran out of statements (`@end`); an event starts it again.
    bool ended() const { return get("@end").toNumber() != 0.0; }
    bool running() const { return m_running; }

    // Image names read as the image's key, so `image = bg;` names image bg.
    CVariant nameValue(const std::string& name) const override;

protected:
    // The properties phase runs nothing: statements wait for the script to run.
    void visitStatement(const Node& /*statement*/) override { }
    void visitEvent(const Node& event) override;

private:
    struct Entry {
        const Node* node;
        WalkState state;
    };

    void visit(Entry& entry);
    void visitSequence(Entry& entry);
    void stepLoop(Entry& entry);
    void runStatement(const Node& statement);
    void writeSpriteDefaults();

    std::array<const Node*, kEventNames.size()> m_events {};
    std::vector<Entry> m_stack;
    bool m_running = false;
};

} // namespace zr5::skin
