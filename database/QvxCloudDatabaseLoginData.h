// CQvxCloudDatabaseLoginData: the login values of the cloud service and the
// ERP service, kept in the application profile in scrambled form.
#pragma once

#include "platform/core/Collections.h"

class CQvxCloudDatabaseLoginData {
public:
    // The seed of the scrambler for the saved text; saving and loading share it.
    static constexpr int kScrambleSeed = 0x2D5B;

    CQvxCloudDatabaseLoginData();
    virtual ~CQvxCloudDatabaseLoginData() = default;
    CQvxCloudDatabaseLoginData(const CQvxCloudDatabaseLoginData& other);
    CQvxCloudDatabaseLoginData& operator=(const CQvxCloudDatabaseLoginData& other);

    void CopyFrom(const CQvxCloudDatabaseLoginData& other);
    // Profile section "QVXDATABASE", entry "kvclid". An empty entry leaves the
    // defaults; the first malformed piece ends the load with FALSE.
    static BOOL LoadFromProfile(CQvxCloudDatabaseLoginData& loginData);
    // The profile file is made readable by its user alone before it gets the logins.
    static BOOL SaveToProfile(const CQvxCloudDatabaseLoginData& loginData);

    CString erpHost;
    CString erpUrl;
    CString erpUser;
    CString erpPassword;
    CString cloudHost;
    CString cloudUrl;
    CString cloudUser;
    CString cloudPassword;
    // Each profile key to its member.
    CMapStringToPtr keyMap;

private:
    void BuildKeyMap();
};
