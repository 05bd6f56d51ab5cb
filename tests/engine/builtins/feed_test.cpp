// Feed.open's fetch is Document.open's: the host's connection, fetch report
// and cancel. The feeds themselves are read by feed/run_feed_scripts.py.
#include "builtins/host_state.h"
#include "call_helpers.h"
#include "interp/run_limits.h"
#include "one_shot_server.h"

#include <gtest/gtest.h>

namespace zr5::script {
namespace {

using testing::callFunction;
using testing::member;
using testing::str;
using testing::textOf;

constexpr const char* kRss = "<rss version='2.0'><channel><title>T</title>"
                             "<item><title>A &amp; B</title><link>/a</link></item></channel></rss>";

ObjectPtr newFeed()
{
    ObjectPtr feed = makeObject();
    callFunction(testing::builtinGlobals().at("Feed"), feed, {});
    return feed;
}

ValuePtr open(const ObjectPtr& feed, const std::string& url)
{
    return callFunction(member(feed, "open"), feed, { str(url) });
}

std::int32_t cancelAlways(void*)
{
    return 1;
}

class FeedOpen : public ::testing::Test {
protected:
    // Straight to the local server whatever proxy the environment names.
    void SetUp() override
    {
        hostState() = HostState();
        hostState().connection.proxyMode = 1;
    }
    void TearDown() override { hostState() = HostState(); }
};

TEST_F(FeedOpen, ItemsAreAnArrayOfObjectsResolvedAgainstTheFeedsAddress)
{
    testing::OneShotServer server(kRss);
    const ObjectPtr feed = newFeed();
    EXPECT_EQ(textOf(open(feed, server.url())), "true");
    EXPECT_EQ(textOf(member(feed, "title")), "T");
    const ValuePtr items = member(feed, "items");
    ASSERT_TRUE(items && items->isObject());
    EXPECT_EQ(textOf(items->properties()->find("length")->value), "1");
    Properties* first = items->properties()->find("0")->value->properties();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(textOf(first->find("title")->value), "A & B");
    EXPECT_EQ(
        textOf(first->find("link")->value), server.url().substr(0, server.url().find("/feed.xml")) + "/a");
    EXPECT_EQ(hostState().fetches.fetches, 1);
    EXPECT_EQ(hostState().fetches.failures, 0);
}

TEST_F(FeedOpen, FailedFetchIsReportedAndLeavesAnEmptyFeed)
{
    const ObjectPtr feed = newFeed();
    EXPECT_EQ(textOf(open(feed, "http://127.0.0.1:1/feed.xml")), "false");
    EXPECT_EQ(hostState().fetches.failures, 1);
    EXPECT_EQ(hostState().fetches.url, "http://127.0.0.1:1/feed.xml");
    EXPECT_EQ(textOf(member(feed, "title")), "");
    EXPECT_EQ(textOf(member(feed, "items")->properties()->find("length")->value), "0");
}

TEST_F(FeedOpen, CancelledFetchKeepsWhatArrivedAndStopsTheRun)
{
    testing::OneShotServer server(kRss);
    hostState().fetchControl.cancel = cancelAlways;
    const ObjectPtr feed = newFeed();
    try {
        open(feed, server.url());
        ADD_FAILURE() << "open returned";
    } catch (const RunStopped& stopped) {
        EXPECT_EQ(stopped.reason(), StopReason::Cancelled);
    }
    EXPECT_EQ(hostState().fetches.lastFailure, ZR5S_FETCH_CANCELLED);
}

TEST(FeedObject, MethodsWithoutAnObjectOrUrlDoNothing)
{
    hostState() = HostState();
    const ObjectPtr feed = newFeed();
    EXPECT_EQ(callFunction(member(feed, "open"), nullptr, { str("http://127.0.0.1:1/") }), nullptr);
    EXPECT_EQ(textOf(callFunction(member(feed, "open"), feed, {})), "false");
    EXPECT_EQ(hostState().fetches.fetches, 0);
    EXPECT_EQ(callFunction(testing::builtinGlobals().at("Feed"), nullptr, {}), nullptr);
}

} // namespace
} // namespace zr5::script
