#include "skin/runtime/expression_evaluator.h"

#include <cmath>
#include <vector>

namespace zr5::skin {
namespace {

struct Frame {
    const Node* node;
    bool operandsPushed;
};

// `,` appends to a list on its left (sharing it), otherwise starts a new one.
CVariant listAppend(CVariant left, CVariant right)
{
    if (!left.isList()) {
        CVariant list = CVariant::newList();
        list.asList()->items().push_back(std::move(left));
        left = std::move(list);
    }
    left.asList()->items().push_back(std::move(right));
    return left;
}

CVariant applyOperator(int op, const CVariant& left, const CVariant& right)
{
    double a = left.toNumber();
    double b = right.toNumber();
    switch (op) {
    case '+':
        return CVariant(a + b);
    case '-':
        return CVariant(a - b);
    case '*':
        return CVariant(a * b);
    case '/':
        return CVariant(a / b);
    case '%':
        return CVariant(std::fmod(a, b));
    case kOpPlus:
        return CVariant(a);
    case kOpMinus:
        return CVariant(-a);
    default:
        return CVariant();
    }
}

std::size_t operandCount(const Node& node)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < Node::kMaxChildren; ++i) {
        count += node.child(i) ? 1 : 0;
    }
    return count;
}

// Combines the operands on top of the value stack into the node's result.
CVariant combine(const Node& node, std::vector<CVariant>& values)
{
    std::size_t count = operandCount(node);
    std::vector<CVariant> operands(std::make_move_iterator(values.end() - static_cast<std::ptrdiff_t>(count)),
        std::make_move_iterator(values.end()));
    values.resize(values.size() - count);
    operands.resize(3);
    if (node.kind() == NodeKind::Lerp) {
        double a = operands[0].toNumber();
        double b = operands[1].toNumber();
        return CVariant(a + operands[2].toNumber() * (b - a));
    }
    if (node.op() == ',') {
        return listAppend(std::move(operands[0]), std::move(operands[1]));
    }
    return applyOperator(node.op(), operands[0], operands[1]);
}

} // namespace

CVariant evaluateExpression(const Node* expression, const NameLookup& names)
{
    if (!expression) {
        return CVariant();
    }
    std::vector<Frame> stack { { expression, false } };
    std::vector<CVariant> values;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const Node& node = *frame.node;
        switch (node.kind()) {
        case NodeKind::Const:
            values.push_back(node.value());
            stack.pop_back();
            break;
        case NodeKind::Name:
            values.push_back(names.nameValue(node.name()));
            stack.pop_back();
            break;
        case NodeKind::Op:
        case NodeKind::Lerp:
            if (frame.operandsPushed) {
                values.push_back(combine(node, values));
                stack.pop_back();
                break;
            }
            frame.operandsPushed = true;
            // Pushed last to first so that they run left to right.
            for (std::size_t i = Node::kMaxChildren; i-- > 0;) {
                if (node.child(i)) {
                    stack.push_back({ node.child(i), false });
                }
            }
            break;
        default:
            values.emplace_back();
            stack.pop_back();
            break;
        }
    }
    return values.empty() ? CVariant() : std::move(values.back());
}

} // namespace zr5::skin
