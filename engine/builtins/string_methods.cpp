// Receivers are the this value's text; counting, searching and copying see
// it only up to its first zero byte, as C string routines would. Every
// method answers no value when called without a receiver.
#include "builtins/string_methods.h"

#include "builtins/builtin_args.h"
#include "builtins/markup_tokenizer.h"
#include "builtins/sjis_text.h"
#include "feed/feed_reader.h"
#include "interp/run_limits.h"
#include "interp/string_method_table.h"

#include <cstdint>
#include <string_view>

namespace zr5::script {

namespace {

// The this value, and its text borrowed or converted once.
struct Receiver {
    const Value& value;
    const std::string& text;
};

using MethodBody = ValuePtr (*)(const Receiver& receiver, const Arguments& arguments);

// One Callable class per method, sharing the receiver handling.
template <MethodBody Body> class StringMethod final : public Callable {
public:
    void call(ValuePtr& result, const ObjectPtr& arguments, const ValuePtr& self) override
    {
        result = {};
        if (!self) {
            return;
        }
        const TextOf text(*self);
        result = Body(Receiver { *self, text.text() }, Arguments(arguments));
    }
};

ValuePtr getLength(const Receiver& receiver, const Arguments&)
{
    return makeNumber(static_cast<double>(sjis::length(sjis::counted(receiver.text))));
}

ValuePtr charAt(const Receiver& receiver, const Arguments& arguments)
{
    if (!arguments.has(0)) {
        return {};
    }
    const std::string_view text = sjis::counted(receiver.text);
    const std::size_t pos = sjis::skip(text, arguments.count(0, 0));
    if (pos >= text.size()) {
        return makeString({});
    }
    return makeString(std::string(text.substr(pos, sjis::charSize(text, pos))));
}

ValuePtr substr(const Receiver& receiver, const Arguments& arguments)
{
    if (!arguments.has(0)) {
        return {};
    }
    const std::string_view text = sjis::counted(receiver.text);
    const std::string_view rest = text.substr(sjis::skip(text, arguments.count(0, 0)));
    const std::uint32_t wanted = arguments.count(1, UINT32_MAX);
    return makeString(std::string(rest.substr(0, sjis::skip(rest, wanted))));
}

ValuePtr indexOf(const Receiver& receiver, const Arguments& arguments)
{
    if (!arguments.has(0)) {
        return {};
    }
    const std::string_view text = sjis::counted(receiver.text);
    const std::string search = arguments.text(0);
    const std::size_t from = sjis::skip(text, arguments.count(1, 0));
    const sjis::Match match = sjis::find(text, from, sjis::counted(search));
    return makeNumber(match.offset == std::string_view::npos ? -1.0 : static_cast<double>(match.characters));
}

// An empty separator would match without moving on; it splits the text into
// its characters instead, so "abc".split("") gives "a", "b", "c".
std::size_t splitAt(std::string_view rest, std::string_view separator, std::size_t& after)
{
    if (separator.empty()) {
        after = rest.empty() ? 0 : sjis::charSize(rest, 0);
        return rest.empty() || after == rest.size() ? std::string_view::npos : after;
    }
    const std::size_t at = sjis::find(rest, 0, separator).offset;
    after = at + separator.size();
    return at;
}

ValuePtr split(const Receiver& receiver, const Arguments& arguments)
{
    if (!arguments.has(0)) {
        return {};
    }
    const std::string separatorText = arguments.text(0);
    const std::string_view separator = sjis::counted(separatorText);
    std::string_view rest = sjis::counted(receiver.text);
    std::uint32_t limit = arguments.count(1, 0);
    const ObjectPtr pieces = makeObject();
    for (;;) {
        std::size_t after = 0;
        const std::size_t at = splitAt(rest, separator, after);
        if (at == std::string_view::npos) {
            pieces->members().append(makeString(std::string(rest)));
            break;
        }
        pieces->members().append(makeString(std::string(rest.substr(0, at))));
        rest.remove_prefix(after);
        if (limit-- == 1) {
            break;
        }
    }
    const double count = static_cast<double>(pieces->members().size());
    assign(pieces->members().findOrCreate("length"), makeNumber(count));
    return pieces;
}

ValuePtr replace(const Receiver& receiver, const Arguments& arguments)
{
    if (!arguments.has(0) || !arguments.has(1)) {
        return {};
    }
    const std::string search = arguments.text(0);
    const std::string_view needle = sjis::counted(search);
    const sjis::Match match = sjis::find(sjis::counted(receiver.text), 0, needle);
    if (match.offset == std::string_view::npos) {
        return makeString(receiver.text);
    }
    const std::string replacement = arguments.text(1);
    // Checked before the copy: two long texts must not make one too long to hold.
    checkTextLength(receiver.text.size() - needle.size() + replacement.size());
    std::string result = receiver.text;
    result.replace(match.offset, needle.size(), replacement);
    return makeString(std::move(result));
}

ValuePtr isTag(const Receiver& receiver, const Arguments&)
{
    return makeBoolean(!receiver.text.empty() && receiver.text.front() == '<' && receiver.text.back() == '>');
}

ValuePtr getAttr(const Receiver& receiver, const Arguments& arguments)
{
    if (!arguments.has(0)) {
        return {};
    }
    return makeString(tagAttribute(receiver.text, arguments.text(0)));
}

ValuePtr toNumber(const Receiver& receiver, const Arguments&)
{
    return makeNumber(receiver.value.asNumber());
}

ValuePtr toUpper(const Receiver& receiver, const Arguments&)
{
    return makeString(sjis::changeCase(sjis::counted(receiver.text), sjis::LetterCase::Upper));
}

ValuePtr toLower(const Receiver& receiver, const Arguments&)
{
    return makeString(sjis::changeCase(sjis::counted(receiver.text), sjis::LetterCase::Lower));
}

// No length check: the shortest reference ("&lt;") is longer than the two
// bytes any character decodes to.
ValuePtr decodeEntities(const Receiver& receiver, const Arguments&)
{
    return makeString(feed::decodeHtmlEntities(sjis::counted(receiver.text)));
}

template <MethodBody Body> ValuePtr makeMethod()
{
    return makeFunction(std::make_shared<StringMethod<Body>>());
}

struct MethodEntry {
    std::string_view name;
    ValuePtr (*make)();
};

constexpr MethodEntry kStringMethods[] = {
    { "getLength", makeMethod<getLength> },
    { "charAt", makeMethod<charAt> },
    { "substr", makeMethod<substr> },
    { "indexOf", makeMethod<indexOf> },
    { "split", makeMethod<split> },
    { "replace", makeMethod<replace> },
    { "isTag", makeMethod<isTag> },
    { "getAttr", makeMethod<getAttr> },
    { "toNumber", makeMethod<toNumber> },
    { "toUpper", makeMethod<toUpper> },
    { "toLower", makeMethod<toLower> },
    { "decodeEntities", makeMethod<decodeEntities> },
};

} // namespace

void registerStringMethods()
{
    for (const MethodEntry& entry : kStringMethods) {
        stringMethods().set(entry.name, entry.make());
    }
}

} // namespace zr5::script
