#include "net/local_host.h"

#include <gtest/gtest.h>

namespace zr5::script::net {
namespace {

struct HostCase {
    const char* host;
    bool local;
};

TEST(LocalHostTest, LocalMeansDotlessNamesAndLoopback)
{
    const HostCase cases[] = {
        { "intranet", true },
        { "localhost", true },
        { "LOCALHOST", true },
        { "127.0.0.1", true },
        { "127.200.3.4", true },
        { "[::1]", true },
        { "::1", true },
        { "[::ffff:127.0.0.1]", true },
        { "example.com", false },
        { "www.example.co.jp", false },
        { "10.0.0.1", false },
        { "128.0.0.1", false },
        { "[2001:db8::1]", false },
        { "[fe80::1]", false },
        { "intranet.", false },
        { "", false },
        { "[]", false },
        { "127.0.0.1.example", false },
    };
    for (const HostCase& entry : cases)
        EXPECT_EQ(isLocalHost(entry.host), entry.local) << entry.host;
}

} // namespace
} // namespace zr5::script::net
