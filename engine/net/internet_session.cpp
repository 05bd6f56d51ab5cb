#include "net/internet_session.h"

#include "net/debug_output.h"
#include "net/local_host.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>

namespace zr5::script::net {

namespace {

constexpr const char* kUserAgent = "Zephyrant/2.00";
constexpr const char* kAllowedProtocols = "http,https,ftp";
constexpr long kDefaultConnectSeconds = 60;
constexpr long kDefaultStallSeconds = 60;
constexpr long kMaxConfiguredSeconds = 3600;

using Clock = std::chrono::steady_clock;

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct CurlTextDeleter {
    void operator()(char* text) const { curl_free(text); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;
using CurlText = std::unique_ptr<char, CurlTextDeleter>;

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

long secondsFromEnvironment(const char* name, long fallback)
{
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0')
        return fallback;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 1 || value > kMaxConfiguredSeconds)
        return fallback;
    return value;
}

struct ParsedUrl {
    std::string url;
    std::string host;
};

// curl would write a space in the query as "+", which only form decoders
// read back as a space.
std::string encodeSpaces(const std::string& text)
{
    std::string encoded;
    encoded.reserve(text.size());
    for (const char c : text) {
        if (c == ' ')
            encoded += "%20";
        else
            encoded += c;
    }
    return encoded;
}

// The URL with spaces and bytes outside ASCII percent-encoded, as a script
// may build URLs from page text; nothing when it has no allowed scheme.
std::optional<ParsedUrl> parseUrl(const std::string& text)
{
    const UrlHandle url(curl_url());
    if (!url)
        return std::nullopt;
    if (curl_url_set(url.get(), CURLUPART_URL, encodeSpaces(text).c_str(), CURLU_URLENCODE) != CURLUE_OK)
        return std::nullopt;
    char* raw = nullptr;
    if (curl_url_get(url.get(), CURLUPART_SCHEME, &raw, 0) != CURLUE_OK)
        return std::nullopt;
    const std::string scheme = CurlText(raw).get();
    if (scheme != "http" && scheme != "https" && scheme != "ftp")
        return std::nullopt;
    ParsedUrl parsed;
    if (curl_url_get(url.get(), CURLUPART_HOST, &raw, 0) != CURLUE_OK)
        return std::nullopt;
    parsed.host = CurlText(raw).get();
    if (curl_url_get(url.get(), CURLUPART_URL, &raw, 0) != CURLUE_OK)
        return std::nullopt;
    parsed.url = CurlText(raw).get();
    return parsed;
}

// Collects the document in the read-sized chunks the debug output reports.
class DocumentSink final {
public:
    // False once the size cap is reached; the excess is dropped.
    bool append(const char* data, std::size_t size)
    {
        const std::size_t room = InternetSession::kMaxDocumentBytes - m_body.size();
        const std::size_t taken = size < room ? size : room;
        m_body.append(data, taken);
        m_chunkFill += taken;
        while (m_chunkFill >= InternetSession::kReadChunkBytes) {
            reportChunk(InternetSession::kReadChunkBytes);
            m_chunkFill -= InternetSession::kReadChunkBytes;
        }
        return taken == size;
    }

    std::string finish()
    {
        if (m_chunkFill > 0)
            reportChunk(m_chunkFill);
        m_chunkFill = 0;
        return std::move(m_body);
    }

private:
    static void reportChunk(std::size_t bytes) { debugOutput(std::to_string(bytes) + "\n"); }

    std::string m_body;
    std::size_t m_chunkFill = 0;
};

// State of the request in flight, one per hop of a redirect chain.
struct Hop {
    CURL* easy = nullptr;
    long connectSeconds = 0;
    long stallSeconds = 0;
    DocumentSink* sink = nullptr;
    Clock::time_point lastByte;
    bool anyByte = false;
    bool isRedirect = false;
    bool checkedStatus = false;

    void begin(DocumentSink& target)
    {
        sink = &target;
        lastByte = Clock::now();
        anyByte = false;
        isRedirect = false;
        checkedStatus = false;
    }
};

std::optional<std::string> redirectTarget(CURL* easy)
{
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    char* location = nullptr;
    curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &location);
    if (status < 300 || status > 399 || status == 304 || location == nullptr)
        return std::nullopt;
    return std::string(location);
}

std::size_t onHeader(char*, std::size_t, std::size_t count, void* user)
{
    auto* hop = static_cast<Hop*>(user);
    hop->lastByte = Clock::now();
    hop->anyByte = true;
    return count;
}

std::size_t onBody(char* data, std::size_t, std::size_t count, void* user)
{
    auto* hop = static_cast<Hop*>(user);
    hop->lastByte = Clock::now();
    hop->anyByte = true;
    if (!hop->checkedStatus) {
        hop->checkedStatus = true;
        hop->isRedirect = redirectTarget(hop->easy).has_value();
    }
    // A redirect's own page is never wanted: stop reading it at once.
    if (hop->isRedirect)
        return 0;
    return hop->sink->append(data, count) ? count : 0;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* hop = static_cast<const Hop*>(user);
    const long allowed = hop->anyByte ? hop->stallSeconds : hop->connectSeconds + hop->stallSeconds;
    return Clock::now() - hop->lastByte > std::chrono::seconds(allowed) ? 1 : 0;
}

void setCommonOptions(CURL* easy, Hop& hop)
{
    curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, kAllowedProtocols);
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, kAllowedProtocols);
    // Redirects are followed here, hop by hop, so that "<local>" is decided
    // for every host of the chain.
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, hop.connectSeconds);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, static_cast<long>(InternetSession::kReadChunkBytes));
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &hop);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &hop);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &hop);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
}

void setProxyRoute(CURL* easy, const ConnectionConfig& config, const std::string& host)
{
    // Mode 0 leaves the proxy unset, so curl reads http_proxy, https_proxy,
    // ftp_proxy, all_proxy and no_proxy from the environment.
    if (config.proxyMode == 0)
        return;
    const bool direct = config.proxyMode == 1 || (config.bypassLocal && isLocalHost(host));
    if (direct) {
        // An empty proxy also overrides the environment's proxies.
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
        return;
    }
    const std::string proxy = config.proxyAddress + ":" + std::to_string(config.proxyPort);
    curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
    // A named proxy is used for every host; no_proxy from the environment
    // must not open a side door.
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
}

bool knownProxyMode(int mode)
{
    return mode == 0 || mode == 1 || mode == 2;
}

} // namespace

InternetSession::InternetSession() : InternetSession(ConnectionConfig{}) {}

InternetSession::InternetSession(const ConnectionConfig& config)
    : m_config(config),
      m_connectSeconds(secondsFromEnvironment("ZR5_NET_CONNECT_SECONDS", kDefaultConnectSeconds)),
      m_stallSeconds(secondsFromEnvironment("ZR5_NET_STALL_SECONDS", kDefaultStallSeconds))
{
    initCurlOnce();
}

std::string InternetSession::fetch(const std::string& url) const
{
    if (!knownProxyMode(m_config.proxyMode))
        return {};
    const EasyHandle easy(curl_easy_init());
    if (!easy)
        return {};
    Hop hop;
    hop.easy = easy.get();
    hop.connectSeconds = m_connectSeconds;
    hop.stallSeconds = m_stallSeconds;
    setCommonOptions(easy.get(), hop);

    std::string next = url;
    for (int redirects = 0; redirects <= kMaxRedirects; ++redirects) {
        const std::optional<ParsedUrl> parsed = parseUrl(next);
        if (!parsed)
            return {};
        DocumentSink sink;
        hop.begin(sink);
        curl_easy_setopt(easy.get(), CURLOPT_URL, parsed->url.c_str());
        setProxyRoute(easy.get(), m_config, parsed->host);
        // The result code is not needed: whatever arrived before a failure
        // is the document.
        curl_easy_perform(easy.get());
        const std::optional<std::string> target = redirectTarget(easy.get());
        if (!target)
            return sink.finish();
        next = *target;
    }
    return {};
}

} // namespace zr5::script::net
