// What the host hands the engine for all instances at once: the display
// callback and the connection settings. Process-wide by design (the host
// serialises every call into the engine), read by Display/_Notify and by
// Document.open.
#pragma once

#include "api/zr5script.h"
#include "net/internet_session.h"

namespace zr5::script {

struct HostState {
    DisplayCallback callback = nullptr;
    void* userData = nullptr;
    net::ConnectionConfig connection;
};

HostState& hostState();

// Copies a host record; null resets to the defaults (system settings).
void setConnection(const ConnectionSettings* settings);

} // namespace zr5::script
