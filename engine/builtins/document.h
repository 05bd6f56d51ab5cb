// Document: a script's window on the web. An ordinary object whose "src"
// holds the fetched text (converted to Shift_JIS with line feeds) and whose
// "index" is where get() reads the next tag or text run.
#pragma once

#include "interp/value.h"

namespace zr5::script {

// The constructor function value, meant for `new Document()`.
ValuePtr makeDocumentConstructor();

} // namespace zr5::script
