#include "MacroTable.h"

#include "MacroDefEntry.h"

namespace {

constexpr size_t kFirstSlots = 64;

std::string_view NameOf(const CMacroDefEntry* entry)
{
    return entry->m_name.str();
}

}  // namespace

MacroTable::MacroTable() : m_slots(kFirstSlots) {}

MacroTable::~MacroTable()
{
    Clear();
}

// Names are short: a byte-wise hash costs less than hashing them in blocks.
std::uint64_t MacroTable::Hash(std::string_view name)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash ^ (hash >> 29);
}

size_t MacroTable::SlotOf(std::string_view name, std::uint64_t hash) const
{
    const size_t mask = m_slots.size() - 1;
    for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (!slot.entry || (slot.hash == hash && NameOf(slot.entry) == name))
            return i;
    }
}

CMacroDefEntry* MacroTable::Find(std::string_view name) const
{
    return m_slots[SlotOf(name, Hash(name))].entry;
}

void MacroTable::Store(CMacroDefEntry* entry)
{
    Remove(NameOf(entry));
    if (2 * (m_used + 1) > m_slots.size())
        Grow();
    const std::uint64_t hash = Hash(NameOf(entry));
    m_slots[SlotOf(NameOf(entry), hash)] = Slot{hash, entry};
    ++m_used;
    m_entries[entry->m_name] = entry;
}

bool MacroTable::Remove(std::string_view name)
{
    const size_t mask = m_slots.size() - 1;
    size_t hole = SlotOf(name, Hash(name));
    CMacroDefEntry* entry = m_slots[hole].entry;
    if (!entry)
        return false;
    // Later slots of the run move up into the hole when their home slot lies
    // at or before it, so every name stays reachable from its home.
    m_slots[hole] = Slot{};
    for (size_t i = (hole + 1) & mask; m_slots[i].entry; i = (i + 1) & mask) {
        const size_t home = static_cast<size_t>(m_slots[i].hash) & mask;
        if (((i - home) & mask) >= ((i - hole) & mask)) {
            m_slots[hole] = m_slots[i];
            m_slots[i] = Slot{};
            hole = i;
        }
    }
    --m_used;
    m_entries.RemoveKey(entry->m_name);
    delete entry;
    return true;
}

void MacroTable::Grow()
{
    std::vector<Slot> old(m_slots.size() * 2);
    old.swap(m_slots);
    const size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (!slot.entry)
            continue;
        size_t i = static_cast<size_t>(slot.hash) & mask;
        while (m_slots[i].entry)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

void MacroTable::Clear()
{
    for (Slot& slot : m_slots)
        slot = Slot{};
    m_used = 0;
    for (auto [name, entry] : m_entries)
        delete entry;
    m_entries.RemoveAll();
}
