#include "api/script_engine.h"

#include "interp/run_limits.h"
#include "lang/messages.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>

namespace zr5::script {

namespace {

constexpr char kEndOfFileMark = '\x1a';

std::string textModeView(const std::string& bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == kEndOfFileMark) {
            break;
        }
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            continue;
        }
        text.push_back(bytes[i]);
    }
    return text;
}

// The parser's lines as one text, without the last line feed.
std::string joinedLines(std::string lines)
{
    if (!lines.empty() && lines.back() == '\n') {
        lines.pop_back();
    }
    return lines;
}

// Counts the fetches of one load or run into the instance's tally.
class FetchTallyScope final {
public:
    explicit FetchTallyScope(FetchTally& target)
        : m_target(target)
    {
        hostState().fetches = {};
    }
    ~FetchTallyScope() { m_target = std::move(hostState().fetches); }
    FetchTallyScope(const FetchTallyScope&) = delete;
    FetchTallyScope& operator=(const FetchTallyScope&) = delete;

private:
    FetchTally& m_target;
};

std::int32_t stopResult(StopReason reason)
{
    return reason == StopReason::Cancelled ? ZR5S_RUN_CANCELLED : ZR5S_RUN_LIMIT;
}

} // namespace

bool readScriptFile(const char* path, std::string& text)
{
    std::ifstream file(path ? path : "", std::ios::binary);
    if (!file) {
        return false;
    }
    const std::string bytes { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
    text = textModeView(bytes);
    return true;
}

std::int32_t ScriptEngine::parseAndRun(const std::string& source)
{
    try {
        const ParseResult result = m_interpreter.parse(source);
        if (result == ParseResult::Accepted) {
            m_interpreter.runTopLevel();
        } else {
            m_errorText = joinedLines(m_interpreter.parseErrors());
        }
        std::fflush(stdout);
        return static_cast<std::int32_t>(result);
    } catch (const std::exception& error) {
        std::fflush(stdout);
        m_errorText = error.what();
        return ZR5S_LOAD_EXCEPTION;
    }
}

std::int32_t ScriptEngine::Load(const char* path)
{
    const FetchTallyScope tally(m_fetches);
    std::string source;
    if (!readScriptFile(path, source)) {
        m_errorText = messages::kScriptFileNotFound;
        return ZR5S_LOAD_FAILED;
    }
    return parseAndRun(source);
}

std::int32_t ScriptEngine::GetCategoryCount()
{
    return static_cast<std::int32_t>(m_interpreter.categoryCount());
}

const char* ScriptEngine::GetCategoryName(std::int32_t index)
{
    try {
        m_nameBuffer = m_interpreter.categoryName(static_cast<std::size_t>(index));
    } catch (const std::exception&) {
        m_nameBuffer.clear();
    }
    return m_nameBuffer.c_str();
}

std::int32_t ScriptEngine::RunCategory(std::int32_t index)
{
    const FetchTallyScope tally(m_fetches);
    const std::int32_t result = runCategory(index);
    std::fflush(stdout);
    return result;
}

std::int32_t ScriptEngine::runCategory(std::int32_t index)
{
    // A failed run must never take the host down, whatever was thrown.
    try {
        m_interpreter.runCategory(static_cast<std::size_t>(index));
        return ZR5S_RUN_OK;
    } catch (const RunStopped& stop) {
        m_errorText = stop.what();
        return stopResult(stop.reason());
    } catch (const std::exception& error) {
        m_errorText = error.what();
    } catch (...) {
        m_errorText.clear();
    }
    return ZR5S_RUN_ERROR;
}

const char* ScriptEngine::GetErrorText()
{
    return m_errorText.c_str();
}

void ScriptEngine::SetDisplayCallback(DisplayCallback callback, void* userData)
{
    hostState().callback = callback;
    hostState().userData = userData;
}

std::int32_t ScriptEngine::SetConnection(const ConnectionSettings* settings)
{
    setConnection(settings);
    return 0;
}

std::int32_t ScriptEngine::SetRunLimits(const RunLimits* limits)
{
    setRunLimits(limits);
    return 0;
}

const FetchReport* ScriptEngine::GetFetchReport()
{
    m_report = { m_fetches.fetches, m_fetches.failures, m_fetches.lastFailure, m_fetches.httpStatus,
        m_fetches.url.c_str(), m_fetches.message.c_str() };
    return &m_report;
}

} // namespace zr5::script
