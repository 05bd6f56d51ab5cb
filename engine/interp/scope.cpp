#include "interp/scope.h"

#include <cassert>

namespace zr5::script {

namespace {

Scope* g_currentScope = nullptr;

// A scope with no interpreter behind it, so evaluation outside a load or run
// (unit tests of single nodes) still has globals to work on.
Scope& fallbackScope()
{
    static Scope scope;
    return scope;
}

bool reachesSlot(const Value* value, const VariableSlot* slot)
{
    for (int steps = 0; value && value->isReference(); ++steps) {
        const SlotPtr next = value->variableSlot();
        if (next.get() == slot || steps == VariableReference::kMaxReferenceChain) {
            return true;
        }
        value = next->value.get();
    }
    return false;
}

} // namespace

SlotPtr Scope::findOrCreate(Frame& frame, std::string_view name)
{
    auto it = frame.find(name);
    if (it == frame.end()) {
        it = frame.emplace(std::string(name), std::make_shared<VariableSlot>()).first;
    }
    return it->second;
}

SlotPtr Scope::lookup(std::string_view name)
{
    if (!m_frames.empty()) {
        const auto it = m_frames.back().find(name);
        if (it != m_frames.back().end()) {
            return it->second;
        }
    }
    return findOrCreate(m_globals, name);
}

SlotPtr Scope::declare(std::string_view name)
{
    return findOrCreate(m_frames.empty() ? m_globals : m_frames.back(), name);
}

SlotPtr Scope::global(std::string_view name)
{
    return findOrCreate(m_globals, name);
}

void Scope::pushCallFrame()
{
    m_frames.emplace_back();
}

void Scope::popCallFrame()
{
    // Every frame is a call frame here, so popping to the last boundary is
    // popping one frame.
    assert(!m_frames.empty());
    m_frames.pop_back();
}

void Scope::clearGlobals()
{
    for (auto& [name, slot] : m_globals) {
        slot->value.reset();
    }
    m_globals.clear();
}

Scope& currentScope()
{
    return g_currentScope ? *g_currentScope : fallbackScope();
}

void setCurrentScope(Scope* scope)
{
    g_currentScope = scope;
}

void assignVariable(const SlotPtr& slot, ValuePtr value)
{
    if (reachesSlot(value.get(), slot.get())) {
        return;
    }
    assign(slot, std::move(value));
}

} // namespace zr5::script
