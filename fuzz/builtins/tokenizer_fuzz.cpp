// Arbitrary bytes as a document: walked with Document.get to the end, every
// tag read with getAttr, every piece taken apart with the string methods.
#include "builtins/builtins.h"
#include "call_helpers.h"
#include "interp/string_method_table.h"
#include "interp/value.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace {

using namespace zr5::script;

constexpr auto call = testing::callFunction;

ValuePtr method(const char* name)
{
    return stringMethods().find(name)->value;
}

void takeApart(const ValuePtr& piece, const ValuePtr& previous)
{
    for (const char* name : { "", "href", "HREF", "a", "title" }) {
        call(method("getAttr"), piece, { makeString(name) });
    }
    const double length = call(method("getLength"), piece, {})->asNumber();
    call(method("charAt"), piece, { makeNumber(length - 1) });
    call(method("substr"), piece, { makeNumber(length / 2), makeNumber(-1) });
    call(method("indexOf"), piece, { previous, makeNumber(1) });
    call(method("split"), piece, { previous, makeNumber(3) });
    call(method("split"), piece, { makeString("") });
    call(method("replace"), piece, { previous, piece });
    call(method("isTag"), piece, {});
    call(method("toNumber"), piece, {});
    call(method("toUpper"), piece, {});
    call(method("toLower"), piece, {});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ValuePtr constructor;
    registerBuiltins([&](std::string_view name, ValuePtr value) {
        if (name == "Document") {
            constructor = std::move(value);
        }
    });
    const ObjectPtr document = makeObject();
    call(constructor, document, {});
    assign(document->members().findOrCreate("src"),
        makeString(std::string(reinterpret_cast<const char*>(data), size)));
    assign(document->members().findOrCreate("index"), makeNumber(0));
    const ValuePtr get = document->members().find("get")->value;
    ValuePtr previous = makeString(",");
    // Every piece moves the position forward, so the walk ends within size
    // pieces; the bound only guards against a regression looping for ever.
    for (std::size_t pieces = 0; pieces <= size + 1; ++pieces) {
        const ValuePtr piece = call(get, document, {});
        if (!piece || !piece->asBoolean()) {
            break;
        }
        takeApart(piece, previous);
        previous = piece;
    }
    return 0;
}
