// The built-in library scripts can call. The engine instance registers it
// when it is constructed: string methods into the process-wide table first,
// then the globals in the order Document, Display, _Notify, Feed. A script's
// own global of the same name replaces a built-in, since the script's
// definitions come after.
#pragma once

#include "interp/value.h"

#include <functional>
#include <string_view>

namespace zr5::script {

using DefineGlobal = std::function<void(std::string_view name, ValuePtr value)>;

// Fills the string method table and defines Document, Display, _Notify and Feed.
void registerBuiltins(const DefineGlobal& defineGlobal);

} // namespace zr5::script

namespace zr5::script {

// ZR5S_InternetDocTest: fetch url with the system's settings and write the
// raw bytes to "temp.html" in the current directory (empty on failure).
void internetDocTest(const char* url);

} // namespace zr5::script
