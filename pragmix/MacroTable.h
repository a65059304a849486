// The preprocessor's database of macros: the entries in the order they were
// defined (for the archive and the macro list) and an index by name that a
// substitution asks with a view into its line, without building a text. The
// index is an open-addressed table probed in a line from a name's hash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/core/Collections.h"

class CMacroDefEntry;

class MacroTable {
public:
    MacroTable();
    ~MacroTable();
    MacroTable(const MacroTable&) = delete;
    MacroTable& operator=(const MacroTable&) = delete;

    CMacroDefEntry* Find(std::string_view name) const;
    // Takes the entry, under its name; an entry of that name before it is deleted.
    void Store(CMacroDefEntry* entry);
    // Deletes the entry of that name; false when there is none.
    bool Remove(std::string_view name);
    void Clear();
    int Count() const { return m_entries.GetCount(); }
    // The names and entries in the order they were stored.
    const CMapStringToOb& Entries() const { return m_entries; }

private:
    struct Slot {
        std::uint64_t hash = 0;
        CMacroDefEntry* entry = nullptr;  // null: free
    };

    static std::uint64_t Hash(std::string_view name);
    // The slot holding name, or the free slot where it would go.
    size_t SlotOf(std::string_view name, std::uint64_t hash) const;
    void Grow();

    CMapStringToOb m_entries;
    std::vector<Slot> m_slots;  // a power of two, never more than half full
    size_t m_used = 0;
};
