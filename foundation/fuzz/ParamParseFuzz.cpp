// libFuzzer target for the text-command parser: the first byte gives the
// number of parameters asked for, the next ones their type codes (codes
// outside the table included), the rest is the command text. Checked: no
// crash, no hang, a result that is one of the parser's codes with a text of
// its own, and texts no longer than the parser allows.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/ParamParse.h"

namespace {

struct Slot {
    char c = 0;
    short s = 0;
    int i = 0;
    long l = 0;
    float f = 0;
    double d = 0;
    CString text;

    void* For(int type)
    {
        switch (type) {
        case CParamParse::typeChar: return &c;
        case CParamParse::typeShort: return &s;
        case CParamParse::typeInt: return &i;
        case CParamParse::typeLong: return &l;
        case CParamParse::typeFloat: return &f;
        case CParamParse::typeDouble: return &d;
        case CParamParse::typeText: return &text;
        default: return &i;
        }
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const size_t count = std::min<size_t>(data[0] % 9, size - 1);
    std::vector<Slot> slots(count);
    std::vector<CParamParse::Target> targets;
    for (size_t n = 0; n < count; ++n) {
        const int type = static_cast<int8_t>(data[1 + n]) % 9;  // -8 to 8: a few codes outside the table
        targets.push_back(CParamParse::Target::ByCode(type, slots[n].For(type)));
    }
    const std::string text(reinterpret_cast<const char*>(data) + 1 + count, size - 1 - count);
    const int result = CParamParse::ParseParams(text.c_str(), targets.data(), static_cast<int>(targets.size()));
    if (result < CParamParse::ok || result > CParamParse::errQuote || CParamParse::GetErrorString(result).IsEmpty())
        std::abort();
    for (const Slot& slot : slots) {
        if (slot.text.GetLength() > CParamParse::kMaxTextLength)
            std::abort();
    }
    return 0;
}
