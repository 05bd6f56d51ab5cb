#include "skin/runtime/layer_object.h"

namespace zr5::skin {

void LayerObject::evaluate()
{
    SkinObject::evaluate();
    writeSpriteDefaults();
}

void LayerObject::visitEvent(const Node& event)
{
    for (std::size_t i = 0; i < kEventNames.size(); ++i) {
        if (kEventNames[i] == event.name()) {
            m_events[i] = event.body();
        }
    }
}

void LayerObject::writeSpriteDefaults()
{
    set("visibility", CVariant(true));
    for (const char* name : { "xpos", "ypos", "zpos", "ximage", "yimage" }) {
        set(name, CVariant(std::int32_t { 0 }));
    }
    set("width", CVariant(std::int32_t { 1024 }));
    set("height", CVariant(std::int32_t { 1024 }));
    set("alpha", CVariant(std::int32_t { 255 }));
    for (const char* name : { "xchange", "ychange", "wchange", "hchange" }) {
        set(name, CVariant(0.0));
    }
    set("debug", CVariant(false));
}

} // namespace zr5::skin
