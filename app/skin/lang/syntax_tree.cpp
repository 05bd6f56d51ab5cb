#include "skin/lang/syntax_tree.h"

#include <vector>

namespace zr5::skin {

Node::~Node()
{
    std::vector<std::unique_ptr<Node>> pending;
    auto detach = [&pending](Node& node) {
        for (std::unique_ptr<Node>& child : node.m_children) {
            if (child) {
                pending.push_back(std::move(child));
            }
        }
    };
    detach(*this);
    while (!pending.empty()) {
        std::unique_ptr<Node> node = std::move(pending.back());
        pending.pop_back();
        detach(*node);
    }
}

} // namespace zr5::skin
