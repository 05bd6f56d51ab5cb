// A Windows-style profile (INI) file in memory, read and written with the
// rules programs on that platform expect of such files:
// - sections "[name]" and keys "key=value" match without regard to ASCII case;
//   the first of several equal sections or keys wins;
// - keys and values are trimmed of spaces and tabs; a value enclosed in a
//   matching pair of ' or " loses the pair; a value is cut at 1023 bytes
//   (and at a zero byte);
// - lines starting with ';' are comments; lines before the first section and
//   lines that are neither sections nor keys are kept but never read;
// - CR LF and LF line ends both read; a save keeps the file's own line ends.
// Everything not written through this class (comments, other sections, keys
// of other programs, their spelling) is saved back unchanged.
#pragma once

#include "core/atomic_file.h"

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zr5::core {

class ProfileFile final {
public:
    static constexpr std::size_t kMaxValueBytes = 1023;

    // A missing or unreadable file gives an empty profile.
    static ProfileFile load(const std::filesystem::path& path);
    static ProfileFile parse(std::string_view bytes);

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string readString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // Empty or missing: fallback. Otherwise the leading decimal digits with an
    // optional sign, clamped to the 32-bit range; no digits at all gives 0
    // (so "abc" reads as 0, "12px" as 12, " -7 " as -7).
    std::int32_t readInt(std::string_view section, std::string_view key, std::int32_t fallback) const;
    // Numbered keys are n in decimal, zero-padded to at least kNumberedKeyDigits
    // digits; longer ones stop where every number still fits in 64 bits.
    static constexpr int kNumberedKeyDigits = 4;
    static constexpr int kMaxNumberedKeyDigits = std::numeric_limits<std::int64_t>::digits10;
    // The key of n (n >= 0).
    static std::string numberedKey(std::int64_t n);
    // Every n whose key exists in section, in ascending order.
    // Costs time in proportion to the keys present, whatever their numbers.
    std::vector<std::int64_t> numberedKeys(std::string_view section) const;

    // Replaces the first matching key's value in place, or adds the key at the
    // end of its section, or adds the section at the end of the file. Line
    // breaks inside key or value become spaces, so the file keeps its shape; a
    // value that reading would trim or unquote is quoted once more.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInt(std::string_view section, std::string_view key, std::int32_t value);

    std::string serialize() const;
    // Atomic: see writeFileAtomically().
    SaveResult save(const std::filesystem::path& path) const;

private:
    struct Line {
        std::string raw;
        std::string foldedKey; // empty for comments, blank lines and the like
    };
    struct Section {
        std::string header;
        std::vector<Line> lines;
        std::unordered_map<std::string, std::size_t> keyIndex; // first line of each key
    };

    void addLine(std::string raw);
    const Line* findKey(std::string_view section, std::string_view key) const;
    Section& sectionFor(std::string_view section);

    std::vector<std::string> m_preamble;
    std::vector<Section> m_sections;
    std::unordered_map<std::string, std::size_t> m_sectionIndex; // first section of each name
    std::string m_lineEnd = "\n";
};

} // namespace zr5::core
