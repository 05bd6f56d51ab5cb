#include "interp/interpreter.h"

#include "builtins/builtins.h"
#include "interp/evaluator.h"
#include "interp/run_limits.h"
#include "interp/script_function.h"
#include "lang/messages.h"
#include "lang/parse_context.h"
#include "lang/scanner.h"

#include <stdexcept>

namespace zr5::script {

Interpreter::Interpreter()
{
    setCurrentScope(&m_scope);
    setCurrentArena(nullptr);
    registerBuiltins(
        [this](std::string_view name, ValuePtr value) { assign(m_scope.global(name), std::move(value)); });
    // Only now: what the built-ins make at registration is shared, not the script's.
    setCurrentArena(&m_arena);
}

void Interpreter::makeCurrent()
{
    setCurrentScope(&m_scope);
    setCurrentArena(&m_arena);
}

Interpreter::~Interpreter()
{
    if (&currentScope() == &m_scope) {
        setCurrentScope(nullptr);
    }
    if (currentArena() == &m_arena) {
        setCurrentArena(nullptr);
    }
    m_scope.clearGlobals();
    m_arena.releaseAll();
}

ParseResult Interpreter::parse(std::string_view source)
{
    makeCurrent();
    ParseContext context(*this);
    int result = 0;
    {
        const Scanner scanner(context, source);
        result = parseTokens(context);
    }
    m_parseErrors = std::move(context.errorLines);
    if (result == 0 && context.tooDeep) {
        throw std::runtime_error(messages::kNestingTooDeep);
    }
    return static_cast<ParseResult>(result);
}

void Interpreter::runTopLevel()
{
    makeCurrent();
    const RunWatch watch;
    evaluateChild(m_root);
}

const Interpreter::Category& Interpreter::category(std::size_t index) const
{
    if (index >= m_categories.size()) {
        throw std::out_of_range(messages::kBadCategoryIndex);
    }
    return m_categories[index];
}

const std::string& Interpreter::categoryName(std::size_t index) const
{
    return category(index).name;
}

void Interpreter::runCategory(std::size_t index)
{
    const Category& body = category(index);
    makeCurrent();
    const RunWatch watch;
    evaluateChild(body.body);
}

ValuePtr Interpreter::defineFunction(const char* name, NodePtr parameters, NodePtr body)
{
    makeCurrent();
    static const std::vector<const char*> kNoParameters;
    NameResolver names(parameters ? static_cast<const ParameterList&>(*parameters).names() : kNoParameters);
    if (body) {
        names.resolve(*body);
    }
    auto function = makeFunction(std::make_shared<ScriptFunction>(name ? name : "", names, std::move(body)));
    if (name) {
        assign(m_scope.global(name), function);
    }
    return function;
}

void Interpreter::addCategory(const char* name, NodePtr body)
{
    m_categories.push_back(Category { name ? name : "", std::move(body) });
}

} // namespace zr5::script
