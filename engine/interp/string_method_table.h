// The process-wide table of methods every string value offers. Member access
// on a string looks names up here (no creation); the built-ins fill it each
// time an engine instance is constructed, replacing entries of the same name.
#pragma once

#include "interp/value.h"

#include <string_view>

namespace zr5::script {

class StringMethodTable final {
public:
    void set(std::string_view name, ValuePtr function);
    SlotPtr find(std::string_view name) const;

private:
    Properties m_methods;
};

StringMethodTable& stringMethods();

} // namespace zr5::script
