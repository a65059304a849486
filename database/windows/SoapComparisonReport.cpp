#include "database/windows/SoapComparisonReport.h"

#include <memory>

#include "database/QvxCloudDatabaseInterface.h"
#include "database/QvxDatabase.h"
#include "foundation/FileHelpers.h"

namespace {
constexpr const char* kMotorTable = "QvxMotorDB";
constexpr const char* kByModelRecordset = "MotorByModelNum";
constexpr const char* kCopyRecordset = "SoapTest1";
constexpr const char* kModelField = "ModelNum";
constexpr const char* kDashes = "-------------------------------\n";

// The model number and first field of a record with at least two values; false for a shorter one.
bool ModelOf(const CQvxDatabaseTableDataRow& record, int modelColumn, CString& model, CString& first)
{
    if (record.values.GetSize() < 2 || modelColumn >= record.values.GetSize())
        return false;
    model = record.values[modelColumn];
    first = record.values[0];
    return true;
}
}  // namespace

BOOL CSoapComparisonReport::Run(CQvxCloudDatabaseInterface& cloud, const char* path, CString& error)
{
    if (!CheckSources(error))
        return FALSE;
    CString raw;
    if (!LoadCopy(cloud, raw, error)) {
        // The report of a failed load is an empty file.
        WriteTextFile(path, "");
        return FALSE;
    }
    m_copy->ExportJson(nullptr, copyJson);
    text = "SOAP Models not in Quorvex List\n";
    text += kDashes;
    CompareSoapWithLocal();
    BOOL done = FALSE;
    if (!m_database.OpenRecordset(kCopyRecordset, m_copy->name, "", "", "", 0)) {
        error.Format("Could not open recordset \"%s\".", kCopyRecordset);
    } else {
        text += "\n\nQuorvex Models not in SOAP Parsed List\n";
        text += kDashes;
        CompareLocalWithSoap(*m_database.FindRecordset(kCopyRecordset), raw);
        done = WriteTextFile(path, text) != 0;
        if (!done)
            error.Format("Could not write \"%s\".", path);
    }
    // Its recordset goes with it.
    m_database.RemoveTable(m_copy->name);
    m_copy = nullptr;
    return done;
}

BOOL CSoapComparisonReport::CheckSources(CString& error)
{
    m_motors = m_database.FindTable(kMotorTable);
    m_byModel = m_database.FindRecordset(kByModelRecordset);
    m_modelColumn = m_motors ? m_motors->fields.FindField(kModelField) : -1;
    if (!m_motors)
        error.Format("Table \"%s\" not found.", kMotorTable);
    else if (m_modelColumn < 0)
        error.Format("Table \"%s\" has no field \"%s\".", kMotorTable, kModelField);
    else if (!m_byModel || !m_byModel->table)
        error.Format("Recordset \"%s\" not found.", kByModelRecordset);
    else if (m_database.FindTable(CString(kMotorTable) + "_Copy") || m_database.FindRecordset(kCopyRecordset))
        error.Format("Could not copy table \"%s\": a copy is in use.", kMotorTable);
    else
        return TRUE;
    return FALSE;
}

BOOL CSoapComparisonReport::LoadCopy(CQvxCloudDatabaseInterface& cloud, CString& raw, CString& error)
{
    std::unique_ptr<CQvxDatabaseTable> copy(m_motors->CreateEmptyCopy());
    if (!cloud.LoadDataSet(kMotorTable, raw, &error))
        return FALSE;
    // Models that cannot be decoded are left out of the copy, as the sync leaves them out.
    CString skipped;
    if (!cloud.ConvertDataSet(kMotorTable, raw, copy.get(), &skipped)) {
        error = skipped;
        return FALSE;
    }
    // The database may have changed while the request waited: what the report reads is checked again.
    if (m_database.FindTable(kMotorTable) != m_motors || m_database.FindRecordset(kByModelRecordset) != m_byModel) {
        error.Format("Table \"%s\" changed while the data set was loaded.", kMotorTable);
        return FALSE;
    }
    if (m_database.FindTable(copy->name)) {
        error.Format("Could not copy table \"%s\": a copy is in use.", kMotorTable);
        return FALSE;
    }
    copy->database = &m_database;
    m_database.tables.SetAt(copy->name, copy.get());
    m_copy = copy.release();
    return TRUE;
}

bool CSoapComparisonReport::HoldsModel(const CQvxDatabaseRecordset& recordset, const CString& model)
{
    // Read in place: moving the shared recordset's current record would move every window showing it.
    const int column = recordset.table ? recordset.table->fields.FindField(kModelField) : -1;
    if (column < 0)
        return false;
    for (POSITION pos = recordset.GetHeadPosition(); pos; recordset.GetNext(pos)) {
        const CQvxDatabaseTableDataRow* record = recordset.GetRecord(pos);
        if (record && column < record->values.GetSize() && record->values[column] == model)
            return true;
    }
    return false;
}

void CSoapComparisonReport::CompareSoapWithLocal()
{
    for (POSITION pos = m_copy->rows.GetHeadPosition(); pos;) {
        CString model, first;
        if (!ModelOf(*m_copy->rows.GetNext(pos), m_modelColumn, model, first))
            continue;
        ++soapRows;
        if (HoldsModel(*m_byModel, model))
            continue;
        text.AppendFormat("%s (%s)\n", model.GetString(), first.GetString());
        ++notInLocal;
    }
    text += kDashes;
    text.AppendFormat("Total in SOAP table: %d\n", soapRows);
    text.AppendFormat("Total not in Quorvex List: %d\n", notInLocal);
}

void CSoapComparisonReport::CompareLocalWithSoap(const CQvxDatabaseRecordset& parsed, const CString& raw)
{
    for (POSITION pos = m_motors->rows.GetHeadPosition(); pos;) {
        CString model, first;
        if (!ModelOf(*m_motors->rows.GetNext(pos), m_modelColumn, model, first))
            continue;
        ++localRows;
        if (!HoldsModel(parsed, model)) {
            text.AppendFormat("%s (%s)\n", model.GetString(), first.GetString());
            ++notInParsed;
        }
        if (raw.Find("<ItemDescription>" + model + "</ItemDescription>") < 0)
            ++notInRaw;
    }
    text += kDashes;
    text.AppendFormat("Total in Quorvex List: %d\n", localRows);
    text.AppendFormat("Total not in SOAP parsed: %d\n", notInParsed);
    text.AppendFormat("Total not in SOAP raw: %d\n", notInRaw);
}
