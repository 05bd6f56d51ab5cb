// Synchronous whole-document HTTP(S)/FTP fetch over libcurl.
//
// A fetch never reports an error: any failure yields the bytes read so far
// (usually none), and the caller treats an empty result as a failed fetch.
#pragma once

#include <cstddef>
#include <string>

namespace zr5::script::net {

struct ConnectionConfig {
    int proxyMode = 0; // 0 system settings, 1 direct, 2 named proxy, other: every fetch fails
    std::string proxyAddress;
    int proxyPort = 0;
    bool bypassLocal = false;
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
// - at most 64 MiB of document; the rest is dropped like a read error.
// The environment variables ZR5_NET_CONNECT_SECONDS and
// ZR5_NET_STALL_SECONDS (whole seconds, 1 to 3600), read when a session is
// created, shorten the time-outs for tests.
class InternetSession final {
public:
    // The system's settings (the usual proxy environment variables).
    InternetSession();
    explicit InternetSession(const ConnectionConfig& config);

    // The body whatever the HTTP status; empty on failure; the part read
    // before a read error, time-out or the size cap.
    std::string fetch(const std::string& url) const;

    static constexpr std::size_t kReadChunkBytes = 262144;
    static constexpr std::size_t kMaxDocumentBytes = std::size_t{64} << 20;
    static constexpr int kMaxRedirects = 10;

private:
    ConnectionConfig m_config;
    long m_connectSeconds;
    long m_stallSeconds;
};

} // namespace zr5::script::net
