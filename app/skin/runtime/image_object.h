// `image name { ... }`: a bitmap cut into animation cells. The animation
// commands (draw, wait, clear, stop, for) belong to phase 2, not to phase 1.
#pragma once

#include "skin/runtime/skin_object.h"

namespace zr5::skin {

class ImageObject final : public SkinObject {
public:
    using SkinObject::SkinObject;
    char kind() const override { return 'i'; }

protected:
    void visitStatement(const Node& statement) override;
};

} // namespace zr5::skin
