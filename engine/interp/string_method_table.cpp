#include "interp/string_method_table.h"

namespace zr5::script {

void StringMethodTable::set(std::string_view name, ValuePtr function)
{
    assign(m_methods.findOrCreate(name), std::move(function));
}

SlotPtr StringMethodTable::find(std::string_view name) const
{
    return m_methods.find(name);
}

StringMethodTable& stringMethods()
{
    static StringMethodTable table;
    return table;
}

} // namespace zr5::script
