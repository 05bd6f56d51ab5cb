#include "skin/runtime/window_object.h"

#include <array>
#include <string_view>

namespace zr5::skin {
namespace {

// The mode words: bits to clear and set when `mode` is already a number, and
// the value they give when it is not.
struct ModeWord {
    std::string_view word;
    int clearBits;
    int setBits;
    int fresh;
};

constexpr std::array<ModeWord, 6> kModeWords { {
    { "stretch", 3, 0, 0 },
    { "xstretch", 1, 0, 2 },
    { "ystretch", 2, 0, 1 },
    { "tiling", 0, 3, 3 },
    { "xtiling", 0, 1, 1 },
    { "ytiling", 0, 2, 2 },
} };

} // namespace

void WindowObject::visitStatement(const Node& statement)
{
    const std::string& name = statement.name();
    if (applyModeWord(name)) {
        return;
    }
    CVariant value = defaultStatement(statement);
    if ((name == "xborder" || name == "yborder") && value.isNumber()) {
        set(name + "0", value);
        set(name + "1", value);
    } else if (name == "grip") {
        fillGrips(value);
    }
}

bool WindowObject::applyModeWord(const std::string& word)
{
    for (const ModeWord& mode : kModeWords) {
        if (mode.word != word) {
            continue;
        }
        CVariant current = get("mode");
        std::int32_t value
            = current.isNumber() ? (current.toInt() & ~mode.clearBits) | mode.setBits : mode.fresh;
        set("mode", CVariant(value));
        return true;
    }
    return false;
}

void WindowObject::fillGrips(const CVariant& value)
{
    if (value.isNumber()) {
        for (const char* grip : { "grip0", "grip1", "grip2", "grip3" }) {
            set(grip, value);
        }
        return;
    }
    if (!value.isList()) {
        return;
    }
    // Two values mean top/bottom and right/left.
    if (get("grip2").isEmpty()) {
        set("grip2", get("grip0"));
    }
    if (get("grip3").isEmpty()) {
        set("grip3", get("grip1"));
    }
}

} // namespace zr5::skin
