#include "Profile.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "IniFile.h"
#include "SpecialFolders.h"

namespace {
std::mutex g_keyMutex;
CString g_registryKey;

CString ReadRaw(const char* section, const char* entry, const char* defaultValue)
{
    CString value;
    const CString path = AfxGetProfilePath();
    for (DWORD size = 256;; size *= 4) {
        const DWORD n = GetPrivateProfileString(section, entry, defaultValue, value.GetBuffer(static_cast<int>(size)),
                                                size, path);
        value.ReleaseBuffer(static_cast<int>(n));
        if (n + 1 < size)
            return value;
    }
}
}  // namespace

void AfxSetRegistryKey(const char* key)
{
    std::lock_guard<std::mutex> guard(g_keyMutex);
    g_registryKey = key;
}

CString AfxGetRegistryKey()
{
    std::lock_guard<std::mutex> guard(g_keyMutex);
    return g_registryKey;
}

CString AfxGetProfilePath() { return AfxGetConfigFolder() + "/profile.ini"; }

CString AfxGetProfileString(const char* section, const char* entry, const char* defaultValue)
{
    return ReadRaw(section, entry, defaultValue ? defaultValue : "");
}

UINT AfxGetProfileInt(const char* section, const char* entry, int defaultValue)
{
    return GetPrivateProfileInt(section, entry, defaultValue, AfxGetProfilePath());
}

BOOL AfxWriteProfileString(const char* section, const char* entry, const char* value)
{
    return WritePrivateProfileString(section, entry, value, AfxGetProfilePath());
}

BOOL AfxWriteProfileInt(const char* section, const char* entry, int value)
{
    CString text;
    text.Format("%d", value);
    return AfxWriteProfileString(section, entry, text);
}

BOOL AfxGetProfileBinary(const char* section, const char* entry, BYTE** data, UINT* bytes)
{
    *data = nullptr;
    *bytes = 0;
    const CString hex = ReadRaw(section, entry, "");
    if (hex.IsEmpty() || hex.GetLength() % 2 != 0)
        return FALSE;
    const UINT count = static_cast<UINT>(hex.GetLength() / 2);
    auto* out = new BYTE[count];
    for (UINT i = 0; i < count; ++i) {
        char pair[3] = {hex[static_cast<int>(2 * i)], hex[static_cast<int>(2 * i + 1)], '\0'};
        char* end = nullptr;
        out[i] = static_cast<BYTE>(std::strtoul(pair, &end, 16));
        if (end != pair + 2) {
            delete[] out;
            return FALSE;
        }
    }
    *data = out;
    *bytes = count;
    return TRUE;
}

BOOL AfxWriteProfileBinary(const char* section, const char* entry, const BYTE* data, UINT bytes)
{
    CString hex;
    for (UINT i = 0; i < bytes; ++i)
        hex.AppendFormat("%02X", data[i]);
    return AfxWriteProfileString(section, entry, hex);
}
