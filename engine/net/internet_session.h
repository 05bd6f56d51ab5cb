// Synchronous whole-document HTTP(S)/FTP fetch over libcurl.
//
// A fetch never throws: any failure yields the bytes read so far (usually
// none) together with what went wrong, for the host's fetch report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zr5::script::net {

struct ConnectionConfig {
    int proxyMode = 0; // 0 system settings, 1 direct, 2 named proxy, other: every fetch fails
    std::string proxyAddress;
    int proxyPort = 0;
    bool bypassLocal = false;
};

// The values are those of ZR5S_FETCH_* in the engine's public header.
enum class FetchFailure : std::int32_t {
    None = 0,
    HostNotFound = 1,
    Refused = 2, // refused or reset
    Timeout = 3, // connect, stall or whole-fetch time-out
    HttpStatus = 4,
    Cancelled = 5,
    Other = 6,
};

struct FetchResult {
    std::string body; // what arrived, also when the fetch failed
    FetchFailure failure = FetchFailure::None;
    long httpStatus = 0; // of the last answer (0 without one)
    std::string message; // ASCII, for people; empty when nothing failed
    // Where the body came from after redirects: the base of its relative links.
    std::string finalUrl;
    // The charset parameter of the last answer's Content-Type, unquoted; empty without one.
    std::string charset;
};

// The charset parameter of a Content-Type value ("text/xml; charset=UTF-8"),
// unquoted; empty when there is none.
std::string charsetOf(std::string_view contentType);

// The host's hold on a fetch, asked at least once a second while it runs.
struct FetchControl {
    unsigned wholeSeconds = 0; // the whole fetch, redirects included; 0: unbounded
    std::int32_t (*cancel)(void*) = nullptr;
    void* cancelData = nullptr;
};

// One session per fetch, owned by the thread that made it. Every request
// carries the user agent "Zephyrant/2.00"; only http, https and ftp URLs
// (with their scheme written out) are fetched, and at most 10 redirects are
// followed, each hop choosing its own proxy route.
//
// Limits, so that a dead or hostile server cannot hold a patrol forever:
// - connect time-out, 60 s (name lookup, TCP and TLS/proxy handshakes);
// - stall time-out, 60 s without a single byte arriving; before the first
//   byte of an answer the server gets the connect and the stall time-out;
// - at most 64 MiB of document; the rest is dropped like a read error;
// - the FetchControl's whole-fetch time-out and cancel callback;
// - no redirect hop may connect to a link-local address (169.254.0.0/16,
//   fe80::/10), where cloud machines answer with their secrets.
// The environment variables ZR5_NET_CONNECT_SECONDS and
// ZR5_NET_STALL_SECONDS (whole seconds, 1 to 3600), read when a session is
// created, shorten the time-outs for tests.
class InternetSession final {
public:
    // The system's settings (the usual proxy environment variables).
    InternetSession();
    explicit InternetSession(const ConnectionConfig& config, const FetchControl& control = {});

    // The body whatever the HTTP status (a status of 400 or above is still
    // reported as a failure); the part read before a read error, time-out,
    // cancel or the size cap.
    FetchResult fetchDocument(const std::string& url) const;
    std::string fetch(const std::string& url) const { return fetchDocument(url).body; }

    static constexpr std::size_t kReadChunkBytes = 262144;
    static constexpr std::size_t kMaxDocumentBytes = std::size_t { 64 } << 20;
    static constexpr int kMaxRedirects = 10;

private:
    ConnectionConfig m_config;
    FetchControl m_control;
    long m_connectSeconds;
    long m_stallSeconds;
};

} // namespace zr5::script::net
