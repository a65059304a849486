// CFile over stdio. A file opened to be created and written is written to a
// temporary file beside it and renamed over the target on Close, so a failed
// or interrupted write never leaves a half-written file in place of a good one
// (CFileReplacement says what else the replacement keeps).
#pragma once

#include <cstdio>
#include <ctime>

#include "Exception.h"
#include "FileReplacement.h"
#include "String.h"

// What the file system says of an open file.
struct CFileStatus {
    std::time_t m_ctime = 0;  // status change
    std::time_t m_mtime = 0;
    std::time_t m_atime = 0;
    ULONGLONG m_size = 0;
    BYTE m_attribute = 0;  // 0x01 read-only, 0x10 folder
    CString m_szFullName;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
        // A replaced file readable by its user alone (mode 0600): files that hold credentials.
        modeOwnerOnly = 0x10000,
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile() = default;
    // Throws CFileException when the file cannot be opened.
    CFile(const char* fileName, UINT openFlags);
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    virtual BOOL Open(const char* fileName, UINT openFlags, CFileException* error = nullptr);
    virtual UINT Read(void* buffer, UINT count);
    virtual void Write(const void* buffer, UINT count);
    ULONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    ULONGLONG GetLength() const;
    void SetLength(ULONGLONG length);
    ULONGLONG GetPosition() const;
    BOOL GetStatus(CFileStatus& status) const;
    void Flush();
    // Commits the file; throws CFileException when the data could not be written.
    virtual void Close();
    // Closes without throwing; a file being replaced is discarded, the old one stays.
    virtual void Abort();

    bool IsOpen() const { return m_file != nullptr; }
    CString GetFilePath() const { return m_path; }
    CString GetFileName() const;
    FILE* GetStream() const { return m_file; }

    static void Remove(const char* fileName);
    static void Rename(const char* oldName, const char* newName);
    static bool Exists(const char* fileName);

protected:
    [[noreturn]] void ThrowError(int osError, int cause = CFileException::none) const;
    UINT OpenFlagsUsed() const { return m_flags; }

private:
    void Discard();

    FILE* m_file = nullptr;
    CString m_path;
    CFileReplacement m_replacement;  // active while a replacement is being written
    UINT m_flags = 0;
    int m_uncaughtAtOpen = 0;
};
