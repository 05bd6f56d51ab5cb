// One loaded news script: its text pool, program tree, variables and
// categories. Each engine instance owns one.
#pragma once

#include "interp/object_arena.h"
#include "interp/scope.h"
#include "lang/syntax_tree.h"
#include "lang/text_pool.h"

#include <string>
#include <string_view>
#include <vector>

namespace zr5::script {

enum class ParseResult { Accepted = 0, Failed = 1, StackOverflow = 2 };

class Interpreter final {
public:
    // Registers the built-ins and makes this interpreter's scope current.
    Interpreter();
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // Parses a whole script; syntax errors are printed on standard output.
    // Throws std::runtime_error when the script nests deeper than the tree allows.
    ParseResult parse(std::string_view source);
    // The lines the last parse printed, each ending with a line feed.
    const std::string& parseErrors() const { return m_parseErrors; }
    void runTopLevel();

    std::size_t categoryCount() const { return m_categories.size(); }
    // Throws std::out_of_range ("invalid vector<T> subscript") for a bad index.
    const std::string& categoryName(std::size_t index) const;
    void runCategory(std::size_t index);

    // Services of the parser.
    const char* poolText(std::string_view text) { return m_pool.intern(text); }
    ValuePtr defineFunction(const char* name, NodePtr parameters, NodePtr body);
    void addCategory(const char* name, NodePtr body);
    void setRoot(NodePtr root) { m_root = std::move(root); }

    Scope& scope() { return m_scope; }

private:
    struct Category {
        std::string name;
        NodePtr body;
    };

    const Category& category(std::size_t index) const;
    // Makes this interpreter's scope and object arena the current ones.
    void makeCurrent();

    // First, so that it outlives everything that may hold its objects.
    ObjectArena m_arena;
    TextPool m_pool;
    NodePtr m_root;
    Scope m_scope;
    std::vector<Category> m_categories;
    std::string m_parseErrors;
};

} // namespace zr5::script
