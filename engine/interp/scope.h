// Variables of a running script: the global frame and a stack of call
// frames. Lookup sees only the innermost call frame and the globals.
#pragma once

#include "interp/value.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zr5::script {

class Scope final {
public:
    using Frame = std::map<std::string, SlotPtr, std::less<>>;

    // For every variable reference and `this`: the innermost call frame, else
    // the globals, where a missing name is created empty.
    SlotPtr lookup(std::string_view name);
    // For `var`, parameters and `this`: find or create in the innermost call
    // frame, or in the globals when no call is running.
    SlotPtr declare(std::string_view name);
    SlotPtr global(std::string_view name);

    void pushCallFrame();
    void popCallFrame();
    std::size_t frameCount() const { return m_frames.size(); }

    // Empties every global: breaks reference cycles through them when the
    // interpreter goes away.
    void clearGlobals();

private:
    static SlotPtr findOrCreate(Frame& frame, std::string_view name);

    std::vector<Frame> m_frames;
    Frame m_globals;
};

// The scope that evaluation and parse-time definitions use (process-wide:
// the host serialises all calls into the engine).
Scope& currentScope();
void setCurrentScope(Scope* scope);

// Stores value in slot unless that would make the slot reach itself through
// a chain of references; then the slot keeps what it holds.
void assignVariable(const SlotPtr& slot, ValuePtr value);

} // namespace zr5::script
