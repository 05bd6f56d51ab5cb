// `image name { ... }`: a bitmap cut into animation cells. The animation
// commands (draw, wait, clear, stop, for) belong to the compile phase, not to
// the properties phase: compile() turns them into the table `@code`.
#pragma once

#include "skin/runtime/animation_table.h"
#include "skin/runtime/skin_object.h"

namespace zr5::skin {

class ImageObject final : public SkinObject {
public:
    using SkinObject::SkinObject;
    char kind() const override { return 'i'; }
    void compile() override;

protected:
    void visitStatement(const Node& statement) override;

private:
    struct LoopFrame;

    void runCommand(const Node& statement, AnimationTableBuilder& builder);
    bool enterLoop(LoopFrame& frame);
    [[noreturn]] void failTableSize() const;
};

} // namespace zr5::skin
