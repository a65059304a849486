#include "setup/io/WatchRegisterItem.h"

namespace {

int PadDigits(int padAs, int perByte)
{
    const int bytes = padAs == 0 ? 1 : padAs == 1 ? 2 : 4;
    return bytes * perByte;
}

LONG SignExtended(DWORD value, int widthBytes)
{
    if (widthBytes == 1)
        return static_cast<signed char>(value & 0xFF);
    if (widthBytes == 2)
        return static_cast<short>(value & 0xFFFF);
    if (widthBytes == 0)
        return 0;
    return static_cast<LONG>(value);
}

CString Binary(DWORD value, int digits)
{
    CString text;
    for (int bit = digits - 1; bit >= 0; --bit)
        text += ((value >> bit) & 1) ? '1' : '0';
    return text;
}

CString HighBits(DWORD value)
{
    CString text;
    for (int bit = 0; bit < 32; ++bit) {
        if (!((value >> bit) & 1))
            continue;
        if (!text.IsEmpty())
            text += ',';
        CString number;
        number.Format("%d", bit);
        text += number;
    }
    return text;
}

}  // namespace

CString CWatchRegisterItem::FormatValue(DWORD value, int widthBytes, int displayAs, int padAs, int showFormat)
{
    CString text;
    const char* suffix = "";
    switch (displayAs) {
    case kWatchUnsigned:
        text.Format("%u", static_cast<unsigned>(value));
        break;
    case kWatchHex:
        text.Format("%0*x", PadDigits(padAs, 2), static_cast<unsigned>(value));
        suffix = " (hex)";
        break;
    case kWatchBinary:
        text = Binary(value, PadDigits(padAs, 8));
        suffix = " (bin)";
        break;
    case kWatchHighBits:
        text = HighBits(value);
        suffix = " (bits)";
        break;
    default:
        text.Format("%d", static_cast<int>(SignExtended(value, widthBytes)));
        break;
    }
    if (showFormat)
        text += suffix;
    return text;
}
