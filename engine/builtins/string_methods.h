// The twelve methods every string value offers.
#pragma once

namespace zr5::script {

// Enters the methods into the process-wide string method table, replacing
// entries of the same names.
void registerStringMethods();

} // namespace zr5::script
