#include "SerialFlashProgrammerScript.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SerialFlashProgrammer.h"
#include "foundation/FileHelpers.h"
#include "foundation/ParamParse.h"
#include "platform/core/Archive.h"
#include "platform/core/Clock.h"
#include "platform/core/MessageBox.h"

namespace {

enum ScriptCommand {
    cmdOpenPort,
    cmdClosePort,
    cmdSetCpu,
    cmdLoadKernel,
    cmdLoadFirmware,
    cmdAutoBaudLock,
    cmdBootCpu2,
    cmdBootCm,
    cmdMessageBox,
    cmdReportAction,
    cmdReportStatus,
    cmdSleepMS,
    cmdUnknown,
};

// In the order lines are matched: a line matches the first name it begins with.
constexpr const char* kCommandNames[] = {
    "OpenPort",   "ClosePort",           "SetCpu",           "LoadKernel", "LoadFirmware",
    "AutoBaudLock", "ResetCpu1AndBootCpu2", "ResetCpu1AndLoadCm", "MessageBox", "ReportAction",
    "ReportStatus", "SleepMS",
};

int FindCommand(const CString& line)
{
    for (int i = 0; i < cmdUnknown; ++i) {
        const CString name = kCommandNames[i];
        if (line.Left(name.GetLength()).CompareNoCase(name) == 0)
            return i;
    }
    return cmdUnknown;
}

// The name a script or an update file gives is only ever taken as a bare file
// name, so that nothing outside the update folder is read or written.
bool IsBareFileName(const CString& name)
{
    // A NUL inside the name would cut it short on disk, so two names could be one file.
    return !name.IsEmpty() && name != "." && name != ".." &&
           std::memchr(name.GetString(), '\0', static_cast<size_t>(name.GetLength())) == nullptr &&
           GetFileNameFromPath(name, TRUE) == name;
}

int Parsed(int code, CString& error)
{
    if (code == CParamParse::ok)
        return 1;
    error = CParamParse::GetErrorString(code);
    return 0;
}

}  // namespace

void CSerialFlashProgrammerScript::SetFileFolder(const CString& folder)
{
    m_fileFolder = folder;
    if (!m_fileFolder.IsEmpty() && m_fileFolder.Right(1) != "/" && m_fileFolder.Right(1) != "\\")
        m_fileFolder += '/';
}

void CSerialFlashProgrammerScript::SetConstant(const CString& name, const CString& value)
{
    m_constants.SetAt(name, value);
}

void CSerialFlashProgrammerScript::SetConstantInt(const CString& name, int value)
{
    CString text;
    text.Format("%d", value);
    SetConstant(name, text);
}

int CSerialFlashProgrammerScript::GetConstant(const CString& name, CString& value) const
{
    return m_constants.Lookup(name, value) ? 1 : 0;
}

int CSerialFlashProgrammerScript::GetConstantInt(const CString& name, int& value) const
{
    CString text;
    if (!GetConstant(name, text))
        return 0;
    value = std::atoi(text);
    return 1;
}

void CSerialFlashProgrammerScript::AddSetCpu(int cpuCode)
{
    CString line;
    line.Format("SetCpu(%d)\n", cpuCode);
    m_script += line;
}

void CSerialFlashProgrammerScript::AddLoadLine(const char* command, const CString& path, int flags)
{
    CString line;
    line.Format("%s(\"%s\",%d)\n", command, GetFileNameFromPath(path, TRUE).GetString(), flags);
    m_script += line;
    // A file loaded twice is packed once, and counts once toward the progress total.
    if (m_fileList.Find(path))
        return;
    m_fileList.AddTail(path);
    const int size = GetFileSizeByName(path);
    if (size > 0)
        m_totalFileSize += size;
}

void CSerialFlashProgrammerScript::AddLoadKernel(const CString& path, int flags)
{
    AddLoadLine("LoadKernel", path, flags);
}

void CSerialFlashProgrammerScript::AddLoadFirmware(const CString& path, int flags)
{
    AddLoadLine("LoadFirmware", path, flags);
}

void CSerialFlashProgrammerScript::AddMessageBox(const CString& text)
{
    CString line;
    line.Format("MessageBox(\"%s\")\n", text.GetString());
    m_script += line;
}

void CSerialFlashProgrammerScript::AddSleepMS()
{
    m_script += "SleepMS(6)\n";
}

int CSerialFlashProgrammerScript::RunScript(int checkOnly)
{
    m_stopwatch.Restart();
    m_lastError.Empty();
    int failed = 0;
    int lineNumber = 0;
    int start = 0;
    while (start <= m_script.GetLength()) {
        int end = m_script.Find('\n', start);
        if (end < 0)
            end = m_script.GetLength();
        CString line = m_script.Mid(start, end - start);
        start = end + 1;
        ++lineNumber;
        line.Trim();
        if (line.IsEmpty())
            continue;
        if (m_debug && m_programmer && m_programmer->GetReportCallback())
            m_programmer->GetReportCallback()->ReportDebug("DEBUG:" + line);
        CString error;
        if (ExecuteLine(line, checkOnly, error))
            continue;
        failed = 1;
        if (checkOnly) {
            CString entry;
            entry.Format("ERROR: Line %d: %s\n", lineNumber, error.GetString());
            m_lastError += entry;
            continue;
        }
        // "OTHER": the reason is in the programmer's text, and the loads have reported it.
        if (error == "OTHER") {
            m_lastError = m_programmer->GetLastErrorText();
        } else {
            m_lastError = error;
            if (m_programmer)
                m_programmer->ReportError(error);
        }
        break;
    }
    m_stopwatch.Pause();
    return failed ? 0 : 1;
}

void CSerialFlashProgrammerScript::Reset()
{
    m_script.Empty();
    m_lastError.Empty();
    m_constants.RemoveAll();
    m_fileList.RemoveAll();
    m_fileCount = 0;
    m_totalFileSize = 0;
}

int CSerialFlashProgrammerScript::CheckScript(CString& errors)
{
    if (RunScript(1))
        return 1;
    errors = m_lastError;
    return 0;
}

int CSerialFlashProgrammerScript::ExecuteLine(const CString& line, int checkOnly, CString& error)
{
    if (!m_programmer) {
        error = "No programmer available";
        return 0;
    }
    const int command = FindCommand(line);
    switch (command) {
    case cmdOpenPort:
        return checkOnly ? 1 : RunOpenPort(error);
    case cmdSetCpu: {
        int cpu = 0;
        if (!Parsed(CParamParse::ParseParams(line, {cpu}), error))
            return 0;
        if (!checkOnly)
            m_programmer->SetCpu(cpu);
        return 1;
    }
    case cmdLoadKernel:
    case cmdLoadFirmware:
        return RunLoadLine(line, command == cmdLoadFirmware, checkOnly, error);
    case cmdMessageBox:
    case cmdReportAction:
    case cmdReportStatus:
        return RunTextLine(line, command, checkOnly, error);
    case cmdSleepMS: {
        int milliseconds = 0;
        if (!Parsed(CParamParse::ParseParams(line, {milliseconds}), error))
            return 0;
        if (!checkOnly && milliseconds > 0)
            Sleep(static_cast<DWORD>(milliseconds));
        return 1;
    }
    case cmdUnknown:
        error = "Unknown script command: " + line;
        return 0;
    default:
        break;
    }
    if (checkOnly)
        return 1;
    int done = 0;
    if (command == cmdClosePort)
        done = m_programmer->ClosePort();
    else if (command == cmdAutoBaudLock)
        done = m_programmer->AutoBaudLock();
    else if (command == cmdBootCpu2)
        done = m_programmer->BootCpu2();
    else if (command == cmdBootCm)
        done = m_programmer->BootCm();
    if (!done)
        error = "OTHER";
    return done;
}

int CSerialFlashProgrammerScript::RunOpenPort(CString& error)
{
    CString port;
    int baudRate = 0;
    if (!GetConstant("SerialPort", port) || !GetConstantInt("Baudrate", baudRate)) {
        error = "Could not get serial port settings.";
        return 0;
    }
    if (!m_programmer->OpenNamedPort(port, baudRate)) {
        error = "OTHER";
        return 0;
    }
    return 1;
}

int CSerialFlashProgrammerScript::RunLoadLine(const CString& line, bool firmware, int checkOnly, CString& error)
{
    CString name;
    int flags = 0;
    if (!Parsed(CParamParse::ParseParams(line, {name, flags}), error))
        return 0;
    if (!IsBareFileName(name)) {
        error = "Not a plain file name: " + name;
        return 0;
    }
    if (checkOnly)
        return 1;
    const CString path = m_fileFolder + name;
    const int done = firmware ? m_programmer->LoadFirmware(path, flags) : m_programmer->LoadKernel(path, flags);
    if (!done)
        error = "OTHER";
    return done;
}

int CSerialFlashProgrammerScript::RunTextLine(const CString& line, int command, int checkOnly, CString& error)
{
    CString text;
    if (!Parsed(CParamParse::ParseParams(line, {text}), error))
        return 0;
    if (checkOnly)
        return 1;
    if (command == cmdMessageBox) {
        m_stopwatch.Pause();
        AfxEngineMessageBox(text, "", MB_OK);
        m_stopwatch.Resume();
    } else if (command == cmdReportAction) {
        m_programmer->ReportAction(text);
    } else {
        m_programmer->ReportStatus(text);
    }
    return 1;
}

void CSerialFlashProgrammerScript::Describe(CString& text) const
{
    text = "Script\n------\n";
    text += m_script + "\n";
    text += "Constants\n---------\n";
    if (m_constants.IsEmpty())
        text += "(None)\n\n";
    for (POSITION pos = m_constants.GetStartPosition(); pos;) {
        CString name;
        CString value;
        m_constants.GetNextAssoc(pos, name, value);
        CString entry;
        entry.Format("%-20s = \"%s\"\n", name.GetString(), value.GetString());
        text += entry;
    }
    text += "\n";
    text += "Files\n-----\n";
    if (m_fileList.IsEmpty())
        text += "(None)\n\n";
    for (POSITION pos = m_fileList.GetHeadPosition(); pos;)
        text += m_fileList.GetNext(pos) + "\n";
}

int CSerialFlashProgrammerScript::WriteUpdateFile(const CString& path)
{
    m_lastError.Empty();
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
        m_lastError = "Could not open firmware update file for output.";
        return 0;
    }
    if (!WriteArchive(file)) {
        file.Abort();
        return 0;
    }
    try {
        file.Close();
    } catch (const CFileException&) {
        m_lastError = "Could not open firmware update file for output.";
        return 0;
    }
    return 1;
}

int CSerialFlashProgrammerScript::WriteArchive(CFile& file)
{
    // The script names its files without folders: two files of one name would unpack as one.
    CStringList names;
    for (POSITION pos = m_fileList.GetHeadPosition(); pos;) {
        const CString name = GetFileNameFromPath(m_fileList.GetNext(pos), TRUE);
        if (names.Find(name)) {
            m_lastError.Format("Two packed files share the name \"%s\".", name.GetString());
            return 0;
        }
        names.AddTail(name);
    }
    CArchive ar(&file, CArchive::store, 4096);
    try {
        m_fileCount = m_fileList.GetCount();
        m_version = kUpdateFileVersion;
        ar << CString(kUpdateFileMagic) << m_version;
        m_constants.Serialize(ar);
        ar << m_script << m_fileCount;
    } catch (const CException&) {
        m_lastError = "Not a valid firmware update file.";
        ar.Abort();
        return 0;
    }
    for (POSITION pos = m_fileList.GetHeadPosition(); pos;) {
        const CString packed = m_fileList.GetNext(pos);
        try {
            if (SerializeFileInArchive(ar, packed, FALSE, nullptr, kMaxPackedFileBytes))
                continue;
        } catch (const CException&) {
        }
        m_lastError = "Error loading kernel and firmware files.";
        ar.Abort();
        return 0;
    }
    ar.Close();
    return 1;
}

int CSerialFlashProgrammerScript::ReadUpdateFile(const CString& path, const CString& folder)
{
    m_lastError.Empty();
    SetFileFolder(folder);
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeBinary)) {
        m_lastError = "Could not open firmware update file for input.";
        return 0;
    }
    // Unpacked into a folder of its own first: a refused update file leaves the
    // folder as it was, files of the same names included.
    CString staging = m_fileFolder + ".kvunpackXXXXXX";
    if (!mkdtemp(staging.GetBuffer(0))) {
        m_lastError = "Could not build temporary files.";
        return 0;
    }
    staging += '/';
    CStringList names;
    UpdateFileHead head;
    const int result = ReadArchive(file, staging, names, head) && MoveUnpacked(staging, names) ? 1 : 0;
    DeleteFolderTree(staging);
    if (result) {
        m_version = head.version;
        m_constants = head.constants;
        m_script = head.script;
        m_fileCount = head.count;
    }
    return result;
}

int CSerialFlashProgrammerScript::MoveUnpacked(const CString& staging, const CStringList& names)
{
    for (POSITION pos = names.GetHeadPosition(); pos;) {
        const CString& name = names.GetNext(pos);
        if (std::rename(staging + name, m_fileFolder + name) != 0) {
            m_lastError = "Could not build temporary files.";
            return 0;
        }
    }
    return 1;
}

int CSerialFlashProgrammerScript::ReadArchive(CFile& file, const CString& staging, CStringList& names,
                                              UpdateFileHead& head)
{
    CArchive ar(&file, CArchive::load, 4096);
    CMapStringToString& constants = head.constants;
    CString& script = head.script;
    int& version = head.version;
    int& count = head.count;
    try {
        CString magic;
        ar >> magic;
        if (magic != kUpdateFileMagic)
            ar.ThrowArchive(CArchiveException::badClass);
        ar >> version;
        constants.Serialize(ar);
        ar >> script >> count;
        if (count < 0)
            ar.ThrowArchive(CArchiveException::badIndex);
    } catch (const CException&) {
        m_lastError = "Not a valid Quorvex firmware update file.";
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        try {
            // The stored name is looked at before anything is written (the
            // archive reads straight from the file, so the file can step back).
            const ULONGLONG recordStart = file.GetPosition();
            CString name;
            ar >> name;
            file.Seek(static_cast<LONGLONG>(recordStart), CFile::begin);
            if (IsBareFileName(name) && !names.Find(name) &&
                SerializeFileInArchive(ar, staging, TRUE, nullptr, kMaxPackedFileBytes)) {
                names.AddTail(name);
                continue;
            }
        } catch (const CException&) {
        }
        m_lastError = "Could not build temporary files.";
        return 0;
    }
    return 1;
}
