// Reading one character of an 8-bit encoding: its length and how unusual it
// is (for detection), or its Shift_JIS output (for conversion).
#pragma once

#include "kanji/encoding.h"
#include "kanji/sjis_tables.h"
#include "kanji/sjis_writer.h"

#include <cstddef>
#include <string_view>

namespace zr5::script::kanji {

// Penalty bits, compared as a number: the larger, the less likely the
// encoding. Error marks a broken rule.
enum Penalty : unsigned {
    kPenaltyNone = 0,
    kPenaltyLevel2 = 1,
    kPenaltyIbm = 2,
    kPenaltyKana = 4,
    kPenaltyNecSpecial = 8,
    kPenaltyUserDefined = 16,
    kPenaltyX0212 = 32,
    kPenaltyNecSelectedIbm = 64,
    kPenaltyCutOff = 128, // the text ends inside a character
    kPenaltyUnassigned = 256,
    kPenaltyError = 512,
};

struct CharScan {
    std::size_t length = 0; // 0: the bytes at the position break the rules
    unsigned penalty = kPenaltyNone;
    bool cutOff = false; // length 0 only because the text ends too early
};

// Scans the character at pos (pos < text.size()) as a detection candidate.
CharScan scanChar(Encoding encoding, std::string_view text, std::size_t pos, const SjisTables& tables);

// Converts the character at pos and returns its length, or 0 (nothing
// written) when the bytes there are not a character of the encoding.
std::size_t convertChar(
    Encoding encoding, std::string_view text, std::size_t pos, const SjisTables& tables, SjisWriter& writer);

} // namespace zr5::script::kanji
