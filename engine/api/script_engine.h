// The engine instance behind ScriptInterface: one interpreter, the error text
// of the last failed load or run, what its fetches came to, and the buffers
// GetCategoryName and GetFetchReport hand out.
#pragma once

#include "api/zr5script.h"
#include "builtins/host_state.h"
#include "interp/interpreter.h"

#include <string>

namespace zr5::script {

class ScriptEngine final : public ScriptInterface {
public:
    ScriptEngine() = default;
    ~ScriptEngine() override = default;

    std::int32_t Load(const char* path) override;
    std::int32_t GetCategoryCount() override;
    const char* GetCategoryName(std::int32_t index) override;
    // Returns ZR5S_RUN_*; unless it is ZR5S_RUN_OK the error text says why.
    // Nothing thrown inside reaches the host.
    std::int32_t RunCategory(std::int32_t index) override;
    const char* GetErrorText() override;
    void SetDisplayCallback(DisplayCallback callback, void* userData) override;
    std::int32_t SetConnection(const ConnectionSettings* settings) override;
    std::int32_t SetRunLimits(const RunLimits* limits) override;
    const FetchReport* GetFetchReport() override;

private:
    std::int32_t parseAndRun(const std::string& source);
    std::int32_t runCategory(std::int32_t index);

    Interpreter m_interpreter;
    std::string m_errorText;
    std::string m_nameBuffer;
    FetchTally m_fetches;
    FetchReport m_report {};
};

// The script file as a text-mode read would give it: CR LF pairs become LF
// and a 0x1A byte ends the text. False when the file cannot be opened.
bool readScriptFile(const char* path, std::string& text);

} // namespace zr5::script
