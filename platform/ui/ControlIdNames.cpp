#include "ControlIdNames.h"

#include <map>
#include <string>

namespace {
struct NamedId {
    const char* name;
    int value;
};

#define KV_IDS_TABLE
const NamedId kNamedIds[] = {
// Every resources/ids/*Ids.h, listed by the build.
#include "ControlIdHeaders.inc"
    {nullptr, 0}};
#undef KV_IDS_TABLE

struct Table {
    std::map<std::string, int> byName;
    CString clashes;
};

const Table& TheTable()
{
    static const Table table = [] {
        Table t;
        for (const NamedId* id = kNamedIds; id->name; ++id) {
            auto [at, added] = t.byName.emplace(id->name, id->value);
            if (!added && at->second != id->value) {
                CString line;
                line.Format("%s is both %d and %d\n", id->name, at->second, id->value);
                t.clashes += line;
            }
        }
        return t;
    }();
    return table;
}
}  // namespace

namespace kvui {
bool LookUpControlIdName(const CString& name, int& value)
{
    const auto& byName = TheTable().byName;
    auto found = byName.find(name.str());
    if (found == byName.end())
        return false;
    value = found->second;
    return true;
}

CString ControlIdNameClashes() { return TheTable().clashes; }
}  // namespace kvui
