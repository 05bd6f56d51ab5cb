#include "lang/tree_builder.h"

#include "interp/interpreter.h"
#include "interp/run_limits.h"
#include "lang/parser.hpp"

#include <stdexcept>
#include <string>

namespace zr5::script {

namespace {

// The grammar names operators by its token codes (the character itself for
// one-character operators); the tree holds the interpreter's own, so nothing
// past this file depends on the grammar's numbering.
[[noreturn]] void notAnOperator(int token)
{
    throw std::logic_error("token " + std::to_string(token) + " is no operator here");
}

BinaryOperator binaryOperator(int token)
{
    switch (token) {
    case ',':
        return BinaryOperator::Comma;
    case '+':
        return BinaryOperator::Add;
    case '-':
        return BinaryOperator::Subtract;
    case '*':
        return BinaryOperator::Multiply;
    case '/':
        return BinaryOperator::Divide;
    case '%':
        return BinaryOperator::Remainder;
    case '&':
        return BinaryOperator::BitAnd;
    case '|':
        return BinaryOperator::BitOr;
    case '^':
        return BinaryOperator::BitXor;
    case LSHIFT:
        return BinaryOperator::ShiftLeft;
    case RSHIFT:
        return BinaryOperator::ShiftRight;
    case LOGRSHIFT:
        return BinaryOperator::ShiftRightUnsigned;
    case EQEQ:
        return BinaryOperator::Equal;
    case NOTEQ:
        return BinaryOperator::NotEqual;
    case EQEQEQ:
        return BinaryOperator::StrictEqual;
    case NOTEQEQ:
        return BinaryOperator::StrictNotEqual;
    case '<':
        return BinaryOperator::Less;
    case LESSEQ:
        return BinaryOperator::LessEqual;
    case '>':
        return BinaryOperator::Greater;
    case GREATEREQ:
        return BinaryOperator::GreaterEqual;
    default:
        notAnOperator(token);
    }
}

UnaryOperator unaryOperator(int token)
{
    switch (token) {
    case PLUS:
        return UnaryOperator::Plus;
    case MINUS:
        return UnaryOperator::Minus;
    case '!':
        return UnaryOperator::Not;
    case '~':
        return UnaryOperator::Complement;
    case PLUSPLUS:
        return UnaryOperator::PreIncrement;
    case MINUSMINUS:
        return UnaryOperator::PreDecrement;
    case POSTPP:
        return UnaryOperator::PostIncrement;
    case POSTMM:
        return UnaryOperator::PostDecrement;
    default:
        notAnOperator(token);
    }
}

LogicalOperator logicalOperator(int token)
{
    switch (token) {
    case ANDAND:
        return LogicalOperator::And;
    case OROR:
        return LogicalOperator::Or;
    default:
        notAnOperator(token);
    }
}

// `=` stores the value as it is; `+=` and the rest carry their operation.
std::optional<BinaryOperator> compoundOperator(int token)
{
    if (token == '=') {
        return std::nullopt;
    }
    return binaryOperator(token);
}

NodePtr own(Node* node)
{
    return NodePtr(node);
}

// Hands a finished node to the parser's stack, or drops it when it nests
// deeper than evaluation and destruction may recurse.
Node* checked(ParseContext& context, NodePtr node)
{
    if (node && node->depth() > kMaxTreeDepth) {
        context.tooDeep = true;
        return nullptr;
    }
    return node.release();
}

template <typename List, typename Element> Node* appendTo(ParseContext& context, Node* list, Element element)
{
    NodePtr owned = own(list);
    if (!owned) {
        owned = std::make_unique<List>();
    }
    static_cast<List&>(*owned).append(std::move(element));
    return checked(context, std::move(owned));
}

} // namespace

void discardNode(Node* node)
{
    own(node);
}

void setRoot(ParseContext& context, Node* root)
{
    context.interpreter.setRoot(own(root));
}

Node* buildStatementList(ParseContext& context, Node* list, Node* statement)
{
    // "var a, b" starts its list from a lone declaration.
    if (list && !dynamic_cast<StatementList*>(list)) {
        auto wrapped = std::make_unique<StatementList>();
        wrapped->append(own(list));
        list = wrapped.release();
    }
    return appendTo<StatementList>(context, list, own(statement));
}

Node* buildPrint(ParseContext& context, Node* expression)
{
    return checked(context, std::make_unique<PrintStatement>(own(expression)));
}

Node* buildIf(ParseContext& context, Node* condition, Node* then, Node* otherwise)
{
    return checked(context, std::make_unique<IfStatement>(own(condition), own(then), own(otherwise)));
}

Node* buildFor(ParseContext& context, Node* init, Node* test, Node* step, Node* body)
{
    return checked(context, std::make_unique<ForStatement>(own(init), own(test), own(step), own(body)));
}

Node* buildWhile(ParseContext& context, LoopForm form, Node* test, Node* body)
{
    return checked(context, std::make_unique<WhileStatement>(form, own(test), own(body)));
}

Node* buildReturn(ParseContext& context, Node* expression)
{
    return checked(context, std::make_unique<ReturnStatement>(own(expression)));
}

Node* buildBreak()
{
    return std::make_unique<BreakStatement>().release();
}
Node* buildContinue()
{
    return std::make_unique<ContinueStatement>().release();
}

Node* defineFunction(ParseContext& context, const char* name, Node* parameters, Node* body)
{
    context.interpreter.defineFunction(name, own(parameters), own(body));
    return nullptr;
}

Node* buildParameters(Node* list, const char* name)
{
    NodePtr owned = own(list);
    if (!owned) {
        owned = std::make_unique<ParameterList>();
    }
    static_cast<ParameterList&>(*owned).append(name);
    return owned.release();
}

Node* buildArguments(ParseContext& context, Node* list, Node* expression)
{
    return appendTo<ArgumentList>(context, list, own(expression));
}

Node* defineCategory(ParseContext& context, const char* name, Node* body)
{
    context.interpreter.addCategory(name, own(body));
    return nullptr;
}

Node* buildVar(ParseContext& context, const char* name, Node* initialiser)
{
    return checked(context, std::make_unique<VarDeclaration>(name, own(initialiser)));
}

Node* buildBinary(ParseContext& context, int op, Node* left, Node* right)
{
    return checked(context, std::make_unique<BinaryExpr>(binaryOperator(op), own(left), own(right)));
}

Node* buildAssign(ParseContext& context, int op, Node* target, Node* value)
{
    return checked(context, std::make_unique<AssignExpr>(compoundOperator(op), own(target), own(value)));
}

Node* buildConditional(ParseContext& context, Node* condition, Node* then, Node* otherwise)
{
    return checked(context, std::make_unique<ConditionalExpr>(own(condition), own(then), own(otherwise)));
}

Node* buildLogical(ParseContext& context, int op, Node* left, Node* right)
{
    return checked(context, std::make_unique<LogicalExpr>(logicalOperator(op), own(left), own(right)));
}

Node* buildUnary(ParseContext& context, int op, Node* operand)
{
    return checked(context, std::make_unique<UnaryExpr>(unaryOperator(op), own(operand)));
}

Node* buildNew(ParseContext& context, Node* constructor, Node* arguments)
{
    return checked(context, std::make_unique<NewExpr>(own(constructor), own(arguments)));
}

Node* buildCall(ParseContext& context, Node* callee, Node* arguments)
{
    return checked(context, std::make_unique<CallExpr>(own(callee), own(arguments)));
}

Node* buildIndex(ParseContext& context, Node* object, Node* index)
{
    return checked(context, std::make_unique<IndexExpr>(own(object), own(index)));
}

Node* buildMember(ParseContext& context, Node* object, const char* name)
{
    return checked(context, std::make_unique<MemberExpr>(own(object), name));
}

Node* buildThis()
{
    return std::make_unique<ThisExpr>().release();
}
Node* buildVariable(const char* name)
{
    return std::make_unique<VariableRef>(name).release();
}
Node* buildNull()
{
    return std::make_unique<NullLiteral>().release();
}
Node* buildBool(int value)
{
    return std::make_unique<BoolLiteral>(value != 0).release();
}
Node* buildNumber(double value)
{
    return std::make_unique<NumberLiteral>(value).release();
}
Node* buildString(const char* text)
{
    return std::make_unique<StringLiteral>(text).release();
}

Node* buildCompound(ParseContext& context, Node* elements)
{
    return checked(context, std::make_unique<CompoundLiteral>(own(elements)));
}

Node* buildFunctionLiteral(ParseContext& context, const char* name, Node* parameters, Node* body)
{
    ValuePtr function = context.interpreter.defineFunction(name, own(parameters), own(body));
    return std::make_unique<FunctionLiteral>(std::move(function)).release();
}

Node* buildAttributes(ParseContext& context, Node* list, Node* attribute)
{
    return appendTo<AttributeList>(context, list, own(attribute));
}

Node* buildAttribute(ParseContext& context, const char* name, Node* value)
{
    return checked(context, std::make_unique<Attribute>(name, own(value)));
}

} // namespace zr5::script
