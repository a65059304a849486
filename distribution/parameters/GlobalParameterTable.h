// CGlobalParameterTable: the conversion-parameter tables of all connected
// drives, by drive address.
#pragma once

#include "distribution/parameters/GlobalAmpParameterTable.h"

class CGlobalParameterTable : public CList<CGlobalAmpParameterTable*, CGlobalAmpParameterTable*> {
public:
    CGlobalParameterTable() = default;
    ~CGlobalParameterTable() override;
    CGlobalParameterTable(const CGlobalParameterTable&) = delete;
    CGlobalParameterTable& operator=(const CGlobalParameterTable&) = delete;

    // Set before drives are added; every new drive table reads through it.
    void SetDistManager(CDistManager* manager);

    // A table already there for the address is stopped and replaced.
    void AddDrive(int address);
    void RemoveAllDrives();
    int GetDriveCount() const;

    bool GetParameterValue(int address, int id, double& out);
    bool IsParameterValid(int address, int id);
    bool RequestParameterQuery(int address, int id);
    // Multiplies the value by the parameter, or divides it; fails on an
    // unknown drive or parameter, a parameter without value, or a divisor of
    // 0, leaving the value unchanged.
    bool ConvertValue(int address, int id, double& value, bool divide);
    // -1 for an unknown name, -2 for an unknown drive.
    int GetParameterId(int address, const char* name);
    bool HasCsParameter(int address);
    bool AddParameterClient(int address, int id, CGlobalParameterDataClient* client);
    void RemoveParameterClient(CGlobalParameterDataClient* client);
    bool ResubmitOneShotRequests(int address);
    void ResubmitAllOneShotRequests();

private:
    CGlobalAmpParameterTable* Find(int address) const;
    // Takes the table out of the list and the index; null when there is none.
    CGlobalAmpParameterTable* Detach(int address);

    CMap<int, int, POSITION, POSITION> m_addressIndex;
    mutable CMutex m_lock;
    CDistManager* m_distManager = nullptr;
};
