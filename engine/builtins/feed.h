// Feed: a script's feed reader. An ordinary object whose open(url) fetches a
// feed and fills "title", "link" and "items" (an array of objects with
// "title" and "link", and a "length"), all plain Shift_JIS text.
#pragma once

#include "interp/value.h"

namespace zr5::script {

// The constructor function value, meant for `new Feed()`.
ValuePtr makeFeedConstructor();

} // namespace zr5::script
