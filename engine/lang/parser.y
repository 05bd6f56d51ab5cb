/* Grammar of the news-script language. Each action calls one builder; the
   builders own the tree (see tree_builder.h). */
%require "3.8"
%define api.pure full
%define api.prefix {zr5parse}
%define parse.error custom
%define api.value.type {zr5::script::TokenValue}
%lex-param {zr5::script::ParseContext& context}
%parse-param {zr5::script::ParseContext& context}

%code requires {
#include "lang/parse_context.h"
}

%code top {
/* The parser stack starts at 200 entries and doubles up to 10000; deeper
   nesting fails the parse with "parser stack overflow". */
#define YYINITDEPTH 200
#define YYMAXDEPTH 10000
}

%code {
#include "lang/messages.h"
#include "lang/tree_builder.h"

#include <string>

using namespace zr5::script;

static int zr5parselex(ZR5PARSESTYPE* value, ParseContext& context)
{
    return nextToken(*value, context);
}

static void zr5parseerror(ParseContext& context, const char* message);
}

%token IF 257 ELSE 258 FOR 259 WHILE 260 DO 261 RETURN 262 BREAK 263 CONTINUE 264
%token FUNCTION 265 VAR 266 CATEGORY 267 NUL 268
%token <code> BOOL 269
%token <number> NUMBER 270
%token <text> STRING 271 IDENTIFIER 272
%token THIS 273
%token <code> ASSIGN 274 OROR 275 ANDAND 276 EQEQ 277 NOTEQ 278 EQEQEQ 279 NOTEQEQ 280
%token <code> LESSEQ 281 GREATEREQ 282 LSHIFT 283 RSHIFT 284 LOGRSHIFT 285
%token <code> PLUSPLUS 286 MINUSMINUS 287 PLUS 288 MINUS 289 NEW 290 DELETE 291 TYPEOF 292
%token POSTPP 293 POSTMM 294

%left ','
%right '=' ASSIGN
%right '?' ':'
%left OROR
%left ANDAND
%left '|'
%left '^'
%left '&'
%left EQEQ NOTEQ EQEQEQ NOTEQEQ
%left '<' LESSEQ '>' GREATEREQ
%left LSHIFT RSHIFT LOGRSHIFT
%left '+' '-'
%left '*' '/' '%'
%right PLUSPLUS MINUSMINUS PLUS MINUS '~' '!' NEW DELETE TYPEOF
%left POSTPP POSTMM
%left '(' '.' '['

%type <node> statement_list statement expr_statement comp_statement ctrl_statement
%type <node> define_function parameter_list parameters argument_list arguments
%type <node> define_category declvar_statement declvar_list declvar expr expr_nc
%type <node> expr_prefix expr_postfix expr_postfix_nf expr_primary value
%type <node> literal_array literal_object literal_function attribute_list attributes attribute

%destructor { discardNode($$); } <node>

%expect 2

%%

input
    : { context.line = 1; } statement_list            { setRoot(context, $2); }
    ;

statement_list
    : %empty                                           { $$ = nullptr; }
    | statement_list statement                         { $$ = buildStatementList(context, $1, $2); }
    ;

statement
    : expr_statement
    | comp_statement
    | ctrl_statement
    | define_function
    | define_category
    | declvar_statement
    ;

expr_statement
    : ';'                                              { $$ = nullptr; }
    | expr ';'                                         { $$ = $1; }
    | '@' expr ';'                                     { $$ = buildPrint(context, $2); }
    | error ';'                                        { $$ = nullptr; }
    ;

comp_statement
    : '{' statement_list '}'                           { $$ = $2; }
    ;

ctrl_statement
    : IF '(' expr ')' statement                        { $$ = buildIf(context, $3, $5, nullptr); }
    | IF '(' expr ')' statement ELSE statement         { $$ = buildIf(context, $3, $5, $7); }
    | FOR '(' expr ';' expr ';' expr ')' statement     { $$ = buildFor(context, $3, $5, $7, $9); }
    | WHILE '(' expr ')' statement                     { $$ = buildWhile(context, LoopForm::TestFirst, $3, $5); }
    | DO statement WHILE '(' expr ')' ';'              { $$ = buildWhile(context, LoopForm::BodyFirst, $5, $2); }
    | RETURN expr ';'                                  { $$ = buildReturn(context, $2); }
    | BREAK ';'                                        { $$ = buildBreak(); }
    | CONTINUE ';'                                     { $$ = buildContinue(); }
    ;

define_function
    : FUNCTION IDENTIFIER '(' parameter_list ')' comp_statement
                                                       { $$ = defineFunction(context, $2, $4, $6); }
    ;

parameter_list
    : %empty                                           { $$ = nullptr; }
    | parameters
    ;

parameters
    : IDENTIFIER                                       { $$ = buildParameters(nullptr, $1); }
    | parameters ',' IDENTIFIER                        { $$ = buildParameters($1, $3); }
    ;

argument_list
    : %empty                                           { $$ = nullptr; }
    | arguments
    ;

arguments
    : expr_nc                                          { $$ = buildArguments(context, nullptr, $1); }
    | arguments ',' expr_nc                            { $$ = buildArguments(context, $1, $3); }
    ;

define_category
    : CATEGORY STRING comp_statement                   { $$ = defineCategory(context, $2, $3); }
    ;

declvar_statement
    : VAR declvar_list ';'                             { $$ = $2; }
    ;

declvar_list
    : declvar
    | declvar_list ',' declvar                         { $$ = buildStatementList(context, $1, $3); }
    ;

declvar
    : IDENTIFIER                                       { $$ = buildVar(context, $1, nullptr); }
    | IDENTIFIER '=' expr_nc                           { $$ = buildVar(context, $1, $3); }
    ;

expr
    : expr_nc
    | expr ',' expr_nc                                 { $$ = buildBinary(context, ',', $1, $3); }
    ;

expr_nc
    : expr_prefix
    | expr_postfix '=' expr_nc                         { $$ = buildAssign(context, '=', $1, $3); }
    | expr_postfix ASSIGN expr_nc                      { $$ = buildAssign(context, $2, $1, $3); }
    | expr_nc '?' expr ':' expr_nc                     { $$ = buildConditional(context, $1, $3, $5); }
    | expr_nc ANDAND expr_nc                           { $$ = buildLogical(context, ANDAND, $1, $3); }
    | expr_nc OROR expr_nc                             { $$ = buildLogical(context, OROR, $1, $3); }
    | expr_nc '&' expr_nc                              { $$ = buildBinary(context, '&', $1, $3); }
    | expr_nc '|' expr_nc                              { $$ = buildBinary(context, '|', $1, $3); }
    | expr_nc '^' expr_nc                              { $$ = buildBinary(context, '^', $1, $3); }
    | expr_nc EQEQ expr_nc                             { $$ = buildBinary(context, EQEQ, $1, $3); }
    | expr_nc NOTEQ expr_nc                            { $$ = buildBinary(context, NOTEQ, $1, $3); }
    | expr_nc EQEQEQ expr_nc                           { $$ = buildBinary(context, EQEQEQ, $1, $3); }
    | expr_nc NOTEQEQ expr_nc                          { $$ = buildBinary(context, NOTEQEQ, $1, $3); }
    | expr_nc '<' expr_nc                              { $$ = buildBinary(context, '<', $1, $3); }
    | expr_nc LESSEQ expr_nc                           { $$ = buildBinary(context, LESSEQ, $1, $3); }
    | expr_nc '>' expr_nc                              { $$ = buildBinary(context, '>', $1, $3); }
    | expr_nc GREATEREQ expr_nc                        { $$ = buildBinary(context, GREATEREQ, $1, $3); }
    | expr_nc RSHIFT expr_nc                           { $$ = buildBinary(context, RSHIFT, $1, $3); }
    | expr_nc LSHIFT expr_nc                           { $$ = buildBinary(context, LSHIFT, $1, $3); }
    | expr_nc LOGRSHIFT expr_nc                        { $$ = buildBinary(context, LOGRSHIFT, $1, $3); }
    | expr_nc '+' expr_nc                              { $$ = buildBinary(context, '+', $1, $3); }
    | expr_nc '-' expr_nc                              { $$ = buildBinary(context, '-', $1, $3); }
    | expr_nc '*' expr_nc                              { $$ = buildBinary(context, '*', $1, $3); }
    | expr_nc '/' expr_nc                              { $$ = buildBinary(context, '/', $1, $3); }
    | expr_nc '%' expr_nc                              { $$ = buildBinary(context, '%', $1, $3); }
    ;

expr_prefix
    : expr_postfix
    | PLUSPLUS expr_prefix                             { $$ = buildUnary(context, PLUSPLUS, $2); }
    | MINUSMINUS expr_prefix                           { $$ = buildUnary(context, MINUSMINUS, $2); }
    | '+' expr_prefix                                  { $$ = buildUnary(context, PLUS, $2); }
    | '-' expr_prefix                                  { $$ = buildUnary(context, MINUS, $2); }
    | '~' expr_prefix                                  { $$ = buildUnary(context, '~', $2); }
    | '!' expr_prefix                                  { $$ = buildUnary(context, '!', $2); }
    | NEW expr_postfix_nf                              { $$ = buildNew(context, $2, nullptr); }
    | NEW expr_postfix_nf '(' argument_list ')'        { $$ = buildNew(context, $2, $4); }
    ;

expr_postfix
    : expr_postfix_nf
    | expr_postfix '(' argument_list ')'               { $$ = buildCall(context, $1, $3); }
    ;

expr_postfix_nf
    : expr_primary
    | expr_postfix '[' expr ']'                        { $$ = buildIndex(context, $1, $3); }
    | expr_postfix '.' IDENTIFIER                      { $$ = buildMember(context, $1, $3); }
    | expr_postfix PLUSPLUS                            { $$ = buildUnary(context, POSTPP, $1); }
    | expr_postfix MINUSMINUS                          { $$ = buildUnary(context, POSTMM, $1); }
    ;

expr_primary
    : value
    | THIS                                             { $$ = buildThis(); }
    | IDENTIFIER                                       { $$ = buildVariable($1); }
    | '(' expr ')'                                     { $$ = $2; }
    ;

value
    : NUL                                              { $$ = buildNull(); }
    | BOOL                                             { $$ = buildBool($1); }
    | NUMBER                                           { $$ = buildNumber($1); }
    | STRING                                           { $$ = buildString($1); }
    | literal_array
    | literal_object
    | literal_function
    ;

literal_array
    : NEW '[' argument_list ']'                        { $$ = buildCompound(context, $3); }
    ;

literal_object
    : NEW '{' attribute_list '}'                       { $$ = buildCompound(context, $3); }
    ;

literal_function
    : NEW FUNCTION '(' parameter_list ')' comp_statement
                                                       { $$ = buildFunctionLiteral(context, nullptr, $4, $6); }
    | NEW FUNCTION IDENTIFIER '(' parameter_list ')' comp_statement
                                                       { $$ = buildFunctionLiteral(context, $3, $5, $7); }
    ;

attribute_list
    : %empty                                           { $$ = nullptr; }
    | attributes
    ;

attributes
    : attribute                                        { $$ = buildAttributes(context, nullptr, $1); }
    | attributes ',' attribute                         { $$ = buildAttributes(context, $1, $3); }
    ;

attribute
    : IDENTIFIER ':' expr_nc                           { $$ = buildAttribute(context, $1, $3); }
    ;

%%

namespace {

// Names as syntax-error messages print them: the old verbose style writes the
// end of input as "$" and an unknown token as "$undefined.".
const char* symbolName(yysymbol_kind_t symbol)
{
    switch (symbol) {
    case YYSYMBOL_YYEOF: return messages::kEndOfInputName;
    case YYSYMBOL_YYUNDEF: return messages::kUndefinedTokenName;
    default: return yysymbol_name(symbol);
    }
}

// "parse error, unexpected X[, expecting A or B ...]": tokens with an explicit
// action in the state, in symbol order, listed only when fewer than five.
std::string syntaxErrorMessage(const yypcontext_t* yyctx)
{
    const int base = yypact[*yyctx->yyssp];
    if (yypact_value_is_default(base) || base >= YYLAST) {
        return messages::kParseError;
    }
    std::string message = messages::kUnexpected;
    message += symbolName(yypcontext_token(yyctx));
    const int first = base < 0 ? -base : 0;
    const int last = YYLAST - base + 1 < YYNTOKENS ? YYLAST - base + 1 : YYNTOKENS;
    std::string expected;
    int count = 0;
    for (int symbol = first; symbol < last; ++symbol) {
        if (yycheck[symbol + base] == symbol && symbol != YYSYMBOL_YYerror) {
            expected += count++ == 0 ? messages::kExpecting : messages::kExpectingMore;
            expected += symbolName(static_cast<yysymbol_kind_t>(symbol));
        }
    }
    return count < 5 ? message + expected : message;
}

} // namespace

static int yyreport_syntax_error(const yypcontext_t* yyctx, ParseContext& context)
{
    try {
        reportError(context, syntaxErrorMessage(yyctx).c_str());
    } catch (const std::bad_alloc&) {
        reportError(context, messages::kParseErrorNoMemory);
    }
    return 0;
}

// Bison's own messages: only stack exhaustion reaches here.
static void zr5parseerror(ParseContext& context, const char*)
{
    reportError(context, messages::kStackOverflow);
}

namespace zr5::script {

int parseTokens(ParseContext& context)
{
    return zr5parseparse(context);
}

} // namespace zr5::script
