// Syntax tree of the news-script language. Every node evaluates to a value
// (possibly no value; see interp/evaluator.h); nodes own their children, texts
// are pooled.
#pragma once

#include "interp/operators.h"
#include "interp/value.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace zr5::script {

class Node;
using NodePtr = std::unique_ptr<Node>;

// Where a name in a function body is looked up. A call frame of the function
// has one slot per name the body can declare (its parameters, `this`, its
// `var` names), empty until the declaration runs; only those names can ever
// be the frame's, so every other name is global from the start.
class NameResolver final {
public:
    static constexpr std::int32_t kNeverLocal = -1;

    // parameterNames: pooled texts that outlive the function.
    explicit NameResolver(const std::vector<const char*>& parameterNames);
    // Collects the body's declarations, then tells every name in it its slot.
    void resolve(Node& body);

    // While collecting: the body declares name with `var`.
    void declare(std::string_view name);
    // After collecting: the frame slot of name, or kNeverLocal.
    std::int32_t slotOf(std::string_view name) const;
    bool collecting() const { return m_collecting; }

    const std::vector<std::string_view>& names() const { return m_names; }
    const std::vector<std::size_t>& parameterSlots() const { return m_parameterSlots; }
    std::size_t thisSlot() const { return m_thisSlot; }

private:
    std::vector<std::string_view> m_names;
    std::vector<std::size_t> m_parameterSlots;
    std::size_t m_thisSlot;
    bool m_collecting = true;
};

class Node {
public:
    virtual ~Node() = default;
    virtual ValuePtr evaluate() const = 0;
    // Whether a statement's condition lets it proceed: a value, and true.
    virtual bool holds() const;
    // Visits the names of a function body (see NameResolver); a node outside
    // every function body is never visited and looks names up by text.
    virtual void resolveNames(NameResolver&) { }
    // Told by a statement that drops what this node evaluates to (anything but
    // a signal), so the node may skip making a result nobody reads.
    virtual void markResultUnused() { }

    // Longest chain of nodes below and including this one; the builders keep
    // it bounded so evaluation and destruction never recurse too deep.
    int depth() const { return m_depth; }

protected:
    void setDepth(int depth) { m_depth = depth; }

private:
    int m_depth = 1;
};

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

// Literals hand out one shared value: values never change where more than
// one holder sees them, so the sharing is invisible.
class Scope;

class NumberLiteral final : public Node {
public:
    explicit NumberLiteral(double value)
        : m_value(makeNumber(value))
    {
    }
    ValuePtr evaluate() const override;
    const ValuePtr& value() const { return m_value; }

private:
    ValuePtr m_value;
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
    // Made at the first evaluation, where its memory is charged to the run.
    mutable ValuePtr m_value;
};

class CompoundLiteral final : public Node {
public:
    explicit CompoundLiteral(NodePtr elements);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

private:
    NodePtr m_elements;
};

// A reference to a name's global slot as last found, with the scope
// generation it belongs to, so a name that is no call's local is looked up
// once rather than on every evaluation. The reference is shared like any
// value (it never changes). In a function body the name's frame slot, if it
// has one, is asked first.
class GlobalReferenceCache final {
public:
    ValuePtr lookup(std::string_view name) const;
    // The slot the name stands for now, without making a reference to it;
    // held by the call frame or the globals.
    VariableSlot* slot(std::string_view name) const;
    void resolve(const NameResolver& resolver, std::string_view name) { m_localSlot = resolver.slotOf(name); }

private:
    // Code outside every function body runs with no call of its own, so its
    // names are looked up by text in whatever frame is innermost.
    static constexpr std::int32_t kUnresolved = -2;

    const SlotPtr* local(Scope& scope, std::string_view name) const;
    const ValuePtr& globalReference(Scope& scope, std::string_view name) const;

    mutable std::uint64_t m_generation = 0;
    mutable ValuePtr m_reference;
    std::int32_t m_localSlot = kUnresolved;
};

class ThisExpr final : public Node {
public:
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

private:
    GlobalReferenceCache m_global;
};

class VariableRef final : public Node {
public:
    explicit VariableRef(const char* name)
        : m_name(name)
    {
    }
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;
    std::string_view name() const { return m_name; }
    VariableSlot* slot() const { return m_global.slot(m_name); }

private:
    std::string_view m_name;
    GlobalReferenceCache m_global;
};

class IndexExpr final : public Node {
public:
    IndexExpr(NodePtr object, NodePtr index);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

private:
    NodePtr m_object;
    NodePtr m_index;
};

class MemberExpr final : public Node {
public:
    MemberExpr(NodePtr object, const char* name);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

private:
    NodePtr m_object;
    std::string_view m_name;
};

class BinaryExpr final : public Node {
public:
    BinaryExpr(BinaryOperator op, NodePtr left, NodePtr right);
    ValuePtr evaluate() const override;
    bool holds() const override;
    void resolveNames(NameResolver& resolver) override;
    BinaryOperator op() const { return m_op; }
    const NodePtr& left() const { return m_left; }
    const NodePtr& right() const { return m_right; }

private:
    BinaryOperator m_op;
    NodePtr m_left;
    NodePtr m_right;
    // Operands that name a variable, read from its slot at the operation, and
    // number literals, read in place.
    const VariableRef* m_leftVariable = nullptr;
    const VariableRef* m_rightVariable = nullptr;
    const NumberLiteral* m_leftNumber = nullptr;
    const NumberLiteral* m_rightNumber = nullptr;
};

class AssignExpr final : public Node {
public:
    // compound: what `+=`, `<<=` and the like apply before storing; none for `=`.
    AssignExpr(std::optional<BinaryOperator> compound, NodePtr target, NodePtr value);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

    void markResultUnused() override { m_resultUnused = true; }

private:
    // "x = x + tail" and "x += tail" on a variable: the text or number x holds
    // grows in place when x is its only holder.
    bool growsInPlace() const { return m_grown != nullptr; }
    ValuePtr growInPlace() const;
    ValuePtr store(VariableSlot& slot, ValuePtr value) const;

    std::optional<BinaryOperator> m_compound;
    NodePtr m_target;
    NodePtr m_value;
    const VariableRef* m_grown = nullptr;
    const NodePtr* m_tail = nullptr;
    // The target when it is a plain variable, stored into without a reference.
    const VariableRef* m_variable = nullptr;
    bool m_resultUnused = false;
};

class UnaryExpr final : public Node {
public:
    UnaryExpr(UnaryOperator op, NodePtr operand);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;
    void markResultUnused() override { m_resultUnused = true; }

private:
    ValuePtr step() const;

    UnaryOperator m_op;
    NodePtr m_operand;
    const VariableRef* m_variable = nullptr;
    bool m_resultUnused = false;
};

class LogicalExpr final : public Node {
public:
    LogicalExpr(LogicalOperator op, NodePtr left, NodePtr right);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

private:
    LogicalOperator m_op;
    NodePtr m_left;
    NodePtr m_right;
};

class ConditionalExpr final : public Node {
public:
    ConditionalExpr(NodePtr condition, NodePtr then, NodePtr otherwise);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

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
    const std::vector<const char*>& names() const { return m_names; }

private:
    std::vector<const char*> m_names;
};

class ArgumentList final : public Node {
public:
    void append(NodePtr expression);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;
    void evaluateInto(ArgumentValues& values) const;

private:
    std::vector<NodePtr> m_expressions;
};

class CallExpr final : public Node {
public:
    CallExpr(NodePtr callee, NodePtr arguments);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

private:
    ValuePtr callVariable() const;

    NodePtr m_callee;
    NodePtr m_arguments;
    // The callee when it is a plain variable, read from its slot.
    const VariableRef* m_calleeVariable = nullptr;
};

class Attribute final : public Node {
public:
    Attribute(const char* name, NodePtr value);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

private:
    const char* m_name;
    NodePtr m_value;
};

class AttributeList final : public Node {
public:
    void append(NodePtr attribute);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

private:
    std::vector<NodePtr> m_attributes;
};

class NewExpr final : public Node {
public:
    NewExpr(NodePtr constructor, NodePtr arguments);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

private:
    NodePtr m_constructor;
    NodePtr m_arguments;
};

class PrintStatement final : public Node {
public:
    explicit PrintStatement(NodePtr expression);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

private:
    NodePtr m_expression;
};

class VarDeclaration final : public Node {
public:
    VarDeclaration(const char* name, NodePtr initialiser);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

private:
    std::string_view m_name;
    NodePtr m_initialiser;
    // The frame slot in a function body; none outside every function.
    std::optional<std::size_t> m_slot;
};

class StatementList final : public Node {
public:
    void append(NodePtr statement);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

private:
    std::vector<NodePtr> m_statements;
};

class IfStatement final : public Node {
public:
    IfStatement(NodePtr condition, NodePtr then, NodePtr otherwise);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

private:
    NodePtr m_condition;
    NodePtr m_then;
    NodePtr m_else;
};

class ForStatement final : public Node {
public:
    ForStatement(NodePtr init, NodePtr test, NodePtr step, NodePtr body);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

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
    void resolveNames(NameResolver& resolver) override;

private:
    LoopForm m_form;
    NodePtr m_test;
    NodePtr m_body;
};

class ReturnStatement final : public Node {
public:
    explicit ReturnStatement(NodePtr expression);
    ValuePtr evaluate() const override;
    void resolveNames(NameResolver& resolver) override;

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
