#include "builtins/open_method.h"

#include "builtins/builtin_args.h"
#include "builtins/host_state.h"

namespace zr5::script {
namespace {

class OpenMethod final : public Callable {
public:
    explicit OpenMethod(DocumentReader reader)
        : m_reader(reader)
    {
    }

    void call(ValuePtr& result, const ObjectPtr& arguments, const ValuePtr& self) override
    {
        result = {};
        Properties* members = self ? self->properties() : nullptr;
        if (!members) {
            return;
        }
        const Arguments args(arguments);
        if (!args.has(0)) {
            result = makeBoolean(false);
            return;
        }
        const std::string url = args.text(0);
        const net::FetchResult fetched = fetchForScript(url);
        result = m_reader(*members, url, fetched);
        stopIfCancelled(fetched);
    }

private:
    DocumentReader m_reader;
};

} // namespace

ValuePtr makeOpenMethod(DocumentReader reader)
{
    return makeFunction(std::make_shared<OpenMethod>(reader));
}

} // namespace zr5::script
