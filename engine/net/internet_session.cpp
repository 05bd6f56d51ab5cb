#include "net/internet_session.h"

#include "lang/messages.h"
#include "net/debug_output.h"
#include "net/local_host.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <curl/curl.h>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>

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
        m_cut = m_cut || taken != size;
        return taken == size;
    }

    bool cut() const { return m_cut; }

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
    bool m_cut = false;
};

// Why the progress callback ended a transfer.
enum class Abort { None, Stall, Deadline, Cancel };

// State of the request in flight, one per hop of a redirect chain.
struct Hop {
    CURL* easy = nullptr;
    long connectSeconds = 0;
    long stallSeconds = 0;
    const FetchControl* control = nullptr;
    std::optional<Clock::time_point> deadline;
    DocumentSink* sink = nullptr;
    Clock::time_point lastByte;
    bool anyByte = false;
    bool isRedirect = false;
    bool checkedStatus = false;
    bool followsRedirect = false;
    bool refusedLinkLocal = false;
    Abort abort = Abort::None;

    void begin(DocumentSink& target, bool redirected)
    {
        sink = &target;
        lastByte = Clock::now();
        anyByte = false;
        isRedirect = false;
        checkedStatus = false;
        followsRedirect = redirected;
        refusedLinkLocal = false;
        abort = Abort::None;
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

Abort abortReason(const Hop& hop)
{
    if (hop.control->cancel && hop.control->cancel(hop.control->cancelData) != 0)
        return Abort::Cancel;
    const Clock::time_point now = Clock::now();
    if (hop.deadline && now >= *hop.deadline)
        return Abort::Deadline;
    const long allowed = hop.anyByte ? hop.stallSeconds : hop.connectSeconds + hop.stallSeconds;
    return now - hop.lastByte > std::chrono::seconds(allowed) ? Abort::Stall : Abort::None;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    auto* hop = static_cast<Hop*>(user);
    hop->abort = abortReason(*hop);
    return hop->abort == Abort::None ? 0 : 1;
}

bool isLinkLocalV4(std::uint32_t hostOrder)
{
    return (hostOrder & 0xFFFF0000u) == 0xA9FE0000u;
}

bool isLinkLocal(const sockaddr& address)
{
    if (address.sa_family == AF_INET) {
        sockaddr_in v4 {};
        std::memcpy(&v4, &address, sizeof v4);
        return isLinkLocalV4(ntohl(v4.sin_addr.s_addr));
    }
    if (address.sa_family != AF_INET6)
        return false;
    sockaddr_in6 v6 {};
    std::memcpy(&v6, &address, sizeof v6);
    const unsigned char* bytes = v6.sin6_addr.s6_addr;
    if (bytes[0] == 0xFE && (bytes[1] & 0xC0) == 0x80)
        return true;
    if (!IN6_IS_ADDR_V4MAPPED(&v6.sin6_addr))
        return false;
    std::uint32_t mapped = 0;
    std::memcpy(&mapped, bytes + 12, sizeof mapped);
    return isLinkLocalV4(ntohl(mapped));
}

// The address a hop really connects to, after name resolution: a redirect
// must not reach a link-local service whatever name it gives.
curl_socket_t onOpenSocket(void* user, curlsocktype, curl_sockaddr* address)
{
    auto* hop = static_cast<Hop*>(user);
    if (hop->followsRedirect && isLinkLocal(address->addr)) {
        hop->refusedLinkLocal = true;
        return CURL_SOCKET_BAD;
    }
    return socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
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
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, onOpenSocket);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, &hop);
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

FetchResult failed(FetchFailure failure, std::string message)
{
    FetchResult result;
    result.failure = failure;
    result.message = std::move(message);
    return result;
}

std::string numberText(const char* format, long seconds)
{
    char text[64];
    std::snprintf(text, sizeof text, format, static_cast<unsigned long long>(seconds));
    return text;
}

std::string_view trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string curlInfoText(CURL* easy, CURLINFO info)
{
    char* text = nullptr;
    curl_easy_getinfo(easy, info, &text);
    return text ? text : "";
}

bool isHttp(const std::string& url)
{
    return url.rfind("http:", 0) == 0 || url.rfind("https:", 0) == 0;
}

// What the last hop came to, given curl's result.
struct Outcome {
    FetchFailure failure = FetchFailure::None;
    std::string message;
};

Outcome abortOutcome(const Hop& hop)
{
    switch (hop.abort) {
    case Abort::Cancel:
        return { FetchFailure::Cancelled, messages::kFetchCancelled };
    case Abort::Deadline:
        return { FetchFailure::Timeout,
            numberText(messages::kFetchTimedOut, static_cast<long>(hop.control->wholeSeconds)) };
    default:
        return { FetchFailure::Timeout,
            numberText(messages::kFetchTimedOut,
                hop.anyByte ? hop.stallSeconds : hop.connectSeconds + hop.stallSeconds) };
    }
}

Outcome curlOutcome(CURLcode code, const Hop& hop, const char* errorText)
{
    switch (code) {
    case CURLE_ABORTED_BY_CALLBACK:
        return abortOutcome(hop);
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        return { FetchFailure::HostNotFound, messages::kFetchHostNotFound };
    case CURLE_COULDNT_CONNECT:
        if (hop.refusedLinkLocal)
            return { FetchFailure::Other, messages::kFetchLinkLocal };
        return { FetchFailure::Refused, messages::kFetchRefused };
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
        return { FetchFailure::Refused, messages::kFetchReset };
    case CURLE_OPERATION_TIMEDOUT:
        return { FetchFailure::Timeout, numberText(messages::kFetchTimedOut, hop.connectSeconds) };
    default:
        break;
    }
    if (code == CURLE_WRITE_ERROR && hop.sink->cut())
        return { FetchFailure::Other, messages::kFetchTooLarge };
    return { FetchFailure::Other, *errorText ? errorText : curl_easy_strerror(code) };
}

} // namespace

std::string charsetOf(std::string_view contentType)
{
    std::size_t end = contentType.find(';');
    while (end != std::string_view::npos) {
        contentType.remove_prefix(end + 1);
        end = contentType.find(';');
        const std::string_view parameter = contentType.substr(0, end);
        const std::size_t equals = parameter.find('=');
        if (equals == std::string_view::npos
            || !equalsIgnoringCase(trimmed(parameter.substr(0, equals)), "charset"))
            continue;
        std::string_view value = trimmed(parameter.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        return std::string(value);
    }
    return {};
}

InternetSession::InternetSession()
    : InternetSession(ConnectionConfig {})
{
}

InternetSession::InternetSession(const ConnectionConfig& config, const FetchControl& control)
    : m_config(config)
    , m_control(control)
    , m_connectSeconds(secondsFromEnvironment("ZR5_NET_CONNECT_SECONDS", kDefaultConnectSeconds))
    , m_stallSeconds(secondsFromEnvironment("ZR5_NET_STALL_SECONDS", kDefaultStallSeconds))
{
    initCurlOnce();
}

FetchResult InternetSession::fetchDocument(const std::string& url) const
{
    if (!knownProxyMode(m_config.proxyMode))
        return failed(FetchFailure::Other, messages::kFetchUnknownProxyMode);
    const EasyHandle easy(curl_easy_init());
    if (!easy)
        return failed(FetchFailure::Other, curl_easy_strerror(CURLE_OUT_OF_MEMORY));
    Hop hop;
    hop.easy = easy.get();
    hop.connectSeconds = m_connectSeconds;
    hop.stallSeconds = m_stallSeconds;
    hop.control = &m_control;
    if (m_control.wholeSeconds != 0)
        hop.deadline = Clock::now() + std::chrono::seconds(m_control.wholeSeconds);
    setCommonOptions(easy.get(), hop);
    char errorText[CURL_ERROR_SIZE];
    curl_easy_setopt(easy.get(), CURLOPT_ERRORBUFFER, errorText);

    std::string next = url;
    for (int redirects = 0; redirects <= kMaxRedirects; ++redirects) {
        const std::optional<ParsedUrl> parsed = parseUrl(next);
        if (!parsed)
            return failed(FetchFailure::Other, messages::kFetchBadUrl);
        DocumentSink sink;
        hop.begin(sink, redirects > 0);
        curl_easy_setopt(easy.get(), CURLOPT_URL, parsed->url.c_str());
        setProxyRoute(easy.get(), m_config, parsed->host);
        errorText[0] = '\0';
        const CURLcode code = curl_easy_perform(easy.get());
        const std::optional<std::string> target = redirectTarget(easy.get());
        if (target && hop.abort == Abort::None) {
            next = *target;
            continue;
        }
        FetchResult result;
        curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &result.httpStatus);
        result.finalUrl = curlInfoText(easy.get(), CURLINFO_EFFECTIVE_URL);
        result.charset = charsetOf(curlInfoText(easy.get(), CURLINFO_CONTENT_TYPE));
        Outcome outcome;
        if (code != CURLE_OK)
            outcome = curlOutcome(code, hop, errorText);
        else if (isHttp(parsed->url) && result.httpStatus >= 400)
            outcome = { FetchFailure::HttpStatus, numberText(messages::kFetchHttpStatus, result.httpStatus) };
        result.failure = outcome.failure;
        result.message = std::move(outcome.message);
        // Whatever arrived before a failure is still the document.
        result.body = sink.finish();
        return result;
    }
    return failed(FetchFailure::Other, messages::kFetchTooManyRedirects);
}

} // namespace zr5::script::net
