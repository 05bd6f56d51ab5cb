#include "interp/scope.h"

#include <atomic>
#include <cassert>

namespace zr5::script {

namespace {

// Enough for the frames of a deep recursion to come back without allocating.
constexpr std::size_t kMaxSpareSlots = 1024;

std::uint64_t nextGeneration()
{
    // Engine instances may be made on any thread.
    static std::atomic<std::uint64_t> last { 0 };
    return last.fetch_add(1, std::memory_order_relaxed) + 1;
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

namespace detail {
Scope* g_currentScope = nullptr;

// A scope with no interpreter behind it, so evaluation outside a load or run
// (unit tests of single nodes) still has globals to work on.
Scope& fallbackScope()
{
    static Scope scope;
    return scope;
}
} // namespace detail

Scope::Scope()
    : m_generation(nextGeneration())
{
}

const SlotPtr& Scope::findOrCreate(Globals& globals, std::string_view name)
{
    auto it = globals.find(name);
    if (it == globals.end()) {
        it = globals.emplace(std::string(name), std::make_shared<VariableSlot>()).first;
    }
    return it->second;
}

const SlotPtr* Scope::local(std::string_view name) const
{
    if (m_depth == 0) {
        return nullptr;
    }
    const Frame& frame = m_frames[m_depth - 1];
    for (std::size_t i = 0; i < frame.names->size(); ++i) {
        if ((*frame.names)[i] == name) {
            return localAt(i);
        }
    }
    return nullptr;
}

const SlotPtr& Scope::declare(std::string_view name)
{
    if (m_depth > 0) {
        const Frame& frame = m_frames[m_depth - 1];
        for (std::size_t i = 0; i < frame.names->size(); ++i) {
            if ((*frame.names)[i] == name) {
                return declareAt(i);
            }
        }
    }
    return findOrCreate(m_globals, name);
}

SlotPtr Scope::global(std::string_view name)
{
    return findOrCreate(m_globals, name);
}

SlotPtr Scope::freshSlot()
{
    if (m_spareSlots.empty()) {
        return std::make_shared<VariableSlot>();
    }
    SlotPtr slot = std::move(m_spareSlots.back());
    m_spareSlots.pop_back();
    return slot;
}

void Scope::recycle(Frame& frame)
{
    for (SlotPtr& slot : frame.slots) {
        // A slot something still refers to (a returned reference, a value
        // holding one) lives on as it is; only unshared ones are reused.
        if (slot && slot.use_count() == 1 && m_spareSlots.size() < kMaxSpareSlots) {
            slot->value.reset();
            m_spareSlots.push_back(std::move(slot));
        }
        slot.reset();
    }
}

void Scope::pushCallFrame(const std::vector<std::string_view>& names)
{
    if (m_depth == m_frames.size()) {
        m_frames.emplace_back();
    }
    Frame& frame = m_frames[m_depth];
    frame.names = &names;
    // Every slot is empty here: recycle() leaves them so.
    frame.slots.resize(names.size());
    ++m_depth;
}

void Scope::popCallFrame()
{
    // Every frame is a call frame here, so popping to the last boundary is
    // popping one frame.
    assert(m_depth > 0);
    recycle(m_frames[--m_depth]);
}

void Scope::clearGlobals()
{
    for (auto& [name, slot] : m_globals) {
        slot->value.reset();
    }
    m_globals.clear();
    m_returned.reset();
    m_generation = nextGeneration();
}

void setCurrentScope(Scope* scope)
{
    detail::g_currentScope = scope;
}

void assignVariable(VariableSlot& slot, ValuePtr value)
{
    if (reachesSlot(value.get(), &slot)) {
        return;
    }
    slot.value = std::move(value);
}

} // namespace zr5::script
