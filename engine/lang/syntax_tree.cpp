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

void resolveAll(NameResolver& resolver, std::initializer_list<const NodePtr*> children)
{
    for (const NodePtr* child : children) {
        if (*child) {
            (*child)->resolveNames(resolver);
        }
    }
}

void resolveEach(NameResolver& resolver, const std::vector<NodePtr>& children)
{
    for (const NodePtr& child : children) {
        if (child) {
            child->resolveNames(resolver);
        }
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

// Parameters first, in order (a repeated name is one slot, bound by its last
// argument as before), then `this`, then the `var` names as collected.
NameResolver::NameResolver(const std::vector<const char*>& parameterNames)
{
    for (const char* name : parameterNames) {
        declare(name);
        m_parameterSlots.push_back(static_cast<std::size_t>(slotOf(name)));
    }
    m_thisSlot = m_names.size();
    // `this` is a keyword, so no parameter or variable can take this slot.
    m_names.emplace_back("this");
}

void NameResolver::resolve(Node& body)
{
    m_collecting = true;
    body.resolveNames(*this);
    m_collecting = false;
    body.resolveNames(*this);
}

void NameResolver::declare(std::string_view name)
{
    if (slotOf(name) == kNeverLocal) {
        m_names.push_back(name);
    }
}

std::int32_t NameResolver::slotOf(std::string_view name) const
{
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        if (m_names[i] == name) {
            return static_cast<std::int32_t>(i);
        }
    }
    return kNeverLocal;
}

void CompoundLiteral::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_elements });
}

void ThisExpr::resolveNames(NameResolver& resolver)
{
    if (!resolver.collecting()) {
        m_global.resolve(resolver, "this");
    }
}

void VariableRef::resolveNames(NameResolver& resolver)
{
    if (!resolver.collecting()) {
        m_global.resolve(resolver, m_name);
    }
}

void IndexExpr::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_object, &m_index });
}

void MemberExpr::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_object });
}

void BinaryExpr::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_left, &m_right });
}

void AssignExpr::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_target, &m_value });
}

void UnaryExpr::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_operand });
}

void LogicalExpr::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_left, &m_right });
}

void ConditionalExpr::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_condition, &m_then, &m_else });
}

void ArgumentList::resolveNames(NameResolver& resolver)
{
    resolveEach(resolver, m_expressions);
}

void CallExpr::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_callee, &m_arguments });
}

void Attribute::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_value });
}

void AttributeList::resolveNames(NameResolver& resolver)
{
    resolveEach(resolver, m_attributes);
}

void NewExpr::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_constructor, &m_arguments });
}

void PrintStatement::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_expression });
}

void VarDeclaration::resolveNames(NameResolver& resolver)
{
    if (resolver.collecting()) {
        resolver.declare(m_name);
    } else {
        m_slot = static_cast<std::size_t>(resolver.slotOf(m_name));
    }
    resolveAll(resolver, { &m_initialiser });
}

void StatementList::resolveNames(NameResolver& resolver)
{
    resolveEach(resolver, m_statements);
}

void IfStatement::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_condition, &m_then, &m_else });
}

void ForStatement::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_init, &m_test, &m_step, &m_body });
}

void WhileStatement::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_test, &m_body });
}

void ReturnStatement::resolveNames(NameResolver& resolver)
{
    resolveAll(resolver, { &m_expression });
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
        m_leftNumber = dynamic_cast<const NumberLiteral*>(m_left.get());
        m_rightNumber = dynamic_cast<const NumberLiteral*>(m_right.get());
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
    , m_calleeVariable(dynamic_cast<const VariableRef*>(m_callee.get()))
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
