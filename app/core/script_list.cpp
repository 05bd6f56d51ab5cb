#include "core/script_list.h"

#include "core/debug_output.h"
#include "core/engine_lock.h"
#include "core/messages.h"
#include "core/script_template.h"
#include "core/text_codec.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace zr5::core {
namespace {

namespace fs = std::filesystem;

void ignoreDisplay(const DisplayRecord*, void*)
{
}

bool hasScriptExtension(const std::string& name)
{
    if (name.size() < 4) {
        return false;
    }
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return ext == ".zrs";
}

std::vector<fs::path> scriptFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code statusError;
        // Follows links; a dangling link or a link loop is simply no regular file.
        if (hasScriptExtension(it->path().filename().string()) && it->is_regular_file(statusError)) {
            files.push_back(it->path().filename());
        }
    }
    std::sort(files.begin(), files.end(),
        [](const fs::path& a, const fs::path& b) { return a.native() < b.native(); });
    return files;
}

// The engine's own error text, copied while the engine mutex is held.
std::string errorText(ScriptInterface& engine)
{
    const char* text = engine.GetErrorText();
    return text ? text : "";
}

std::vector<Category> readCategories(ScriptInterface& engine)
{
    std::vector<Category> categories;
    std::int32_t count = engine.GetCategoryCount();
    for (std::int32_t i = 0; i < count; ++i) {
        const char* name = engine.GetCategoryName(i);
        categories.push_back({ name ? name : "", false });
    }
    return categories;
}

// $TMPDIR or /tmp; empty when that is no folder, so nothing is written elsewhere.
fs::path temporaryFolder()
{
    std::error_code error;
    fs::path folder = fs::temp_directory_path(error);
    return error ? fs::path() : folder;
}

} // namespace

ScriptRecord::ScriptRecord(RecordKind kind, std::string recordName)
    : name(std::move(recordName))
    , m_kind(kind)
{
    std::lock_guard lock(engineMutex());
    m_engine = ZR5S_CreateInterface();
}

ScriptRecord::~ScriptRecord()
{
    std::lock_guard lock(engineMutex());
    ZR5S_DestroyInterface(m_engine);
}

std::int32_t ScriptRecord::load(const fs::path& file, LoadErrorSink& errors, const RunLimits* limits)
{
    if (!m_engine) {
        return ZR5S_LOAD_FAILED;
    }
    std::int32_t result = ZR5S_LOAD_FAILED;
    std::string failure;
    {
        std::lock_guard lock(engineMutex());
        if (limits) {
            m_engine->SetRunLimits(limits);
        }
        m_engine->SetDisplayCallback(ignoreDisplay, nullptr);
        try {
            result = m_engine->Load(file.c_str());
        } catch (...) {
            result = ZR5S_LOAD_EXCEPTION;
        }
        if (result != ZR5S_LOAD_OK) {
            failure = errorText(*m_engine);
            // A failed load always has a reason: loadError tells failure apart.
            if (failure.empty()) {
                failure = messages::kLoadFailed;
            }
        }
        categories = readCategories(*m_engine);
    }
    loadError = failure;
    // Reported outside the lock: the host may take its time showing it.
    if (result != ZR5S_LOAD_OK) {
        errors.loadError(name.empty() ? failure : name + ": " + failure);
    }
    return result;
}

ScriptList enumerateScripts(const fs::path& folder, LoadErrorSink& errors, const RunLimits* limits)
{
    ScriptList list;
    for (const fs::path& file : scriptFiles(folder)) {
        auto record = std::make_unique<ScriptRecord>(RecordKind::ScriptFile, localeToCp932(file.native()));
        record->path = folder / file;
        debugOutput(file.native());
        record->load(record->path, errors, limits);
        for (const Category& category : record->categories) {
            debugOutput(" - " + category.name);
        }
        debugOutput("\n");
        list.entries.push_back(std::move(record));
    }
    return list;
}

bool loadGeneratedScript(ScriptRecord& record, std::string_view script, LoadErrorSink& errors)
{
    fs::path folder = temporaryFolder();
    if (folder.empty()) {
        return false;
    }
    std::string pattern = (folder / "zrsXXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return false;
    }
    bool written = ::write(fd, script.data(), script.size()) == static_cast<ssize_t>(script.size());
    ::close(fd);
    if (written) {
        record.load(name.data(), errors);
    }
    ::unlink(name.data());
    return written;
}

std::int32_t prepareSite(ScriptRecord& site, LoadErrorSink& errors)
{
    if (site.categories.empty()) {
        loadGeneratedScript(site, generateScript(ScriptTemplate::RssSite, site.url), errors);
    }
    return static_cast<std::int32_t>(site.categories.size());
}

std::string categoryLabel(std::string_view fileName, std::string_view category)
{
    std::string_view stem = fileName.substr(0, fileName.rfind('.'));
    std::string label(stem);
    label += ':';
    label += category;
    return label;
}

} // namespace zr5::core
