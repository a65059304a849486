#include "distribution/parameters/GlobalParameterTable.h"

#include "distribution/parameters/GlobalParameterKinds.h"
#include "platform/core/SingleLock.h"

CGlobalParameterTable::~CGlobalParameterTable() { RemoveAllDrives(); }

void CGlobalParameterTable::SetDistManager(CDistManager* manager)
{
    CSingleLock lock(&m_lock, TRUE);
    m_distManager = manager;
}

CGlobalAmpParameterTable* CGlobalParameterTable::Find(int address) const
{
    POSITION pos;
    return m_addressIndex.Lookup(address, pos) ? GetAt(pos) : nullptr;
}

CGlobalAmpParameterTable* CGlobalParameterTable::Detach(int address)
{
    CSingleLock lock(&m_lock, TRUE);
    POSITION pos;
    if (!m_addressIndex.Lookup(address, pos))
        return nullptr;
    CGlobalAmpParameterTable* table = GetAt(pos);
    RemoveAt(pos);
    m_addressIndex.RemoveKey(address);
    return table;
}

void CGlobalParameterTable::AddDrive(int address)
{
    // A second table for one drive would keep running unseen: replace it.
    delete Detach(address);

    CDistManager* manager;
    {
        CSingleLock lock(&m_lock, TRUE);
        manager = m_distManager;
    }
    auto* table = new CGlobalAmpParameterTable;
    int count = 0;
    const GlobalParameterKind* kinds = GetGlobalParameterKinds(count);
    for (int i = 0; i < count; ++i)
        table->AddParameter(kinds[i].id, CreateGlobalParameter(kinds[i].id), kinds[i].name);
    table->Start(manager, address);

    CSingleLock lock(&m_lock, TRUE);
    m_addressIndex.SetAt(address, AddTail(table));
}

void CGlobalParameterTable::RemoveAllDrives()
{
    CList<CGlobalAmpParameterTable*, CGlobalAmpParameterTable*> tables;
    {
        CSingleLock lock(&m_lock, TRUE);
        tables = *this;
    }
    for (POSITION pos = tables.GetHeadPosition(); pos;)
        tables.GetNext(pos)->StopQueryThread();
    CSingleLock lock(&m_lock, TRUE);
    while (!IsEmpty())
        delete RemoveHead();
    m_addressIndex.RemoveAll();
}

int CGlobalParameterTable::GetDriveCount() const
{
    CSingleLock lock(&m_lock, TRUE);
    return GetCount();
}

bool CGlobalParameterTable::GetParameterValue(int address, int id, double& out)
{
    CSingleLock lock(&m_lock, TRUE);
    CGlobalAmpParameterTable* table = Find(address);
    return table && table->GetParameterValue(id, out);
}

bool CGlobalParameterTable::IsParameterValid(int address, int id)
{
    CSingleLock lock(&m_lock, TRUE);
    CGlobalAmpParameterTable* table = Find(address);
    return table && table->IsParameterValid(id);
}

bool CGlobalParameterTable::RequestParameterQuery(int address, int id)
{
    CSingleLock lock(&m_lock, TRUE);
    CGlobalAmpParameterTable* table = Find(address);
    return table && table->RequestParameterQuery(id);
}

bool CGlobalParameterTable::ConvertValue(int address, int id, double& value, bool divide)
{
    CSingleLock lock(&m_lock, TRUE);
    CGlobalAmpParameterTable* table = Find(address);
    return table && table->ConvertValue(id, value, divide);
}

int CGlobalParameterTable::GetParameterId(int address, const char* name)
{
    CSingleLock lock(&m_lock, TRUE);
    CGlobalAmpParameterTable* table = Find(address);
    return table ? table->GetParameterIdByName(name) : -2;
}

bool CGlobalParameterTable::HasCsParameter(int address)
{
    CSingleLock lock(&m_lock, TRUE);
    CGlobalAmpParameterTable* table = Find(address);
    return table && table->HasParameter(GPD_CS);
}

bool CGlobalParameterTable::AddParameterClient(int address, int id, CGlobalParameterDataClient* client)
{
    CSingleLock lock(&m_lock, TRUE);
    CGlobalAmpParameterTable* table = Find(address);
    return table && table->AddParameterClient(id, client);
}

void CGlobalParameterTable::RemoveParameterClient(CGlobalParameterDataClient* client)
{
    CSingleLock lock(&m_lock, TRUE);
    for (POSITION pos = m_addressIndex.GetStartPosition(); pos;) {
        int address;
        POSITION tablePos;
        m_addressIndex.GetNextAssoc(pos, address, tablePos);
        GetAt(tablePos)->RemoveParameterClient(client);
    }
}

bool CGlobalParameterTable::ResubmitOneShotRequests(int address)
{
    CSingleLock lock(&m_lock, TRUE);
    CGlobalAmpParameterTable* table = Find(address);
    if (!table)
        return false;
    table->ResubmitOneShotRequests();
    return true;
}

void CGlobalParameterTable::ResubmitAllOneShotRequests()
{
    CSingleLock lock(&m_lock, TRUE);
    for (POSITION pos = GetHeadPosition(); pos;)
        GetNext(pos)->ResubmitOneShotRequests();
}
