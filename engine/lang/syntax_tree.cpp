// The tree's shape: construction and depth. Evaluation is in
// interp/evaluator.cpp.
#include "lang/syntax_tree.h"

#include <algorithm>

namespace zr5::script {

namespace {

void markUnused(const NodePtr& statement)
{
    if (statement) {
        statement->markResultUnused();
    }
}

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
    // The comma hands its right operand on as it is, reference included.
    if (m_op != BinaryOperator::Comma) {
        m_leftVariable = dynamic_cast<const VariableRef*>(m_left.get());
        m_rightVariable = dynamic_cast<const VariableRef*>(m_right.get());
    }
}

AssignExpr::AssignExpr(std::optional<BinaryOperator> compound, NodePtr target, NodePtr value)
    : m_compound(compound)
    , m_target(std::move(target))
    , m_value(std::move(value))
{
    setDepth(maxDepth({ &m_target, &m_value }));
    const auto* variable = dynamic_cast<const VariableRef*>(m_target.get());
    if (!variable) {
        return;
    }
    m_variable = variable;
    if (m_compound == BinaryOperator::Add) {
        m_grown = variable;
        m_tail = &m_value;
    } else if (const auto* sum = dynamic_cast<const BinaryExpr*>(m_value.get());
               !m_compound && sum && sum->op() == BinaryOperator::Add) {
        const auto* left = dynamic_cast<const VariableRef*>(sum->left().get());
        if (left && left->name() == variable->name()) {
            m_grown = variable;
            m_tail = &sum->right();
        }
    }
}

UnaryExpr::UnaryExpr(UnaryOperator op, NodePtr operand)
    : m_op(op)
    , m_operand(std::move(operand))
    , m_variable(dynamic_cast<const VariableRef*>(m_operand.get()))
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
        statement->markResultUnused();
        m_statements.push_back(std::move(statement));
    }
}

IfStatement::IfStatement(NodePtr condition, NodePtr then, NodePtr otherwise)
    : m_condition(std::move(condition))
    , m_then(std::move(then))
    , m_else(std::move(otherwise))
{
    setDepth(maxDepth({ &m_condition, &m_then, &m_else }));
    markUnused(m_then);
    markUnused(m_else);
}

ForStatement::ForStatement(NodePtr init, NodePtr test, NodePtr step, NodePtr body)
    : m_init(std::move(init))
    , m_test(std::move(test))
    , m_step(std::move(step))
    , m_body(std::move(body))
{
    setDepth(maxDepth({ &m_init, &m_test, &m_step, &m_body }));
    markUnused(m_init);
    markUnused(m_step);
    markUnused(m_body);
}

WhileStatement::WhileStatement(LoopForm form, NodePtr test, NodePtr body)
    : m_form(form)
    , m_test(std::move(test))
    , m_body(std::move(body))
{
    setDepth(maxDepth({ &m_test, &m_body }));
    markUnused(m_body);
}

ReturnStatement::ReturnStatement(NodePtr expression)
    : m_expression(std::move(expression))
{
    setDepth(maxDepth({ &m_expression }));
}

} // namespace zr5::script
