// CQvxCloudDatabaseInterface: keeps the motor table ("QvxMotorDB") and the
// encoder table ("AbsEncDB") in step with the maker's cloud service (HTTP POST
// with the login in headers) and the ERP's IDO web service (SOAP 1.2). It is
// the synchronisation callback of the encoder merge. Requests are synchronous.
// Nothing a server sends changes a table unless the whole reply was good.
#pragma once

#include "QvxCloudDatabaseLoginData.h"
#include "QvxDatabaseSyncTableCallback.h"
#include "QvxDatabaseTable.h"
#include "foundation/SortableStringArray.h"

class CQvxCloudDatabaseInterface : public CQvxDatabaseSyncTableCallback {
public:
    static constexpr const char* kIdoNamespace = "http://quorvex.com/IDOWebServices";
    static constexpr const char* kSoapEnvelopeNamespace = "http://www.w3.org/2003/05/soap-envelope";
    static constexpr const char* kMotorIdoName = "QvxMotorIDO";
    static constexpr const char* kEncoderIdoName = "AbsEncIDO";
    static constexpr const char* kErpConfiguration = "qvx";
    static constexpr const char* kEncoderTempFile = "__ABSENCCSV_TEMP__.csv";
    static constexpr const char* kSoapDumpFile = "SYTELINE_SOAP_DUMP.txt";

    CQvxCloudDatabaseInterface();
    ~CQvxCloudDatabaseInterface() override = default;

    CString GetCloudUrl() const { return loginData.cloudUrl; }
    BOOL TestCloudConnection(CString* error = nullptr);
    BOOL TestErpConnection(CString* error = nullptr);

    BOOL PublishMotorTable(CString* error = nullptr);
    BOOL PublishEncoderFile(const char* path, CString* error = nullptr);
    BOOL RetrieveSubmittedEncoderTable(const char* path, CString* error = nullptr);
    BOOL DetectSubmittedEncoderTable(BOOL& found, CString* error = nullptr);
    BOOL SubmitEncoderRecords(CQvxDatabaseTable* table, const char* submitter, CString* error = nullptr);
    BOOL SyncEncoderTable(CQvxDatabaseTable* table, CString* error = nullptr);
    BOOL RetrieveMotorTable(CQvxDatabaseTable* table, CString* error = nullptr);
    BOOL LoadErpTable(const char* tableName, CQvxDatabaseTable* table, CString* error = nullptr);
    CString FormatSyncSummary() const;

    // The encoder merge's callbacks.
    bool MayDeleteRecord(CQvxDatabaseTable* localTable, CQvxDatabaseTableDataRow* localRecord) override;
    bool MayReplaceRecord(const CQvxDatabaseTable* incomingTable, const CQvxDatabaseTableDataRow* incomingRecord,
                          CQvxDatabaseTable* localTable, CQvxDatabaseTableDataRow* localRecord) override;
    void OnRecordReplaced(CQvxDatabaseTable* localTable, CQvxDatabaseTableDataRow* localRecord) override;
    void OnRecordInserted(CQvxDatabaseTable* localTable, CQvxDatabaseTableDataRow* newRecord) override;

    // The request steps the operations are built of.
    // Headers are "Name:value" texts. FALSE with the message in reply when no
    // good reply came: a transport failure, a time-out or a status outside 2xx.
    virtual BOOL SendHttpRequest(const CStringList& headers, CString& reply, const char* method, const char* url,
                                 const char* body);
    BOOL PostToCloud(const char* endpoint, const char* body, CString& reply);
    // FALSE with, in replyBody, what failed when the request failed (requestFailed
    // set), else the reply that has no SOAP body.
    BOOL SoapRequest(const char* url, const char* action, const CString& body, CString& replyBody,
                     bool* requestFailed = nullptr);
    // Parameters are "name:value" texts; the values are escaped for XML.
    static BOOL BuildSoapBody(const char* method, const CStringList& parameters, CString& body);
    BOOL CreateSessionToken(const char* configuration, const char* user, const char* password,
                            CString* error = nullptr);
    BOOL LoadDataSet(const char* tableName, CString& data, CString* error = nullptr);
    BOOL ConvertDataSet(const char* tableName, const CString& data, CQvxDatabaseTable* table,
                        CString* error = nullptr);
    // Completes one motor's values from its model number; FALSE with the reason.
    static BOOL DecodeMotorModel(CMapStringToString& values, CString& error);
    // CSV lines as table records: each line wrapped in braces.
    static CString TextLinesToRecords(const CString& text);
    // The folder of the temporary and dump files, created when missing.
    static CString GetDataFolder();

    CQvxCloudDatabaseLoginData loginData;
    CString erpEndpoint;
    CString sessionToken;
    CSortableStringArray deletedNames;
    CSortableStringArray addedNames;
    CSortableStringArray updatedNames;
    // ERP property name to local field name; a property beginning with "*" is computed.
    CMapStringToString motorFieldMap;
    CMapStringToString encoderFieldMap;

private:
    void MarkSynced(CQvxDatabaseTable* table, CQvxDatabaseTableDataRow* record, CSortableStringArray& names);
};

// The failure text of a request that reached no server.
extern const char kCloudConnectFailure[];

// "Manufacturer - Model" of an encoder record; "<ERROR>" when the table lacks either field.
CString FormatAbsEncRecordName(const CQvxDatabaseTable* table, const CQvxDatabaseTableDataRow* record);
