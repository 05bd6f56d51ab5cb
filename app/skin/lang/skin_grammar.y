/* Grammar of skin scripts: blocks `kind name { statements }` and
   `workarea expr;`. Every action hands its parts to one builder of SkinParser. */
%require "3.8"
%define api.prefix {skin}
%define api.pure full
%define parse.error custom
%param {zr5::skin::SkinParser& ctx} {void* scanner}

%code requires {
#include "skin/lang/skin_parser.h"
}

%code provides {
int skinlex(SKINSTYPE* value, zr5::skin::SkinParser& ctx, void* scanner);
}

%code {
#include "skin/skin_messages.h"
#define YYINITDEPTH 200
#define YYMAXDEPTH 10000
namespace {
void skinerror(zr5::skin::SkinParser& ctx, void* scanner, const char* message);
}
}

%union {
    double number;
    int integer;
    std::string* text;
    zr5::skin::Node* node;
}

%token FOR 257 TO 258 STEP 259 EVENT 260 WORKAREA 261 NUL 262
%token <integer> BOOL 263
%token <number> NUMBER 264
%token <text> STRING 265 IDENTIFIER 266
%token <integer> BLOCKTYPE 267
%token PLUS 268 MINUS 269

%left ','
%left '+' '-'
%left '*' '/' '%'
%right PLUS MINUS

%type <node> stmt_list stmt expr_stmt comp_stmt ctrl_stmt expr expr_nc expr_paramfunc
%type <node> expr_prefix expr_postfix expr_postfix_nf expr_primary value

%start input

%%

input           : g_stmt_list
                ;
g_stmt_list     : %empty
                | g_stmt_list g_stmt
                ;
g_stmt          : block_stmt
                | workarea_stmt
                ;
block_stmt      : block_stmt_begin stmt_list block_stmt_end     { ctx.endBlock($2); }
                ;
block_stmt_begin: BLOCKTYPE IDENTIFIER '{'                      { ctx.beginBlock($1, $2); }
                ;
block_stmt_end  : '}'
                ;
workarea_stmt   : WORKAREA expr ';'                             { ctx.workarea($2); }
                ;
stmt_list       : %empty                                        { $$ = nullptr; }
                | stmt_list stmt                                { $$ = ctx.sequence($1, $2); }
                ;
stmt            : expr_stmt
                | comp_stmt
                | ctrl_stmt
                ;
expr_stmt       : IDENTIFIER ';'                                { $$ = ctx.statement($1, nullptr); }
                | IDENTIFIER expr ';'                           { $$ = ctx.statement($1, $2); }
                | IDENTIFIER '=' expr ';'                       { $$ = ctx.statement($1, $3); }
                | BLOCKTYPE expr ';'                            { $$ = ctx.kindStatement($1, $2); }
                | BLOCKTYPE '=' expr ';'                        { $$ = ctx.kindStatement($1, $3); }
                | ';'                                           { $$ = nullptr; }
                | error ';'                                     { $$ = nullptr; }
                ;
comp_stmt       : '{' stmt_list '}'                             { $$ = $2; }
                ;
ctrl_stmt       : FOR '(' IDENTIFIER '=' expr TO expr ')' stmt  { $$ = ctx.loop($3, $5, $7, nullptr, $9); }
                | FOR '(' IDENTIFIER '=' expr TO expr STEP expr ')' stmt
                                                                { $$ = ctx.loop($3, $5, $7, $9, $11); }
                | EVENT IDENTIFIER comp_stmt                    { $$ = ctx.event($2, $3); }
                ;
expr            : expr_nc
                | expr ',' expr_nc                              { $$ = ctx.op(',', $1, $3); }
                ;
expr_nc         : expr_prefix
                | expr_paramfunc
                | expr_nc '+' expr_nc                           { $$ = ctx.op('+', $1, $3); }
                | expr_nc '-' expr_nc                           { $$ = ctx.op('-', $1, $3); }
                | expr_nc '*' expr_nc                           { $$ = ctx.op('*', $1, $3); }
                | expr_nc '/' expr_nc                           { $$ = ctx.op('/', $1, $3); }
                | expr_nc '%' expr_nc                           { $$ = ctx.op('%', $1, $3); }
                ;
expr_paramfunc  : '[' expr_nc ',' expr_nc ',' expr_nc ']'       { $$ = ctx.lerp($2, $4, $6); }
                ;
expr_prefix     : expr_postfix
                | '+' expr_prefix %prec PLUS                    { $$ = ctx.op(PLUS, $2, nullptr); }
                | '-' expr_prefix %prec MINUS                   { $$ = ctx.op(MINUS, $2, nullptr); }
                ;
expr_postfix    : expr_postfix_nf
                ;
expr_postfix_nf : expr_primary
                ;
expr_primary    : value
                | IDENTIFIER                                    { $$ = ctx.name($1); }
                | '(' expr ')'                                  { $$ = $2; }
                ;
value           : BOOL                                          { $$ = ctx.constant(zr5::skin::CVariant($1 != 0)); }
                | NUMBER                                        { $$ = ctx.constant(zr5::skin::CVariant($1)); }
                | STRING                                        { $$ = ctx.constant(zr5::skin::CVariant(*$1)); }
                ;

%%

namespace {

// Symbol names as the error texts spell them.
const char* symbolName(yysymbol_kind_t kind)
{
    switch (kind) {
    case YYSYMBOL_YYEOF:
        return "$";
    case YYSYMBOL_YYUNDEF:
        return "$undefined.";
    default:
        return yysymbol_name(kind);
    }
}

void skinerror(zr5::skin::SkinParser& ctx, void*, const char* message)
{
    // Bison's only other message is its stack limit ("memory exhausted").
    (void)message;
    ctx.reportError(zr5::skin::msg::kStackOverflow);
}

} // namespace

static int yyreport_syntax_error(const yypcontext_t* context, zr5::skin::SkinParser& ctx, void*)
{
    constexpr int kMaxExpected = 4;
    yysymbol_kind_t expected[kMaxExpected];
    int total = yypcontext_expected_tokens(context, nullptr, 0);
    if (total <= 0) {
        ctx.reportError(zr5::skin::msg::kParseError);
        return 0;
    }
    std::string text(zr5::skin::msg::kParseErrorUnexpected);
    text += symbolName(yypcontext_token(context));
    if (total <= kMaxExpected) {
        int count = yypcontext_expected_tokens(context, expected, kMaxExpected);
        for (int i = 0; i < count; ++i) {
            text += i == 0 ? zr5::skin::msg::kExpecting : zr5::skin::msg::kOr;
            text += symbolName(expected[i]);
        }
    }
    ctx.reportError(text);
    return 0;
}
