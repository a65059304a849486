// CArchive: binary serialisation in the class library's layout: integers
// little-endian, texts with a length prefix (1 byte below 255, else 0xFF and a
// 16-bit length, else 0xFFFF and a 32-bit length), so files round-trip byte for byte.
//
// Objects are written with a 16-bit tag: 0 for null; 0xFFFF for the first object
// of a class, followed by the class (schema, name length, name, all counted in
// words); 0x8000 | index for a later object of an already written class; a bare
// index for an object written before. Classes and objects share one index
// sequence from 1; indexes from 0x7FFF on are written as 0x7FFF and a 32-bit tag.
#pragma once

#include <unordered_map>
#include <vector>

#include "File.h"
#include "Object.h"
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

    // Element counts of collections: a 16-bit count, or 0xFFFF and a 32-bit count.
    void WriteCount(ULONGLONG count);
    ULONGLONG ReadCount();
    // Text lengths: one byte below 255, else 0xFF and a 16-bit length, else 0xFFFF and a 32-bit one.
    void WriteStringLength(ULONGLONG length);
    ULONGLONG ReadStringLength();

    void WriteObject(const CObject* object);
    // A new object is made by its class and read; one that does not derive from
    // the requested class (null: any), an unknown class or a bad tag throws
    // CArchiveException, and nothing made for the failed object is kept.
    CObject* ReadObject(const CRuntimeClass* requested);
    // For a reader that will own (and delete) what it reads: only a new object or
    // null; a reference to an object read before throws badIndex, and so does any
    // later reference to the object this returns, so no object gets two owners.
    CObject* ReadOwnedObject(const CRuntimeClass* requested);
    void WriteClass(const CRuntimeClass* runtimeClass);
    const CRuntimeClass* ReadClass(const CRuntimeClass* requested = nullptr);
    // The schema stored for the object being read (once), or (UINT)-1.
    UINT GetObjectSchema();

    friend CArchive& operator<<(CArchive& ar, const CObject* object)
    {
        ar.WriteObject(object);
        return ar;
    }
    friend CArchive& operator>>(CArchive& ar, CObject*& object)
    {
        object = ar.ReadObject(nullptr);
        return ar;
    }

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

    // One slot per index of the archive: a class or an object (slot 0 is null).
    struct LoadedEntry {
        const CRuntimeClass* runtimeClass = nullptr;
        CObject* object = nullptr;
        UINT schema = 0;
        bool owned = false;
    };
    CObject* ReadObject(const CRuntimeClass* requested, bool owning);
    void WriteIndexTag(DWORD index, DWORD classBit);
    DWORD NextIndex();
    const CRuntimeClass* ReadClassTag(DWORD& objectTag);
    void EnsureLoadArray();

    CFile* m_file;
    bool m_loading;
    UINT m_objectSchema = static_cast<UINT>(-1);
    DWORD m_mapCount = 1;
    std::unordered_map<const void*, DWORD> m_stored;  // classes and objects written
    std::vector<LoadedEntry> m_loaded;
};

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "archive layout assumes a little-endian host");
