#include "skin/lang/skin_parser.h"

#include "skin/skin_messages.h"

#include <limits>

namespace zr5::skin {

// Defined with the generated scanner: runs the grammar over text.
bool runSkinScanner(SkinParser& ctx, std::string_view text);

std::string_view kindWord(char kind)
{
    switch (kind) {
    case kKindWindow:
        return "window";
    case kKindImage:
        return "image";
    case kKindLayer:
        return "layer";
    case kKindMessage:
        return "message";
    case kKindWorkarea:
        return "workarea";
    default:
        return "";
    }
}

bool SkinParser::parse(std::string_view text)
{
    m_line = 1;
    // The generated scanner counts its buffer in int.
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 2)) {
        reportError(msg::kParseErrorNoMemory);
        return false;
    }
    bool accepted = runSkinScanner(*this, text);
    return accepted && m_errorText.empty();
}

void SkinParser::reportError(std::string_view message)
{
    if (m_errorText.empty()) {
        m_errorText = msg::kSyntaxErrorHeader;
    }
    m_errorText += msg::syntaxErrorLine(m_line, kindWord(m_kind), m_blockName, message);
}

std::string SkinParser::takeString(std::string* text)
{
    std::unique_ptr<std::string> owned = m_strings.take(text);
    return owned ? std::move(*owned) : std::string();
}

void SkinParser::beginBlock(int kind, std::string* name)
{
    m_kind = static_cast<char>(kind);
    m_blockName = takeString(name);
}

void SkinParser::endBlock(Node* body)
{
    m_sink.createObject(m_kind, m_blockName, m_nodes.take(body));
}

void SkinParser::workarea(Node* expression)
{
    m_kind = kKindWorkarea;
    m_blockName = "workarea";
    m_sink.createObject(m_kind, m_blockName, m_nodes.take(expression));
}

Node* SkinParser::constant(CVariant value)
{
    auto node = std::make_unique<Node>(NodeKind::Const, m_line);
    node->setValue(std::move(value));
    return keep(std::move(node));
}

Node* SkinParser::name(std::string* name)
{
    auto node = std::make_unique<Node>(NodeKind::Name, m_line);
    node->setName(takeString(name));
    return keep(std::move(node));
}

Node* SkinParser::op(int code, Node* left, Node* right)
{
    auto node = std::make_unique<Node>(NodeKind::Op, m_line);
    node->setOp(code);
    node->setChild(0, m_nodes.take(left));
    node->setChild(1, m_nodes.take(right));
    return keep(std::move(node));
}

Node* SkinParser::lerp(Node* a, Node* b, Node* t)
{
    auto node = std::make_unique<Node>(NodeKind::Lerp, m_line);
    node->setChild(0, m_nodes.take(a));
    node->setChild(1, m_nodes.take(b));
    node->setChild(2, m_nodes.take(t));
    return keep(std::move(node));
}

Node* SkinParser::statement(std::string* name, Node* expression)
{
    auto node = std::make_unique<Node>(NodeKind::Statement, m_line);
    node->setName(takeString(name));
    node->setChild(0, m_nodes.take(expression));
    return keep(std::move(node));
}

Node* SkinParser::kindStatement(int kind, Node* expression)
{
    auto node = std::make_unique<Node>(NodeKind::Statement, m_line);
    node->setName(std::string(kindWord(static_cast<char>(kind))));
    node->setChild(0, m_nodes.take(expression));
    return keep(std::move(node));
}

Node* SkinParser::loop(std::string* variable, Node* from, Node* to, Node* step, Node* body)
{
    auto node = std::make_unique<Node>(NodeKind::For, m_line);
    node->setName(takeString(variable));
    node->setChild(0, m_nodes.take(from));
    node->setChild(1, m_nodes.take(to));
    node->setChild(2, m_nodes.take(step));
    node->setChild(3, m_nodes.take(body));
    return keep(std::move(node));
}

Node* SkinParser::event(std::string* name, Node* body)
{
    auto node = std::make_unique<Node>(NodeKind::Event, m_line);
    node->setName(takeString(name));
    node->setChild(0, m_nodes.take(body));
    return keep(std::move(node));
}

Node* SkinParser::sequence(Node* first, Node* second)
{
    auto node = std::make_unique<Node>(NodeKind::Seq, m_line);
    node->setChild(0, m_nodes.take(first));
    node->setChild(1, m_nodes.take(second));
    return keep(std::move(node));
}

} // namespace zr5::skin
