#include "kanji/kanji_options.h"

namespace zr5::script::kanji {

namespace {

void applyOption(std::string_view option, ConvertOptions& options)
{
    if (option == "-s") {
        options.output = OutputCode::ShiftJis;
    } else if (option == "-Lu") {
        options.lineEnd = LineEnd::Unix;
    }
}

} // namespace

ConvertOptions parseOptions(std::string_view text)
{
    ConvertOptions options;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto start = text.find_first_not_of(' ', pos);
        if (start == std::string_view::npos) {
            break;
        }
        auto end = text.find(' ', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        applyOption(text.substr(start, end - start), options);
        pos = end;
    }
    return options;
}

} // namespace zr5::script::kanji
