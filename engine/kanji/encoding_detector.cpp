#include "kanji/encoding_detector.h"

#include "kanji/char_reader.h"

#include <algorithm>
#include <array>

namespace zr5::script::kanji {

namespace {

constexpr std::array<Encoding, kCandidateCount> kCandidates
    = { Encoding::EucJp, Encoding::ShiftJis, Encoding::Utf8 };

struct Trial {
    unsigned penalty = kPenaltyNone;
    bool broken = false;
    std::size_t brokenAt = 0;
};

std::size_t holdEnd(std::string_view text, std::size_t start)
{
    std::size_t first8Bit = start;
    while (first8Bit < text.size() && static_cast<unsigned char>(text[first8Bit]) < 0x80) {
        ++first8Bit;
    }
    return std::min(text.size(), first8Bit + EncodingDetector::kHoldBytes);
}

Trial tryCandidate(
    Encoding encoding, std::string_view text, std::size_t start, std::size_t end, const SjisTables& tables)
{
    Trial trial;
    std::size_t pos = start;
    while (pos < end) {
        const CharScan scan = scanChar(encoding, text, pos, tables);
        if (scan.cutOff) {
            trial.penalty |= kPenaltyCutOff;
            break;
        }
        if (scan.length == 0) {
            trial.broken = true;
            trial.brokenAt = pos;
            trial.penalty |= kPenaltyError;
            break;
        }
        trial.penalty |= scan.penalty;
        pos += scan.length;
    }
    return trial;
}

bool better(const Trial& a, const Trial& b)
{
    if (a.broken != b.broken) {
        return !a.broken;
    }
    if (a.broken && a.brokenAt != b.brokenAt) {
        return a.brokenAt > b.brokenAt;
    }
    return a.penalty < b.penalty;
}

} // namespace

Encoding EncodingDetector::detect(std::string_view text, std::size_t start) const
{
    const std::size_t end = holdEnd(text, start);
    std::size_t best = 0;
    Trial bestTrial = tryCandidate(kCandidates[0], text, start, end, m_tables);
    for (std::size_t i = 1; i < kCandidates.size(); ++i) {
        const Trial trial = tryCandidate(kCandidates[i], text, start, end, m_tables);
        if (better(trial, bestTrial)) {
            best = i;
            bestTrial = trial;
        }
    }
    return kCandidates[best];
}

} // namespace zr5::script::kanji
