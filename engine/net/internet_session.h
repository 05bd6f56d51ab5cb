// Synchronous whole-document HTTP(S)/FTP fetch over libcurl.
//
// A fetch never reports an error: any failure yields the bytes read so far
// (usually none), and the caller treats an empty result as a failed fetch.
#pragma once

#include <string>

namespace zr5::script::net {

struct ConnectionConfig {
    int proxyMode = 0; // 0 system settings, 1 direct, 2 named proxy, other: every fetch fails
    std::string proxyAddress;
    int proxyPort = 0;
    bool bypassLocal = false;
};

class InternetSession final {
public:
    // The system's settings (the usual proxy environment variables).
    InternetSession();
    explicit InternetSession(const ConnectionConfig& config);

    // The body whatever the HTTP status; empty on failure; the part read
    // before a read error, time-out or the size cap.
    std::string fetch(const std::string& url) const;

private:
    ConnectionConfig m_config;
};

} // namespace zr5::script::net
