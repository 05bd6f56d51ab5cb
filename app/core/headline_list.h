// Headlines and the lists a patrol fills.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace zr5::core {

struct Headline {
    std::string title;
    std::string link;
    std::string label; // "script:category", a site name, "PR" or "Information."
};

// Filled by one worker thread while nobody else holds it, then handed to the
// display on the main thread; after the hand-over it is only read. So it
// needs no lock of its own.
class HeadlineList final {
public:
    HeadlineList() = default;
    explicit HeadlineList(std::string label)
        : m_currentLabel(std::move(label))
    {
    }

    void setCurrentLabel(std::string label) { m_currentLabel = std::move(label); }
    const std::string& currentLabel() const { return m_currentLabel; }
    // An empty label stands for the current label.
    void append(std::string title, std::string link, std::string label = {});
    std::size_t size() const { return m_headlines.size(); }
    bool empty() const { return m_headlines.empty(); }
    const Headline& at(std::size_t index) const { return m_headlines.at(index); }

private:
    std::vector<Headline> m_headlines;
    std::string m_currentLabel;
};

using HeadlineListPtr = std::shared_ptr<HeadlineList>;

// A list of one headline under one label (start-up and fallback lists).
HeadlineListPtr makeSingleHeadlineList(std::string label, std::string title, std::string link);

} // namespace zr5::core
