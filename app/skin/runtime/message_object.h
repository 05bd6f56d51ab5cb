// `message name { ... }`: a text box for the headlines (`main`), their label
// (`sub`) or a fixed text.
#pragma once

#include "skin/runtime/skin_object.h"

namespace zr5::skin {

// Bits of the property `style`.
enum MessageStyle : int {
    StyleBold = 1,
    StyleItalic = 2,
    StyleEdge = 4,
    StyleShadow = 8,
};

class MessageObject final : public SkinObject {
public:
    using SkinObject::SkinObject;
    char kind() const override { return 'm'; }

protected:
    void visitStatement(const Node& statement) override;

private:
    void addStyle(int flag);
};

} // namespace zr5::skin
