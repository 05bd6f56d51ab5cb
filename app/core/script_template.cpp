#include "core/script_template.h"

#include <cstdio>

namespace zr5::core {
namespace templates {
// templates/*.zrs, compiled in; the site's address replaces kUrlMarker.
std::string_view rssSiteScript();
std::string_view noticeScript();
} // namespace templates

namespace {

constexpr std::string_view kUrlMarker = "%URL%";

// The news-script scanner reads a string literal with a looser pair rule than
// CP932's (LEADBYTE and TRAILBYTE in engine/lang/scanner.l): any of 0x80-0x9F
// and 0xE0-0xFF takes the next byte of 0x40 or above. The literal must read
// back as exactly the address, so it is written by the scanner's rule, not by
// the code page's.
bool isLiteralLeadByte(unsigned char c)
{
    return (c >= 0x80 && c <= 0x9F) || c >= 0xE0;
}
bool isLiteralTrailByte(unsigned char c)
{
    return c >= 0x40;
}

std::string hexEscape(unsigned char c)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\x%02x", c);
    return buffer;
}

} // namespace

std::string escapeStringLiteral(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (isLiteralLeadByte(c) && i + 1 < text.size()
            && isLiteralTrailByte(static_cast<unsigned char>(text[i + 1]))) {
            out += text.substr(i, 2);
            ++i;
        } else if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F || isLiteralLeadByte(c)) {
            out += hexEscape(c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string generateScript(ScriptTemplate kind, std::string_view url)
{
    const std::string_view text
        = kind == ScriptTemplate::RssSite ? templates::rssSiteScript() : templates::noticeScript();
    const std::size_t marker = text.find(kUrlMarker);
    std::string script(text.substr(0, marker));
    script += escapeStringLiteral(url);
    script += text.substr(marker + kUrlMarker.size());
    return script;
}

} // namespace zr5::core
