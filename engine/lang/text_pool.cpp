#include "lang/text_pool.h"

namespace zr5::script {

const char* TextPool::intern(std::string_view text)
{
    auto it = m_texts.find(text);
    if (it == m_texts.end()) {
        it = m_texts.emplace(text).first;
    }
    return it->c_str();
}

} // namespace zr5::script
