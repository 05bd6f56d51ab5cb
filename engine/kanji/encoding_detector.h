// Automatic choice among EUC-JP, Shift_JIS and UTF-8 for 8-bit text.
#pragma once

#include "kanji/encoding.h"
#include "kanji/sjis_tables.h"

#include <cstddef>
#include <string_view>

namespace zr5::script::kanji {

class EncodingDetector final {
public:
    // How many bytes from the first 8-bit byte are examined before the choice
    // is made on penalties.
    static constexpr std::size_t kHoldBytes = 2048;

    explicit EncodingDetector(const SjisTables& tables)
        : m_tables(tables)
    {
    }

    // The encoding of the text from start on. A candidate drops out at the
    // first byte that breaks its rules; a character cut off by the end of the
    // text only adds a penalty. Of those still in after kHoldBytes bytes or at
    // the end, the one with the lowest penalty wins; when none is left, the one
    // that lasted longest. Ties go to the earlier candidate.
    Encoding detect(std::string_view text, std::size_t start) const;

private:
    const SjisTables& m_tables;
};

} // namespace zr5::script::kanji
