// libFuzzer target for the settings (INI) reader that the profile, the factory
// settings, model numbers, filters and the firmware parts list go through: any
// bytes read section by section and key by key, then one key written. Checked:
// no crash, no hang, a key listed reads back, every value of a section reads
// the same through both look-ups, and a write leaves the other sections as
// they were.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <strings.h>
#include <string>
#include <vector>

#include "platform/core/IniFile.h"
#include "testing/FuzzInputFile.h"

namespace {

constexpr DWORD kListSize = 1 << 17;

std::vector<std::string> Split(const std::vector<char>& list, DWORD length)
{
    std::vector<std::string> items;
    for (DWORD at = 0; at < length && list[at];) {
        items.emplace_back(&list[at]);
        at += static_cast<DWORD>(items.back().size()) + 1;
    }
    return items;
}

std::vector<std::string> SectionNames(const char* path)
{
    std::vector<char> list(kListSize);
    return Split(list, GetPrivateProfileSectionNames(list.data(), kListSize, path));
}

std::vector<std::string> Section(const std::string& name, const char* path)
{
    std::vector<char> list(kListSize);
    return Split(list, GetPrivateProfileSection(name.c_str(), list.data(), kListSize, path));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FuzzScratchFile scratch("IniFileFuzz.ini");
    const std::string& path = scratch.Path();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    const bool holdsNul = std::memchr(data, 0, size) != nullptr;
    const std::vector<std::string> names = SectionNames(path.c_str());
    std::vector<std::vector<std::string>> before;
    for (const std::string& name : names) {
        before.push_back(Section(name, path.c_str()));
        std::vector<char> keys(kListSize);
        for (const std::string& key : Split(keys, GetPrivateProfileString(name.c_str(), nullptr, "", keys.data(),
                                                                          kListSize, path.c_str()))) {
            char value[4096];
            char other[4096];
            GetPrivateProfileString(name.c_str(), key.c_str(), "\x01", value, sizeof value, path.c_str());
            GetPrivateProfileString(name.c_str(), key.c_str(), "\x02", other, sizeof other, path.c_str());
            // A key listed but not found; a name holding a NUL is listed only up to it.
            if (std::strcmp(value, other) != 0 && std::strcmp(value, "\x01") == 0 && !holdsNul)
                std::abort();
        }
    }
    if (!WritePrivateProfileString("Fuzz Written", "Key", "1", path.c_str()))
        std::abort();
    // The written section was new unless the input had one of that name.
    for (size_t i = 0; i < names.size(); ++i) {
        if (strcasecmp(names[i].c_str(), "Fuzz Written") == 0)
            return 0;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        if (Section(names[i], path.c_str()) != before[i])
            std::abort();
    }
    return 0;
}
