#include "feed/link_resolver.h"

#include <libxml/uri.h>
#include <libxml/xmlmemory.h>

namespace zr5::script::feed {

namespace {

constexpr std::string_view kSpaces = " \t\r\n";

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kSpaces);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
}

bool needsEscape(unsigned char c)
{
    return c >= 0x80 || c <= 0x20 || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`'
        || c == '{' || c == '|' || c == '}';
}

// Feeds write spaces and raw non-ASCII into links; browsers escape them,
// and so does this, so that the URL grammar accepts the link.
std::string escaped(std::string_view link)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : link) {
        const auto byte = static_cast<unsigned char>(c);
        if (needsEscape(byte)) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

bool buildUri(const std::string& link, const std::string& base, std::string& out)
{
    xmlChar* built = xmlBuildURI(
        reinterpret_cast<const xmlChar*>(link.c_str()), reinterpret_cast<const xmlChar*>(base.c_str()));
    if (built == nullptr) {
        return false;
    }
    out = reinterpret_cast<const char*>(built);
    xmlFree(built);
    return true;
}

} // namespace

std::string resolveLink(std::string_view link, std::string_view base)
{
    const std::string written(trimmed(link));
    if (written.empty() || base.empty()) {
        return written;
    }
    const std::string baseText(base);
    std::string resolved;
    if (buildUri(written, baseText, resolved) || buildUri(escaped(written), escaped(baseText), resolved)) {
        return resolved;
    }
    return written;
}

bool isAlternateRelation(std::string_view rel)
{
    const std::string_view name = trimmed(rel);
    return name.empty() || name == "alternate"
        || name == "http://www.iana.org/assignments/relation/alternate";
}

} // namespace zr5::script::feed
