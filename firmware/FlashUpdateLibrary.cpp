#include "FlashUpdateLibrary.h"

#include <map>
#include <vector>

#include "FlashLibraryLocation.h"
#include "SerialFlashProgrammer.h"
#include "platform/core/Clock.h"
#include "platform/core/SingleLock.h"
#include "platform/core/SpecialFolders.h"

namespace {

constexpr DWORD kPollMs = 10;

// Leads from a programming handle to its binding, for the callbacks.
CMutex& BindingsLock()
{
    static CMutex lock;
    return lock;
}

std::map<PRG_HANDLE, CFlashUpdateLibrary*>& Bindings()
{
    static std::map<PRG_HANDLE, CFlashUpdateLibrary*> bindings;
    return bindings;
}

template <class T>
bool LookUp(HMODULE module, const char* name, T& entry)
{
    entry = reinterpret_cast<T>(GetProcAddress(module, name));
    return entry != nullptr;
}

}  // namespace

CFlashUpdateLibrary::CFlashUpdateLibrary(CSerialFlashProgrammer& owner) : m_owner(owner) {}

CFlashUpdateLibrary::~CFlashUpdateLibrary()
{
    Unlink();
}

int CFlashUpdateLibrary::Fail(const char* text)
{
    m_lastError = text;
    return 0;
}

CString CFlashUpdateLibrary::GetLog() const
{
    CSingleLock lock(&m_lock, TRUE);
    return m_log;
}

int CFlashUpdateLibrary::Link(const CString& libraryName)
{
    Unlink();
    const CString path = LocateFlashUpdateLibrary(libraryName, AfxGetModuleFolder());
    if (path.IsEmpty()) {
        m_lastError.Format("Could not find the flash update library \"%s\"", libraryName.GetString());
        if (libraryName.Find('/') < 0)
            m_lastError += " (looked in " + FlashUpdateLibraryFolders(AfxGetModuleFolder()) + ")";
        m_lastError += ".";
        return 0;
    }
    m_module = LoadLibrary(path);
    if (!m_module) {
        m_lastError.Format("Could not load the flash update library \"%s\": %s", path.GetString(),
                           GetLibraryError().GetString());
        return 0;
    }
    PRG_GET_INTERFACE getInterface = nullptr;
    if (!LookUp(m_module, "PRG_GetInterface", getInterface) || getInterface(&m_interface) != 0 ||
        !m_interface || !LookUpEntryPoints()) {
        Unlink();
        return Fail("Could not link to flash update DLL.");
    }
    return 1;
}

bool CFlashUpdateLibrary::LookUpEntryPoints()
{
    return LookUp(m_module, "PRG_SetReportCallBack", m_setReportCallback) &&
           LookUp(m_module, "COFFR_FileOpen", m_coff.FileOpen) &&
           LookUp(m_module, "COFFR_FileClose", m_coff.FileClose) &&
           LookUp(m_module, "COFFR_GetFileHdr", m_coff.GetFileHdr) &&
           LookUp(m_module, "COFFR_GetOptionalHdr", m_coff.GetOptionalHdr) &&
           LookUp(m_module, "COFFR_GetSectionHdr", m_coff.GetSectionHdr) &&
           LookUp(m_module, "COFFR_IsLoadSection", m_coff.IsLoadSection) &&
           LookUp(m_module, "COFFR_FindMaxLoadSectionSize", m_coff.FindMaxLoadSectionSize) &&
           LookUp(m_module, "COFFR_GetSectData", m_coff.GetSectData) &&
           LookUp(m_module, "COFFR_LoadStrings", m_coff.LoadStrings) &&
           LookUp(m_module, "COFFR_GetSymbolTableEntry", m_coff.GetSymbolTableEntry) &&
           LookUp(m_module, "COFFR_GetSymbolName", m_coff.GetSymbolName) &&
           LookUp(m_module, "COFFR_FindMaxLnno", m_coff.FindMaxLnno) &&
           LookUp(m_module, "COFFR_GetSectLnno", m_coff.GetSectLnno);
}

void CFlashUpdateLibrary::Unlink()
{
    CloseHandle();
    if (m_module)
        FreeLibrary(m_module);
    m_module = nullptr;
    m_interface = nullptr;
    m_setReportCallback = nullptr;
    m_coff = CoffReader();
    CSingleLock lock(&m_lock, TRUE);
    m_reports.RemoveAll();
}

bool CFlashUpdateLibrary::OpenHandle()
{
    CloseHandle();
    PRG_HANDLE handle = nullptr;
    if (m_interface->Open(&handle) != 0 || !handle)
        return false;
    {
        CSingleLock lock(&BindingsLock(), TRUE);
        Bindings()[handle] = this;
    }
    m_handle = handle;
    return m_interface->SetTextCallback(m_handle, &CFlashUpdateLibrary::OnText) == 0 &&
           m_setReportCallback(m_handle, &CFlashUpdateLibrary::OnReport) == 0;
}

void CFlashUpdateLibrary::CloseHandle()
{
    if (!m_handle)
        return;
    if (m_imageFile)
        m_coff.FileClose(m_imageFile);
    m_imageFile = nullptr;
    m_interface->Close(m_handle);
    // After this no callback of the library reaches this binding.
    CSingleLock lock(&BindingsLock(), TRUE);
    Bindings().erase(m_handle);
    m_handle = nullptr;
}

CFlashUpdateLibrary* CFlashUpdateLibrary::FindBinding(PRG_HANDLE handle)
{
    auto found = Bindings().find(handle);
    return found == Bindings().end() ? nullptr : found->second;
}

void CFlashUpdateLibrary::OnText(PRG_HANDLE handle, const char* text)
{
    CSingleLock bindings(&BindingsLock(), TRUE);
    if (CFlashUpdateLibrary* binding = FindBinding(handle)) {
        CSingleLock lock(&binding->m_lock, TRUE);
        binding->m_log += text ? text : "";
    }
}

void CFlashUpdateLibrary::OnReport(PRG_HANDLE handle, int kind, int value, const char* text)
{
    CSingleLock bindings(&BindingsLock(), TRUE);
    if (CFlashUpdateLibrary* binding = FindBinding(handle)) {
        CSingleLock lock(&binding->m_lock, TRUE);
        binding->m_reports.AddTail(CFlashProgReport(kind, value, text ? text : ""));
    }
}

bool CFlashUpdateLibrary::DeliverReports()
{
    CFlashProgReportList pending;
    {
        CSingleLock lock(&m_lock, TRUE);
        pending.AddTail(&m_reports);
        m_reports.RemoveAll();
    }
    for (POSITION pos = pending.GetHeadPosition(); pos;) {
        const CFlashProgReport& report = pending.GetNext(pos);
        switch (report.m_kind) {
        case PRG_REPORT_ACTION:
            m_owner.ReportAction(report.m_text);
            break;
        case PRG_REPORT_STATUS:
            m_owner.ReportStatus(report.m_text);
            break;
        case PRG_REPORT_BEGIN_PROGRESS:
            m_owner.BeginProgress(report.m_value, report.m_text);
            break;
        case PRG_REPORT_PROGRESS:
            m_owner.ReportProgress(report.m_value, report.m_text);
            break;
        case PRG_REPORT_ERROR:
            m_owner.ReportError(report.m_text);
            break;
        case PRG_REPORT_DEBUG:
            if (CSerialFlashProgrammerReportCB* callback = m_owner.GetReportCallback())
                callback->ReportDebug(report.m_text);
            break;
        default:
            break;
        }
    }
    return !pending.IsEmpty();
}

bool CFlashUpdateLibrary::WaitUntilDone(const Pump& pump)
{
    int status = PRG_STATUS_BUSY;
    while ((status = m_interface->GetStatus(m_handle)) == PRG_STATUS_BUSY) {
        if (!DeliverReports() && pump)
            pump();
        Sleep(kPollMs);
    }
    DeliverReports();
    return status == PRG_STATUS_DONE;
}

bool CFlashUpdateLibrary::Configure(const CString& settings)
{
    return m_interface->Configure(m_handle, settings) == 0;
}

int CFlashUpdateLibrary::LoadKernel(const CString& kernelPath, const CString& portName, unsigned int baudRate,
                                    const Pump& pump)
{
    if (!IsLinked())
        return Fail("Could not link to flash update DLL.");
    const char* path = kernelPath.GetString();
    CString port;
    port.Format("EmuPortAddr=CF,EmuSerialPortName=%s,EmuBaudRate=%u,", portName.GetString(), baudRate);
    CString erase;
    erase.Format("PrgEraseFileName=%s,PrgVerifyFileName=%s,PrgEraseTimeout=0,PrgEraseOption1=0x00ff,"
                 "PrgEraseOption2=0x099,PrgEraseOption3=0x3,PrgEraseOption4=0x500,",
                 path, path);
    CString program;
    program.Format("PrgProgrammingFileName=%s,PrgProgrammingTimeout=0,PrgProgrammingOption1=0x0,"
                   "PrgProgrammingOption2=0x0,PrgProgrammingOption3=0x0,PrgProgrammingOption4=0x0,",
                   path);
    CString verify;
    verify.Format("PrgProgrammingFileName=%s,PrgVerifyTimeout=0,PrgVerifyOption1=0x0,PrgVerifyOption2=0x0,"
                  "PrgVerifyOption3=0x0,PrgVerifyOption4=0x0,",
                  path);
    if (!OpenHandle() || !Configure(port) || !Configure(erase) || !Configure(program) || !Configure(verify) ||
        m_interface->StartKernelLoad(m_handle) == 1 || !WaitUntilDone(pump))
        return Fail("Failed to load kernal.");
    return 1;
}

int CFlashUpdateLibrary::Erase(const Pump& pump)
{
    if (!m_handle)
        return Fail("Could not erase flash.");
    m_owner.ReportStatus("Erasing Flash");
    if (m_interface->Erase(m_handle) == 0 || !WaitUntilDone(pump))
        return Fail("Could not erase flash.");
    return 1;
}

int CFlashUpdateLibrary::Program(const CString& imagePath, int verify, const Pump& pump)
{
    if (!m_handle)
        return Fail("Could not update firmware.");
    m_owner.ReportStatus(verify ? "Verifying Firmware Load" : "Loading Firmware");
    if (m_coff.FileOpen(imagePath, &m_imageFile) != 0 || !m_imageFile) {
        m_imageFile = nullptr;
        return Fail("Could not open firmware file.");
    }
    const bool programmed = ProgramSections(m_imageFile, verify, pump);
    m_coff.FileClose(m_imageFile);
    m_imageFile = nullptr;
    return programmed ? 1 : Fail("Could not update firmware.");
}

bool CFlashUpdateLibrary::ProgramSections(COFFR_FILE_HANDLE file, int verify, const Pump& pump)
{
    COFFR_FILE_HDR header{};
    unsigned long largest = 0;
    if (m_coff.GetFileHdr(file, &header) != 0 || m_coff.FindMaxLoadSectionSize(file, &largest) != 0)
        return false;
    std::vector<unsigned char> buffer(largest * 2 + 10);
    auto block = verify ? m_interface->VerifyBlock : m_interface->ProgramBlock;
    // Sections are numbered from 1 to the count; the last one is loaded too.
    for (int section = 1; section <= header.sectionCount; ++section) {
        if (m_coff.IsLoadSection(file, section) == COFFR_NOT_LOAD_SECTION)
            continue;
        unsigned long address = 0;
        unsigned int page = 0;
        unsigned long length = 0;
        if (m_coff.GetSectData(file, section, buffer.data(), buffer.size(), &address, &page, &length) != 0)
            return false;
        if (block(m_handle, address, page, length, buffer.data()) == 1 || !WaitUntilDone(pump))
            return false;
    }
    return true;
}
