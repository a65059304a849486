// CFlashUpdateLibrary: the binding to an outside flash-update library, loaded
// by path at run time. The library's callbacks may come on any of its threads:
// they only queue under a lock; the reports reach the programmer's report
// interface on the programmer's thread while it waits for the library.
#pragma once

#include <functional>

#include "FlashProgReportList.h"
#include "FlashUpdateApi.h"
#include "platform/core/Library.h"
#include "platform/core/Mutex.h"
#include "platform/core/String.h"

class CSerialFlashProgrammer;

class CFlashUpdateLibrary {
public:
    using Pump = std::function<void()>;

    explicit CFlashUpdateLibrary(CSerialFlashProgrammer& owner);
    ~CFlashUpdateLibrary();
    CFlashUpdateLibrary(const CFlashUpdateLibrary&) = delete;
    CFlashUpdateLibrary& operator=(const CFlashUpdateLibrary&) = delete;

    // A bare library name is found relative to the program (FlashLibraryLocation.h).
    int Link(const CString& libraryName);
    int LoadKernel(const CString& kernelPath, const CString& portName, unsigned int baudRate, const Pump& pump);
    int Erase(const Pump& pump);
    int Program(const CString& imagePath, int verify, const Pump& pump);
    void Unlink();

    bool IsLinked() const { return m_interface != nullptr; }
    CString GetLastErrorText() const { return m_lastError; }
    // What the library wrote through its text callback.
    CString GetLog() const;

private:
    struct CoffReader {
        COFFR_FILE_OPEN FileOpen = nullptr;
        COFFR_FILE_CLOSE FileClose = nullptr;
        COFFR_GET_FILE_HDR GetFileHdr = nullptr;
        COFFR_GET_OPTIONAL_HDR GetOptionalHdr = nullptr;
        COFFR_GET_SECTION_HDR GetSectionHdr = nullptr;
        COFFR_IS_LOAD_SECTION IsLoadSection = nullptr;
        COFFR_FIND_MAX_LOAD_SECTION_SIZE FindMaxLoadSectionSize = nullptr;
        COFFR_GET_SECT_DATA GetSectData = nullptr;
        COFFR_LOAD_STRINGS LoadStrings = nullptr;
        COFFR_GET_SYMBOL_TABLE_ENTRY GetSymbolTableEntry = nullptr;
        COFFR_GET_SYMBOL_NAME GetSymbolName = nullptr;
        COFFR_FIND_MAX_LNNO FindMaxLnno = nullptr;
        COFFR_GET_SECT_LNNO GetSectLnno = nullptr;
    };

    static void OnText(PRG_HANDLE handle, const char* text);
    static void OnReport(PRG_HANDLE handle, int kind, int value, const char* text);
    static CFlashUpdateLibrary* FindBinding(PRG_HANDLE handle);

    bool LookUpEntryPoints();
    bool OpenHandle();
    void CloseHandle();
    bool Configure(const CString& settings);
    // Waits while the library is busy; true when it finished well.
    bool WaitUntilDone(const Pump& pump);
    bool DeliverReports();
    bool ProgramSections(COFFR_FILE_HANDLE file, int verify, const Pump& pump);
    int Fail(const char* text);

    CSerialFlashProgrammer& m_owner;
    HMODULE m_module = nullptr;
    PRG_HANDLE m_handle = nullptr;
    CFlashProgReportList m_reports;
    CString m_log;
    mutable CMutex m_lock;  // over the reports and the log
    PRG_INTERFACE* m_interface = nullptr;
    PRG_SET_REPORT_CALLBACK m_setReportCallback = nullptr;
    CoffReader m_coff;
    COFFR_FILE_HANDLE m_imageFile = nullptr;
    CString m_lastError;
};
