// CArchive: binary serialisation in the class library's layout: integers
// little-endian, texts with a length prefix (1 byte below 255, else 0xFF and a
// 16-bit length, else 0xFFFF and a 32-bit length), so files round-trip byte for byte.
#pragma once

#include "File.h"
#include "String.h"

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2 };

    CArchive(CFile* file, UINT mode, int bufferSize = 4096, void* buffer = nullptr);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsLoading() const { return m_loading; }
    bool IsStoring() const { return !m_loading; }
    CFile* GetFile() const { return m_file; }
    void Flush();
    void Close();
    void Abort() { m_file = nullptr; }

    UINT Read(void* buffer, UINT count);
    void Write(const void* buffer, UINT count);
    // Reads exactly count bytes; throws CArchiveException at end of file.
    void ReadExact(void* buffer, UINT count);
    // Text lines: WriteString writes the text as is; ReadString drops the line end.
    void WriteString(const char* text);
    BOOL ReadString(CString& line);

    CArchive& operator<<(BYTE v) { return Put(v); }
    CArchive& operator<<(char v) { return Put(static_cast<BYTE>(v)); }
    CArchive& operator<<(bool v) { return Put(static_cast<BYTE>(v ? 1 : 0)); }
    CArchive& operator<<(WORD v) { return Put(v); }
    CArchive& operator<<(short v) { return Put(v); }
    CArchive& operator<<(DWORD v) { return Put(v); }
    CArchive& operator<<(int v) { return Put(v); }
    CArchive& operator<<(LONGLONG v) { return Put(v); }
    CArchive& operator<<(ULONGLONG v) { return Put(v); }
    CArchive& operator<<(float v) { return Put(v); }
    CArchive& operator<<(double v) { return Put(v); }
    CArchive& operator<<(const CString& v);

    CArchive& operator>>(BYTE& v) { return Get(v); }
    CArchive& operator>>(char& v) { return Get(v); }
    CArchive& operator>>(bool& v);
    CArchive& operator>>(WORD& v) { return Get(v); }
    CArchive& operator>>(short& v) { return Get(v); }
    CArchive& operator>>(DWORD& v) { return Get(v); }
    CArchive& operator>>(int& v) { return Get(v); }
    CArchive& operator>>(LONGLONG& v) { return Get(v); }
    CArchive& operator>>(ULONGLONG& v) { return Get(v); }
    CArchive& operator>>(float& v) { return Get(v); }
    CArchive& operator>>(double& v) { return Get(v); }
    CArchive& operator>>(CString& v);

    void WriteCount(ULONGLONG count);
    ULONGLONG ReadCount();

    [[noreturn]] void ThrowArchive(int cause) const;

private:
    template <class T>
    CArchive& Put(T v)
    {
        CheckStoring();
        Write(&v, sizeof v);  // the host is little-endian, as the format is
        return *this;
    }
    template <class T>
    CArchive& Get(T& v)
    {
        CheckLoading();
        ReadExact(&v, sizeof v);
        return *this;
    }
    void CheckStoring() const;
    void CheckLoading() const;

    CFile* m_file;
    bool m_loading;
};

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "archive layout assumes a little-endian host");
