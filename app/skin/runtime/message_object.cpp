#include "skin/runtime/message_object.h"

namespace zr5::skin {

void MessageObject::visitStatement(const Node& statement)
{
    const std::string& name = statement.name();
    if (name == "bold") {
        addStyle(StyleBold);
    } else if (name == "italic") {
        addStyle(StyleItalic);
    } else if (name == "edge" || name == "shadow") {
        addStyle(name == "edge" ? StyleEdge : StyleShadow);
        // `edge #ffffff;` also gives the colour.
        if (statement.expression()) {
            defaultStatement(statement);
        }
    } else {
        defaultStatement(statement);
    }
}

void MessageObject::addStyle(int flag)
{
    set("style", CVariant(get("style").toInt() | flag));
}

} // namespace zr5::skin
