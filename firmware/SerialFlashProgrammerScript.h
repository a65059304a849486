// CSerialFlashProgrammerScript: one firmware update: a programming script
// run line by line against a CSerialFlashProgrammer, its named constants and
// the kernel and firmware image files it loads, packed into an update file
// (".qfu") for customers.
#pragma once

#include "foundation/HPTimer.h"
#include "platform/core/Collections.h"
#include "platform/core/String.h"

class CFile;
class CSerialFlashProgrammer;

class CSerialFlashProgrammerScript {
public:
    static constexpr const char* kUpdateFileMagic = "QVXFWUL";
    static constexpr int kUpdateFileVersion = 1;
    // Update files are scrambled with this seed on disk, by the windows that
    // export and import them.
    static constexpr int kUpdateFileSeed = 0x51F7;
    static constexpr ULONGLONG kMaxPackedFileBytes = 10000000;

    CSerialFlashProgrammerScript() = default;
    virtual ~CSerialFlashProgrammerScript() = default;

    void SetProgrammer(CSerialFlashProgrammer* programmer) { m_programmer = programmer; }
    // Empties the script, the error, the constants and the file list, for a new recording.
    void Reset();
    void SetDebug(int debug) { m_debug = debug; }
    CString GetScript() const { return m_script; }
    void SetScript(const CString& script) { m_script = script; }
    void AppendScript(const CString& lines) { m_script += lines; }
    CString GetFileFolder() const { return m_fileFolder; }
    void SetFileFolder(const CString& folder);
    const CStringList& GetFileList() const { return m_fileList; }
    int GetFileCount() const { return m_fileCount; }
    int GetVersion() const { return m_version; }
    int GetTotalFileSize() const { return m_totalFileSize; }
    // The duration of the last run, message boxes not counted.
    double GetRunSeconds() { return m_stopwatch.GetElapsedSeconds(); }

    void SetConstant(const CString& name, const CString& value);
    void SetConstantInt(const CString& name, int value);
    int GetConstant(const CString& name, CString& value) const;
    int GetConstantInt(const CString& name, int& value) const;

    void AddSetCpu(int cpuCode);
    void AddLoadKernel(const CString& path, int flags);
    void AddLoadFirmware(const CString& path, int flags);
    void AddMessageBox(const CString& text);
    void AddSleepMS();

    // Runs (0) or only checks (1) every line; 1 when no line failed.
    int RunScript(int checkOnly);
    int CheckScript(CString& errors);
    CString GetErrorText() const { return m_lastError; }
    void Describe(CString& text) const;

    int WriteUpdateFile(const CString& path);
    int ReadUpdateFile(const CString& path, const CString& folder);

private:
    // 1 when the line succeeded, else 0 with its error text.
    int ExecuteLine(const CString& line, int checkOnly, CString& error);
    int RunLoadLine(const CString& line, bool firmware, int checkOnly, CString& error);
    int RunTextLine(const CString& line, int command, int checkOnly, CString& error);
    int RunOpenPort(CString& error);
    void AddLoadLine(const char* command, const CString& path, int flags);
    int WriteArchive(CFile& file);
    // What an update file holds besides its files; taken over only once they are in place.
    struct UpdateFileHead {
        int version = 0;
        CMapStringToString constants;
        CString script;
        int count = 0;
    };
    int ReadArchive(CFile& file, const CString& staging, CStringList& names, UpdateFileHead& head);
    int MoveUnpacked(const CString& staging, const CStringList& names);

    CHPTimer m_stopwatch;
    CString m_script;
    CString m_lastError;
    CString m_fileFolder;
    CSerialFlashProgrammer* m_programmer = nullptr;
    CMapStringToString m_constants;
    CStringList m_fileList;
    int m_fileCount = 0;
    int m_version = kUpdateFileVersion;
    int m_totalFileSize = 0;
    int m_debug = 0;
};
