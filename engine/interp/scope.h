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
    // hint: where the caller found the name last time, checked first and
    // updated; frames of one function mostly declare in the same order.
    const SlotPtr* local(std::string_view name, std::size_t& hint) const;
    // For `var`, parameters and `this`: find or create in the innermost call
    // frame, or in the globals when no call is running. A call frame keeps the
    // name's view, so its text must outlive the call (pooled or static texts).
    // The reference stays valid until the next declaration in the frame.
    const SlotPtr& declare(std::string_view name);
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

    void pushCallFrame();
    void popCallFrame();
    std::size_t frameCount() const { return m_depth; }

    // Empties every global: breaks reference cycles through them when the
    // interpreter goes away.
    void clearGlobals();

private:
    struct Binding {
        std::string_view name;
        SlotPtr slot;
    };
    // A call has a handful of names, so a flat list beats a tree; frames and
    // their storage stay allocated for the next call at the same depth.
    using Frame = std::vector<Binding>;
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
