#include "distribution/parameters/GlobalAmpParameterTable.h"

#include "platform/core/SingleLock.h"

CGlobalAmpParameterTable::~CGlobalAmpParameterTable()
{
    m_queryTable.StopThread(1);
    StopThread(1);
    m_queryTable.DeleteRequests();
    CSingleLock lock(&m_tableLock, TRUE);
    while (!IsEmpty())
        delete RemoveHead();
    m_idIndex.RemoveAll();
    m_nameIndex.RemoveAll();
}

bool CGlobalAmpParameterTable::AddParameter(int id, CGlobalParameterData* parameter, const char* name)
{
    CSingleLock lock(&m_tableLock, TRUE);
    POSITION existing;
    if (m_idIndex.Lookup(id, existing)) {
        delete parameter;
        return false;
    }
    parameter->SetIdentity(id, name);
    const POSITION pos = AddTail(parameter);
    m_idIndex.SetAt(id, pos);
    m_nameIndex.SetAt(name, pos);
    parameter->AttachToTable(&m_queryTable);
    return true;
}

void CGlobalAmpParameterTable::Start(CDistManager* manager, int address)
{
    {
        CSingleLock lock(&m_tableLock, TRUE);
        m_address = address;
        for (POSITION pos = GetHeadPosition(); pos;)
            GetNext(pos)->SetTable(this);
    }
    if (manager)
        m_queryTable.SetDistManager(manager);
    m_queryTable.StopThread(1);
    m_queryTable.DeleteRequests();
    if (m_queryTable.GetState() == kIdle)
        m_queryTable.StartThread(THREAD_PRIORITY_NORMAL, 10);
    if (GetState() == kIdle)
        StartThread(THREAD_PRIORITY_NORMAL, 100);
}

void CGlobalAmpParameterTable::StopQueryThread() { m_queryTable.StopThread(1); }

int CGlobalAmpParameterTable::Step()
{
    ExecCycle();
    return 0;
}

// Parameters tell the table when they have something to do; until then it rests.
int CGlobalAmpParameterTable::GetRestMs()
{
    CSingleLock lock(&m_tableLock, TRUE);
    for (POSITION pos = GetHeadPosition(); pos;)
        if (GetNext(pos)->NeedsCycle())
            return GetPeriod();
    return kRestUntilWoken;
}

void CGlobalAmpParameterTable::ExecCycle()
{
    CSingleLock lock(&m_tableLock, TRUE);
    for (POSITION pos = GetHeadPosition(); pos;)
        GetNext(pos)->RunCycleStep();
}

int CGlobalAmpParameterTable::GetAddress() const
{
    CSingleLock lock(&m_tableLock, TRUE);
    return m_address;
}

CGlobalParameterData* CGlobalAmpParameterTable::Find(int id) const
{
    POSITION pos;
    return m_idIndex.Lookup(id, pos) ? GetAt(pos) : nullptr;
}

bool CGlobalAmpParameterTable::HasParameter(int id) const
{
    CSingleLock lock(&m_tableLock, TRUE);
    return Find(id) != nullptr;
}

int CGlobalAmpParameterTable::GetParameterIdByName(const char* name) const
{
    CSingleLock lock(&m_tableLock, TRUE);
    POSITION pos;
    return m_nameIndex.Lookup(name, pos) ? GetAt(pos)->GetId() : -1;
}

bool CGlobalAmpParameterTable::RequestParameterQuery(int id)
{
    CSingleLock lock(&m_tableLock, TRUE);
    CGlobalParameterData* parameter = Find(id);
    if (!parameter)
        return false;
    parameter->RequestQuery(true);
    return true;
}

bool CGlobalAmpParameterTable::IsParameterValid(int id) const
{
    CSingleLock lock(&m_tableLock, TRUE);
    const CGlobalParameterData* parameter = Find(id);
    return parameter && parameter->IsValid();
}

bool CGlobalAmpParameterTable::GetParameterValue(int id, double& out)
{
    CSingleLock lock(&m_tableLock, TRUE);
    CGlobalParameterData* parameter = Find(id);
    return parameter && parameter->GetValue(out);
}

bool CGlobalAmpParameterTable::ConvertValue(int id, double& value, bool divide)
{
    double factor;
    if (!GetParameterValue(id, factor))
        return false;
    if (divide) {
        if (factor == 0.0)
            return false;
        value /= factor;
    } else {
        value *= factor;
    }
    return true;
}

bool CGlobalAmpParameterTable::AddParameterClient(int id, CGlobalParameterDataClient* client)
{
    CSingleLock lock(&m_tableLock, TRUE);
    CGlobalParameterData* parameter = Find(id);
    if (!parameter)
        return false;
    parameter->AddClient(client);
    return true;
}

void CGlobalAmpParameterTable::RemoveParameterClient(CGlobalParameterDataClient* client)
{
    CSingleLock lock(&m_tableLock, TRUE);
    for (POSITION pos = GetHeadPosition(); pos;)
        GetNext(pos)->RemoveClient(client);
}

void CGlobalAmpParameterTable::ResubmitOneShotRequests() { m_queryTable.ResubmitOneShotRequests(); }
