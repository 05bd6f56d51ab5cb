// `workarea W, H;`: the design size of the ticker window. Its elements become
// the properties `0`, `1`, ...
#pragma once

#include "skin/runtime/skin_object.h"

namespace zr5::skin {

class WorkareaObject final : public SkinObject {
public:
    using SkinObject::SkinObject;
    char kind() const override { return '@'; }
    void evaluate() override;
};

} // namespace zr5::skin
