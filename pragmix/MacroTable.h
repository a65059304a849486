// The preprocessor's database of macros: the entries in the order they were
// defined (for the archive and the macro list) and an index by name that a
// substitution asks with a view into its line, without building a text.
#pragma once

#include <cstddef>
#include <string_view>
#include <unordered_map>

#include "platform/core/Collections.h"

class CMacroDefEntry;

class MacroTable {
public:
    MacroTable() = default;
    ~MacroTable();
    MacroTable(const MacroTable&) = delete;
    MacroTable& operator=(const MacroTable&) = delete;

    CMacroDefEntry* Find(std::string_view name) const
    {
        const auto it = m_index.find(name);
        return it == m_index.end() ? nullptr : it->second;
    }
    // Takes the entry, under its name; an entry of that name before it is deleted.
    void Store(CMacroDefEntry* entry);
    // Deletes the entry of that name; false when there is none.
    bool Remove(std::string_view name);
    void Clear();
    int Count() const { return m_entries.GetCount(); }
    // The names and entries in the order they were stored.
    const CMapStringToOb& Entries() const { return m_entries; }

private:
    // Short names: a byte-wise hash costs less than hashing them in blocks.
    struct NameHash {
        size_t operator()(std::string_view name) const noexcept
        {
            size_t hash = 14695981039346656037ull;
            for (const char c : name)
                hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
            return hash;
        }
    };

    CMapStringToOb m_entries;
    // Keys view the entries' own names.
    std::unordered_map<std::string_view, CMacroDefEntry*, NameHash> m_index;
};
