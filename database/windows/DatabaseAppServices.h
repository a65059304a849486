// CDatabaseAppServices: what the database windows need of the application
// object: its table database (with the standard recordsets "MotorByPartNum",
// "MotorByModelNum" and "AbsEncByModel", and the encoder table "AbsEncDB") and
// its cloud interface, whose login data is the application's. The application
// installs its implementation when it is made; while none is installed the
// windows find neither (the encoder window then finds no recordset).
#pragma once

class CQvxCloudDatabaseInterface;
class CQvxDatabase;

class CDatabaseAppServices {
public:
    virtual ~CDatabaseAppServices() = default;

    virtual CQvxDatabase* GetTableDatabase() = 0;
    virtual CQvxCloudDatabaseInterface* GetCloudInterface() = 0;

    static void Install(CDatabaseAppServices* services);
    // Null while none is installed.
    static CDatabaseAppServices* Get();
};
