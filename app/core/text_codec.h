// The one place where the program's Shift_JIS (CP932) text meets other
// encodings: UTF-8 (Qt strings, terminals) and the locale's encoding (file
// names). Characters the target cannot hold are dropped.
#pragma once

#include <string>
#include <string_view>

namespace zr5::core {

std::string cp932ToUtf8(std::string_view text);
std::string utf8ToCp932(std::string_view text);
// File names: the locale's encoding (UTF-8 on every current Linux) <-> CP932.
std::string localeToCp932(std::string_view name);
std::string cp932ToLocale(std::string_view name);

} // namespace zr5::core
