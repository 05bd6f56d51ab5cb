// Syntax tree of the news-script language. Every node evaluates to a value
// (possibly no value; see interp/evaluator.h); nodes own their children, texts
// are pooled.
#pragma once

#include "interp/operators.h"
#include "interp/value.h"

#include <memory>
#include <optional>
#include <vector>

namespace zr5::script {

class Node {
public:
    virtual ~Node() = default;
    virtual ValuePtr evaluate() const = 0;

    // Longest chain of nodes below and including this one; the builders keep
    // it bounded so evaluation and destruction never recurse too deep.
    int depth() const { return m_depth; }

protected:
    void setDepth(int depth) { m_depth = depth; }

private:
    int m_depth = 1;
};

using NodePtr = std::unique_ptr<Node>;

int depthOf(const NodePtr& node);

enum class LoopForm { TestFirst, BodyFirst };

class NullLiteral final : public Node {
public:
    ValuePtr evaluate() const override;
};

class BoolLiteral final : public Node {
public:
    explicit BoolLiteral(bool value)
        : m_value(value)
    {
    }
    ValuePtr evaluate() const override;

private:
    bool m_value;
};

class NumberLiteral final : public Node {
public:
    explicit NumberLiteral(double value)
        : m_value(value)
    {
    }
    ValuePtr evaluate() const override;

private:
    double m_value;
};

class StringLiteral final : public Node {
public:
    explicit StringLiteral(const char* text)
        : m_text(text)
    {
    }
    ValuePtr evaluate() const override;

private:
    const char* m_text;
};

class CompoundLiteral final : public Node {
public:
    explicit CompoundLiteral(NodePtr elements);
    ValuePtr evaluate() const override;

private:
    NodePtr m_elements;
};

class ThisExpr final : public Node {
public:
    ValuePtr evaluate() const override;
};

class VariableRef final : public Node {
public:
    explicit VariableRef(const char* name)
        : m_name(name)
    {
    }
    ValuePtr evaluate() const override;

private:
    const char* m_name;
};

class IndexExpr final : public Node {
public:
    IndexExpr(NodePtr object, NodePtr index);
    ValuePtr evaluate() const override;

private:
    NodePtr m_object;
    NodePtr m_index;
};

class MemberExpr final : public Node {
public:
    MemberExpr(NodePtr object, const char* name);
    ValuePtr evaluate() const override;

private:
    NodePtr m_object;
    const char* m_name;
};

class BinaryExpr final : public Node {
public:
    BinaryExpr(BinaryOperator op, NodePtr left, NodePtr right);
    ValuePtr evaluate() const override;

private:
    BinaryOperator m_op;
    NodePtr m_left;
    NodePtr m_right;
};

class AssignExpr final : public Node {
public:
    // compound: what `+=`, `<<=` and the like apply before storing; none for `=`.
    AssignExpr(std::optional<BinaryOperator> compound, NodePtr target, NodePtr value);
    ValuePtr evaluate() const override;

private:
    std::optional<BinaryOperator> m_compound;
    NodePtr m_target;
    NodePtr m_value;
};

class UnaryExpr final : public Node {
public:
    UnaryExpr(UnaryOperator op, NodePtr operand);
    ValuePtr evaluate() const override;

private:
    UnaryOperator m_op;
    NodePtr m_operand;
};

class LogicalExpr final : public Node {
public:
    LogicalExpr(LogicalOperator op, NodePtr left, NodePtr right);
    ValuePtr evaluate() const override;

private:
    LogicalOperator m_op;
    NodePtr m_left;
    NodePtr m_right;
};

class ConditionalExpr final : public Node {
public:
    ConditionalExpr(NodePtr condition, NodePtr then, NodePtr otherwise);
    ValuePtr evaluate() const override;

private:
    NodePtr m_condition;
    NodePtr m_then;
    NodePtr m_else;
};

// The list nodes hold their elements in source order: the grammar's
// left-leaning chains are flattened as they are built, so long lists never
// make deep trees.
class ParameterList final : public Node {
public:
    void append(const char* name) { m_names.push_back(name); }
    ValuePtr evaluate() const override;

private:
    std::vector<const char*> m_names;
};

class ArgumentList final : public Node {
public:
    void append(NodePtr expression);
    ValuePtr evaluate() const override;
    ObjectPtr evaluateArguments() const;

private:
    std::vector<NodePtr> m_expressions;
};

class CallExpr final : public Node {
public:
    CallExpr(NodePtr callee, NodePtr arguments);
    ValuePtr evaluate() const override;

private:
    NodePtr m_callee;
    NodePtr m_arguments;
};

class Attribute final : public Node {
public:
    Attribute(const char* name, NodePtr value);
    ValuePtr evaluate() const override;

private:
    const char* m_name;
    NodePtr m_value;
};

class AttributeList final : public Node {
public:
    void append(NodePtr attribute);
    ValuePtr evaluate() const override;

private:
    std::vector<NodePtr> m_attributes;
};

class NewExpr final : public Node {
public:
    NewExpr(NodePtr constructor, NodePtr arguments);
    ValuePtr evaluate() const override;

private:
    NodePtr m_constructor;
    NodePtr m_arguments;
};

class PrintStatement final : public Node {
public:
    explicit PrintStatement(NodePtr expression);
    ValuePtr evaluate() const override;

private:
    NodePtr m_expression;
};

class VarDeclaration final : public Node {
public:
    VarDeclaration(const char* name, NodePtr initialiser);
    ValuePtr evaluate() const override;

private:
    const char* m_name;
    NodePtr m_initialiser;
};

class StatementList final : public Node {
public:
    void append(NodePtr statement);
    ValuePtr evaluate() const override;

private:
    std::vector<NodePtr> m_statements;
};

class IfStatement final : public Node {
public:
    IfStatement(NodePtr condition, NodePtr then, NodePtr otherwise);
    ValuePtr evaluate() const override;

private:
    NodePtr m_condition;
    NodePtr m_then;
    NodePtr m_else;
};

class ForStatement final : public Node {
public:
    ForStatement(NodePtr init, NodePtr test, NodePtr step, NodePtr body);
    ValuePtr evaluate() const override;

private:
    NodePtr m_init;
    NodePtr m_test;
    NodePtr m_step;
    NodePtr m_body;
};

class WhileStatement final : public Node {
public:
    WhileStatement(LoopForm form, NodePtr test, NodePtr body);
    ValuePtr evaluate() const override;

private:
    LoopForm m_form;
    NodePtr m_test;
    NodePtr m_body;
};

class ReturnStatement final : public Node {
public:
    explicit ReturnStatement(NodePtr expression);
    ValuePtr evaluate() const override;

private:
    NodePtr m_expression;
};

class BreakStatement final : public Node {
public:
    ValuePtr evaluate() const override;
};

class ContinueStatement final : public Node {
public:
    ValuePtr evaluate() const override;
};

class FunctionLiteral final : public Node {
public:
    explicit FunctionLiteral(ValuePtr function)
        : m_function(std::move(function))
    {
    }
    ValuePtr evaluate() const override;

private:
    ValuePtr m_function;
};

} // namespace zr5::script
