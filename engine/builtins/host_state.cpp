#include "builtins/host_state.h"

namespace zr5::script {

HostState& hostState()
{
    static HostState state;
    return state;
}

void setConnection(const ConnectionSettings* settings)
{
    net::ConnectionConfig& config = hostState().connection;
    if (!settings) {
        config = {};
        return;
    }
    config.proxyMode = settings->proxyMode;
    config.proxyAddress = settings->proxyAddress ? settings->proxyAddress : "";
    config.proxyPort = settings->proxyPort;
    config.bypassLocal = settings->bypassLocal != 0;
}

} // namespace zr5::script
