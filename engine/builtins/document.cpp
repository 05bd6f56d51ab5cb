// Every method reads the object it was called on; called on its own (no this
// object) each answers no value and touches nothing.
#include "builtins/document.h"

#include "builtins/builtin_args.h"
#include "builtins/markup_tokenizer.h"
#include "builtins/open_method.h"
#include "kanji/kanji_convert.h"

namespace zr5::script {

namespace {

constexpr std::string_view kSource = "src";
constexpr std::string_view kIndex = "index";
// Shift_JIS output, line feeds only.
constexpr std::string_view kConversionOptions = "-s -Lu";

ValuePtr memberValue(const Properties& members, std::string_view name)
{
    const SlotPtr slot = members.find(name);
    return slot ? slot->value : ValuePtr();
}

ValuePtr readIntoDocument(Properties& members, const std::string&, const net::FetchResult& fetched)
{
    if (fetched.body.empty()) {
        return makeBoolean(false);
    }
    assign(members.findOrCreate(kSource), makeString(kanji::kanjiConvert(fetched.body, kConversionOptions)));
    assign(members.findOrCreate(kIndex), makeNumber(0));
    return makeBoolean(true);
}

class GetMethod final : public Callable {
public:
    void call(ValuePtr& result, const ObjectPtr&, const ValuePtr& self) override
    {
        result = {};
        Properties* members = self ? self->properties() : nullptr;
        if (!members) {
            return;
        }
        const ValuePtr source = memberValue(*members, kSource);
        const ValuePtr index = memberValue(*members, kIndex);
        if (!source || !source->isString() || !index || !index->isNumber()) {
            return;
        }
        // The document is read in place: copying it per piece would make a
        // walk quadratic in its size.
        const TextOf text(*source);
        Piece piece = nextPiece(text.text(), toCount(index->asNumber()));
        assign(members->findOrCreate(kIndex), makeNumber(static_cast<double>(piece.next)));
        result = makeString(std::move(piece.text));
    }
};

class CloseMethod final : public Callable {
public:
    void call(ValuePtr& result, const ObjectPtr&, const ValuePtr& self) override
    {
        result = {};
        if (Properties* members = self ? self->properties() : nullptr) {
            assign(members->findOrCreate(kSource), {});
        }
    }
};

class DocumentConstructor final : public Callable {
public:
    void call(ValuePtr& result, const ObjectPtr&, const ValuePtr& self) override
    {
        result = {};
        Properties* members = self ? self->properties() : nullptr;
        if (!members) {
            return;
        }
        assign(members->findOrCreate("open"), makeOpenMethod(readIntoDocument));
        assign(members->findOrCreate("close"), makeFunction(std::make_shared<CloseMethod>()));
        assign(members->findOrCreate("get"), makeFunction(std::make_shared<GetMethod>()));
    }
};

} // namespace

ValuePtr makeDocumentConstructor()
{
    return makeFunction(std::make_shared<DocumentConstructor>());
}

} // namespace zr5::script
