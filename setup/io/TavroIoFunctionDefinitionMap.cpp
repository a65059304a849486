#include "setup/io/TavroIoFunctionDefinitionMap.h"

bool CTavroIoFunctionDefinitionMap::Add(CTavroIoFunctionDefinition* definition)
{
    if (Find(definition->m_number))
        return false;
    SetAt(definition->m_number, definition);
    m_order.AddTail(definition);
    return true;
}

CTavroIoFunctionDefinition* CTavroIoFunctionDefinitionMap::Find(int number) const
{
    CTavroIoFunctionDefinition* definition = nullptr;
    return Lookup(number, definition) ? definition : nullptr;
}

void CTavroIoFunctionDefinitionMap::DeleteAll()
{
    for (CTavroIoFunctionDefinition* definition : m_order)
        delete definition;
    m_order.RemoveAll();
    RemoveAll();
}

void CTavroIoFunctionDefinitionMap::Swap(CTavroIoFunctionDefinitionMap& other)
{
    CList<CTavroIoFunctionDefinition*> order;
    order.AddTail(&m_order);
    m_order.RemoveAll();
    RemoveAll();
    for (CTavroIoFunctionDefinition* definition : other.m_order)
        Add(definition);
    other.m_order.RemoveAll();
    other.RemoveAll();
    for (CTavroIoFunctionDefinition* definition : order)
        other.Add(definition);
}
