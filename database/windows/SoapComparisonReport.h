// CSoapComparisonReport: compares the motor table with the ERP web service's
// motor data set and writes a text report of the models each side lacks. The
// data set is read into a copy of the motor table that lives in the database
// only while the report is made.
#pragma once

#include "platform/core/String.h"

class CQvxCloudDatabaseInterface;
class CQvxDatabase;
class CQvxDatabaseRecordset;
class CQvxDatabaseTable;

class CSoapComparisonReport {
public:
    static constexpr const char* kFileName = "SOAP Conversion Test.txt";

    explicit CSoapComparisonReport(CQvxDatabase& database) : m_database(database) {}

    // Loads the data set through the interface and writes the report to path.
    // FALSE with the reason in error; the database is left as it was either way.
    BOOL Run(CQvxCloudDatabaseInterface& cloud, const char* path, CString& error);

    // The copy's JSON text, the report text and its counts, once run.
    CString copyJson;
    CString text;
    int soapRows = 0;
    int notInLocal = 0;
    int localRows = 0;
    int notInParsed = 0;
    int notInRaw = 0;

private:
    BOOL CheckSources(CString& error);
    BOOL LoadCopy(CQvxCloudDatabaseInterface& cloud, CString& raw, CString& error);
    void CompareSoapWithLocal();
    void CompareLocalWithSoap(const CQvxDatabaseRecordset& parsed, const CString& raw);
    // Whether a record of the recordset holds the model number in its "ModelNum" field.
    static bool HoldsModel(const CQvxDatabaseRecordset& recordset, const CString& model);

    CQvxDatabase& m_database;
    CQvxDatabaseTable* m_motors = nullptr;
    CQvxDatabaseTable* m_copy = nullptr;
    CQvxDatabaseRecordset* m_byModel = nullptr;
    int m_modelColumn = -1;
};
