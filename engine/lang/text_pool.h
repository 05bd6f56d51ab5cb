// Interned texts of identifiers and string literals: equal texts share one
// pointer for the life of the pool.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace zr5::script {

class TextPool final {
public:
    const char* intern(std::string_view text);
    std::size_t size() const { return m_texts.size(); }

private:
    // Node-based, so the pointers stay put as the set grows.
    std::set<std::string, std::less<>> m_texts;
};

} // namespace zr5::script
