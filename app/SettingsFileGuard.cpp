#include "SettingsFileGuard.h"

#include <cstdio>
#include <fstream>
#include <sys/stat.h>

namespace {
constexpr std::streamsize kLargestSettingsFile = 16 * 1024 * 1024;

bool IsText(const CString& path, bool& readable)
{
    std::ifstream in(path.GetString(), std::ios::binary);
    readable = static_cast<bool>(in);
    if (!readable)
        return false;
    char buffer[65536];
    std::streamsize total = 0;
    while (in) {
        in.read(buffer, sizeof buffer);
        const std::streamsize n = in.gcount();
        if (in.bad()) {
            readable = false;
            return false;
        }
        for (std::streamsize i = 0; i < n; ++i)
            if (buffer[i] == '\0')
                return false;
        total += n;
        if (total > kLargestSettingsFile)
            return false;
    }
    return true;
}

CString AsideName(const CString& path)
{
    CString aside = path + ".damaged";
    struct stat info {};
    for (int n = 2; stat(aside, &info) == 0; ++n)
        aside.Format("%s.damaged%d", path.GetString(), n);
    return aside;
}
}  // namespace

int SetAsideDamagedSettingsFile(const CString& path, CString& message)
{
    struct stat info {};
    if (path.IsEmpty() || stat(path, &info) != 0)
        return 0;
    bool readable = false;
    const bool regular = S_ISREG(info.st_mode);
    if (regular && IsText(path, readable))
        return 0;
    const CString why = !regular ? "is not a file" : readable ? "is not a text file" : "cannot be read";
    const CString aside = AsideName(path);
    if (!regular || std::rename(path, aside) != 0) {
        message.Format("The settings file \"%s\" %s and could not be moved aside.\r\n"
                       "Korvane uses default settings and leaves the file as it is.",
                       path.GetString(), why.GetString());
        return -1;
    }
    message.Format("The settings file \"%s\" %s.\r\nIt was kept as \"%s\"; Korvane uses default settings.",
                   path.GetString(), why.GetString(), aside.GetString());
    return 1;
}
