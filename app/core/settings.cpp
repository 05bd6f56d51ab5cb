#include "core/settings.h"

#include <algorithm>

namespace zr5::core {
namespace {

// Every key of the file, in the order the file is written; a default-constructed
// Settings holds the defaults. "Script" and its numbered entries come first and
// are handled apart.
struct SettingKey {
    std::string_view section;
    std::string_view key;
    std::int32_t* (*number)(Settings&); // exactly one of number and text is set
    std::string* (*text)(Settings&);
    std::int32_t maximum = 0; // numbers from minimum to maximum, else the default; 0: any number
    std::int32_t minimum = 1;
};

constexpr std::string_view kScriptSection = "Script";
constexpr std::string_view kCountKey = "Count";
constexpr std::int32_t kDefaultCount = 0;

#define ZR5_NUMBER(path) [](Settings& s) { return &s.path; }, nullptr
#define ZR5_TEXT(path) nullptr, [](Settings& s) { return &s.path; }
constexpr std::int32_t kMaxLimitSeconds = 86400;
const SettingKey kSettingKeys[] = {
    { "Timer", "Reload", ZR5_NUMBER(reloadMinutes) },
    { "Timer", "ScriptLimit", ZR5_NUMBER(scriptLimitSeconds), kMaxLimitSeconds },
    { "Timer", "FetchLimit", ZR5_NUMBER(fetchLimitSeconds), kMaxLimitSeconds },
    { "Window", "Skin", ZR5_TEXT(window.skin) },
    { "Window", "X", ZR5_NUMBER(window.x) },
    { "Window", "Y", ZR5_NUMBER(window.y) },
    { "Window", "Width", ZR5_NUMBER(window.width) },
    { "Window", "Height", ZR5_NUMBER(window.height) },
    { "Window", "Z", ZR5_NUMBER(window.z) },
    { "Window", "Sticking", ZR5_NUMBER(window.sticking) },
    { "Window", "Speed", ZR5_NUMBER(window.speed), 10, 0 },
    { "Window", "HoverPause", ZR5_NUMBER(window.hoverPause), 1, 0 },
    { "Window", "Dock", ZR5_NUMBER(window.dock), DockBottom, DockFree },
    { "Window", "Opacity", ZR5_NUMBER(window.opacity), 100, 20 },
    { "Window", "Screen", ZR5_TEXT(window.screen) },
    { "Proxy", "Type", ZR5_NUMBER(proxy.type) },
    { "Proxy", "Address", ZR5_TEXT(proxy.address) },
    { "Proxy", "Port", ZR5_NUMBER(proxy.port) },
    { "Proxy", "Local", ZR5_NUMBER(proxy.bypassLocal) },
    { "Notice", "URL", ZR5_TEXT(noticeUrl) },
};
#undef ZR5_NUMBER
#undef ZR5_TEXT

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
        std::vector<std::string> fields
            = splitFields(file.readString(kScriptSection, ProfileFile::numberedKey(i), ""));
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

// A ranged value that does not even start like a number ("abc", "on") keeps
// the default rather than reading as 0.
bool startsLikeNumber(std::string_view text)
{
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    return !text.empty() && text.front() >= '0' && text.front() <= '9';
}

std::int32_t readNumber(const ProfileFile& file, const SettingKey& key, std::int32_t fallback)
{
    if (key.maximum != 0 && !startsLikeNumber(file.readString(key.section, key.key, ""))) {
        return fallback;
    }
    std::int32_t number = file.readInt(key.section, key.key, fallback);
    if (key.maximum != 0 && (number < key.minimum || number > key.maximum)) {
        return fallback;
    }
    return number;
}

} // namespace

Settings readSettings(const ProfileFile& file)
{
    // Each field starts as its default and is read with it as the fallback.
    Settings settings;
    for (const SettingKey& key : kSettingKeys) {
        if (key.number) {
            std::int32_t& number = *key.number(settings);
            number = readNumber(file, key, number);
        } else {
            std::string& text = *key.text(settings);
            text = file.readString(key.section, key.key, text);
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
        file.writeString(kScriptSection, ProfileFile::numberedKey(static_cast<std::int64_t>(i)),
            scriptEntry(*scripts.entries[i]));
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
