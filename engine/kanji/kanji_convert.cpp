#include "kanji/kanji_convert.h"

#include "kanji/encoding.h"
#include "kanji/kanji_options.h"
#include "kanji/sjis_tables.h"
#include "kanji/sjis_writer.h"
#include "kanji/text_converter.h"

namespace zr5::script::kanji {

namespace {

// Zero bytes are part of UTF-16 characters; elsewhere the first one ends the
// text for the engine's C-string callers.
std::string_view convertedPart(std::string_view input)
{
    return utf16ByteOrder(input) ? input : input.substr(0, input.find('\0'));
}

} // namespace

// Options: see parseOptions (only "-s" and "-Lu" have an effect). The output
// is always Shift_JIS.
std::string kanjiConvert(std::string_view input, std::string_view options)
{
    const ConvertOptions parsed = parseOptions(options);
    const std::string_view text = convertedPart(input);
    std::string out;
    out.reserve(text.size() + 32);
    SjisWriter writer(out, parsed.lineEnd);
    TextConverter converter(text, SjisTables::instance(), writer);
    converter.convertDetected();
    writer.finish();
    return out;
}

} // namespace zr5::script::kanji
