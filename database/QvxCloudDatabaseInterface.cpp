// The cloud side: HTTP requests, the cloud operations and the encoder merge.
#include "QvxCloudDatabaseInterface.h"

#include <algorithm>
#include <ctime>
#include <memory>
#include <sstream>
#include <string>

#include "foundation/FileHelpers.h"
#include "foundation/SystemHelpers.h"
#include "platform/core/SpecialFolders.h"
#include "platform/io/NetworkStatus.h"
#include "platform/net/HttpClient.h"
#include "database/ErrorResult.h"

const char kCloudConnectFailure[] = "Could not connect to server.  Please check internet connection.";

namespace {

// Submitted encoder lines are comma-separated quoted values: any other body
// (an HTML maintenance page, a message) is no table, however it came.
bool IsSubmittedTableText(const CString& text)
{
    bool any = false;
    std::string line;
    std::istringstream lines(text.str());
    while (std::getline(lines, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
        if (line.empty())
            continue;
        if (line.front() != '"' || std::count(line.begin(), line.end(), '"') % 2 != 0)
            return false;
        any = true;
    }
    return any;
}
using dberror::Fail;
using dberror::Succeed;


// A status reply compared without the line end a server may add.
bool ReplyIs(const CString& reply, const char* status)
{
    CString trimmed = reply;
    trimmed.Trim();
    return trimmed == status;
}

bool ReplyStartsWith(const CString& reply, const char* status)
{
    CString trimmed = reply;
    trimmed.TrimLeft();
    return trimmed.Left(13) == CString(status).Left(13);
}

}  // namespace

CString FormatAbsEncRecordName(const CQvxDatabaseTable* table, const CQvxDatabaseTableDataRow* record)
{
    const int manufacturer = table->fields.FindField("Manufacturer");
    const int model = table->fields.FindField("Model");
    if (manufacturer < 0 || model < 0 || manufacturer >= record->values.GetSize() ||
        model >= record->values.GetSize())
        return "<ERROR>";
    return record->values[manufacturer] + " - " + record->values[model];
}

CQvxCloudDatabaseInterface::CQvxCloudDatabaseInterface()
{
    const char* motorMap[][2] = {{"Item", "PartNum"},          {"ItemDescription", "ModelNum"},
                                 {"Resistance", "Resistance"},  {"Inductance", "Inductance"},
                                 {"MaxRPM", "MaxRPM"},          {"QMBPoles", "NumPoles"},
                                 {"*MotorType", "MotorType"},   {"*LinOrRot", "LinOrRot"},
                                 {"*LinesPerRev", "LinesPerRev"}};
    for (const auto& entry : motorMap)
        motorFieldMap.SetAt(entry[0], entry[1]);
    for (const char* name : {"Manufacturer", "Model", "SingleTurn", "MultiTurn", "Frequency", "AlignBits", "CDSBits",
                             "Protocol", "Status"})
        encoderFieldMap.SetAt(name, name);
}

CString CQvxCloudDatabaseInterface::GetDataFolder()
{
    CString documents;
    GetDocumentsFolder(documents);
    const CString folder = documents + "/Korvane/Application Data/";
    AfxCreateFolders(folder);
    return folder;
}

BOOL CQvxCloudDatabaseInterface::SendHttpRequest(const CStringList& headers, CString& reply, const char* method,
                                                 const char* url, const char* body)
{
    CHttpRequest request;
    request.method = method;
    request.url = url;
    for (POSITION pos = headers.GetHeadPosition(); pos;) {
        const CString& header = headers.GetNext(pos);
        const int colon = header.Find(':');
        if (colon < 0) {
            reply = "Invalid header in list.";
            return FALSE;
        }
        request.headers.emplace_back(header.Left(colon), header.Mid(colon + 1));
    }
    request.hasBody = body != nullptr;
    request.body = body ? body : "";
    CHttpReply answer;
    CString transportError;
    if (!CHttpClient::Send(request, answer, transportError)) {
        // A server that was reached and failed is named for what it did.
        if (answer.noAnswer) {
            reply = kCloudConnectFailure;
        } else {
            reply = "The server's reply failed: " + transportError;
            reply.TrimRight();
            if (reply.Right(1) != ".")
                reply += ".";
        }
        return FALSE;
    }
    if (!answer.IsSuccess()) {
        reply.Format("The server answered with HTTP status %ld.", answer.status);
        return FALSE;
    }
    reply = answer.text;
    return TRUE;
}

BOOL CQvxCloudDatabaseInterface::PostToCloud(const char* endpoint, const char* body, CString& reply)
{
    CStringList headers;
    headers.AddTail("username:" + loginData.cloudUser);
    headers.AddTail("password:" + loginData.cloudPassword);
    headers.AddTail("Content-Type:text/plain");
    if (!SendHttpRequest(headers, reply, "POST", loginData.cloudUrl + endpoint, body ? body : ""))
        return FALSE;
    if (ReplyIs(reply, "status:login_failed")) {
        reply = "Login failed";
        return FALSE;
    }
    return TRUE;
}

BOOL CQvxCloudDatabaseInterface::TestCloudConnection(CString* error)
{
    DWORD flags = 0;
    if (!IsNetworkAlive(&flags))
        return Fail(error, "Not connected to network.");
    if (!PingHost(loginData.cloudHost))
        return Fail(error, "Cloud server not available.");
    BOOL found = FALSE;
    return DetectSubmittedEncoderTable(found, error);
}

BOOL CQvxCloudDatabaseInterface::TestErpConnection(CString* error)
{
    DWORD flags = 0;
    if (!IsNetworkAlive(&flags))
        return Fail(error, "Not connected to network.");
    if (!PingHost(loginData.erpHost))
        return Fail(error, "SyteLine server not available.");
    CString scratch;
    return LoadDataSet("QvxMotorDB", scratch, error);
}

BOOL CQvxCloudDatabaseInterface::DetectSubmittedEncoderTable(BOOL& found, CString* error)
{
    found = FALSE;
    CString reply;
    if (!PostToCloud("detect_submitted_absenc_file.php", nullptr, reply))
        return Fail(error, "Failed: " + reply);
    found = ReplyIs(reply, "status:filefound");
    return Succeed(error);
}

BOOL CQvxCloudDatabaseInterface::PublishMotorTable(CString* error)
{
    CString data;
    CString message;
    if (!LoadDataSet("QvxMotorDB", data, &message))
        return Fail(error, message);
    CString reply;
    if (!PostToCloud("publish_motor_data.php", data, reply))
        return Fail(error, reply);
    if (!ReplyIs(reply, "status:success"))
        return Fail(error, "Failed: Server could not publish motor table.");
    return Succeed(error);
}

BOOL CQvxCloudDatabaseInterface::PublishEncoderFile(const char* path, CString* error)
{
    CString text;
    if (!ReadTextFile(path, text)) {
        CString message;
        message.Format("Cannot load file \"%s\".", GetFileNameFromPath(path, TRUE).GetString());
        return Fail(error, message);
    }
    CString reply;
    if (!PostToCloud("publish_absenc_data.php", text, reply))
        return Fail(error, "Failed: " + reply);
    if (!ReplyIs(reply, "status:success"))
        return Fail(error, "Failed: Server could not publish encoder file.");
    return Succeed(error);
}

BOOL CQvxCloudDatabaseInterface::RetrieveSubmittedEncoderTable(const char* path, CString* error)
{
    CString reply;
    if (!PostToCloud("retrieve_submitted_absenc_file.php", nullptr, reply))
        return Fail(error, "Failed: " + reply);
    CString trimmed = reply;
    trimmed.Trim();
    if (trimmed == "status:failed" || trimmed.IsEmpty())
        return Fail(error, "Failed: Server could not retrieve submitted encoder table.");
    if (trimmed == "status:nofile")
        return Fail(error, "Failed: No submitted encoder table exists.");
    if (!IsSubmittedTableText(reply))
        return Fail(error, "Failed: Server did not send an encoder table.");
    if (!WriteTextFile(path, reply))
        return Fail(error, "Failed: Could not save retrieved file.");
    CString ignored;
    PostToCloud("delete_submitted_absenc_temp_file.php", nullptr, ignored);
    return Succeed(error);
}

BOOL CQvxCloudDatabaseInterface::SubmitEncoderRecords(CQvxDatabaseTable* table, const char* submitter,
                                                      CString* error)
{
    const int status = table->fields.FindField("Status");
    if (status < 0)
        return Fail(error, "Internal table error");
    char stamp[128] = {};
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%c", &local);

    CString body;
    CList<POSITION, POSITION> sent;
    for (POSITION pos = table->rows.GetHeadPosition(); pos;) {
        const POSITION key = pos;
        CQvxDatabaseTableDataRow* record = table->rows.GetNext(pos);
        if (status >= record->values.GetSize() || record->values[status] != "Ready To Submit")
            continue;
        CQvxDatabaseTableDataRow line;
        line.CopyValues(*record, false);
        line.values[status] = "Submitted";
        body += line.FormatCsvText() + ",\"" + stamp + "\",\"" + submitter + "\",0\r\n";
        sent.AddTail(key);
    }
    if (sent.IsEmpty())
        return Fail(error, "No encoders to submit.");
    CString reply;
    if (!PostToCloud("submit_absenc_data.php", body, reply))
        return Fail(error, "Failed: " + reply);
    if (!ReplyIs(reply, "status:success"))
        return Fail(error, "Server could not submit encoder data.");
    // Recordsets showing a sent record reload it, so no edit buffer writes the old status back.
    for (POSITION pos = sent.GetHeadPosition(); pos;) {
        const POSITION key = sent.GetNext(pos);
        table->rows.GetAt(key)->values[status] = "Submitted";
        if (table->database)
            table->database->OnRecordUpdated(table, key);
    }
    table->modified = TRUE;
    return Succeed(error);
}

CString CQvxCloudDatabaseInterface::TextLinesToRecords(const CString& text)
{
    CString lines = text;
    lines.Trim();
    lines.Replace("\r\n", "\n");
    lines.Replace("\n\r", "\n");
    lines.Replace("\r", "\n");
    while (lines.Replace("\n\n", "\n") > 0) {
    }
    CString records;
    int start = 0;
    for (;;) {
        const CString line = lines.Tokenize("\n", start);
        if (start < 0)
            break;
        if (!records.IsEmpty())
            records += "\n";
        records += "{" + line + "}";
    }
    return records;
}

BOOL CQvxCloudDatabaseInterface::SyncEncoderTable(CQvxDatabaseTable* table, CString* error)
{
    CString reply;
    if (!PostToCloud("retrieve_absenc_data.php", nullptr, reply))
        return Fail(error, "Failed: " + reply);
    CString trimmed = reply;
    trimmed.Trim();
    // An empty reply would delete every approved encoder: it is no table.
    if (ReplyStartsWith(reply, "status:failed") || trimmed.IsEmpty())
        return Fail(error, "Failed: Could not retrieve encoder data.");

    const CString tempPath = GetDataFolder() + kEncoderTempFile;
    const CString seeFile = ". \r\nSee file: \"" + tempPath + "\".";
    if (!WriteTextFile(tempPath, TextLinesToRecords(reply)))
        return Fail(error, "Error importing encoder data: Could not write the file" + seeFile);

    std::unique_ptr<CQvxDatabaseTable> copy(table->CreateEmptyCopy());
    CString message;
    CStringList misfits;
    if (!copy->ReadRecordsFromFile(tempPath, &message, &misfits))
        return Fail(error, "Error importing encoder data: " + message + seeFile);
    // A line that does not fit the table's fields is no encoder record.
    if (!misfits.IsEmpty()) {
        CString misfit = misfits.GetHead();
        misfit.TrimRight('.');
        return Fail(error, "Error importing encoder data: " + misfit + seeFile);
    }

    deletedNames.RemoveAll();
    addedNames.RemoveAll();
    updatedNames.RemoveAll();
    CStringList keys;
    keys.AddTail("Manufacturer");
    keys.AddTail("Model");
    if (!table->Merge(*copy, keys, this, &message))
        return Fail(error, "Error syncing with encoder data: " + message);
    return Succeed(error);
}

namespace {

CString StatusOf(const CQvxDatabaseTable* table, const CQvxDatabaseTableDataRow* record)
{
    const int status = table->fields.FindField("Status");
    if (status < 0 || status >= record->values.GetSize())
        return CString();
    return record->values[status];
}

}  // namespace

bool CQvxCloudDatabaseInterface::MayDeleteRecord(CQvxDatabaseTable* localTable,
                                                 CQvxDatabaseTableDataRow* localRecord)
{
    if (StatusOf(localTable, localRecord) != "Approved")
        return false;
    deletedNames.Add(FormatAbsEncRecordName(localTable, localRecord));
    return true;
}

bool CQvxCloudDatabaseInterface::MayReplaceRecord(const CQvxDatabaseTable*, const CQvxDatabaseTableDataRow*,
                                                  CQvxDatabaseTable* localTable,
                                                  CQvxDatabaseTableDataRow* localRecord)
{
    const CString status = StatusOf(localTable, localRecord);
    return status == "Approved" || status == "Submitted";
}

void CQvxCloudDatabaseInterface::MarkSynced(CQvxDatabaseTable* table, CQvxDatabaseTableDataRow* record,
                                            CSortableStringArray& names)
{
    record->syncFlags |= CQvxDatabaseTableDataRow::syncCloud;
    const int status = table->fields.FindField("Status");
    if (status >= 0)
        record->SetValue(status, "Approved");
    names.Add(FormatAbsEncRecordName(table, record));
}

void CQvxCloudDatabaseInterface::OnRecordReplaced(CQvxDatabaseTable* localTable,
                                                  CQvxDatabaseTableDataRow* localRecord)
{
    MarkSynced(localTable, localRecord, updatedNames);
}

void CQvxCloudDatabaseInterface::OnRecordInserted(CQvxDatabaseTable* localTable, CQvxDatabaseTableDataRow* newRecord)
{
    MarkSynced(localTable, newRecord, addedNames);
}

CString CQvxCloudDatabaseInterface::FormatSyncSummary() const
{
    if (deletedNames.IsEmpty() && addedNames.IsEmpty() && updatedNames.IsEmpty())
        return "No changes";
    CString summary;
    auto section = [&summary](const char* title, const CSortableStringArray& names) {
        if (names.IsEmpty())
            return;
        summary += title;
        for (INT_PTR i = 0; i < names.GetSize(); ++i)
            summary += "\t" + names[i] + "\r\n";
    };
    section("Encoders Added:\r\n", addedNames);
    section("Encoders Deleted:\r\n", deletedNames);
    section("Encoders Updated:\r\n", updatedNames);
    return summary;
}
