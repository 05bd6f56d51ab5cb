#include "skin_dump.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace zr5::skin {
namespace {

constexpr std::size_t kMaxDepth = 64;

std::string formatDouble(double value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, result.ptr);
}

void appendValue(std::string& out, const CVariant& value, std::vector<const CVariantList*>& path);

void appendList(std::string& out, const CVariantList& list, std::vector<const CVariantList*>& path)
{
    if (path.size() >= kMaxDepth || std::find(path.begin(), path.end(), &list) != path.end()) {
        out += "(...)";
        return;
    }
    path.push_back(&list);
    out += '(';
    for (std::size_t i = 0; i < list.items().size(); ++i) {
        out += i == 0 ? "" : ", ";
        appendValue(out, list.items()[i], path);
    }
    out += ')';
    path.pop_back();
}

void appendValue(std::string& out, const CVariant& value, std::vector<const CVariantList*>& path)
{
    if (value.isEmpty()) {
        out += "empty";
    } else if (value.isBoolean()) {
        out += value.asBoolean() ? "true" : "false";
    } else if (value.isInteger()) {
        out += std::to_string(value.asInteger());
    } else if (value.isDouble()) {
        out += formatDouble(value.asDouble());
    } else if (value.isString()) {
        out += '"' + value.asString() + '"';
    } else if (value.isList()) {
        appendList(out, *value.asList(), path);
    } else {
        out += '[';
        const IntTable& table = *value.asTable();
        for (std::size_t i = 0; i < table.size(); ++i) {
            out += (i == 0 ? "" : ", ") + std::to_string(table[i]);
        }
        out += ']';
    }
}

} // namespace

std::string formatValue(const CVariant& value)
{
    std::string out;
    std::vector<const CVariantList*> path;
    appendValue(out, value, path);
    return out;
}

std::string dumpSkin(const Skin& skin)
{
    std::string out;
    for (const auto& [key, object] : skin.objects()) {
        for (const auto& [name, value] : object->properties()) {
            out += key + "." + name + " = " + formatValue(value) + "\n";
        }
    }
    for (const auto& sprite : skin.sprites()) {
        out += "sprite " + sprite->key() + " z=" + std::to_string(sprite->state().z) + "\n";
    }
    return out;
}

} // namespace zr5::skin
