// libFuzzer target for the unscrambling of stored logins and firmware update
// files: a seed and any text unscrambled. Checked: no crash, no hang, a text
// refused leaves an empty output, and a text accepted scrambles back to itself
// (less an odd last symbol, which the reader passes over).
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "foundation/Scramblers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    int seed = 0;
    std::memcpy(&seed, data, 2);
    const CString text(std::string(reinterpret_cast<const char*>(data) + 2, size - 2).c_str());
    CString plain;
    if (!UnscrambleString(seed, text, plain)) {
        if (!plain.IsEmpty())
            std::abort();
        return 0;
    }
    CString again;
    if (!ScrambleString(seed, plain, again) || again != text.Left(text.GetLength() & ~1))
        std::abort();
    return 0;
}
