// The ERP side: SOAP requests, data sets and their conversion into records.
#include <cctype>
#include <memory>

#include "QvxCloudDatabaseInterface.h"
#include "QvxXmlText.h"
#include "foundation/FileHelpers.h"
#include "database/ErrorResult.h"

namespace {
constexpr const char* kNoTokenReply = "Incorrect response from server (334). Please contact Quorvex.";
constexpr const char* kNotSoapReply = "The server's reply is not a SOAP message.";
using dberror::Fail;
using dberror::Succeed;

// The content of the first element of that name, FALSE when there is none whole.
bool ElementContent(const CString& text, const char* name, CString& content)
{
    CString attributes;
    int end = 0;
    return QvxFindXmlElement(text, name, 0, content, attributes, end) == QvxXmlFind::found;
}

CString LinesPerRev(char code, int table)
{
    static const char* const kBrushlessM[] = {"0", "2048", "1", "3000", "3", "1024", "4", "2500", "5", "5000"};
    static const char* const kBrushless[] = {"1", "500",  "2", "1000", "3", "1024",  "4", "1250",    "5", "2000",
                                             "6", "2500", "8", "8192", "9", "5000",  "A", "512",     "B", "2048",
                                             "C", "4096", "D", "3600", "E", "18000", "F", "Absolute"};
    static const char* const kBrush[] = {"2", "500", "4", "1000", "6", "2000", "8", "2500"};
    const char* const* entries = table == 0 ? kBrushlessM : (table == 1 ? kBrushless : kBrush);
    const size_t count = table == 0 ? std::size(kBrushlessM) : (table == 1 ? std::size(kBrushless) : std::size(kBrush));
    for (size_t i = 0; i + 1 < count; i += 2) {
        if (entries[i][0] == code)
            return entries[i + 1];
    }
    return "No Encoder";
}

}  // namespace

BOOL CQvxCloudDatabaseInterface::BuildSoapBody(const char* method, const CStringList& parameters, CString& body)
{
    CString text;
    text.Format("<%s xmlns=\"%s\">\n", method, kIdoNamespace);
    for (POSITION pos = parameters.GetHeadPosition(); pos;) {
        const CString& parameter = parameters.GetNext(pos);
        const int colon = parameter.Find(':');
        if (colon < 0)
            return FALSE;
        const CString name = parameter.Left(colon);
        text.AppendFormat("<%s>%s</%s>\n", name.GetString(), QvxXmlEscape(parameter.Mid(colon + 1)).GetString(),
                          name.GetString());
    }
    text.AppendFormat("</%s>", method);
    body = text;
    return TRUE;
}

BOOL CQvxCloudDatabaseInterface::SoapRequest(const char* url, const char* action, const CString& body,
                                             CString& replyBody, bool* requestFailed)
{
    if (requestFailed)
        *requestFailed = false;
    CString message = "<?xml version=\"1.0\" encoding=\"utf-8\"?> ";
    message.AppendFormat("<soap12:Envelope xmlns:soap12=\"%s\"> <soap12:Body>", kSoapEnvelopeNamespace);
    message += body + "</soap12:Body> </soap12:Envelope>";
    CStringList headers;
    headers.AddTail("Content-Type:text/xml; charset=utf-8");
    headers.AddTail(CString("SOAPAction:") + kIdoNamespace + "/" + action);
    CString reply;
    if (!SendHttpRequest(headers, reply, "POST", url, message)) {
        replyBody = reply;  // what went wrong with the request
        if (requestFailed)
            *requestFailed = true;
        return FALSE;
    }
    if (!ElementContent(reply, "soap:Body", replyBody)) {
        replyBody = reply;
        return FALSE;
    }
    return TRUE;
}

BOOL CQvxCloudDatabaseInterface::CreateSessionToken(const char* configuration, const char* user,
                                                    const char* password, CString* error)
{
    CStringList parameters;
    parameters.AddTail(CString("strUserId:") + user);
    parameters.AddTail(CString("strPswd:") + password);
    parameters.AddTail(CString("strConfig:") + configuration);
    CString body;
    CString reply;
    if (!BuildSoapBody("CreateSessionToken", parameters, body))
        return Fail(error, "Internal error (7756).  Please contact Quorvex.");
    bool requestFailed = false;
    if (!SoapRequest(erpEndpoint, "CreateSessionToken", body, reply, &requestFailed))
        return Fail(error, requestFailed ? reply : CString(kNotSoapReply));
    CString token;
    if (!ElementContent(reply, "CreateSessionTokenResult", token))
        return Fail(error, kNoTokenReply);
    sessionToken = QvxXmlUnescape(token);
    sessionToken.Trim();
    if (sessionToken.IsEmpty())
        return Fail(error, kNoTokenReply);
    return Succeed(error);
}

BOOL CQvxCloudDatabaseInterface::LoadDataSet(const char* tableName, CString& data, CString* error)
{
    const CString table = tableName;
    const CMapStringToString* map = nullptr;
    const char* idoName = nullptr;
    if (table == "QvxMotorDB") {
        map = &motorFieldMap;
        idoName = kMotorIdoName;
    } else if (table == "AbsEncDB") {
        map = &encoderFieldMap;
        idoName = kEncoderIdoName;
    } else {
        CString message;
        message.Format("Server request failed for table \"%s\"", tableName);
        return Fail(error, message);
    }
    erpEndpoint = loginData.erpUrl;
    CString tokenError;
    if (!CreateSessionToken(kErpConfiguration, loginData.erpUser, loginData.erpPassword, &tokenError)) {
        // Only a server that answered without a token may have refused the login.
        if (tokenError == kNoTokenReply)
            return Fail(error, "Could not obtain SyteLine token.  Please verify user name and password.");
        return Fail(error, "Could not obtain SyteLine token.  " + tokenError);
    }

    CString properties;
    CString property;
    CString field;
    for (POSITION pos = map->GetStartPosition(); pos;) {
        map->GetNextAssoc(pos, property, field);
        if (property.Left(1) == "*")
            continue;
        if (!properties.IsEmpty())
            properties += ",";
        properties += property;
    }
    CStringList parameters;
    parameters.AddTail("strSessionToken:" + sessionToken);
    parameters.AddTail(CString("strIDOName:") + idoName);
    parameters.AddTail("iRecordCap:0");
    parameters.AddTail("strPropertyList:" + properties);
    CString body;
    if (!BuildSoapBody("LoadDataSet", parameters, body))
        return Fail(error, "Internal error (7756).  Please contact Quorvex.");
    CString reply;
    bool requestFailed = false;
    if (!SoapRequest(erpEndpoint, "LoadDataSet", body, reply, &requestFailed) && requestFailed)
        return Fail(error, reply == kCloudConnectFailure ? CString("Could not connect to SyteLine server.") : reply);
    CString result;
    if (!ElementContent(reply, "LoadDataSetResult", result)) {
        const CString dumpPath = GetDataFolder() + kSoapDumpFile;
        WriteTextFile(dumpPath, reply);
        return Fail(error, "Invalid data returned from SyteLine.  Dump available at: \"" + dumpPath + "\"");
    }
    // A data set sent as a string arrives escaped.
    data = result.Find('<') < 0 ? QvxXmlUnescape(result) : result;
    return Succeed(error);
}

BOOL CQvxCloudDatabaseInterface::DecodeMotorModel(CMapStringToString& values, CString& error)
{
    CString part;
    CString model;
    if (!values.Lookup("PartNum", part) || part == "[N/A]") {
        error = "Missing PartNum";
        return FALSE;
    }
    if (!values.Lookup("ModelNum", model) || model == "[N/A]") {
        error = "Missing ModelNum in PartNum=" + part;
        return FALSE;
    }
    const CString where = part + " [" + model + "]";
    if (model.GetLength() < 4 || model.Left(2) != "QM") {
        error = "Model length or name error in " + where;
        return FALSE;
    }
    int index = 2;
    int table = 2;
    if (model[2] == 'B') {
        values.SetAt("MotorType", "Brushless");
        const bool m = model[3] == 'M';
        index = m ? 5 : 7;
        table = m ? 0 : 1;
    } else {
        values.SetAt("MotorType", "Brush");
        values.SetAt("NumPoles", "");
    }
    CString section;
    int start = 0;
    bool first = true;
    for (;;) {
        const CString piece = model.Tokenize("-", start);
        if (start < 0)
            break;
        if (!first && piece.GetLength() >= 7) {
            section = piece;
            break;
        }
        first = false;
    }
    if (section.IsEmpty()) {
        error = "Data section not found in " + where;
        return FALSE;
    }
    for (const char ch : section.str()) {
        if (!std::isxdigit(static_cast<unsigned char>(ch)) && ch != 'G') {
            error = "Model data section has invalid characters in " + where;
            return FALSE;
        }
    }
    const char code = index < section.GetLength() ? section[index] : '\0';
    values.SetAt("LinesPerRev", code ? LinesPerRev(code, table) : CString("No Encoder"));
    values.SetAt("LinOrRot", "Rotary");
    return TRUE;
}

BOOL CQvxCloudDatabaseInterface::ConvertDataSet(const char* tableName, const CString& data,
                                                CQvxDatabaseTable* table, CString* error)
{
    const bool motors = CString(tableName) == "QvxMotorDB";
    const CMapStringToString& map = motors ? motorFieldMap : encoderFieldMap;
    CString problems;
    int at = 0;
    for (;;) {
        CString content;
        CString attributes;
        int end = 0;
        const QvxXmlFind found = QvxFindXmlElement(data, "IDO", at, content, attributes, end);
        if (found == QvxXmlFind::missing)
            break;
        if (found == QvxXmlFind::cut || attributes.Find("diffgr:id") < 0)
            return Fail(error, "Invalid motor data");
        at = end;

        CMapStringToString values;
        CString property;
        CString field;
        for (POSITION pos = map.GetStartPosition(); pos;) {
            map.GetNextAssoc(pos, property, field);
            CString value = "[N/A]";
            CString inner;
            if (property.Left(1) == "*") {
                value = "[calc]";
            } else if (ElementContent(content, property, inner)) {
                value = QvxXmlUnescape(inner);
                value.Trim();
            }
            values.SetAt(field, value);
        }
        CString reason;
        if (motors && !DecodeMotorModel(values, reason)) {
            problems += problems.IsEmpty() ? reason : "\r\n" + reason;
            continue;
        }
        CQvxDatabaseTableDataRow* record = table->CreateRecord(nullptr);
        for (POSITION pos = values.GetStartPosition(); pos;) {
            values.GetNextAssoc(pos, field, property);
            record->SetValue(table->fields.FindField(field), property == "[N/A]" ? "" : property.GetString());
        }
    }
    // A reply cut between two records would pass for a smaller data set.
    if (data.Find("</NewDataSet>", at) < 0)
        return Fail(error, "Incomplete data set");
    // A motor that could not be decoded is named; the others are kept.
    if (error)
        *error = problems;
    return TRUE;
}

BOOL CQvxCloudDatabaseInterface::RetrieveMotorTable(CQvxDatabaseTable* table, CString* error)
{
    CString reply;
    if (!PostToCloud("retrieve_motor_data.php", nullptr, reply))
        return Fail(error, "Failed: " + reply);
    if (reply.Left(13) == "status:failed")
        return Fail(error, "Failed: Server could not send motor data.");
    // Converted aside: the local motors are replaced only by a good data set.
    std::unique_ptr<CQvxDatabaseTable> copy(table->CreateEmptyCopy());
    copy->nextId = table->nextId;
    CString message;
    if (!ConvertDataSet("QvxMotorDB", reply, copy.get(), &message))
        return Fail(error, message);
    if (copy->rows.IsEmpty())
        return Fail(error, message.IsEmpty() ? CString("Failed: Server could not send motor data.") : message);
    if (table->database)
        table->database->OnTableEmptied(table);
    table->rows.Swap(copy->rows);
    table->nextId = copy->nextId;
    table->modified = TRUE;
    if (table->database)
        table->database->OnTableChanged(table);
    if (error)
        *error = message;
    return message.IsEmpty();
}

BOOL CQvxCloudDatabaseInterface::LoadErpTable(const char* tableName, CQvxDatabaseTable* table, CString* error)
{
    CString data;
    if (!LoadDataSet(tableName, data, error))
        return FALSE;
    // Converted aside, so a data set that fails part-way adds nothing.
    std::unique_ptr<CQvxDatabaseTable> copy(table->CreateEmptyCopy());
    copy->nextId = table->nextId;
    CString message;
    if (!ConvertDataSet(tableName, data, copy.get(), &message)) {
        CString failed;
        failed.Format("Server request failed for table \"%s\"", tableName);
        return Fail(error, failed);
    }
    while (!copy->rows.IsEmpty()) {
        const POSITION key = table->rows.AddTail(copy->rows.RemoveHead());
        if (table->database)
            table->database->OnRecordAdded(table, key);
    }
    table->nextId = copy->nextId;
    table->modified = TRUE;
    if (table->database)
        table->database->OnTableChanged(table);
    if (error)
        *error = message;
    return message.IsEmpty();
}
