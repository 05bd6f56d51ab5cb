// The engine instance behind ScriptInterface: one interpreter, the error text
// of the last failed load and the buffer GetCategoryName hands out.
#pragma once

#include "api/zr5script.h"
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
    // Returns 0, or -1 when the run ended with an error (its text then
    // becomes the error text); nothing thrown inside reaches the host.
    std::int32_t RunCategory(std::int32_t index) override;
    const char* GetErrorText() override;
    void SetDisplayCallback(DisplayCallback callback, void* userData) override;
    std::int32_t SetConnection(const ConnectionSettings* settings) override;

private:
    std::int32_t parseAndRun(const std::string& source);

    Interpreter m_interpreter;
    std::string m_errorText;
    std::string m_nameBuffer;
};

// The script file as a text-mode read would give it: CR LF pairs become LF
// and a 0x1A byte ends the text. False when the file cannot be opened.
bool readScriptFile(const char* path, std::string& text);

} // namespace zr5::script
