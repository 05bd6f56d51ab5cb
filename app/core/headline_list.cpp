#include "core/headline_list.h"

namespace zr5::core {

void HeadlineList::append(std::string title, std::string link, std::string label)
{
    if (label.empty()) {
        label = m_currentLabel;
    }
    m_headlines.push_back({ std::move(title), std::move(link), std::move(label) });
}

HeadlineListPtr makeSingleHeadlineList(std::string label, std::string title, std::string link)
{
    auto list = std::make_shared<HeadlineList>(std::move(label));
    list->append(std::move(title), std::move(link));
    return list;
}

} // namespace zr5::core
