// CGlobalAmpParameterTable: one drive's conversion parameters with the worker
// that sets up their reads and computes them, and the drive's synchronised
// query table through which they read.
#pragma once

#include "distribution/parameters/GlobalParameterData.h"
#include "distribution/SynchronizedQueryResponseTable.h"
#include "foundation/DThread.h"

class CDistManager;

class CGlobalAmpParameterTable : public CList<CGlobalParameterData*, CGlobalParameterData*>, public CDThread {
public:
    CGlobalAmpParameterTable() = default;
    ~CGlobalAmpParameterTable() override;

    // Takes the parameter; one whose id is in the table already is dropped.
    bool AddParameter(int id, CGlobalParameterData* parameter, const char* name);
    void Start(CDistManager* manager, int address);
    // Stops the query table's worker and waits for it.
    void StopQueryThread();

    int GetAddress() const;
    int GetParameterIdByName(const char* name) const;
    bool RequestParameterQuery(int id);
    bool IsParameterValid(int id) const;
    bool GetParameterValue(int id, double& out);
    // Multiplies by the parameter, or divides by it; a parameter of 0 cannot divide.
    bool ConvertValue(int id, double& value, bool divide);
    bool AddParameterClient(int id, CGlobalParameterDataClient* client);
    void RemoveParameterClient(CGlobalParameterDataClient* client);
    bool HasParameter(int id) const;
    void ResubmitOneShotRequests();

    // One cycle over the parameters, in list order.
    void ExecCycle();

protected:
    int Step() override;
    int GetRestMs() override;

private:
    CGlobalParameterData* Find(int id) const;

    CMap<int, int, POSITION, POSITION> m_idIndex;
    CMap<CString, const char*, POSITION, POSITION> m_nameIndex;
    mutable CMutex m_tableLock;
    CSynchronizedQueryResponseTable m_queryTable;
    int m_address = 0;
};
