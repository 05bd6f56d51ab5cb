#include "core/settings.h"

#include <algorithm>
#include <cstdio>

namespace zr5::core {
namespace {

// Every key of the file with its default, in the order the file is written.
// "Script" and its numbered entries come first and are handled apart.
struct SettingKey {
    std::string_view section;
    std::string_view key;
    std::int32_t defaultNumber;
    std::string_view defaultText;
    std::int32_t* (*number)(Settings&); // exactly one of number and text is set
    std::string* (*text)(Settings&);
    std::int32_t maximum = 0; // numbers from 1 to maximum, else the default; 0: any number
};

constexpr std::string_view kScriptSection = "Script";
constexpr std::string_view kCountKey = "Count";
constexpr std::int32_t kDefaultCount = 0;

#define ZR5_NUMBER(path) [](Settings& s) { return &s.path; }, nullptr
#define ZR5_TEXT(path) nullptr, [](Settings& s) { return &s.path; }
constexpr std::int32_t kMaxLimitSeconds = 86400;
const SettingKey kSettingKeys[] = {
    { "Timer", "Reload", 30, "", ZR5_NUMBER(reloadMinutes) },
    { "Timer", "ScriptLimit", 30, "", ZR5_NUMBER(scriptLimitSeconds), kMaxLimitSeconds },
    { "Timer", "FetchLimit", 120, "", ZR5_NUMBER(fetchLimitSeconds), kMaxLimitSeconds },
    { "Window", "Skin", 0, "", ZR5_TEXT(window.skin) },
    { "Window", "X", 0, "", ZR5_NUMBER(window.x) },
    { "Window", "Y", 0, "", ZR5_NUMBER(window.y) },
    { "Window", "Width", 0, "", ZR5_NUMBER(window.width) },
    { "Window", "Height", 0, "", ZR5_NUMBER(window.height) },
    { "Window", "Z", 0, "", ZR5_NUMBER(window.z) },
    { "Window", "Sticking", 0, "", ZR5_NUMBER(window.sticking) },
    { "Proxy", "Type", 0, "", ZR5_NUMBER(proxy.type) },
    { "Proxy", "Address", 0, "", ZR5_TEXT(proxy.address) },
    { "Proxy", "Port", 8080, "", ZR5_NUMBER(proxy.port) },
    { "Proxy", "Local", 0, "", ZR5_NUMBER(proxy.bypassLocal) },
    { "Notice", "URL", 0, "", ZR5_TEXT(noticeUrl) },
};
#undef ZR5_NUMBER
#undef ZR5_TEXT

std::string entryKey(std::int64_t index)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%04lld", static_cast<long long>(index));
    return buffer;
}

std::vector<std::string> splitFields(std::string_view value)
{
    std::vector<std::string> fields;
    while (!value.empty()) {
        std::size_t comma = value.find(',');
        if (comma != 0) {
            fields.emplace_back(value.substr(0, comma));
        }
        value.remove_prefix(comma == std::string_view::npos ? value.size() : comma + 1);
    }
    return fields;
}

void placeSite(std::vector<std::string>& fields, bool enabled, ScriptList& scripts, std::size_t& position)
{
    auto site = std::make_unique<ScriptRecord>(RecordKind::Site, fields[2]);
    site->enabled = enabled;
    if (fields.size() > 3) {
        site->url = fields[3];
    }
    scripts.entries.insert(
        scripts.entries.begin() + static_cast<std::ptrdiff_t>(position++), std::move(site));
}

void placeScript(std::vector<std::string>& fields, bool enabled, ScriptList& scripts, std::size_t& position)
{
    auto& entries = scripts.entries;
    // Only records not placed yet: a file named twice keeps its first place.
    auto found = std::find_if(entries.begin() + static_cast<std::ptrdiff_t>(position), entries.end(),
        [&](const ScriptRecordPtr& r) { return !r->isSite() && r->name == fields[2]; });
    if (found == entries.end()) {
        return;
    }
    ScriptRecordPtr record = std::move(*found);
    entries.erase(found);
    record->enabled = enabled;
    for (std::size_t i = 3; i < fields.size(); ++i) {
        auto category = std::find_if(record->categories.begin(), record->categories.end(),
            [&](const Category& c) { return c.name == fields[i]; });
        if (category != record->categories.end()) {
            category->checked = true;
        }
    }
    entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(position++), std::move(record));
}

void loadScriptEntries(const ProfileFile& file, ScriptList& scripts)
{
    const std::int64_t count = file.readInt(kScriptSection, kCountKey, kDefaultCount);
    // Missing keys read as empty and would be skipped anyway, so only the
    // keys present are visited: a huge Count costs nothing more.
    std::size_t position = 0;
    for (std::int64_t i : file.numberedKeys(kScriptSection)) {
        if (i >= count) {
            break;
        }
        std::vector<std::string> fields = splitFields(file.readString(kScriptSection, entryKey(i), ""));
        if (fields.size() < 3) {
            continue;
        }
        bool enabled = fields[1] == "*";
        if (fields[0] == "R") {
            placeSite(fields, enabled, scripts, position);
        } else {
            placeScript(fields, enabled, scripts, position);
        }
    }
}

std::int32_t readNumber(const ProfileFile& file, const SettingKey& key)
{
    std::int32_t number = file.readInt(key.section, key.key, key.defaultNumber);
    if (key.maximum != 0 && (number < 1 || number > key.maximum)) {
        return key.defaultNumber;
    }
    return number;
}

} // namespace

Settings readSettings(const ProfileFile& file)
{
    Settings settings;
    for (const SettingKey& key : kSettingKeys) {
        if (key.number) {
            *key.number(settings) = readNumber(file, key);
        } else {
            *key.text(settings) = file.readString(key.section, key.key, key.defaultText);
        }
    }
    return settings;
}

Settings loadSettings(const ProfileFile& file, ScriptList& scripts)
{
    loadScriptEntries(file, scripts);
    return readSettings(file);
}

std::string scriptEntry(const ScriptRecord& record)
{
    std::string value = record.isSite() ? "R" : "N";
    value += record.enabled ? ",*" : ",.";
    value += "," + record.name;
    if (record.isSite()) {
        value += "," + record.url;
        return value;
    }
    for (const Category& category : record.categories) {
        if (category.checked) {
            value += "," + category.name;
        }
    }
    return value;
}

void storeSettings(ProfileFile& file, const ScriptList& scripts, const Settings& settings)
{
    file.writeInt(kScriptSection, kCountKey, static_cast<std::int32_t>(scripts.entries.size()));
    for (std::size_t i = 0; i < scripts.entries.size(); ++i) {
        file.writeString(
            kScriptSection, entryKey(static_cast<std::int64_t>(i)), scriptEntry(*scripts.entries[i]));
    }
    Settings values = settings;
    for (const SettingKey& key : kSettingKeys) {
        if (key.number) {
            file.writeInt(key.section, key.key, *key.number(values));
        } else {
            file.writeString(key.section, key.key, *key.text(values));
        }
    }
}

std::optional<std::string> saveSettingsFile(
    const std::filesystem::path& path, const ScriptList& scripts, const Settings& settings)
{
    ProfileFile file = ProfileFile::load(path);
    storeSettings(file, scripts, settings);
    SaveResult saved = file.save(path);
    if (saved) {
        return std::nullopt;
    }
    return saved.error();
}

} // namespace zr5::core
