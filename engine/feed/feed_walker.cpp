#include "feed/feed_walker.h"

#include "feed/html_entities.h"
#include "feed/libxml_session.h"
#include "feed/link_resolver.h"
#include "feed/title_text.h"
#include "feed/utf8_text.h"

#include <algorithm>
#include <array>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <optional>
#include <utility>
#include <vector>

namespace zr5::script::feed {

namespace {

// No headline needs more; a larger field is cut so a hostile feed cannot
// make one string hold the whole document.
constexpr std::size_t kMaxFieldBytes = 1 << 20;

constexpr int kParseOptions
    = XML_PARSE_RECOVER | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_IGNORE_ENC;

enum class Vocabulary { Feed, DublinCore, Other };

struct NamespaceVocabulary {
    std::string_view uri;
    Vocabulary vocabulary;
};

constexpr std::array kNamespaces {
    NamespaceVocabulary { "http://purl.org/rss/1.0/", Vocabulary::Feed },
    NamespaceVocabulary { "http://my.netscape.com/rdf/simple/0.9/", Vocabulary::Feed },
    NamespaceVocabulary { "http://backend.userland.com/rss2", Vocabulary::Feed },
    NamespaceVocabulary { "http://blogs.law.harvard.edu/tech/rss", Vocabulary::Feed },
    NamespaceVocabulary { "http://www.w3.org/2005/Atom", Vocabulary::Feed },
    NamespaceVocabulary { "http://purl.org/atom/ns#", Vocabulary::Feed },
    NamespaceVocabulary { "http://purl.org/dc/elements/1.1/", Vocabulary::DublinCore },
    NamespaceVocabulary { "http://purl.org/dc/terms/", Vocabulary::DublinCore },
};

struct ElementName {
    std::string_view local;
    Vocabulary vocabulary;
};

std::string_view text(const xmlChar* value)
{
    return value == nullptr ? std::string_view() : reinterpret_cast<const char*>(value);
}

// A prefix the feed never declared leaves no namespace; the usual prefixes
// are then taken at their word.
ElementName nameOf(const xmlChar* localName, const xmlChar* prefixName, const xmlChar* uriName)
{
    const std::string_view local = text(localName);
    const std::string_view uri = text(uriName);
    if (!uri.empty()) {
        const auto known = std::find_if(kNamespaces.begin(), kNamespaces.end(),
            [&](const NamespaceVocabulary& entry) { return entry.uri == uri; });
        return { local, known == kNamespaces.end() ? Vocabulary::Other : known->vocabulary };
    }
    const std::string_view prefix = text(prefixName);
    if (prefix == "dc" || prefix == "dcterms") {
        return { local, Vocabulary::DublinCore };
    }
    return { local, prefix.empty() || prefix == "atom" ? Vocabulary::Feed : Vocabulary::Other };
}

// Without entity substitution libxml2 hands attribute values over with
// "&amp;" and its like written as numeric references ("&#38;"): those are
// decoded here, and only those, so nothing is decoded twice.
std::string withCharacterReferences(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '&' && i + 1 < value.size() && value[i + 1] == '#') {
            if (const auto reference = readCharacterReference(value, i)) {
                appendUtf8(out, reference->codePoint);
                i += reference->length - 1;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

// The attributes of one start tag as SAX2 hands them over: five pointers
// each (local name, prefix, URI, value start, value end).
class Attributes final {
public:
    Attributes(const xmlChar** attributes, int count)
        : m_attributes(attributes)
        , m_count(count)
    {
    }

    std::optional<std::string> find(std::string_view local, std::string_view prefix = {}) const
    {
        for (int i = 0; i < m_count; ++i) {
            const xmlChar** attribute = m_attributes + 5 * i;
            if (text(attribute[0]) == local && text(attribute[1]) == prefix) {
                return withCharacterReferences(std::string_view(reinterpret_cast<const char*>(attribute[3]),
                    static_cast<std::size_t>(attribute[4] - attribute[3])));
            }
        }
        return std::nullopt;
    }

private:
    const xmlChar** m_attributes;
    int m_count;
};

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return (x | 0x20) == (y | 0x20); });
}

TitleMarkup markupOf(const Attributes& attributes)
{
    const std::string type = attributes.find("type").value_or("");
    return equalsIgnoringCase(type, "html") || equalsIgnoringCase(type, "text/html") ? TitleMarkup::Html
                                                                                     : TitleMarkup::Plain;
}

// Title and link candidates of the channel or of one item, in the order they
// are preferred.
struct Entry {
    int depth = -1;
    std::string title;
    std::string dcTitle;
    std::string link;
    std::string atomLink;
    std::string guidLink;

    bool open() const { return depth >= 0; }
    FeedItem chosen() const
    {
        return { title.empty() ? dcTitle : title,
            !link.empty() ? link : (!atomLink.empty() ? atomLink : guidLink) };
    }
};

enum class Field { Title, DcTitle, Link, Guid };

struct Capture {
    int depth = -1;
    Entry* entry = nullptr;
    Field field = Field::Title;
    TitleMarkup markup = TitleMarkup::Plain;
    std::string base;
    std::string text;
};

void keepFirst(std::string& slot, std::string value)
{
    if (slot.empty()) {
        slot = std::move(value);
    }
}

// Feed to libxml2 in pieces, so that a document's fault stops the walk
// no later than where it stands.
constexpr std::size_t kChunkBytes = 256 * 1024;

class FeedWalker final {
public:
    explicit FeedWalker(std::string_view url)
        : m_bases { { -1, std::string(url) } }
    {
    }

    void startElement(const ElementName& name, const Attributes& attributes)
    {
        if (m_rootClosed) {
            return;
        }
        const int depth = m_depth++;
        enterBase(attributes, depth);
        if (!m_feed.isFeed && !m_rootSeen) {
            m_rootSeen = true;
            startDocument(name, depth);
            return;
        }
        if (!m_feed.isFeed) {
            return;
        }
        const bool feedElement = name.vocabulary == Vocabulary::Feed;
        if (feedElement && (name.local == "item" || name.local == "entry")) {
            // An item inside an item is an unclosed tag before it: the first
            // item ends there.
            finishCapture();
            finishItem();
            m_item.depth = depth;
            return;
        }
        if (m_capture.depth >= 0) {
            return;
        }
        if (feedElement && name.local == "channel" && !m_channel.open() && !m_item.open()) {
            m_channel.depth = depth;
            return;
        }
        Entry* entry = m_item.open() ? &m_item : (channelOpen() ? &m_channel : nullptr);
        if (entry != nullptr && depth == entry->depth + 1) {
            startField(name, attributes, *entry, depth);
        }
    }

    void endElement()
    {
        if (m_rootClosed) {
            return;
        }
        const int depth = --m_depth;
        m_rootClosed = depth == 0;
        if (depth == m_capture.depth) {
            finishCapture();
        }
        if (depth == m_item.depth) {
            finishItem();
        }
        if (depth == m_channel.depth) {
            m_channelClosed = true;
        }
        if (m_bases.back().first == depth) {
            m_bases.pop_back();
        }
    }

    void addText(std::string_view value)
    {
        if (m_capture.depth < 0 || m_rootClosed) {
            return;
        }
        std::string& collected = m_capture.text;
        collected += cutAtCharacter(value, kMaxFieldBytes - std::min(kMaxFieldBytes, collected.size()));
    }

    // An entity the parser did not expand: HTML's names are the ones feeds
    // use, declared in a DTD that is never loaded.
    void addEntity(std::string_view name)
    {
        std::string reference(1, '&');
        reference.append(name);
        reference += ';';
        if (m_capture.depth >= 0 && readCharacterReference(reference, 0)) {
            addText(decodeHtmlEntitiesUtf8(reference));
        }
    }

    Feed finish()
    {
        finishCapture();
        finishItem();
        const FeedItem channel = m_channel.chosen();
        m_feed.title = channel.title;
        m_feed.link = channel.link;
        return std::move(m_feed);
    }

    // Nothing after the root element, nor anything of a document that is no
    // feed, is read.
    bool done() const { return m_rootClosed || (m_rootSeen && !m_feed.isFeed); }

private:
    bool channelOpen() const { return m_channel.open() && !m_channelClosed; }

    const std::string& base() const { return m_bases.back().second; }

    // xml:base is itself relative to the base around it.
    void enterBase(const Attributes& attributes, int depth)
    {
        if (const auto written = attributes.find("base", "xml")) {
            m_bases.emplace_back(depth, resolveLink(*written, base()));
        }
    }

    void startDocument(const ElementName& name, int depth)
    {
        const bool atom = name.local == "feed" && name.vocabulary == Vocabulary::Feed;
        m_feed.isFeed
            = atom || name.local == "RDF" || (name.local == "rss" && name.vocabulary == Vocabulary::Feed);
        if (atom) {
            m_channel.depth = depth;
        }
    }

    void startField(const ElementName& name, const Attributes& attributes, Entry& entry, int depth)
    {
        if (name.vocabulary == Vocabulary::DublinCore && name.local == "title") {
            beginCapture(entry, depth, Field::DcTitle);
        } else if (name.vocabulary != Vocabulary::Feed) {
            return;
        } else if (name.local == "title") {
            beginCapture(entry, depth, Field::Title);
            m_capture.markup = markupOf(attributes);
        } else if (name.local == "link") {
            startLink(attributes, entry, depth);
        } else if (name.local == "guid"
            && !equalsIgnoringCase(attributes.find("isPermaLink").value_or(""), "false")) {
            beginCapture(entry, depth, Field::Guid);
        }
    }

    // Atom links name their target in href; RSS links hold it as text.
    void startLink(const Attributes& attributes, Entry& entry, int depth)
    {
        const auto href = attributes.find("href");
        if (!href) {
            beginCapture(entry, depth, Field::Link);
            return;
        }
        if (entry.atomLink.empty() && isAlternateRelation(attributes.find("rel").value_or(""))) {
            entry.atomLink = resolveLink(*href, base());
        }
    }

    void beginCapture(Entry& entry, int depth, Field field)
    {
        m_capture = Capture { depth, &entry, field, TitleMarkup::Plain, base(), {} };
    }

    void finishCapture()
    {
        if (m_capture.depth < 0) {
            return;
        }
        Entry& entry = *m_capture.entry;
        switch (m_capture.field) {
        case Field::Title:
            keepFirst(entry.title, plainTitle(m_capture.text, m_capture.markup));
            break;
        case Field::DcTitle:
            keepFirst(entry.dcTitle, plainTitle(m_capture.text, m_capture.markup));
            break;
        case Field::Link:
            keepFirst(entry.link, resolveLink(m_capture.text, m_capture.base));
            break;
        case Field::Guid:
            keepFirst(entry.guidLink, resolveLink(m_capture.text, m_capture.base));
            break;
        }
        m_capture = Capture {};
    }

    void finishItem()
    {
        if (!m_item.open()) {
            return;
        }
        FeedItem item = m_item.chosen();
        if (!item.title.empty() || !item.link.empty()) {
            m_feed.items.push_back(std::move(item));
        }
        m_item = Entry {};
    }

    Feed m_feed;
    bool m_rootSeen = false;
    bool m_rootClosed = false;
    int m_depth = 0;
    std::vector<std::pair<int, std::string>> m_bases; // (depth of the element that set it, base)
    Entry m_channel;
    bool m_channelClosed = false;
    Entry m_item;
    Capture m_capture;
};

FeedWalker& walkerOf(void* context)
{
    return *static_cast<FeedWalker*>(context);
}

void onStartElement(void* context, const xmlChar* local, const xmlChar* prefix, const xmlChar* uri, int,
    const xmlChar**, int attributeCount, int, const xmlChar** attributes)
{
    walkerOf(context).startElement(nameOf(local, prefix, uri), Attributes(attributes, attributeCount));
}

void onEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*)
{
    walkerOf(context).endElement();
}

void onCharacters(void* context, const xmlChar* value, int length)
{
    walkerOf(context).addText(
        std::string_view(reinterpret_cast<const char*>(value), static_cast<std::size_t>(length)));
}

void onReference(void* context, const xmlChar* name)
{
    walkerOf(context).addEntity(text(name));
}

void dropError(void*, xmlErrorPtr)
{
}

xmlSAXHandler saxHandler()
{
    xmlSAXHandler handler {};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = onStartElement;
    handler.endElementNs = onEndElement;
    handler.characters = onCharacters;
    handler.cdataBlock = onCharacters;
    handler.reference = onReference;
    handler.serror = dropError;
    // No getEntity: every entity but the five predefined ones stays
    // undeclared, so none is ever expanded, not even to check it.
    return handler;
}

class PushParser final {
public:
    PushParser(xmlSAXHandler& handler, FeedWalker& walker, const std::string& url)
        : m_context(
            xmlCreatePushParserCtxt(&handler, &walker, nullptr, 0, url.empty() ? nullptr : url.c_str()))
    {
        if (m_context != nullptr) {
            xmlCtxtUseOptions(m_context, kParseOptions);
            // As if the document had parameter entities: an undeclared
            // entity is then reported (and &eacute; and its kin decoded)
            // instead of dropped as a fatal error.
            m_context->hasPErefs = 1;
        }
    }
    ~PushParser()
    {
        if (m_context != nullptr) {
            // libxml2's own handlers keep a document's DTD (and its entity
            // declarations) in a document of their making, which is ours to free.
            xmlFreeDoc(m_context->myDoc);
            xmlFreeParserCtxt(m_context);
        }
    }
    PushParser(const PushParser&) = delete;
    PushParser& operator=(const PushParser&) = delete;

    bool useEncoding(const std::string& name)
    {
        xmlCharEncodingHandlerPtr encoding = xmlFindCharEncodingHandler(name.c_str());
        return m_context != nullptr && encoding != nullptr && xmlSwitchToEncoding(m_context, encoding) == 0;
    }

    bool push(std::string_view chunk, bool last)
    {
        xmlParseChunk(m_context, chunk.data(), static_cast<int>(chunk.size()), last ? 1 : 0);
        return m_context->instate != XML_PARSER_EOF;
    }

private:
    xmlParserCtxtPtr m_context;
};

} // namespace

Feed walkFeedDocument(std::string_view bytes, std::string_view url, const std::string& encoding)
{
    prepareLibxml();
    const QuietErrors quiet;
    FeedWalker walker(url);
    xmlSAXHandler handler = saxHandler();
    PushParser parser(handler, walker, std::string(url));
    if (!parser.useEncoding(encoding)) {
        return {};
    }
    for (std::size_t pos = 0; pos < bytes.size() && !walker.done(); pos += kChunkBytes) {
        const std::string_view chunk = bytes.substr(pos, kChunkBytes);
        if (!parser.push(chunk, pos + chunk.size() >= bytes.size())) {
            break;
        }
    }
    return walker.finish();
}

} // namespace zr5::script::feed
