// The tree's shape: construction and depth. Evaluation is in
// interp/evaluator.cpp.
#include "lang/syntax_tree.h"

#include <algorithm>

namespace zr5::script {

namespace {

int maxDepth(std::initializer_list<const NodePtr*> children)
{
    int depth = 0;
    for (const NodePtr* child : children) {
        depth = std::max(depth, depthOf(*child));
    }
    return depth + 1;
}

} // namespace

int depthOf(const NodePtr& node)
{
    return node ? node->depth() : 0;
}

CompoundLiteral::CompoundLiteral(NodePtr elements)
    : m_elements(std::move(elements))
{
    setDepth(maxDepth({ &m_elements }));
}

IndexExpr::IndexExpr(NodePtr object, NodePtr index)
    : m_object(std::move(object))
    , m_index(std::move(index))
{
    setDepth(maxDepth({ &m_object, &m_index }));
}

MemberExpr::MemberExpr(NodePtr object, const char* name)
    : m_object(std::move(object))
    , m_name(name)
{
    setDepth(maxDepth({ &m_object }));
}

BinaryExpr::BinaryExpr(BinaryOperator op, NodePtr left, NodePtr right)
    : m_op(op)
    , m_left(std::move(left))
    , m_right(std::move(right))
{
    setDepth(maxDepth({ &m_left, &m_right }));
}

AssignExpr::AssignExpr(std::optional<BinaryOperator> compound, NodePtr target, NodePtr value)
    : m_compound(compound)
    , m_target(std::move(target))
    , m_value(std::move(value))
{
    setDepth(maxDepth({ &m_target, &m_value }));
}

UnaryExpr::UnaryExpr(UnaryOperator op, NodePtr operand)
    : m_op(op)
    , m_operand(std::move(operand))
{
    setDepth(maxDepth({ &m_operand }));
}

LogicalExpr::LogicalExpr(LogicalOperator op, NodePtr left, NodePtr right)
    : m_op(op)
    , m_left(std::move(left))
    , m_right(std::move(right))
{
    setDepth(maxDepth({ &m_left, &m_right }));
}

ConditionalExpr::ConditionalExpr(NodePtr condition, NodePtr then, NodePtr otherwise)
    : m_condition(std::move(condition))
    , m_then(std::move(then))
    , m_else(std::move(otherwise))
{
    setDepth(maxDepth({ &m_condition, &m_then, &m_else }));
}

void ArgumentList::append(NodePtr expression)
{
    setDepth(std::max(depth(), depthOf(expression) + 1));
    m_expressions.push_back(std::move(expression));
}

CallExpr::CallExpr(NodePtr callee, NodePtr arguments)
    : m_callee(std::move(callee))
    , m_arguments(std::move(arguments))
{
    setDepth(maxDepth({ &m_callee, &m_arguments }));
}

Attribute::Attribute(const char* name, NodePtr value)
    : m_name(name)
    , m_value(std::move(value))
{
    setDepth(maxDepth({ &m_value }));
}

void AttributeList::append(NodePtr attribute)
{
    setDepth(std::max(depth(), depthOf(attribute) + 1));
    m_attributes.push_back(std::move(attribute));
}

NewExpr::NewExpr(NodePtr constructor, NodePtr arguments)
    : m_constructor(std::move(constructor))
    , m_arguments(std::move(arguments))
{
    setDepth(maxDepth({ &m_constructor, &m_arguments }));
}

PrintStatement::PrintStatement(NodePtr expression)
    : m_expression(std::move(expression))
{
    setDepth(maxDepth({ &m_expression }));
}

VarDeclaration::VarDeclaration(const char* name, NodePtr initialiser)
    : m_name(name)
    , m_initialiser(std::move(initialiser))
{
    setDepth(maxDepth({ &m_initialiser }));
}

void StatementList::append(NodePtr statement)
{
    if (statement) {
        setDepth(std::max(depth(), depthOf(statement) + 1));
        m_statements.push_back(std::move(statement));
    }
}

IfStatement::IfStatement(NodePtr condition, NodePtr then, NodePtr otherwise)
    : m_condition(std::move(condition))
    , m_then(std::move(then))
    , m_else(std::move(otherwise))
{
    setDepth(maxDepth({ &m_condition, &m_then, &m_else }));
}

ForStatement::ForStatement(NodePtr init, NodePtr test, NodePtr step, NodePtr body)
    : m_init(std::move(init))
    , m_test(std::move(test))
    , m_step(std::move(step))
    , m_body(std::move(body))
{
    setDepth(maxDepth({ &m_init, &m_test, &m_step, &m_body }));
}

WhileStatement::WhileStatement(LoopForm form, NodePtr test, NodePtr body)
    : m_form(form)
    , m_test(std::move(test))
    , m_body(std::move(body))
{
    setDepth(maxDepth({ &m_test, &m_body }));
}

ReturnStatement::ReturnStatement(NodePtr expression)
    : m_expression(std::move(expression))
{
    setDepth(maxDepth({ &m_expression }));
}

} // namespace zr5::script
