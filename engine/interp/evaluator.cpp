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

bool givesOld(UnaryOperator op)
{
    return op == UnaryOperator::PostIncrement || op == UnaryOperator::PostDecrement;
}

double stepOf(UnaryOperator op)
{
    return op == UnaryOperator::PreIncrement || op == UnaryOperator::PostIncrement ? 1.0 : -1.0;
}

bool holdsChild(const NodePtr& node)
{
    if (!node) {
        return false;
    }
    const NestingGuard nesting;
    return node->holds();
}

void evaluateArgumentsOf(const NodePtr& arguments, ArgumentValues& values)
{
    if (arguments) {
        const NestingGuard nesting;
        static_cast<const ArgumentList&>(*arguments).evaluateInto(values);
    }
}

// The function value itself is held for the whole call: the body may assign
// the variable it was called through and so drop the last other owner.
ValuePtr callFunction(ValuePtr function, std::span<ValuePtr> arguments, const ValuePtr& self)
{
    for (int steps = 0; function && function->isReference() && steps < VariableReference::kMaxReferenceChain;
         ++steps) {
        function = function->heldValue();
    }
    ValuePtr result;
    if (function && function->callable()) {
        const std::string* text = self ? self->stringRef() : nullptr;
        checkPoint(1 + (text ? text->size() / kTextBytesPerCheckPoint : 0));
        function->callable()->callWith(result, arguments, self);
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
            return callFunction(method->value, {}, object);
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

// An operand as the operators see it. A variable is read when the operation
// runs, after the operands to its right, as a reference to it would be; but
// its slot is held instead of a new reference.
class Operand final {
public:
    Operand(const NodePtr& node, const VariableRef* variable, const NumberLiteral* number)
    {
        if (variable) {
            m_slot = variable->slot();
        } else if (number) {
            m_fixed = &number->value();
        } else {
            m_value = evaluateChild(node);
        }
    }

    // Read only at the operation: the slot is held by its frame or the
    // globals until then, as nothing between can end either.
    const ValuePtr& value() const
    {
        if (m_fixed) {
            return *m_fixed;
        }
        if (!m_slot) {
            return m_value;
        }
        // An empty variable still converts (to false, 0, ""), unlike no value.
        return m_slot->value ? m_slot->value : emptyVariable();
    }

private:
    static const ValuePtr& emptyVariable()
    {
        static const ValuePtr empty = std::make_shared<VariableReference>(std::make_shared<VariableSlot>());
        return empty;
    }

    VariableSlot* m_slot = nullptr;
    const ValuePtr* m_fixed = nullptr;
    ValuePtr m_value;
};

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

bool Node::holds() const
{
    const ValuePtr condition = evaluate();
    return condition && condition->asBoolean();
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
    return m_value;
}
ValuePtr StringLiteral::evaluate() const
{
    if (!m_value) {
        m_value = makeString(m_text);
    }
    return m_value;
}

ValuePtr CompoundLiteral::evaluate() const
{
    ValuePtr elements = evaluateChild(m_elements);
    return elements && elements->isObject() ? elements : makeObject();
}

const ValuePtr& GlobalReferenceCache::globalReference(Scope& scope, std::string_view name) const
{
    if (m_generation != scope.generation() || !m_reference) {
        m_reference = std::make_shared<VariableReference>(scope.global(name));
        m_generation = scope.generation();
    }
    return m_reference;
}

const SlotPtr* GlobalReferenceCache::local(Scope& scope, std::string_view name) const
{
    if (m_localSlot >= 0) {
        return scope.localAt(static_cast<std::size_t>(m_localSlot));
    }
    return m_localSlot == kUnresolved ? scope.local(name) : nullptr;
}

ValuePtr GlobalReferenceCache::lookup(std::string_view name) const
{
    Scope& scope = currentScope();
    if (const SlotPtr* slot = local(scope, name)) {
        return std::make_shared<VariableReference>(*slot);
    }
    return globalReference(scope, name);
}

VariableSlot* GlobalReferenceCache::slot(std::string_view name) const
{
    Scope& scope = currentScope();
    if (const SlotPtr* slot = local(scope, name)) {
        return slot->get();
    }
    return static_cast<const VariableReference&>(*globalReference(scope, name)).slot().get();
}

ValuePtr ThisExpr::evaluate() const
{
    return m_global.lookup(kThisName);
}

ValuePtr VariableRef::evaluate() const
{
    return m_global.lookup(m_name);
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
    const Operand left(m_left, m_leftVariable, m_leftNumber);
    const Operand right(m_right, m_rightVariable, m_rightNumber);
    return binaryOperation(m_op, left.value(), right.value());
}

// A comparison tested by a statement makes no boolean value.
bool BinaryExpr::holds() const
{
    if (!isComparison(m_op)) {
        return Node::holds();
    }
    const Operand left(m_left, m_leftVariable, m_leftNumber);
    const Operand right(m_right, m_rightVariable, m_rightNumber);
    const ValuePtr& a = left.value();
    const ValuePtr& b = right.value();
    return a && b && comparisonHolds(m_op, *a, *b);
}

ValuePtr AssignExpr::growInPlace() const
{
    const ValuePtr tail = evaluateChild(*m_tail);
    const ValuePtr target = evaluateChild(m_target);
    const SlotPtr slot = target->variableSlot();
    Value* held = slot->value.get();
    if (tail && held && !held->isReference() && slot->value.use_count() == 1) {
        if (held->isString()) {
            static_cast<StringValue*>(held)->appendUnshared(*tail);
            return m_resultUnused ? ValuePtr() : slot->value;
        }
        if (held->isNumber() && !tail->isString()) {
            static_cast<NumberValue*>(held)->addUnshared(tail->asNumber());
            return m_resultUnused ? ValuePtr() : slot->value;
        }
    }
    return store(*slot, binaryOperation(BinaryOperator::Add, target, tail));
}

// Hands the stored value on only when somebody reads it.
ValuePtr AssignExpr::store(VariableSlot& slot, ValuePtr value) const
{
    if (m_resultUnused) {
        assignVariable(slot, std::move(value));
        return {};
    }
    assignVariable(slot, value);
    return value;
}

ValuePtr AssignExpr::evaluate() const
{
    if (growsInPlace()) {
        return growInPlace();
    }
    ValuePtr value = evaluateChild(m_value);
    if (value && value->isReference()) {
        value = value->heldValue();
    }
    if (m_variable && !m_compound) {
        return store(*m_variable->slot(), std::move(value));
    }
    const ValuePtr target = evaluateChild(m_target);
    if (!target || !target->isReference()) {
        return {};
    }
    if (m_compound) {
        value = binaryOperation(*m_compound, target, value);
    }
    return store(*target->variableSlot(), std::move(value));
}

ValuePtr UnaryExpr::evaluate() const
{
    if (isStep(m_op)) {
        return step();
    }
    return unaryOperation(m_op, evaluateChild(m_operand));
}

ValuePtr UnaryExpr::step() const
{
    if (m_variable) {
        // The common counter: a number only this variable holds.
        VariableSlot& slot = *m_variable->slot();
        Value* held = slot.value.get();
        if ((m_resultUnused || !givesOld(m_op)) && held && held->isNumber() && !held->isReference()
            && slot.value.use_count() == 1) {
            static_cast<NumberValue*>(held)->addUnshared(stepOf(m_op));
            return m_resultUnused ? ValuePtr() : slot.value;
        }
    }
    const ValuePtr operand = evaluateChild(m_operand);
    if (!operand || !operand->isReference() || !(operand->isNumber() || operand->isBoolean())) {
        return {};
    }
    const SlotPtr slot = operand->variableSlot();
    // A number only this variable holds is stepped where it is, unless the
    // old value is still wanted.
    Value* held = slot->value.get();
    if ((!givesOld(m_op) || m_resultUnused) && held && held->isNumber() && !held->isReference()
        && slot->value.use_count() == 1) {
        static_cast<NumberValue*>(held)->addUnshared(stepOf(m_op));
        return m_resultUnused ? ValuePtr() : slot->value;
    }
    ValuePtr updated = makeNumber(operand->asNumber() + stepOf(m_op));
    if (givesOld(m_op)) {
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

void ArgumentList::evaluateInto(ArgumentValues& values) const
{
    for (const NodePtr& expression : m_expressions) {
        values.add(evaluateChild(expression));
    }
}

ValuePtr ArgumentList::evaluate() const
{
    ArgumentValues values;
    evaluateInto(values);
    ObjectPtr arguments = makeObject();
    for (const ValuePtr& value : values.values()) {
        arguments->members().append(value);
    }
    return arguments;
}

ValuePtr CallExpr::evaluate() const
{
    if (m_calleeVariable) {
        return callVariable();
    }
    const ValuePtr callee = evaluateChild(m_callee);
    ArgumentValues arguments;
    evaluateArgumentsOf(m_arguments, arguments);
    if (!callee || !callee->isFunction()) {
        return {};
    }
    return callFunction(callee, arguments.values(), callee->thisObject());
}

// A variable's reference would be read only after the arguments, and a
// variable gives no `this`: so a function the variable holds itself is called
// without making the reference. The slot lives on through the arguments, as in
// Operand.
ValuePtr CallExpr::callVariable() const
{
    const VariableSlot& slot = *m_calleeVariable->slot();
    ArgumentValues arguments;
    evaluateArgumentsOf(m_arguments, arguments);
    const Value* held = slot.value.get();
    if (held && !held->isReference()) {
        return held->isFunction() ? callFunction(slot.value, arguments.values(), {}) : ValuePtr();
    }
    const ValuePtr callee = evaluateChild(m_callee);
    if (!callee || !callee->isFunction()) {
        return {};
    }
    return callFunction(callee, arguments.values(), callee->thisObject());
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
    ArgumentValues arguments;
    evaluateArgumentsOf(m_arguments, arguments);
    ObjectPtr object = makeObject();
    if (constructor && constructor->isFunction()) {
        callFunction(constructor, arguments.values(), object);
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
    // A copy: the initialiser may run calls.
    Scope& scope = currentScope();
    const SlotPtr slot = m_slot ? scope.declareAt(*m_slot) : scope.declare(m_name);
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
    ValuePtr completion = evaluateChild(holdsChild(m_condition) ? m_then : m_else);
    return isSignal(completion) ? completion : ValuePtr();
}

ValuePtr ForStatement::evaluate() const
{
    evaluateChild(m_init);
    ValuePtr result;
    while (holdsChild(m_test)) {
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
    while (skipTest || holdsChild(m_test)) {
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
    static const ValuePtr signal = std::make_shared<ReturnSignal>();
    currentScope().setReturned(evaluateChild(m_expression));
    return signal;
}

ValuePtr BreakStatement::evaluate() const
{
    static const ValuePtr signal = std::make_shared<BreakSignal>();
    return signal;
}
ValuePtr ContinueStatement::evaluate() const
{
    static const ValuePtr signal = std::make_shared<ContinueSignal>();
    return signal;
}
ValuePtr FunctionLiteral::evaluate() const
{
    return m_function;
}

} // namespace zr5::script
