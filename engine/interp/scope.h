// Variables of a running script: the global frame and a stack of call
// frames. Lookup sees only the innermost call frame and the globals.
#pragma once

#include "interp/value.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zr5::script {

class Scope final {
public:
    Scope();

    // A variable reference or `this` finds its name here first: the innermost
    // call frame's slot of that name; none when no call runs or the call has
    // not declared it. Otherwise it is global(name).
    const SlotPtr* local(std::string_view name) const;
    // The same for a name resolved to the innermost frame's slot `index`.
    const SlotPtr* localAt(std::size_t index) const
    {
        const SlotPtr& slot = m_frames[m_depth - 1].slots[index];
        return slot ? &slot : nullptr;
    }
    // For `var` outside every function body: the globals when no call is
    // running, else the innermost frame's slot of that name (the globals if
    // the frame has none).
    const SlotPtr& declare(std::string_view name);
    // For `var`, parameters and `this` in a function body: the innermost
    // frame's slot `index`, made now if the call has not declared it yet.
    // The reference stays valid until the frame is popped.
    const SlotPtr& declareAt(std::size_t index)
    {
        SlotPtr& slot = m_frames[m_depth - 1].slots[index];
        if (!slot) {
            slot = freshSlot();
        }
        return slot;
    }
    // Finds or creates the name in the globals.
    SlotPtr global(std::string_view name);

    // Changes whenever a global slot found earlier may no longer be this
    // scope's (another scope, or the globals emptied): callers that keep a
    // global slot keep this beside it. Unique across all scopes.
    std::uint64_t generation() const { return m_generation; }

    // What the last `return` evaluated, kept until its call takes it: nothing
    // is evaluated between the two, so one place serves every call depth.
    void setReturned(ValuePtr value) { m_returned = std::move(value); }
    ValuePtr takeReturned() { return std::move(m_returned); }

    // names: the called function's slot names (see NameResolver), kept by the
    // function for at least as long as the call.
    void pushCallFrame(const std::vector<std::string_view>& names);
    void popCallFrame();
    std::size_t frameCount() const { return m_depth; }

    // Empties every global: breaks reference cycles through them when the
    // interpreter goes away.
    void clearGlobals();

private:
    // Frames and their storage stay allocated for the next call at the same
    // depth.
    struct Frame {
        const std::vector<std::string_view>* names = nullptr;
        std::vector<SlotPtr> slots;
    };
    using Globals = std::map<std::string, SlotPtr, std::less<>>;

    static const SlotPtr& findOrCreate(Globals& globals, std::string_view name);
    SlotPtr freshSlot();
    void recycle(Frame& frame);

    std::vector<Frame> m_frames;
    std::size_t m_depth = 0;
    // Slots of ended calls that nothing else held, emptied, for the next calls.
    std::vector<SlotPtr> m_spareSlots;
    Globals m_globals;
    ValuePtr m_returned;
    std::uint64_t m_generation;
};

namespace detail {
extern Scope* g_currentScope;
Scope& fallbackScope();
} // namespace detail

// The scope that evaluation and parse-time definitions use (process-wide:
// the host serialises all calls into the engine).
inline Scope& currentScope()
{
    return detail::g_currentScope ? *detail::g_currentScope : detail::fallbackScope();
}
void setCurrentScope(Scope* scope);

// Stores value in slot unless that would make the slot reach itself through
// a chain of references; then the slot keeps what it holds.
void assignVariable(VariableSlot& slot, ValuePtr value);
inline void assignVariable(const SlotPtr& slot, ValuePtr value)
{
    assignVariable(*slot, std::move(value));
}

} // namespace zr5::script
