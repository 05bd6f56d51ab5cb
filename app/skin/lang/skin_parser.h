// SkinParser: the parse context of one skin script. It runs the generated
// scanner and grammar, counts lines, collects the syntax error text and hands
// every finished block to an ObjectSink (the skin's object table).
#pragma once

#include "skin/lang/syntax_tree.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace zr5::skin {

// Kind letters of the blocks, also the first letter of every object key.
inline constexpr char kKindWindow = 'w';
inline constexpr char kKindImage = 'i';
inline constexpr char kKindLayer = 'l';
inline constexpr char kKindMessage = 'm';
inline constexpr char kKindWorkarea = '@';

// "window", "image", "layer", "message", "workarea"; empty for any other letter.
std::string_view kindWord(char kind);

class ObjectSink {
public:
    virtual ~ObjectSink() = default;
    // A finished block (or workarea statement) of the given kind and name.
    virtual void createObject(char kind, const std::string& name, std::unique_ptr<Node> body) = 0;
};

// Values under construction that the grammar holds by plain pointer in its
// stack. Whatever error recovery drops is freed with the pool.
template <typename T> class PendingPool final {
public:
    T* keep(std::unique_ptr<T> item)
    {
        T* raw = item.get();
        m_items.emplace(raw, std::move(item));
        return raw;
    }
    std::unique_ptr<T> take(T* item)
    {
        auto it = m_items.find(item);
        if (it == m_items.end()) {
            return nullptr;
        }
        std::unique_ptr<T> owned = std::move(it->second);
        m_items.erase(it);
        return owned;
    }

private:
    std::unordered_map<const T*, std::unique_ptr<T>> m_items;
};

class SkinParser final {
public:
    explicit SkinParser(ObjectSink& sink)
        : m_sink(sink)
    {
    }
    SkinParser(const SkinParser&) = delete;
    SkinParser& operator=(const SkinParser&) = delete;

    // Parses a whole script (line feeds only). True when the grammar accepted
    // the input and no error was reported on the way.
    bool parse(std::string_view text);
    // Empty, or the header followed by one line per error.
    const std::string& errorText() const { return m_errorText; }

    // Scanner side.
    int line() const { return m_line; }
    void nextLine() { ++m_line; }
    void reportError(std::string_view message);
    std::string& stringBuffer() { return m_stringBuffer; }
    std::string* keepString(std::string text)
    {
        return m_strings.keep(std::make_unique<std::string>(std::move(text)));
    }

    // Grammar side: one builder per rule.
    void beginBlock(int kind, std::string* name);
    void endBlock(Node* body);
    void workarea(Node* expression);
    Node* constant(CVariant value);
    Node* name(std::string* name);
    Node* op(int code, Node* left, Node* right);
    Node* lerp(Node* a, Node* b, Node* t);
    Node* statement(std::string* name, Node* expression);
    Node* kindStatement(int kind, Node* expression);
    Node* loop(std::string* variable, Node* from, Node* to, Node* step, Node* body);
    Node* event(std::string* name, Node* body);
    Node* sequence(Node* first, Node* second);

private:
    Node* keep(std::unique_ptr<Node> node) { return m_nodes.keep(std::move(node)); }
    std::string takeString(std::string* text);

    ObjectSink& m_sink;
    int m_line = 1;
    char m_kind = 0;
    std::string m_blockName;
    std::string m_errorText;
    std::string m_stringBuffer;
    PendingPool<Node> m_nodes;
    PendingPool<std::string> m_strings;
};

} // namespace zr5::skin
