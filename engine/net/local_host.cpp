#include "net/local_host.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>

namespace zr5::script::net {

namespace {

bool isLoopbackIpv4(const std::string& host)
{
    in_addr address {};
    if (inet_pton(AF_INET, host.c_str(), &address) != 1)
        return false;
    return (ntohl(address.s_addr) >> 24) == 127;
}

bool isLoopbackIpv6(const std::string& host)
{
    in6_addr address {};
    if (inet_pton(AF_INET6, host.c_str(), &address) != 1)
        return false;
    if (IN6_IS_ADDR_LOOPBACK(&address))
        return true;
    return IN6_IS_ADDR_V4MAPPED(&address) && address.s6_addr[12] == 127;
}

} // namespace

bool isLocalHost(std::string_view host)
{
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    const std::string text(host);
    // An IPv6 literal has no dot either, but only its loopback form is local.
    if (text.find(':') != std::string::npos)
        return isLoopbackIpv6(text);
    if (text.empty())
        return false;
    return text.find('.') == std::string::npos || isLoopbackIpv4(text);
}

} // namespace zr5::script::net
