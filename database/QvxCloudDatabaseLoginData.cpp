#include "QvxCloudDatabaseLoginData.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "foundation/Scramblers.h"
#include "platform/core/Profile.h"
#include "platform/core/SpecialFolders.h"

namespace {

constexpr const char* kSection = "QVXDATABASE";
constexpr const char* kEntry = "kvclid";
// The order in which the values are saved.
constexpr const char* kSaveOrder[] = {"CloudHost",    "CloudUrl",    "CloudUser",    "CloudPW",
                                      "SyteLineHost", "SyteLineUrl", "SyteLineUser", "SyteLinePW"};

// Creates the profile readable by its user alone, or narrows an existing one.
bool RestrictProfileToOwner()
{
    AfxCreateFolders(AfxGetConfigFolder());
    const int fd = ::open(AfxGetProfilePath(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool ok = ::fchmod(fd, 0600) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

CQvxCloudDatabaseLoginData::CQvxCloudDatabaseLoginData()
    : erpHost("erp.quorvex.local"),
      erpUrl("http://erp.quorvex.local/IDORequestService/IDOWebservice.asmx"),
      erpUser("korvane_ido"),
      erpPassword("Pl@k$rime"),
      cloudHost("cloud.quorvex.com"),
      cloudUrl("https://cloud.quorvex.com/7C41D0A9E35B2F86/"),
      cloudUser("korvane"),
      cloudPassword("lornwexcabtip")
{
    BuildKeyMap();
}

CQvxCloudDatabaseLoginData::CQvxCloudDatabaseLoginData(const CQvxCloudDatabaseLoginData& other)
{
    BuildKeyMap();
    CopyFrom(other);
}

CQvxCloudDatabaseLoginData& CQvxCloudDatabaseLoginData::operator=(const CQvxCloudDatabaseLoginData& other)
{
    CopyFrom(other);
    return *this;
}

void CQvxCloudDatabaseLoginData::BuildKeyMap()
{
    keyMap.RemoveAll();
    keyMap.SetAt("SyteLineHost", &erpHost);
    keyMap.SetAt("SyteLineUrl", &erpUrl);
    keyMap.SetAt("SyteLineUser", &erpUser);
    keyMap.SetAt("SyteLinePW", &erpPassword);
    keyMap.SetAt("CloudHost", &cloudHost);
    keyMap.SetAt("CloudUrl", &cloudUrl);
    keyMap.SetAt("CloudUser", &cloudUser);
    keyMap.SetAt("CloudPW", &cloudPassword);
}

void CQvxCloudDatabaseLoginData::CopyFrom(const CQvxCloudDatabaseLoginData& other)
{
    if (this == &other)
        return;
    erpHost = other.erpHost;
    erpUrl = other.erpUrl;
    erpUser = other.erpUser;
    erpPassword = other.erpPassword;
    cloudHost = other.cloudHost;
    cloudUrl = other.cloudUrl;
    cloudUser = other.cloudUser;
    cloudPassword = other.cloudPassword;
}

BOOL CQvxCloudDatabaseLoginData::LoadFromProfile(CQvxCloudDatabaseLoginData& loginData)
{
    const CString text = AfxGetProfileString(kSection, kEntry, "");
    int start = 0;
    for (;;) {
        const CString piece = text.Tokenize("~", start);
        if (start < 0)
            return TRUE;
        const int caret = piece.Find('^');
        if (caret < 0)
            return FALSE;
        CString key;
        CString value;
        if (!UnscrambleString(kScrambleSeed, piece.Left(caret), key) ||
            !UnscrambleString(kScrambleSeed, piece.Mid(caret + 1), value))
            return FALSE;
        void* member = nullptr;
        if (!loginData.keyMap.Lookup(key, member))
            return FALSE;
        *static_cast<CString*>(member) = value;
    }
}

BOOL CQvxCloudDatabaseLoginData::SaveToProfile(const CQvxCloudDatabaseLoginData& loginData)
{
    CString text;
    for (const char* key : kSaveOrder) {
        void* member = nullptr;
        CString scrambledKey;
        CString scrambledValue;
        if (!loginData.keyMap.Lookup(key, member) || !ScrambleString(kScrambleSeed, key, scrambledKey) ||
            !ScrambleString(kScrambleSeed, *static_cast<CString*>(member), scrambledValue))
            return FALSE;
        text += scrambledKey + "^" + scrambledValue + "~";
    }
    if (!RestrictProfileToOwner())
        return FALSE;
    return AfxWriteProfileString(kSection, kEntry, text);
}
