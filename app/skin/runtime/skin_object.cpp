#include "skin/runtime/skin_object.h"

#include "skin/lang/skin_parser.h"
#include "skin/lang/skin_script_error.h"
#include "skin/runtime/skin.h"
#include "skin/skin_messages.h"

#include <unordered_set>
#include <vector>

namespace zr5::skin {
namespace {

// A list may end up holding itself (`x = 1, 2; x = x, x;`). Emptying every list
// the properties reach breaks such rings so that they are freed.
void breakListCycles(PropertyTable& properties)
{
    std::vector<std::shared_ptr<CVariantList>> pending;
    std::unordered_set<const CVariantList*> seen;
    for (auto& [name, value] : properties) {
        if (value.isList()) {
            pending.push_back(value.asList());
        }
    }
    std::vector<std::shared_ptr<CVariantList>> reached;
    while (!pending.empty()) {
        std::shared_ptr<CVariantList> list = std::move(pending.back());
        pending.pop_back();
        if (!seen.insert(list.get()).second) {
            continue;
        }
        for (const CVariant& item : list->items()) {
            if (item.isList()) {
                pending.push_back(item.asList());
            }
        }
        reached.push_back(std::move(list));
    }
    for (const std::shared_ptr<CVariantList>& list : reached) {
        list->items().clear();
    }
}

} // namespace

SkinObject::SkinObject(Skin& owner, std::string name, std::unique_ptr<Node> body)
    : m_owner(owner)
    , m_name(std::move(name))
    , m_body(std::move(body))
{
}

SkinObject::~SkinObject()
{
    breakListCycles(m_properties);
}

std::string_view SkinObject::typeName() const
{
    return kindWord(kind());
}

std::string SkinObject::key() const
{
    return kind() + m_name;
}

CVariant SkinObject::get(std::string_view name) const
{
    auto it = m_properties.find(name);
    return it == m_properties.end() ? CVariant() : it->second;
}

void SkinObject::set(const std::string& name, CVariant value)
{
    m_properties[name] = std::move(value);
    ++m_revision;
}

void SkinObject::evaluate()
{
    m_phase = LoadPhase::Properties;
    walkStatements(m_body.get());
}

void SkinObject::compile()
{
    m_phase = LoadPhase::Compile;
}

void SkinObject::walkStatements(const Node* list)
{
    std::vector<const Node*> stack { list };
    while (!stack.empty()) {
        const Node* node = stack.back();
        stack.pop_back();
        if (!node) {
            continue;
        }
        switch (node->kind()) {
        case NodeKind::Seq:
            stack.push_back(node->second());
            stack.push_back(node->first());
            break;
        case NodeKind::Statement:
            visitStatement(*node);
            break;
        case NodeKind::For:
            visitLoop(*node);
            break;
        case NodeKind::Event:
            visitEvent(*node);
            break;
        default:
            break;
        }
    }
}

CVariant SkinObject::defaultStatement(const Node& statement)
{
    const Node* expression = statement.expression();
    CVariant value = evaluateExpression(expression, *this);
    set(statement.name(), value);
    if (expression) {
        set("#" + statement.name(), CVariant(static_cast<std::int32_t>(expression->line())));
    }
    if (value.isList()) {
        expandList(statement.name(), value, expression->line());
    }
    return value;
}

void SkinObject::expandList(const std::string& prefix, const CVariant& list, int line)
{
    const std::vector<CVariant>& items = list.asList()->items();
    if (!m_owner.chargeListElements(items.size())) {
        throw ESkinScript(msg::listTooLong(line, typeName(), m_name, prefix));
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        set(prefix + std::to_string(i), items[i]);
    }
}

} // namespace zr5::skin
