#include "ScopeSourceCatalogue.h"

#include <algorithm>
#include <cstdlib>

#include "ScopeDriveServices.h"
#include "foundation/HPTimer.h"
#include "platform/core/Clock.h"
#include "platform/core/IniFile.h"

namespace {
constexpr int kTypeParameter = 6;  // GPD_CS
constexpr int kDemoType = 21;      // the catalogue of a drive that is not connected
constexpr double kTypeWaitSeconds = 5.0;
// Far more than any drive offers: a hand-edited count cannot make the list endless.
constexpr int kMaxSources = 256;

CString ReadText(const char* section, const char* key, const char* defaultValue, const CString& file)
{
    char text[80] = "";
    GetPrivateProfileString(section, key, defaultValue, text, sizeof text, file);
    return text;
}

bool LearnDriveType(int address, CScopeDriveServices& services, int& type)
{
    if (!services.HasConversionParameter(address, kTypeParameter))
        return false;
    CHPTimer waited;
    waited.Restart();
    for (;;) {
        double value = 0.0;
        if (services.GetConversionParameter(address, kTypeParameter, value)) {
            type = static_cast<int>(value);
            return true;
        }
        if (waited.GetElapsedSeconds() >= kTypeWaitSeconds)
            return false;
        Sleep(10);
    }
}
}  // namespace

int BuildDriveScopeSourceList(CScopeSourceQueryDataList& list, int address, CScopeDriveServices& services)
{
    list.RemoveAll();
    int type = kDemoType;
    if (services.IsDriveConnected(address) && !LearnDriveType(address, services, type))
        return 0;
    CString section;
    section.Format("IS_CS %d", type);
    const CString file = services.GetFactorySettingsPath();
    const int count = std::min(static_cast<int>(GetPrivateProfileInt("CS SCOPECOUNT", section, 0, file)), kMaxSources);
    for (int i = 1; i <= count; ++i) {
        CString key;
        key.Format("Scope %d", i);
        const CString name = ReadText(section, key, key, file);
        CString command = ReadText("AMP SCOPECOMMAND", name, name, file);
        const int units = std::atoi(ReadText("AMP UNITSCODE", name, name, file));
        const int updateMs = std::atoi(ReadText("AMP UPDATEMS", name, "2", file));
        if (command.Left(4) == "CMD_")
            command = command.Mid(4);
        list.AddTail(CScopeSourceQueryDataItem(name, command, units, updateMs));
    }
    return 1;
}
