// The library's three exports; everything else in it is hidden.
#include "api/script_engine.h"
#include "builtins/builtins.h"

#include <new>

ZR5S_EXPORT ScriptInterface* ZR5S_CreateInterface()
{
    try {
        return new zr5::script::ScriptEngine();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

ZR5S_EXPORT void ZR5S_DestroyInterface(ScriptInterface* instance)
{
    // Instances only ever come from ZR5S_CreateInterface, which allocates here.
    delete instance;
}

ZR5S_EXPORT void ZR5S_InternetDocTest(const char* url)
{
    zr5::script::internetDocTest(url);
}
