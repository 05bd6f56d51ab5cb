#include "builtins/host_calls.h"

#include "builtins/builtin_args.h"
#include "builtins/host_state.h"

#include <string>

namespace zr5::script {

namespace {

void deliver(const DisplayRecord& record)
{
    const HostState& host = hostState();
    if (host.callback) {
        host.callback(&record, host.userData);
    }
}

// Display(title, link, extra): a headline, kind 0.
class DisplayFunction final : public Callable {
public:
    void call(ValuePtr& result, const ObjectPtr& arguments, const ValuePtr&) override
    {
        result = {};
        const Arguments args(arguments);
        const std::string title = args.text(0);
        const std::string link = args.text(1);
        const std::string extra = args.text(2);
        deliver({ title.c_str(), link.c_str(), extra.c_str(), ZR5S_KIND_HEADLINE });
    }
};

// _Notify(name, value): a named value, kind 1, no third text.
class NotifyFunction final : public Callable {
public:
    void call(ValuePtr& result, const ObjectPtr& arguments, const ValuePtr&) override
    {
        result = {};
        const Arguments args(arguments);
        const std::string name = args.text(0);
        const std::string value = args.text(1);
        deliver({ name.c_str(), value.c_str(), nullptr, ZR5S_KIND_NOTIFY });
    }
};

} // namespace

ValuePtr makeDisplayFunction()
{
    return makeFunction(std::make_shared<DisplayFunction>());
}

ValuePtr makeNotifyFunction()
{
    return makeFunction(std::make_shared<NotifyFunction>());
}

} // namespace zr5::script
