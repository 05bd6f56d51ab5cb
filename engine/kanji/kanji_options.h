// The part of nkf's option syntax that the engine uses.
#pragma once

#include <string_view>

namespace zr5::script::kanji {

enum class OutputCode { ShiftJis };
enum class LineEnd { Keep, Unix };

struct ConvertOptions final {
    OutputCode output = OutputCode::ShiftJis;
    LineEnd lineEnd = LineEnd::Keep;
};

// Reads space-separated options, each starting with '-'. Only "-s" (Shift_JIS
// output, also the default here) and "-Lu" (LF line ends, 0x1A dropped) have an
// effect; every other option is accepted and ignored.
ConvertOptions parseOptions(std::string_view text);

} // namespace zr5::script::kanji
