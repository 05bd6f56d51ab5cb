#include "skin/runtime/image_object.h"

namespace zr5::skin {

void ImageObject::visitStatement(const Node& statement)
{
    const std::string& name = statement.name();
    if (name == "draw" || name == "wait" || name == "clear" || name == "stop") {
        return;
    }
    CVariant value = defaultStatement(statement);
    if (name == "cell" && value.isNumber()) {
        set("cell0", value);
        set("cell1", value);
    }
}

} // namespace zr5::skin
