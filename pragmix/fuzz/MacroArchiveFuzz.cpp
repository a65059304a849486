// libFuzzer target for the macro database archive: any bytes loaded as a
// macro database, then stored and loaded again. Checked: no crash, no hang, a
// refused archive leaves the database as it was, and a loaded database
// survives its own round trip.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/core/Archive.h"
#include "pragmix/Pragmix.h"
#include "testing/FuzzInputFile.h"

namespace {

std::map<std::string, std::string> Macros(CMacroDefs& macros)
{
    CMapStringToString list;
    macros.GetMacroList(list);
    std::map<std::string, std::string> sorted;
    for (POSITION pos = list.GetStartPosition(); pos;) {
        CString name;
        CString value;
        list.GetNextAssoc(pos, name, value);
        sorted[name.str()] = value.str();
    }
    return sorted;
}

bool Load(CMacroDefs& macros, FuzzInputFile& file)
{
    return LoadFuzzArchive(file, [&](CArchive& ar) { macros.Serialize(ar); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    static FuzzInputFile copy;
    input.Put(data, size);
    CMacroDefs macros;
    macros.AddMacro("KEPT", "1");
    const auto before = Macros(macros);
    if (!Load(macros, input)) {
        if (Macros(macros) != before)
            std::abort();
        return 0;
    }
    CString result;
    macros.ProcessString("KEPT A B C", result);
    StoreFuzzArchive(copy, [&](CArchive& ar) { macros.Serialize(ar); });
    CMacroDefs again;
    if (!Load(again, copy) || Macros(again) != Macros(macros))
        std::abort();
    return 0;
}
