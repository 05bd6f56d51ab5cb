// The script list: every news-script file of ./Scripts and every RSS site the
// user registered, in patrol order, each with an engine instance of its own.
#pragma once

#include "zr5script.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zr5::core {

// Where load errors go: the program shows them in a "ZR5 ERROR" box.
class LoadErrorSink {
public:
    virtual ~LoadErrorSink() = default;
    virtual void loadError(std::string_view text) = 0;

protected:
    LoadErrorSink() = default;
    LoadErrorSink(const LoadErrorSink&) = default;
    LoadErrorSink& operator=(const LoadErrorSink&) = default;
};

struct Category {
    std::string name;
    bool checked = false;
};

enum class RecordKind { ScriptFile, Site };

class ScriptRecord final {
public:
    // Creates the record's engine instance (takes the engine mutex).
    explicit ScriptRecord(RecordKind kind, std::string name = {});
    ~ScriptRecord(); // destroys the engine instance (takes the engine mutex)
    ScriptRecord(const ScriptRecord&) = delete;
    ScriptRecord& operator=(const ScriptRecord&) = delete;

    bool isSite() const { return m_kind == RecordKind::Site; }
    // Shift_JIS: the file name with extension, or the site name.
    std::string name;
    // Script files: the name as it is on disk (the locale's encoding).
    std::filesystem::path path;
    std::string url; // sites only
    bool enabled = false;
    std::vector<Category> categories;
    // Shift_JIS: why the last load failed (the engine's text); empty after a
    // successful load.
    std::string loadError;

    // Null only when the engine could not create an instance.
    ScriptInterface* engine() const { return m_engine; }

    // Loads a script file into the engine with headlines ignored, reports a
    // failure to errors (after the record's name) and in loadError, and reads
    // the categories. limits, when given, bound the script's top-level code.
    // Call without the engine mutex.
    std::int32_t load(
        const std::filesystem::path& file, LoadErrorSink& errors, const RunLimits* limits = nullptr);

private:
    RecordKind m_kind;
    ScriptInterface* m_engine = nullptr;
};

using ScriptRecordPtr = std::unique_ptr<ScriptRecord>;

struct ScriptList {
    std::vector<ScriptRecordPtr> entries;
};

// One record per regular file "*.zrs" of folder, names sorted bytewise, each
// loaded at once (within limits, when given). A missing folder gives an empty list.
ScriptList enumerateScripts(
    const std::filesystem::path& folder, LoadErrorSink& errors, const RunLimits* limits = nullptr);

// Writes script to a "zrs" temporary file, loads it into record and deletes
// the file. False when no temporary file could be made (nothing loaded).
bool loadGeneratedScript(ScriptRecord& record, std::string_view script, LoadErrorSink& errors);

// A site's script is generated and loaded the first time it is needed.
// Returns the number of categories the site then has.
std::int32_t prepareSite(ScriptRecord& site, LoadErrorSink& errors);

// The label of a script's category: the file name cut before its last '.',
// ':', the category name.
std::string categoryLabel(std::string_view fileName, std::string_view category);

} // namespace zr5::core
