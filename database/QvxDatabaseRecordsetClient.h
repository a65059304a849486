// CQvxDatabaseRecordsetClient: an object that shows a recordset and is told
// of its moves, edits, additions, removals and re-queries. Every notice has an
// empty default, so a client overrides only what it needs.
#pragma once

class CQvxDatabaseRecordset;
class CQvxDatabaseRecordsetClientList;

class CQvxDatabaseRecordsetClient {
public:
    CQvxDatabaseRecordsetClient() = default;
    // Detaches the client from its recordset.
    virtual ~CQvxDatabaseRecordsetClient();
    CQvxDatabaseRecordsetClient(const CQvxDatabaseRecordsetClient&) = delete;
    CQvxDatabaseRecordsetClient& operator=(const CQvxDatabaseRecordsetClient&) = delete;

    virtual void OnFieldValueSet(int /*column*/, const char* /*value*/) {}
    virtual void OnBeforeSelect() {}
    virtual void OnCurrentRecordChanged() {}
    virtual void OnRecordUpdated() {}
    virtual void OnRequeried() {}
    virtual void OnRecordRemoved() {}
    virtual void OnRecordAdded() {}
    virtual void OnRefresh() {}
    virtual void OnTableReloaded() {}

    // Leaves the current recordset's client list and joins the new one's (or none).
    void SetRecordset(CQvxDatabaseRecordset* recordset);
    CQvxDatabaseRecordset* GetRecordset() const { return m_recordset; }

private:
    friend class CQvxDatabaseRecordsetClientList;
    CQvxDatabaseRecordset* m_recordset = nullptr;
    CQvxDatabaseRecordsetClientList* m_clientList = nullptr;
};
