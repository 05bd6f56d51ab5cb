// State shared by the scanner and the grammar during one parse.
#pragma once

#include <string>

namespace zr5::script {

class Node;
class Interpreter;

// The semantic value that travels with each token and grammar symbol.
union TokenValue {
    int code;
    double number;
    const char* text;
    Node* node;
};

struct ParseContext {
    explicit ParseContext(Interpreter& owner)
        : interpreter(owner)
    {
    }

    Interpreter& interpreter;
    void* scanner = nullptr;
    int line = 1;
    std::string stringBuffer;
    // Set when a construct nested deeper than the tree allows was dropped.
    bool tooDeep = false;
    // Everything reportError printed, so that a host can show it too.
    std::string errorLines;
};

// Writes "(line) : error : message" on standard output and keeps it in
// errorLines; never stops the parse.
void reportError(ParseContext& context, const char* message);

// The scanner: next token code (0 at end of input) with its value.
int nextToken(TokenValue& value, ParseContext& context);

// The grammar: 0 accepted, 1 failed, 2 parser stack exhausted.
int parseTokens(ParseContext& context);

} // namespace zr5::script
