#include "core/opml.h"

#include "core/text_codec.h"
#include "sjis_bytes.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <memory>
#include <unordered_set>

namespace zr5::core {
namespace {

// 〓, the customary stand-in for a character Shift_JIS cannot show.
constexpr std::string_view kGetaMark = "\x81\xac";

// Recovering, so a hand-edited file still gives what it can; no NOENT, DTDLOAD
// or XINCLUDE, so entities stay references and nothing outside is read.
constexpr int kParseOptions = XML_PARSE_RECOVER | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

struct DocumentDeleter {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
using Document = std::unique_ptr<xmlDoc, DocumentDeleter>;

// Files that declare Shift_JIS are written by Windows programs, in CP932: its
// extra characters (髙, ①, Ⅱ) would stop a strict Shift_JIS decoder.
const char* decoderFor(std::string_view bytes)
{
    std::string_view head = bytes.substr(0, std::min<std::size_t>(bytes.size(), 200));
    if (!head.starts_with("<?xml")) {
        return nullptr;
    }
    head = head.substr(0, head.find("?>"));
    std::size_t key = head.find("encoding");
    std::size_t open = head.find_first_of("\"'", key);
    if (key == std::string_view::npos || open == std::string_view::npos) {
        return nullptr;
    }
    std::size_t close = head.find(head[open], open + 1);
    std::string name(head.substr(open + 1, close == std::string_view::npos ? 0 : close - open - 1));
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    for (std::string_view alias : { "shift_jis", "shift-jis", "sjis", "x-sjis", "ms_kanji", "csshiftjis" }) {
        if (name == alias) {
            return "CP932";
        }
    }
    return nullptr;
}

// libxml2 reports encoding trouble straight to standard error whatever the
// parse options say; a user's broken file is not the program's error. The
// handler is per thread.
class QuietErrors final {
public:
    QuietErrors()
        : m_handler(xmlGenericError)
        , m_context(xmlGenericErrorContext)
    {
        xmlSetGenericErrorFunc(nullptr, ignore);
    }
    ~QuietErrors() { xmlSetGenericErrorFunc(m_context, m_handler); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    static void ignore(void*, const char*, ...) { }

    xmlGenericErrorFunc m_handler;
    void* m_context;
};

enum class Unencodable { GetaMark, PercentEncoded };

std::size_t utf8Length(unsigned char lead)
{
    if (lead < 0xc0) {
        return 1;
    }
    return lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
}

// Counted the way toShiftJis steps, so stray bytes (a recovered file may
// have them) count as characters too.
std::size_t utf8Characters(std::string_view text)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        i += utf8Length(static_cast<unsigned char>(text[i]));
    }
    return characters;
}

std::size_t cp932Characters(std::string_view text)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        i += sjis::charSize(text, i);
    }
    return characters;
}

void percentEncode(std::string_view bytes, std::string& out)
{
    constexpr std::string_view kHex = "0123456789ABCDEF";
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        out += '%';
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0f];
    }
}

// The codec drops what Shift_JIS lacks; a name or URL must keep a trace of it.
std::string toShiftJis(std::string_view utf8, Unencodable how)
{
    std::string whole = utf8ToCp932(utf8);
    if (cp932Characters(whole) == utf8Characters(utf8)) {
        return whole;
    }
    std::string result;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t length = std::min(utf8Length(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        std::string_view character = utf8.substr(i, length);
        bool ascii = static_cast<unsigned char>(character.front()) < 0x80;
        std::string converted = ascii ? std::string(character) : utf8ToCp932(character);
        if (!converted.empty()) {
            result += converted;
        } else if (how == Unencodable::GetaMark) {
            result += kGetaMark;
        } else {
            percentEncode(character, result);
        }
        i += length;
    }
    return result;
}

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Titles are one line on the ticker and in zr5.ini.
std::string collapseSpaces(std::string_view text)
{
    std::string result;
    bool pendingSpace = false;
    for (char c : text) {
        if (isXmlSpace(c)) {
            pendingSpace = !result.empty();
            continue;
        }
        if (pendingSpace) {
            result += ' ';
            pendingSpace = false;
        }
        result += c;
    }
    return result;
}

std::string trimmed(std::string_view text)
{
    auto first = std::find_if_not(text.begin(), text.end(), isXmlSpace);
    auto last = std::find_if_not(text.rbegin(), text.rend(), isXmlSpace).base();
    return first < last ? std::string(first, last) : std::string();
}

bool named(const xmlChar* name, const char* expected)
{
    return name && xmlStrcasecmp(name, reinterpret_cast<const xmlChar*>(expected)) == 0;
}

// Only the literal text of the value: an entity reference in it is left out,
// since expanding it is how a few bytes of file become gigabytes.
std::string attribute(const xmlNode& element, const char* name)
{
    for (const xmlAttr* property = element.properties; property; property = property->next) {
        if (!named(property->name, name)) {
            continue;
        }
        std::string value;
        for (const xmlNode* part = property->children; part; part = part->next) {
            if (part->type == XML_TEXT_NODE && part->content) {
                value += reinterpret_cast<const char*>(part->content);
            }
        }
        return value;
    }
    return {};
}

// Document order without recursion (folders may nest deeply), never into an
// entity reference's content.
const xmlNode* nextNode(const xmlNode* node, const xmlNode* root)
{
    if (node->type == XML_ELEMENT_NODE && node->children) {
        return node->children;
    }
    for (; node != root; node = node->parent) {
        if (node->next) {
            return node->next;
        }
    }
    return nullptr;
}

std::optional<OpmlSite> siteOf(const xmlNode& outline)
{
    std::string url = trimmed(attribute(outline, "xmlUrl"));
    if (url.empty()) {
        return std::nullopt;
    }
    std::string name = collapseSpaces(attribute(outline, "title"));
    if (name.empty()) {
        name = collapseSpaces(attribute(outline, "text"));
    }
    if (name.empty()) {
        name = url;
    }
    return OpmlSite { toShiftJis(name, Unencodable::GetaMark), toShiftJis(url, Unencodable::PercentEncoded) };
}

void appendEscaped(std::string& out, std::string_view utf8)
{
    for (char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\t':
            out += "&#9;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\r':
            out += "&#13;";
            break;
        default:
            // XML 1.0 has no way at all to carry the other control characters.
            if (static_cast<unsigned char>(c) >= 0x20) {
                out += c;
            }
        }
    }
}

} // namespace

std::optional<std::vector<OpmlSite>> readOpml(std::string_view bytes)
{
    if (bytes.size() > kMaxOpmlBytes || bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    xmlInitParser();
    QuietErrors quiet;
    Document document(xmlReadMemory(
        bytes.data(), static_cast<int>(bytes.size()), nullptr, decoderFor(bytes), kParseOptions));
    const xmlNode* root = document ? xmlDocGetRootElement(document.get()) : nullptr;
    if (!root || !named(root->name, "opml")) {
        return std::nullopt;
    }
    std::vector<OpmlSite> sites;
    std::unordered_set<std::string> seen;
    for (const xmlNode* node = root; node; node = nextNode(node, root)) {
        if (node->type != XML_ELEMENT_NODE || !named(node->name, "outline")) {
            continue;
        }
        if (std::optional<OpmlSite> site = siteOf(*node); site && seen.insert(site->url).second) {
            sites.push_back(std::move(*site));
        }
    }
    return sites;
}

std::string writeOpml(const std::vector<OpmlSite>& sites, std::string_view title)
{
    std::string out
        = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\">\n  <head>\n    <title>";
    appendEscaped(out, cp932ToUtf8(title));
    out += "</title>\n  </head>\n  <body>\n";
    for (const OpmlSite& site : sites) {
        std::string name = cp932ToUtf8(site.name);
        out += "    <outline type=\"rss\" text=\"";
        appendEscaped(out, name);
        out += "\" title=\"";
        appendEscaped(out, name);
        out += "\" xmlUrl=\"";
        appendEscaped(out, cp932ToUtf8(site.url));
        out += "\"/>\n";
    }
    out += "  </body>\n</opml>\n";
    return out;
}

} // namespace zr5::core
