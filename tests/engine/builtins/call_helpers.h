// Calling built-ins from tests the way the evaluator does: arguments as an
// object with members "0", "1", ... and the receiver as the this value.
#pragma once

#include "builtins/builtins.h"
#include "interp/string_method_table.h"
#include "interp/value.h"

#include <initializer_list>
#include <map>
#include <string>

namespace zr5::script::testing {

inline ObjectPtr argumentsOf(std::initializer_list<ValuePtr> values)
{
    ObjectPtr arguments = makeObject();
    for (const ValuePtr& value : values) {
        arguments->members().append(value);
    }
    return arguments;
}

inline ValuePtr callFunction(
    const ValuePtr& function, const ValuePtr& self, std::initializer_list<ValuePtr> values)
{
    ValuePtr result;
    function->callable()->call(result, argumentsOf(values), self);
    return result;
}

// The globals registerBuiltins defines, by name.
inline std::map<std::string, ValuePtr> builtinGlobals()
{
    std::map<std::string, ValuePtr> globals;
    registerBuiltins(
        [&](std::string_view name, ValuePtr value) { globals[std::string(name)] = std::move(value); });
    return globals;
}

// Calls the string method name on receiver, as "receiver.name(values)".
inline ValuePtr callMethod(
    std::string_view name, const ValuePtr& receiver, std::initializer_list<ValuePtr> values = {})
{
    builtinGlobals();
    const SlotPtr slot = stringMethods().find(name);
    return slot ? callFunction(slot->value, receiver, values) : ValuePtr();
}

// An object built by "new Document()".
inline ObjectPtr newDocument()
{
    ObjectPtr document = makeObject();
    callFunction(builtinGlobals().at("Document"), document, {});
    return document;
}

// A member's current value, without creating it.
inline ValuePtr member(const ObjectPtr& object, std::string_view name)
{
    const SlotPtr slot = object->members().find(name);
    return slot ? slot->value : ValuePtr();
}

inline ValuePtr str(std::string text)
{
    return makeString(std::move(text));
}
inline ValuePtr num(double number)
{
    return makeNumber(number);
}

// The text of a result, or "<none>" for no value, so expectations read well.
inline std::string textOf(const ValuePtr& value)
{
    return value ? value->asString() : "<none>";
}

} // namespace zr5::script::testing
