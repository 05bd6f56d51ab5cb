#include "skin/runtime/layer_object.h"

#include "skin/lang/skin_parser.h"
#include "skin/runtime/skin.h"
#include "skin/runtime/skin_sprite.h"

namespace zr5::skin {
namespace {

std::string boundName(const std::string& variable)
{
    return "@" + variable;
}

std::string stepName(const std::string& variable)
{
    return "@@" + variable;
}

} // namespace

void LayerObject::evaluate()
{
    SkinObject::evaluate();
    writeSpriteDefaults();
}

void LayerObject::visitEvent(const Node& event)
{
    for (std::size_t i = 0; i < kEventNames.size(); ++i) {
        if (kEventNames[i] == event.name()) {
            m_events[i] = event.body();
        }
    }
}

void LayerObject::writeSpriteDefaults()
{
    const SpriteState defaults;
    for (const LayerField& field : kLayerFields) {
        std::visit(
            [&](auto member) { set(std::string(field.property), CVariant(defaults.*member)); }, field.member);
    }
}

CVariant LayerObject::nameValue(const std::string& name) const
{
    std::string key = kKindImage + name;
    if (owner().object(key) && owner().object(key)->kind() == kKindImage) {
        return CVariant(key);
    }
    return get(name);
}

void LayerObject::step()
{
    m_running = true;
    if (m_stack.empty()) {
        m_stack.push_back({ body(), WalkState::Start });
    }
    const std::size_t depth = m_stack.size();
    const Node* node = m_stack.back().node;
    visit(m_stack.back());
    // Finished entries are the ones that pushed nothing and are back at the start.
    if (m_stack.size() == depth && m_stack.back().node == node && m_stack.back().state == WalkState::Start) {
        m_stack.pop_back();
        if (m_stack.empty()) {
            set("@end", CVariant(true));
        }
    }
}

void LayerObject::startEvent(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_events.size() || !m_events[index]) {
        return;
    }
    m_stack.push_back({ m_events[index], WalkState::Start });
    if (ended()) {
        set("@end", CVariant(false));
    }
}

void LayerObject::visit(Entry& entry)
{
    if (!entry.node) {
        return;
    }
    switch (entry.node->kind()) {
    case NodeKind::Seq:
        visitSequence(entry);
        break;
    case NodeKind::For:
        stepLoop(entry);
        break;
    case NodeKind::Statement:
        runStatement(*entry.node);
        break;
    default:
        // Event blocks were taken at load.
        break;
    }
}

void LayerObject::visitSequence(Entry& entry)
{
    const Node* part = nullptr;
    if (entry.state == WalkState::Start) {
        entry.state = WalkState::SecondPart;
        part = entry.node->first();
    } else if (entry.state == WalkState::SecondPart) {
        entry.state = WalkState::PartsDone;
        part = entry.node->second();
    } else {
        entry.state = WalkState::Start;
    }
    if (part) {
        m_stack.push_back({ part, WalkState::Start });
    }
}

void LayerObject::stepLoop(Entry& entry)
{
    const Node& loop = *entry.node;
    const std::string& variable = loop.name();
    if (entry.state == WalkState::Start) {
        double from = evaluateExpression(loop.from(), *this).toNumber();
        double to = evaluateExpression(loop.to(), *this).toNumber();
        double step = loop.step() ? evaluateExpression(loop.step(), *this).toNumber() : 1.0;
        if ((from > to && step > 0) || (from < to && step < 0)) {
            step = -step;
        }
        set(variable, CVariant(from));
        set(boundName(variable), CVariant(to));
        set(stepName(variable), CVariant(step));
        entry.state = WalkState::LoopTest;
        return;
    }
    const double value = get(variable).toNumber();
    const double step = get(stepName(variable)).toNumber();
    if (entry.state == WalkState::LoopAdvance) {
        set(variable, CVariant(value + step));
        entry.state = WalkState::LoopTest;
        return;
    }
    const double bound = get(boundName(variable)).toNumber();
    if ((step >= 0 && value <= bound) || (step < 0 && value >= bound)) {
        entry.state = WalkState::LoopAdvance;
        if (loop.body()) {
            m_stack.push_back({ loop.body(), WalkState::Start });
        }
    } else {
        entry.state = WalkState::Start;
    }
}

void LayerObject::runStatement(const Node& statement)
{
    const std::string& name = statement.name();
    if (name == "clear") {
        set("visibility", CVariant(false));
    } else if (name == "play") {
        set("pause", CVariant(false));
    } else if (name == "pause") {
        set("pause", CVariant(true));
    } else if (name == "stop") {
        set("pause", CVariant(true));
        set("stop", CVariant(true));
    } else {
        defaultStatement(statement);
    }
}

} // namespace zr5::skin
