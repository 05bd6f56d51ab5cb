// Display and _Notify: the script's only way to hand results to the host.
// Each call becomes one synchronous call of the process-wide display
// callback; without a callback it is dropped.
#pragma once

#include "interp/value.h"

namespace zr5::script {

ValuePtr makeDisplayFunction();
ValuePtr makeNotifyFunction();

} // namespace zr5::script
