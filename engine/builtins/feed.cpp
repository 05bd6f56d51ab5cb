// Like Document's, every method reads the object it was called on and
// answers no value without one.
#include "builtins/feed.h"

#include "builtins/builtin_args.h"
#include "builtins/open_method.h"
#include "feed/feed_reader.h"

#include <string>
#include <vector>

namespace zr5::script {

namespace {

constexpr std::string_view kTitle = "title";
constexpr std::string_view kLink = "link";
constexpr std::string_view kItems = "items";
constexpr std::string_view kLength = "length";

ObjectPtr makeItem(feed::FeedItem& item)
{
    ObjectPtr object = makeObject();
    assign(object->members().findOrCreate(kTitle), makeString(std::move(item.title)));
    assign(object->members().findOrCreate(kLink), makeString(std::move(item.link)));
    return object;
}

// An array as split() makes one: members "0", "1", ... and a "length".
ObjectPtr makeItems(std::vector<feed::FeedItem>& items)
{
    ObjectPtr array = makeObject();
    for (feed::FeedItem& item : items) {
        array->members().append(makeItem(item));
    }
    assign(array->members().findOrCreate(kLength), makeNumber(static_cast<double>(items.size())));
    return array;
}

// A failed open leaves the object as empty as a new one, so a script that
// reuses it never shows the previous feed's items again.
void fill(Properties& members, feed::Feed& read)
{
    assign(members.findOrCreate(kTitle), makeString(std::move(read.title)));
    assign(members.findOrCreate(kLink), makeString(std::move(read.link)));
    assign(members.findOrCreate(kItems), makeItems(read.items));
}

ValuePtr readIntoFeed(Properties& members, const std::string& url, const net::FetchResult& fetched)
{
    feed::Feed read = feed::readFeed(
        { fetched.body, fetched.finalUrl.empty() ? url : fetched.finalUrl, fetched.charset });
    if (!read.isFeed) {
        read = {};
    }
    fill(members, read);
    return makeBoolean(read.isFeed);
}

class FeedConstructor final : public Callable {
public:
    void call(ValuePtr& result, const ObjectPtr&, const ValuePtr& self) override
    {
        result = {};
        Properties* members = self ? self->properties() : nullptr;
        if (!members) {
            return;
        }
        assign(members->findOrCreate("open"), makeOpenMethod(readIntoFeed));
        feed::Feed empty;
        fill(*members, empty);
    }
};

} // namespace

ValuePtr makeFeedConstructor()
{
    return makeFunction(std::make_shared<FeedConstructor>());
}

} // namespace zr5::script
