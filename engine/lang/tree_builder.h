// What the grammar's actions call. Nodes travel through the parser's stack as
// raw pointers; each builder takes ownership of the nodes it is given, and
// hands the new node back the same way. A node nested deeper than the tree
// allows is dropped (null) and the parse marked as too deep. Operators come
// as the grammar's token codes and are mapped to the interpreter's here.
#pragma once

#include "lang/parse_context.h"
#include "lang/syntax_tree.h"

namespace zr5::script {

void discardNode(Node* node);
void setRoot(ParseContext& context, Node* root);

Node* buildStatementList(ParseContext& context, Node* list, Node* statement);
Node* buildPrint(ParseContext& context, Node* expression);
Node* buildIf(ParseContext& context, Node* condition, Node* then, Node* otherwise);
Node* buildFor(ParseContext& context, Node* init, Node* test, Node* step, Node* body);
Node* buildWhile(ParseContext& context, LoopForm form, Node* test, Node* body);
Node* buildReturn(ParseContext& context, Node* expression);
Node* buildBreak();
Node* buildContinue();
// Named function statement: defined now, leaves nothing in the tree.
Node* defineFunction(ParseContext& context, const char* name, Node* parameters, Node* body);
Node* buildParameters(Node* list, const char* name);
Node* buildArguments(ParseContext& context, Node* list, Node* expression);
// Category statement: registered now, leaves nothing in the tree.
Node* defineCategory(ParseContext& context, const char* name, Node* body);
Node* buildVar(ParseContext& context, const char* name, Node* initialiser);
Node* buildBinary(ParseContext& context, int op, Node* left, Node* right);
Node* buildAssign(ParseContext& context, int op, Node* target, Node* value);
Node* buildConditional(ParseContext& context, Node* condition, Node* then, Node* otherwise);
Node* buildLogical(ParseContext& context, int op, Node* left, Node* right);
Node* buildUnary(ParseContext& context, int op, Node* operand);
Node* buildNew(ParseContext& context, Node* constructor, Node* arguments);
Node* buildCall(ParseContext& context, Node* callee, Node* arguments);
Node* buildIndex(ParseContext& context, Node* object, Node* index);
Node* buildMember(ParseContext& context, Node* object, const char* name);
Node* buildThis();
Node* buildVariable(const char* name);
Node* buildNull();
Node* buildBool(int value);
Node* buildNumber(double value);
Node* buildString(const char* text);
Node* buildCompound(ParseContext& context, Node* elements);
// A function literal after `new`; a named one is also defined as a global.
Node* buildFunctionLiteral(ParseContext& context, const char* name, Node* parameters, Node* body);
Node* buildAttributes(ParseContext& context, Node* list, Node* attribute);
Node* buildAttribute(ParseContext& context, const char* name, Node* value);

} // namespace zr5::script
