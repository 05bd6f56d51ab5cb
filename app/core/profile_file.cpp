#include "core/profile_file.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>

namespace zr5::core {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string fold(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

// "[name]" -> name; nullopt when the line is no section header.
std::optional<std::string_view> sectionName(std::string_view line)
{
    line = trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    std::size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return trim(line.substr(1, close - 1));
}

// Key of a "key=value" line (a line without '=' is a key without value, as
// the platform's own reader has it); empty for comments and blank lines.
std::string_view keyOf(std::string_view line)
{
    line = trim(line);
    if (line.empty() || line.front() == ';') {
        return {};
    }
    return trim(line.substr(0, line.find('=')));
}

std::string valueOf(std::string_view line)
{
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return {};
    }
    std::string_view value = trim(line.substr(equals + 1));
    value = value.substr(0, value.find('\0'));
    if (value.size() > 1 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, ProfileFile::kMaxValueBytes));
}

// A value the reader would trim or unquote is written inside one more pair of
// quotes, so that it reads back as it was.
std::string protectValue(std::string_view value)
{
    bool edges = !value.empty() && (isBlank(value.front()) || isBlank(value.back()));
    bool quoted = value.size() > 1 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front();
    if (edges || quoted) {
        const char quote = value.front() == '"' ? '\'' : '"';
        return quote + std::string(value) + quote;
    }
    return std::string(value);
}

std::string oneLine(std::string_view text)
{
    std::string result(text);
    std::replace_if(
        result.begin(), result.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return result;
}

bool isNumberedKey(std::string_view key)
{
    constexpr std::size_t kMin = ProfileFile::kNumberedKeyDigits;
    constexpr std::size_t kMax = ProfileFile::kMaxNumberedKeyDigits;
    if (key.size() < kMin || key.size() > kMax || (key.size() > kMin && key.front() == '0')) {
        return false;
    }
    return std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

ProfileFile ProfileFile::load(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return ProfileFile {};
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parse(bytes);
}

ProfileFile ProfileFile::parse(std::string_view bytes)
{
    ProfileFile file;
    std::size_t firstBreak = bytes.find('\n');
    if (firstBreak != std::string_view::npos && firstBreak > 0 && bytes[firstBreak - 1] == '\r') {
        file.m_lineEnd = "\r\n";
    }
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        file.addLine(std::string(line));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    }
    return file;
}

void ProfileFile::addLine(std::string raw)
{
    if (auto name = sectionName(raw)) {
        m_sectionIndex.try_emplace(fold(*name), m_sections.size());
        m_sections.push_back(Section { std::move(raw), {}, {} });
        return;
    }
    if (m_sections.empty()) {
        m_preamble.push_back(std::move(raw));
        return;
    }
    Section& section = m_sections.back();
    std::string key = fold(keyOf(raw));
    if (!key.empty()) {
        section.keyIndex.try_emplace(key, section.lines.size());
    }
    section.lines.push_back(Line { std::move(raw), std::move(key) });
}

const ProfileFile::Line* ProfileFile::findKey(std::string_view section, std::string_view key) const
{
    auto s = m_sectionIndex.find(fold(trim(section)));
    if (s == m_sectionIndex.end()) {
        return nullptr;
    }
    const Section& found = m_sections[s->second];
    auto k = found.keyIndex.find(fold(trim(key)));
    return k == found.keyIndex.end() ? nullptr : &found.lines[k->second];
}

std::optional<std::string> ProfileFile::value(std::string_view section, std::string_view key) const
{
    const Line* line = findKey(section, key);
    if (!line) {
        return std::nullopt;
    }
    return valueOf(line->raw);
}

std::string ProfileFile::readString(
    std::string_view section, std::string_view key, std::string_view fallback) const
{
    std::optional<std::string> found = value(section, key);
    return found ? *found : std::string(fallback.substr(0, kMaxValueBytes));
}

std::int32_t ProfileFile::readInt(std::string_view section, std::string_view key, std::int32_t fallback) const
{
    std::optional<std::string> found = value(section, key);
    if (!found || found->empty()) {
        return fallback;
    }
    std::string_view text = *found;
    bool negative = text.front() == '-';
    if (text.front() == '-' || text.front() == '+') {
        text.remove_prefix(1);
    }
    std::int64_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        number = std::min<std::int64_t>(number * 10 + (c - '0'), std::int64_t { 1 } << 32);
    }
    number = negative ? -number : number;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        number, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::string ProfileFile::numberedKey(std::int64_t n)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%0*lld", kNumberedKeyDigits, static_cast<long long>(n));
    return buffer;
}

std::vector<std::int64_t> ProfileFile::numberedKeys(std::string_view section) const
{
    std::vector<std::int64_t> numbers;
    auto s = m_sectionIndex.find(fold(trim(section)));
    if (s == m_sectionIndex.end()) {
        return numbers;
    }
    for (const auto& [key, index] : m_sections[s->second].keyIndex) {
        if (isNumberedKey(key)) {
            numbers.push_back(std::stoll(key));
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

ProfileFile::Section& ProfileFile::sectionFor(std::string_view section)
{
    std::string name = oneLine(trim(section));
    auto [found, added] = m_sectionIndex.try_emplace(fold(name), m_sections.size());
    if (added) {
        m_sections.push_back(Section { "[" + name + "]", {}, {} });
    }
    return m_sections[found->second];
}

void ProfileFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    Section& target = sectionFor(section);
    std::string name = oneLine(trim(key));
    std::string stored = protectValue(oneLine(value));
    std::string raw = name + "=" + stored;
    std::string folded = fold(name);
    if (auto found = target.keyIndex.find(folded); found != target.keyIndex.end()) {
        Line& line = target.lines[found->second];
        // Keep the key as the file spelled it.
        line.raw = std::string(keyOf(line.raw)) + "=" + stored;
        return;
    }
    // New keys go after the section's last non-blank line, so blank lines
    // separating it from the next section stay where they are.
    std::size_t at = target.lines.size();
    while (at > 0 && trim(target.lines[at - 1].raw).empty()) {
        --at;
    }
    for (auto& [other, index] : target.keyIndex) {
        if (index >= at) {
            ++index;
        }
    }
    target.lines.insert(target.lines.begin() + static_cast<std::ptrdiff_t>(at), Line { raw, folded });
    target.keyIndex.emplace(folded, at);
}

void ProfileFile::writeInt(std::string_view section, std::string_view key, std::int32_t value)
{
    writeString(section, key, std::to_string(value));
}

std::string ProfileFile::serialize() const
{
    std::string out;
    for (const std::string& line : m_preamble) {
        out += line + m_lineEnd;
    }
    for (const Section& section : m_sections) {
        out += section.header + m_lineEnd;
        for (const Line& line : section.lines) {
            out += line.raw + m_lineEnd;
        }
    }
    return out;
}

SaveResult ProfileFile::save(const std::filesystem::path& path) const
{
    return writeFileAtomically(path, serialize());
}

} // namespace zr5::core
