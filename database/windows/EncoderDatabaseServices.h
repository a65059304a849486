// CEncoderDatabaseServices: what the absolute-encoder database window needs of
// the application object: its table database (the table "AbsEncDB") and its
// cloud interface, which carries the login data. The application installs its
// implementation; while none is installed the window finds no recordset.
#pragma once

class CQvxCloudDatabaseInterface;
class CQvxDatabase;

class CEncoderDatabaseServices {
public:
    virtual ~CEncoderDatabaseServices() = default;

    virtual CQvxDatabase* GetDatabase() = 0;
    virtual CQvxCloudDatabaseInterface* GetCloudInterface() = 0;

    static void Install(CEncoderDatabaseServices* services);
    // Null while none is installed.
    static CEncoderDatabaseServices* Get();
};
