// Syntax tree of skin scripts. Every node records the line it was built on and
// owns its children. Trees can be very deep (a block of many statements is a
// left-nested chain of sequence nodes), so nothing that walks or frees a tree
// may recurse on its depth: the destructor frees iteratively, and the walkers
// in the runtime keep explicit stacks.
#pragma once

#include "skin/lang/cvariant.h"

#include <array>
#include <memory>
#include <string>

namespace zr5::skin {

enum class NodeKind {
    Const, // value
    Name, // name
    Op, // op, left, right (unary PLUS/MINUS: left only)
    Lerp, // a, b, t
    Statement, // name, expression
    For, // name (the variable), from, to, step, body
    Event, // name, body
    Seq, // first, second
};

// Operator codes of unary plus and minus (the grammar's PLUS and MINUS tokens).
inline constexpr int kOpPlus = 268;
inline constexpr int kOpMinus = 269;

class Node final {
public:
    static constexpr std::size_t kMaxChildren = 4;

    Node(NodeKind kind, int line)
        : m_kind(kind)
        , m_line(line)
    {
    }
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    ~Node();

    NodeKind kind() const { return m_kind; }
    int line() const { return m_line; }
    const CVariant& value() const { return m_value; }
    const std::string& name() const { return m_name; }
    int op() const { return m_op; }
    const Node* child(std::size_t index) const { return m_children[index].get(); }

    void setValue(CVariant value) { m_value = std::move(value); }
    void setName(std::string name) { m_name = std::move(name); }
    void setOp(int op) { m_op = op; }
    void setChild(std::size_t index, std::unique_ptr<Node> child) { m_children[index] = std::move(child); }

    // Child slots by kind, so callers say what they mean.
    const Node* left() const { return child(0); } // Op
    const Node* right() const { return child(1); } // Op
    const Node* expression() const { return child(0); } // Statement
    const Node* from() const { return child(0); } // For
    const Node* to() const { return child(1); } // For
    const Node* step() const { return child(2); } // For
    const Node* body() const { return m_kind == NodeKind::For ? child(3) : child(0); } // For, Event
    const Node* first() const { return child(0); } // Seq
    const Node* second() const { return child(1); } // Seq

private:
    NodeKind m_kind;
    int m_line;
    int m_op = 0;
    std::string m_name;
    CVariant m_value;
    std::array<std::unique_ptr<Node>, kMaxChildren> m_children;
};

} // namespace zr5::skin
