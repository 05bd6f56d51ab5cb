// What the proxy bypass "<local>" covers: host names without a dot (intranet
// names, "localhost") and the loopback addresses 127.0.0.0/8 and ::1.
#pragma once

#include <string_view>

namespace zr5::script::net {

// host as it appears in a URL; IPv6 literals may keep their brackets.
bool isLocalHost(std::string_view host);

} // namespace zr5::script::net
