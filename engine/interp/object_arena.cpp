#include "interp/object_arena.h"

namespace zr5::script {

namespace {

ObjectArena* g_currentArena = nullptr;

} // namespace

ObjectValue::ObjectValue()
{
    if (ObjectArena* arena = currentArena()) {
        arena->adopt(*this);
    }
}

ObjectValue::~ObjectValue()
{
    if (m_arena) {
        m_arena->forget(*this);
    }
}

void ObjectArena::adopt(ObjectValue& object)
{
    object.m_arena = this;
    object.m_previous = nullptr;
    object.m_next = m_head;
    if (m_head) {
        m_head->m_previous = &object;
    }
    m_head = &object;
}

void ObjectArena::forget(ObjectValue& object)
{
    if (object.m_previous) {
        object.m_previous->m_next = object.m_next;
    } else {
        m_head = object.m_next;
    }
    if (object.m_next) {
        object.m_next->m_previous = object.m_previous;
    }
    object.m_arena = nullptr;
    object.m_previous = nullptr;
    object.m_next = nullptr;
}

void ObjectArena::releaseAll()
{
    while (m_head) {
        ObjectValue& object = *m_head;
        forget(object);
        // Freeing the members may free the object itself (and others, which
        // unlink themselves); it is not touched again.
        const Properties::Map doomed = object.members().takeMembers();
    }
}

ObjectArena* currentArena()
{
    return g_currentArena;
}

void setCurrentArena(ObjectArena* arena)
{
    g_currentArena = arena;
}

} // namespace zr5::script
