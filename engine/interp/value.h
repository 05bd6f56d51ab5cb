// Run-time values of the news-script language.
//
// Every value is held by shared reference; the empty ValuePtr ("no value") is
// the universal absent result and every consumer accepts it. Operations never
// fail: an unsuitable kind answers false, 0, "" or no value.
#pragma once

#include "interp/run_limits.h"

#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zr5::script {

class Value;
class VariableSlot;
class Callable;
class ObjectValue;
class Properties;
class ObjectArena;

using ValuePtr = std::shared_ptr<Value>;
using SlotPtr = std::shared_ptr<VariableSlot>;
using ObjectPtr = std::shared_ptr<ObjectValue>;

// A variable: scopes, property maps and references share slots, so a slot
// lives as long as anything refers to it.
class VariableSlot final {
public:
    ValuePtr value;
};

inline void assign(const SlotPtr& slot, ValuePtr value)
{
    slot->value = std::move(value);
}

class Value {
public:
    virtual ~Value() = default;

    virtual bool isNull() const { return false; }
    virtual bool isBoolean() const { return false; }
    virtual bool isNumber() const { return false; }
    virtual bool isString() const { return false; }
    virtual bool isObject() const { return false; }
    virtual bool isFunction() const { return false; }
    virtual bool isReference() const { return false; }
    virtual bool isAttribute() const { return false; }
    virtual bool isReturn() const { return false; }
    virtual bool isBreak() const { return false; }
    virtual bool isContinue() const { return false; }

    virtual bool asBoolean() const { return false; }
    virtual double asNumber() const { return 0.0; }
    virtual std::string asString() const { return {}; }

    // The text of a string value (through references), without copying it;
    // null for every other kind. Lets built-ins walk large documents cheaply.
    virtual const std::string* stringRef() const { return nullptr; }

    virtual Callable* callable() { return nullptr; }
    virtual Properties* properties() { return nullptr; }
    virtual SlotPtr variableSlot() const { return {}; }
    virtual ValuePtr heldValue() const { return {}; }
    virtual ValuePtr thisObject() const { return {}; }
    virtual ValuePtr pairName() const { return {}; }
    virtual ValuePtr pairValue() const { return {}; }
};

// Members of an object, keyed by text in bytewise order. Numeric indexes are
// turned into text before they get here, so a[1] and a['1'] are one member.
// Each member is charged to the run's memory (see chargeValueBytes).
class Properties final {
public:
    using Map = std::map<std::string, SlotPtr, std::less<>>;

    Properties() = default;
    ~Properties() { releaseValueBytes(m_bytes); }
    Properties(const Properties&) = delete;
    Properties& operator=(const Properties&) = delete;

    SlotPtr find(std::string_view key) const;
    SlotPtr findOrCreate(std::string_view key);
    // Stores value under the current member count written as "%u".
    void append(ValuePtr value);
    std::size_t size() const { return m_members.size(); }
    const Map& members() const { return m_members; }
    // Hands every member over and leaves the map empty.
    Map takeMembers();

private:
    Map m_members;
    std::size_t m_bytes = 0;
};

// A member key for a position: the index written as "%u", without going
// through printf or the heap.
class IndexKey final {
public:
    explicit IndexKey(std::size_t index);
    std::string_view text() const { return { m_digits.data(), m_size }; }

private:
    std::array<char, 24> m_digits {};
    std::size_t m_size = 0;
};

// Anything callable: script functions and built-ins. `arguments` holds the
// argument values under "0", "1", ... exactly as they evaluated (a variable
// passed as an argument arrives as a reference to it); either it or `self`
// may be no value.
class Callable {
public:
    virtual ~Callable() = default;
    virtual void call(ValuePtr& result, const ObjectPtr& arguments, const ValuePtr& self) = 0;
    // What a script's call expression uses: the same values in order, so a
    // callee that needs no arguments object never has one built. The values
    // are handed over: the callee may move them out. This one builds the
    // object and calls call().
    virtual void callWith(ValuePtr& result, std::span<ValuePtr> arguments, const ValuePtr& self);
};

// The argument values of one call as they evaluate; the first few live
// inline, so a call of a short argument list touches no heap for them.
class ArgumentValues final {
public:
    void add(ValuePtr value);
    std::span<ValuePtr> values();

private:
    static constexpr std::size_t kInline = 4;

    std::array<ValuePtr, kInline> m_inline;
    std::vector<ValuePtr> m_spilled;
    std::size_t m_count = 0;
};

class NullValue final : public Value {
public:
    bool isNull() const override { return true; }
    std::string asString() const override { return "null"; }
};

class BooleanValue final : public Value {
public:
    explicit BooleanValue(bool flag)
        : m_flag(flag)
    {
    }
    bool isBoolean() const override { return true; }
    bool asBoolean() const override { return m_flag; }
    double asNumber() const override { return m_flag ? 1.0 : 0.0; }
    std::string asString() const override { return m_flag ? "true" : "false"; }

private:
    bool m_flag;
};

class NumberValue final : public Value {
public:
    explicit NumberValue(double value)
        : m_value(value)
    {
    }
    bool isNumber() const override { return true; }
    bool asBoolean() const override { return m_value != 0.0; } // NaN counts as true
    double asNumber() const override { return m_value; }
    std::string asString() const override;

    // Only for the holder of the one reference there is: nobody else can
    // tell this value changed rather than being replaced.
    void addUnshared(double delta) { m_value += delta; }

private:
    double m_value;
};

// Every text a script gets is at most kMaxTextBytes long and charged to the
// run's memory by its capacity; a longer one throws std::length_error.
class StringValue final : public Value {
public:
    explicit StringValue(std::string text);
    ~StringValue() override { releaseValueBytes(m_charged); }
    StringValue(const StringValue&) = delete;
    StringValue& operator=(const StringValue&) = delete;
    bool isString() const override { return true; }
    bool asBoolean() const override { return !m_text.empty(); }
    double asNumber() const override;
    std::string asString() const override { return m_text; }
    const std::string* stringRef() const override { return &m_text; }

    // Appends the tail's text, growing the storage geometrically and charging
    // only the growth. Only for the holder of the one reference there is
    // (see NumberValue::addUnshared); on a length or memory failure nothing
    // changes.
    void appendUnshared(const Value& tail);

private:
    std::string m_text;
    std::size_t m_charged = 0;
};

// Objects made while an interpreter is current belong to its arena, which
// empties them when the interpreter goes away: the language lets objects hold
// themselves, and those cycles would otherwise outlive their script.
class ObjectValue final : public Value {
public:
    ObjectValue();
    ~ObjectValue() override;
    ObjectValue(const ObjectValue&) = delete;
    ObjectValue& operator=(const ObjectValue&) = delete;

    bool isObject() const override { return true; }
    bool asBoolean() const override { return true; }
    std::string asString() const override { return "[object]"; }
    Properties* properties() override { return &m_members; }
    Properties& members() { return m_members; }

private:
    friend class ObjectArena;

    Properties m_members;
    ObjectArena* m_arena = nullptr;
    ObjectValue* m_previous = nullptr;
    ObjectValue* m_next = nullptr;
};

class FunctionValue final : public Value {
public:
    explicit FunctionValue(std::shared_ptr<Callable> callable)
        : m_callable(std::move(callable))
    {
    }
    bool isFunction() const override { return true; }
    bool asBoolean() const override { return true; }
    std::string asString() const override { return "[function]"; }
    Callable* callable() override { return m_callable.get(); }

private:
    std::shared_ptr<Callable> m_callable;
};

// A variable read: answers every test and conversion with the slot's current
// value (following chains of references), and false/0/"" when it is empty.
class VariableReference : public Value {
public:
    explicit VariableReference(SlotPtr slot)
        : m_slot(std::move(slot))
    {
    }

    bool isNull() const override;
    bool isBoolean() const override;
    bool isNumber() const override;
    bool isString() const override;
    bool isObject() const override;
    bool isFunction() const override;
    bool isReference() const override { return true; }
    bool asBoolean() const override;
    double asNumber() const override;
    std::string asString() const override;
    const std::string* stringRef() const override;
    Callable* callable() override;
    Properties* properties() override;
    SlotPtr variableSlot() const override { return m_slot; }
    ValuePtr heldValue() const override { return m_slot->value; }
    const SlotPtr& slot() const { return m_slot; }

    // The value at the end of the chain of references (not itself a
    // reference), or null when the chain ends in an empty slot or loops.
    const Value* target() const;

    static constexpr int kMaxReferenceChain = 10000;

private:
    SlotPtr m_slot;
};

// A member read: also remembers the object (or string) it was read from,
// which becomes `this` when the member is called.
class MemberReference final : public VariableReference {
public:
    MemberReference(SlotPtr slot, ValuePtr object)
        : VariableReference(std::move(slot))
        , m_object(std::move(object))
    {
    }
    ValuePtr thisObject() const override { return m_object; }

private:
    ValuePtr m_object;
};

// The signals carry nothing, so one of each serves every statement; the
// value a return hands back waits in the scope (Scope::setReturned).
class ReturnSignal final : public Value {
public:
    bool isReturn() const override { return true; }
};

class BreakSignal final : public Value {
public:
    bool isBreak() const override { return true; }
};

class ContinueSignal final : public Value {
public:
    bool isContinue() const override { return true; }
};

class AttributePair final : public Value {
public:
    AttributePair(ValuePtr name, ValuePtr value)
        : m_name(std::move(name))
        , m_value(std::move(value))
    {
    }
    bool isAttribute() const override { return true; }
    ValuePtr pairName() const override { return m_name; }
    ValuePtr pairValue() const override { return m_value; }

private:
    ValuePtr m_name;
    ValuePtr m_value;
};

// Number to text: printf "%.10g" with the exponent written with a sign and at
// least three digits (1e21 -> "1e+021").
std::string formatNumber(double value);
// Text to number: leading white space skipped, the longest decimal prefix
// read as strtod would; 0 when there is none ("12abc" -> 12, "0x1A" -> 0).
double parseNumber(std::string_view text);

// Shorthand constructors, each returning a shared reference. Null, the two
// booleans and small whole numbers are shared: values never change where
// more than one holder can see them, so sharing is invisible to scripts.
ValuePtr makeNull();
ValuePtr makeBoolean(bool flag);
ValuePtr makeNumber(double value);
inline ValuePtr makeString(std::string text)
{
    return std::make_shared<StringValue>(std::move(text));
}
inline ObjectPtr makeObject()
{
    return std::make_shared<ObjectValue>();
}
inline ValuePtr makeFunction(std::shared_ptr<Callable> callable)
{
    return std::make_shared<FunctionValue>(std::move(callable));
}

} // namespace zr5::script
