// SkinObject: one block of a skin script (window, image, layer, message or the
// workarea) with its property table and its body. Objects walk their own
// bodies: evaluate() (phase 1) sets properties, compile() (phase 2) is where
// images build their animation tables.
#pragma once

#include "skin/lang/cvariant.h"
#include "skin/lang/syntax_tree.h"
#include "skin/runtime/expression_evaluator.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace zr5::skin {

class Skin;

using PropertyTable = std::map<std::string, CVariant, std::less<>>;

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
    int phase() const { return m_phase; }

    // A copy of the property, or the empty value.
    CVariant get(std::string_view name) const;
    void set(const std::string& name, CVariant value);
    const PropertyTable& properties() const { return m_properties; }

    virtual void evaluate();
    virtual void compile();
    // Layers run their script one entry at a time and react to events.
    virtual void step() { }
    virtual void startEvent(int /*index*/) { }

    CVariant nameValue(const std::string& name) const override { return get(name); }

protected:
    const Node* body() const { return m_body.get(); }
    void setPhase(int phase) { m_phase = phase; }
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
    int m_phase = 0;
};

} // namespace zr5::skin
