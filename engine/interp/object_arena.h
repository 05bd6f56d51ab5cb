// The objects one interpreter made, so that it can empty them all when it is
// destroyed and so free the cycles scripts build (o.self = o).
#pragma once

#include "interp/value.h"

namespace zr5::script {

class ObjectArena final {
public:
    ObjectArena() = default;
    ~ObjectArena() { releaseAll(); }
    ObjectArena(const ObjectArena&) = delete;
    ObjectArena& operator=(const ObjectArena&) = delete;

    void adopt(ObjectValue& object);
    void forget(ObjectValue& object);
    // Empties every object still alive; each is forgotten first, so objects
    // freed on the way unlink nothing twice.
    void releaseAll();
    bool empty() const { return m_head == nullptr; }

private:
    ObjectValue* m_head = nullptr;
};

// The arena new objects join (none outside a parse or run).
ObjectArena* currentArena();
void setCurrentArena(ObjectArena* arena);

} // namespace zr5::script
