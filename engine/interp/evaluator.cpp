// Evaluation of the syntax tree: each node kind's evaluate() against the
// current scope, under the run limits.
#include "interp/evaluator.h"

#include "interp/operators.h"
#include "interp/run_limits.h"
#include "interp/scope.h"
#include "interp/string_method_table.h"

#include <cstdio>

namespace zr5::script {

namespace {

constexpr std::string_view kThisName = "this";
constexpr std::string_view kLengthKey = "length";
constexpr std::string_view kGetLengthMethod = "getLength";

bool isSignal(const ValuePtr& value)
{
    return value && (value->isReturn() || value->isBreak() || value->isContinue());
}

bool isStep(UnaryOperator op)
{
    return op == UnaryOperator::PreIncrement || op == UnaryOperator::PreDecrement
        || op == UnaryOperator::PostIncrement || op == UnaryOperator::PostDecrement;
}

// A condition lets a statement proceed only when it is a value and true.
bool holds(const ValuePtr& condition)
{
    return condition && condition->asBoolean();
}

ObjectPtr evaluateArgumentsOf(const NodePtr& arguments)
{
    if (arguments) {
        const NestingGuard nesting;
        return static_cast<const ArgumentList&>(*arguments).evaluateArguments();
    }
    return makeObject();
}

// The function value itself is held for the whole call: the body may assign
// the variable it was called through and so drop the last other owner.
ValuePtr callFunction(const ValuePtr& function, const ObjectPtr& arguments, const ValuePtr& self)
{
    ValuePtr held = function;
    for (int steps = 0; held && held->isReference() && steps < VariableReference::kMaxReferenceChain;
         ++steps) {
        held = held->heldValue();
    }
    ValuePtr result;
    if (held && held->callable()) {
        const std::string* text = self ? self->stringRef() : nullptr;
        checkPoint(1 + (text ? text->size() / kTextBytesPerCheckPoint : 0));
        held->callable()->call(result, arguments, self);
    }
    return result;
}

// Member access shared by a.b and a[b].
ValuePtr memberOf(const ValuePtr& object, std::string_view key)
{
    if (!object) {
        return {};
    }
    if (object->isString()) {
        if (key == kLengthKey) {
            const SlotPtr method = stringMethods().find(kGetLengthMethod);
            if (!method || !method->value || !method->value->isFunction()) {
                return {};
            }
            return callFunction(method->value, makeObject(), object);
        }
        const SlotPtr method = stringMethods().find(key);
        return method ? std::make_shared<MemberReference>(method, object) : ValuePtr();
    }
    if (object->isObject()) {
        const ValuePtr holder = object->isReference() ? object->heldValue() : object;
        Properties* members = object->properties();
        return std::make_shared<MemberReference>(members->findOrCreate(key), holder);
    }
    return {};
}

// Loop bodies: true when the loop must stop, with the result to hand upward.
bool endsLoop(const ValuePtr& completion, ValuePtr& result)
{
    if (completion && completion->isReturn()) {
        result = completion;
        return true;
    }
    return completion && completion->isBreak();
}

} // namespace

ValuePtr evaluateChild(const NodePtr& node)
{
    if (!node) {
        return {};
    }
    const NestingGuard nesting;
    return node->evaluate();
}

ValuePtr NullLiteral::evaluate() const
{
    return makeNull();
}
ValuePtr BoolLiteral::evaluate() const
{
    return makeBoolean(m_value);
}
ValuePtr NumberLiteral::evaluate() const
{
    return makeNumber(m_value);
}
ValuePtr StringLiteral::evaluate() const
{
    return makeString(m_text);
}

ValuePtr CompoundLiteral::evaluate() const
{
    ValuePtr elements = evaluateChild(m_elements);
    return elements && elements->isObject() ? elements : makeObject();
}

ValuePtr ThisExpr::evaluate() const
{
    return std::make_shared<VariableReference>(currentScope().lookup(kThisName));
}

ValuePtr VariableRef::evaluate() const
{
    return std::make_shared<VariableReference>(currentScope().lookup(m_name));
}

ValuePtr IndexExpr::evaluate() const
{
    const ValuePtr object = evaluateChild(m_object);
    const ValuePtr index = evaluateChild(m_index);
    if (!index) {
        return {};
    }
    return memberOf(object, index->asString());
}

ValuePtr MemberExpr::evaluate() const
{
    return memberOf(evaluateChild(m_object), m_name);
}

ValuePtr BinaryExpr::evaluate() const
{
    const ValuePtr left = evaluateChild(m_left);
    const ValuePtr right = evaluateChild(m_right);
    return binaryOperation(m_op, left, right);
}

ValuePtr AssignExpr::evaluate() const
{
    ValuePtr value = evaluateChild(m_value);
    if (value && value->isReference()) {
        value = value->heldValue();
    }
    const ValuePtr target = evaluateChild(m_target);
    if (!target || !target->isReference()) {
        return {};
    }
    if (m_compound) {
        value = binaryOperation(*m_compound, target, value);
    }
    assignVariable(target->variableSlot(), value);
    return value;
}

ValuePtr UnaryExpr::evaluate() const
{
    const ValuePtr operand = evaluateChild(m_operand);
    if (!isStep(m_op)) {
        return unaryOperation(m_op, operand);
    }
    if (!operand || !operand->isReference() || !(operand->isNumber() || operand->isBoolean())) {
        return {};
    }
    const SlotPtr slot = operand->variableSlot();
    const double step
        = (m_op == UnaryOperator::PreIncrement || m_op == UnaryOperator::PostIncrement) ? 1.0 : -1.0;
    ValuePtr updated = makeNumber(operand->asNumber() + step);
    if (m_op == UnaryOperator::PostIncrement || m_op == UnaryOperator::PostDecrement) {
        ValuePtr previous = operand->heldValue();
        assign(slot, std::move(updated));
        return previous;
    }
    assign(slot, updated);
    return updated;
}

ValuePtr LogicalExpr::evaluate() const
{
    const ValuePtr left = evaluateChild(m_left);
    if (!left) {
        return {};
    }
    const bool decided = m_op == LogicalOperator::Or ? left->asBoolean() : !left->asBoolean();
    if (decided) {
        return makeBoolean(m_op == LogicalOperator::Or);
    }
    const ValuePtr right = evaluateChild(m_right);
    return right ? makeBoolean(right->asBoolean()) : ValuePtr();
}

ValuePtr ConditionalExpr::evaluate() const
{
    const ValuePtr condition = evaluateChild(m_condition);
    if (!condition) {
        return {};
    }
    return evaluateChild(condition->asBoolean() ? m_then : m_else);
}

ValuePtr ParameterList::evaluate() const
{
    ObjectPtr names = makeObject();
    for (const char* name : m_names) {
        names->members().append(makeString(name));
    }
    return names;
}

ObjectPtr ArgumentList::evaluateArguments() const
{
    ObjectPtr arguments = makeObject();
    for (const NodePtr& expression : m_expressions) {
        arguments->members().append(evaluateChild(expression));
    }
    return arguments;
}

ValuePtr ArgumentList::evaluate() const
{
    return evaluateArguments();
}

ValuePtr CallExpr::evaluate() const
{
    const ValuePtr callee = evaluateChild(m_callee);
    const ObjectPtr arguments = evaluateArgumentsOf(m_arguments);
    if (!callee || !callee->isFunction()) {
        return {};
    }
    return callFunction(callee, arguments, callee->thisObject());
}

ValuePtr Attribute::evaluate() const
{
    return std::make_shared<AttributePair>(makeString(m_name), evaluateChild(m_value));
}

ValuePtr AttributeList::evaluate() const
{
    ObjectPtr object = makeObject();
    for (const NodePtr& attribute : m_attributes) {
        const ValuePtr pair = evaluateChild(attribute);
        if (!pair) {
            continue;
        }
        const ValuePtr name = pair->pairName();
        ValuePtr value = pair->pairValue();
        if (name && value) {
            assignVariable(object->members().findOrCreate(name->asString()), std::move(value));
        }
    }
    return object;
}

ValuePtr NewExpr::evaluate() const
{
    const ValuePtr constructor = evaluateChild(m_constructor);
    const ObjectPtr arguments = evaluateArgumentsOf(m_arguments);
    ObjectPtr object = makeObject();
    if (constructor && constructor->isFunction()) {
        callFunction(constructor, arguments, object);
    }
    return object;
}

ValuePtr PrintStatement::evaluate() const
{
    const ValuePtr value = evaluateChild(m_expression);
    if (value) {
        const std::string text = value->asString();
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
    return {};
}

ValuePtr VarDeclaration::evaluate() const
{
    const SlotPtr slot = currentScope().declare(m_name);
    if (m_initialiser) {
        assignVariable(slot, evaluateChild(m_initialiser));
    }
    return {};
}

ValuePtr StatementList::evaluate() const
{
    for (const NodePtr& statement : m_statements) {
        ValuePtr completion = evaluateChild(statement);
        if (isSignal(completion)) {
            return completion;
        }
    }
    return {};
}

ValuePtr IfStatement::evaluate() const
{
    ValuePtr completion = evaluateChild(holds(evaluateChild(m_condition)) ? m_then : m_else);
    return isSignal(completion) ? completion : ValuePtr();
}

ValuePtr ForStatement::evaluate() const
{
    evaluateChild(m_init);
    ValuePtr result;
    while (holds(evaluateChild(m_test))) {
        checkPoint();
        if (endsLoop(evaluateChild(m_body), result)) {
            return result;
        }
        evaluateChild(m_step);
    }
    return {};
}

ValuePtr WhileStatement::evaluate() const
{
    ValuePtr result;
    bool skipTest = m_form == LoopForm::BodyFirst;
    while (skipTest || holds(evaluateChild(m_test))) {
        skipTest = false;
        checkPoint();
        if (endsLoop(evaluateChild(m_body), result)) {
            return result;
        }
    }
    return {};
}

ValuePtr ReturnStatement::evaluate() const
{
    return std::make_shared<ReturnSignal>(evaluateChild(m_expression));
}

ValuePtr BreakStatement::evaluate() const
{
    return std::make_shared<BreakSignal>();
}
ValuePtr ContinueStatement::evaluate() const
{
    return std::make_shared<ContinueSignal>();
}
ValuePtr FunctionLiteral::evaluate() const
{
    return m_function;
}

} // namespace zr5::script
