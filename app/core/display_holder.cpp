#include "core/display_holder.h"

namespace zr5::core {
namespace {

std::size_t sizeOf(const HeadlineListPtr& list)
{
    return list ? list->size() : 0;
}

} // namespace

DisplayHolder::DisplayHolder()
    : m_main(std::make_shared<HeadlineList>())
{
}

void DisplayHolder::setMainList(HeadlineListPtr list)
{
    m_main = list ? std::move(list) : std::make_shared<HeadlineList>();
    rewind();
}

void DisplayHolder::setNoticeList(HeadlineListPtr list)
{
    m_notice = std::move(list);
    clampIndices();
}

void DisplayHolder::rewind()
{
    m_position = 0.0;
    m_cursor = Cursor {};
}

void DisplayHolder::clampIndices()
{
    if (m_cursor.mainIndex >= sizeOf(m_main)) {
        m_cursor.mainIndex = 0;
    }
    if (m_cursor.noticeIndex >= sizeOf(m_notice)) {
        m_cursor.noticeIndex = 0;
    }
}

bool DisplayHolder::noticeDue() const
{
    return m_cursor.sinceNotice == kNoticePeriod || m_main->empty();
}

const Headline* DisplayHolder::currentHeadline() const
{
    if (noticeDue() && m_cursor.noticeIndex < sizeOf(m_notice)) {
        return &m_notice->at(m_cursor.noticeIndex);
    }
    if (m_cursor.mainIndex < m_main->size()) {
        return &m_main->at(m_cursor.mainIndex);
    }
    return nullptr;
}

bool DisplayHolder::isValid() const
{
    return m_cursor.mainIndex < m_main->size() || m_cursor.noticeIndex < sizeOf(m_notice);
}

void DisplayHolder::next()
{
    if (++m_cursor.sinceNotice > kNoticePeriod) {
        m_cursor.sinceNotice = 0;
        if (m_notice) {
            if (++m_cursor.noticeIndex >= m_notice->size()) {
                m_cursor.noticeIndex = 0;
            }
            return;
        }
    }
    if (++m_cursor.mainIndex >= m_main->size()) {
        m_cursor.mainIndex = 0;
    }
}

} // namespace zr5::core
