// libFuzzer target for the property list archive: any bytes loaded as a
// property list, every value read through each typed getter, and what loaded
// stored and loaded again. Checked: no crash, no hang, a refused archive
// leaves the list as it was, and a loaded list survives its own round trip.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/DPropertyList.h"
#include "platform/core/Archive.h"
#include "testing/FuzzInputFile.h"

namespace {

std::string Text(const CDPropertyList& list)
{
    std::string text;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const CDProperty* property = list.GetNext(pos);
        text += property->m_name.str() + '\0' + property->m_value.str() + '\0';
    }
    return text;
}

bool Load(CDPropertyList& list, FuzzInputFile& file)
{
    return LoadFuzzArchive(file, [&](CArchive& ar) { list.Serialize(ar); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    static FuzzInputFile copy;
    input.Put(data, size);
    CDPropertyList list;
    list.SetString("kept", "as it was");
    if (!Load(list, input)) {
        if (Text(list) != std::string("kept\0as it was\0", 15))
            std::abort();
        return 0;
    }
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const CString name = list.GetNext(pos)->m_name;
        if (name.str().find('\0') != std::string::npos)
            continue;  // looked up by C text, such a name is out of reach (and harmless)
        double d = 0;
        int i = 0;
        long l = 0;
        CString s;
        if (!list.GetDouble(name, d) || !list.GetInt(name, i) || !list.GetLong(name, l) || !list.GetString(name, s))
            std::abort();
    }
    StoreFuzzArchive(copy, [&](CArchive& ar) { list.Serialize(ar); });
    CDPropertyList again;
    if (!Load(again, copy) || Text(again) != Text(list))
        std::abort();
    return 0;
}
