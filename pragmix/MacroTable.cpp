#include "MacroTable.h"

#include "MacroDefEntry.h"

MacroTable::~MacroTable()
{
    Clear();
}

void MacroTable::Store(CMacroDefEntry* entry)
{
    Remove(entry->m_name.str());
    m_entries[entry->m_name] = entry;
    m_index.emplace(entry->m_name.str(), entry);
}

bool MacroTable::Remove(std::string_view name)
{
    const auto it = m_index.find(name);
    if (it == m_index.end())
        return false;
    CMacroDefEntry* entry = it->second;
    m_index.erase(it);
    m_entries.RemoveKey(entry->m_name);
    delete entry;
    return true;
}

void MacroTable::Clear()
{
    m_index.clear();
    for (auto [name, entry] : m_entries)
        delete entry;
    m_entries.RemoveAll();
}
