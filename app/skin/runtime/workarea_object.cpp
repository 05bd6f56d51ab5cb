#include "skin/runtime/workarea_object.h"

namespace zr5::skin {

void WorkareaObject::evaluate()
{
    setPhase(LoadPhase::Properties);
    CVariant value = evaluateExpression(body(), *this);
    if (value.isList() && body()) {
        expandList("", value, body()->line());
    }
}

} // namespace zr5::skin
