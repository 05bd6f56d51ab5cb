// SkinObject: one block of a skin script (window, image, layer, message or the
// workarea) with its property table and its body. Objects walk their own
// bodies: evaluate() (LoadPhase::Properties) sets properties, compile()
// (LoadPhase::Compile) is where images build their animation tables.
#pragma once

#include "skin/lang/cvariant.h"
#include "skin/lang/syntax_tree.h"
#include "skin/runtime/expression_evaluator.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace zr5::skin {

class Skin;

using PropertyTable = std::map<std::string, CVariant, std::less<>>;

enum class LoadPhase { NotStarted, Properties, Compile };

// How far a walk that can stop between statements (a layer's script, an
// image's animation commands) has come through one sequence or loop node.
// A node at Start has not begun, or has finished and leaves the walk.
enum class WalkState {
    Start,
    SecondPart, // sequence: the first part ran, the second is next
    PartsDone, // sequence: both parts ran
    LoopTest, // loop: the bounds are set, the test is next
    LoopAdvance, // loop: the body ran, the variable steps before the test
};

class SkinObject : public NameLookup {
public:
    SkinObject(Skin& owner, std::string name, std::unique_ptr<Node> body);
    SkinObject(const SkinObject&) = delete;
    SkinObject& operator=(const SkinObject&) = delete;
    ~SkinObject() override;

    virtual char kind() const = 0;
    // "window", "image", "layer", "message" or "workarea".
    std::string_view typeName() const;
    // Kind letter followed by the name: the object's key in the skin.
    std::string key() const;
    const std::string& name() const { return m_name; }
    Skin& owner() const { return m_owner; }
    LoadPhase phase() const { return m_phase; }

    // A copy of the property, or the empty value.
    CVariant get(std::string_view name) const;
    void set(const std::string& name, CVariant value);
    const PropertyTable& properties() const { return m_properties; }
    // Counts the sets so far: while it stands, every property reads as before.
    std::uint64_t revision() const { return m_revision; }

    virtual void evaluate();
    virtual void compile();
    // Layers run their script one entry at a time and react to events.
    virtual void step() { }
    virtual void startEvent(int /*index*/) { }

    CVariant nameValue(const std::string& name) const override { return get(name); }

protected:
    const Node* body() const { return m_body.get(); }
    void setPhase(LoadPhase phase) { m_phase = phase; }
    // Visits the statements of a list in source order (sequences only, no recursion).
    void walkStatements(const Node* list);
    virtual void visitStatement(const Node& statement) { defaultStatement(statement); }
    virtual void visitLoop(const Node& /*loop*/) { }
    virtual void visitEvent(const Node& /*event*/) { }
    // `name expr;`: the property, its `#name` line and, for a list, `name0`, `name1`, ...
    CVariant defaultStatement(const Node& statement);
    // Stores the elements of a list as prefix0, prefix1, ...
    void expandList(const std::string& prefix, const CVariant& list, int line);

private:
    Skin& m_owner;
    std::string m_name;
    std::unique_ptr<Node> m_body;
    PropertyTable m_properties;
    std::uint64_t m_revision = 0;
    LoadPhase m_phase = LoadPhase::NotStarted;
};

} // namespace zr5::skin
