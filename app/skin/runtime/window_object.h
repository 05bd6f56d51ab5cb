// `window name { ... }`: a nine-part frame bitmap. The window named `main`
// also gives the frame position, size and resize grips of the ticker.
#pragma once

#include "skin/runtime/skin_object.h"

namespace zr5::skin {

class WindowObject final : public SkinObject {
public:
    using SkinObject::SkinObject;
    char kind() const override { return 'w'; }

protected:
    void visitStatement(const Node& statement) override;

private:
    bool applyModeWord(const std::string& word);
    void fillGrips(const CVariant& value);
};

} // namespace zr5::skin
