#include "Archive.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

CArchive::CArchive(CFile* file, UINT mode, int /*bufferSize*/, void* /*buffer*/)
    : m_file(file), m_loading((mode & load) != 0)
{
}

CArchive::~CArchive() = default;

void CArchive::Flush()
{
    if (m_file && IsStoring())
        m_file->Flush();
}

void CArchive::Close()
{
    Flush();
    m_file = nullptr;
}

void CArchive::ThrowArchive(int cause) const
{
    throw CArchiveException(cause, m_file ? m_file->GetFilePath() : CString());
}

void CArchive::CheckStoring() const
{
    if (m_loading)
        ThrowArchive(CArchiveException::readOnly);
}

void CArchive::CheckLoading() const
{
    if (!m_loading)
        ThrowArchive(CArchiveException::writeOnly);
}

UINT CArchive::Read(void* buffer, UINT count)
{
    CheckLoading();
    if (!m_file)
        ThrowArchive(CArchiveException::genericException);
    return m_file->Read(buffer, count);
}

void CArchive::Write(const void* buffer, UINT count)
{
    CheckStoring();
    if (!m_file)
        ThrowArchive(CArchiveException::genericException);
    m_file->Write(buffer, count);
}

void CArchive::ReadExact(void* buffer, UINT count)
{
    if (Read(buffer, count) != count)
        ThrowArchive(CArchiveException::endOfFile);
}

void CArchive::WriteString(const char* text)
{
    Write(text, static_cast<UINT>(std::strlen(text)));
}

BOOL CArchive::ReadString(CString& line)
{
    std::string text;
    char ch;
    bool any = false;
    while (Read(&ch, 1) == 1) {
        any = true;
        if (ch == '\n')
            break;
        text += ch;
    }
    if (!text.empty() && text.back() == '\r')
        text.pop_back();
    line = CString(std::move(text));
    return any ? TRUE : FALSE;
}

CArchive& CArchive::operator>>(bool& v)
{
    BYTE b = 0;
    Get(b);
    v = b != 0;
    return *this;
}

void CArchive::WriteCount(ULONGLONG count)
{
    if (count < 0xFFFF) {
        *this << static_cast<WORD>(count);
        return;
    }
    if (count > 0xFFFFFFFFull)
        ThrowArchive(CArchiveException::genericException);
    *this << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(count);
}

ULONGLONG CArchive::ReadCount()
{
    WORD w = 0;
    *this >> w;
    if (w != 0xFFFF)
        return w;
    DWORD d = 0;
    *this >> d;
    return d;
}

void CArchive::WriteStringLength(ULONGLONG count)
{
    if (count < 0xFF) {
        *this << static_cast<BYTE>(count);
        return;
    }
    *this << static_cast<BYTE>(0xFF);
    if (count < 0xFFFE) {
        *this << static_cast<WORD>(count);
        return;
    }
    *this << static_cast<WORD>(0xFFFF);
    if (count < 0xFFFFFFFFull) {
        *this << static_cast<DWORD>(count);
        return;
    }
    *this << static_cast<DWORD>(0xFFFFFFFFu) << count;
}

ULONGLONG CArchive::ReadStringLength()
{
    BYTE b = 0;
    *this >> b;
    if (b < 0xFF)
        return b;
    WORD w = 0;
    *this >> w;
    if (w < 0xFFFF)
        return w;
    DWORD d = 0;
    *this >> d;
    if (d < 0xFFFFFFFFu)
        return d;
    ULONGLONG q = 0;
    *this >> q;
    return q;
}

CArchive& CArchive::operator<<(const CString& v)
{
    WriteStringLength(static_cast<ULONGLONG>(v.GetLength()));
    Write(v.GetString(), static_cast<UINT>(v.GetLength()));
    return *this;
}

CArchive& CArchive::operator>>(CString& v)
{
    // A 0xFF, 0xFFFE prefix marks a wide-character text written by a Unicode build;
    // it is narrowed here, characters outside 8 bits becoming '?'.
    bool wide = false;
    BYTE b = 0;
    *this >> b;
    ULONGLONG length = b;
    if (b == 0xFF) {
        WORD w = 0;
        *this >> w;
        if (w == 0xFFFE) {
            wide = true;
            length = ReadStringLength();
        } else if (w < 0xFFFF) {
            length = w;
        } else {
            DWORD d = 0;
            *this >> d;
            length = d;
            if (d == 0xFFFFFFFFu) {
                ULONGLONG q = 0;
                *this >> q;
                length = q;
            }
        }
    }
    // Read in bounded chunks: a damaged length runs into the end of the file
    // instead of reserving its whole size up front, and no file size is asked.
    constexpr ULONGLONG kChunk = 64 * 1024;
    const UINT unit = wide ? 2 : 1;
    std::string text;
    std::vector<BYTE> chunk;
    for (ULONGLONG left = length; left > 0;) {
        const ULONGLONG take = std::min(left, kChunk);
        chunk.resize(static_cast<size_t>(take * unit));
        ReadExact(chunk.data(), static_cast<UINT>(chunk.size()));
        if (wide) {
            for (size_t i = 0; i < chunk.size(); i += 2) {
                const WORD ch = static_cast<WORD>(chunk[i] | (chunk[i + 1] << 8));
                text += ch < 0x100 ? static_cast<char>(ch) : '?';
            }
        } else {
            text.append(reinterpret_cast<const char*>(chunk.data()), chunk.size());
        }
        left -= take;
    }
    v = CString(std::move(text));
    return *this;
}

namespace {

constexpr WORD kNullTag = 0;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr DWORD kBigClassTag = 0x80000000u;
constexpr DWORD kMaxMapCount = 0x3FFFFFFEu;
constexpr WORD kMaxClassNameLength = 255;

}  // namespace

DWORD CArchive::NextIndex()
{
    if (m_mapCount >= kMaxMapCount)
        ThrowArchive(CArchiveException::badIndex);
    return m_mapCount++;
}

void CArchive::WriteIndexTag(DWORD index, DWORD classBit)
{
    if (index < kBigObjectTag) {
        *this << static_cast<WORD>(index | (classBit ? kClassTag : 0));
        return;
    }
    *this << kBigObjectTag << static_cast<DWORD>(index | classBit);
}

void CArchive::WriteClass(const CRuntimeClass* runtimeClass)
{
    CheckStoring();
    if (!runtimeClass || !runtimeClass->IsSerializable())
        ThrowArchive(CArchiveException::badClass);
    auto it = m_stored.find(runtimeClass);
    if (it != m_stored.end()) {
        WriteIndexTag(it->second, kBigClassTag);
        return;
    }
    const size_t length = std::strlen(runtimeClass->m_lpszClassName);
    *this << kNewClassTag << static_cast<WORD>(runtimeClass->m_wSchema & 0xFFFF) << static_cast<WORD>(length);
    Write(runtimeClass->m_lpszClassName, static_cast<UINT>(length));
    m_stored.emplace(runtimeClass, NextIndex());
}

void CArchive::WriteObject(const CObject* object)
{
    CheckStoring();
    if (!object) {
        *this << kNullTag;
        return;
    }
    auto it = m_stored.find(object);
    if (it != m_stored.end()) {
        WriteIndexTag(it->second, 0);
        return;
    }
    WriteClass(object->GetRuntimeClass());
    m_stored.emplace(object, NextIndex());
    const_cast<CObject*>(object)->Serialize(*this);
}

void CArchive::EnsureLoadArray()
{
    if (m_loaded.empty())
        m_loaded.emplace_back();  // index 0: the null object
}

const CRuntimeClass* CArchive::ReadClassTag(DWORD& objectTag)
{
    EnsureLoadArray();
    WORD tag = 0;
    *this >> tag;
    DWORD fullTag = 0;
    if (tag == kBigObjectTag)
        *this >> fullTag;
    else
        fullTag = (static_cast<DWORD>(tag & kClassTag) << 16) | (tag & kBigObjectTag);

    if (tag == kNewClassTag) {
        WORD schema = 0;
        WORD length = 0;
        *this >> schema >> length;
        if (length == 0 || length > kMaxClassNameLength)
            ThrowArchive(CArchiveException::badClass);
        std::string name(length, '\0');
        ReadExact(name.data(), length);
        const CRuntimeClass* runtimeClass = CRuntimeClass::FromName(name.c_str());
        if (!runtimeClass || !runtimeClass->IsSerializable())
            ThrowArchive(CArchiveException::badClass);
        const bool versionable = (runtimeClass->m_wSchema & VERSIONABLE_SCHEMA) != 0;
        if (!versionable && (runtimeClass->m_wSchema & 0xFFFF) != schema)
            ThrowArchive(CArchiveException::badSchema);
        NextIndex();
        m_loaded.push_back({runtimeClass, nullptr, schema});
        m_objectSchema = schema;
        return runtimeClass;
    }
    if (fullTag & kBigClassTag) {
        const DWORD index = fullTag & ~kBigClassTag;
        if (index == 0 || index >= m_loaded.size() || !m_loaded[index].runtimeClass || m_loaded[index].object)
            ThrowArchive(CArchiveException::badIndex);
        m_objectSchema = m_loaded[index].schema;
        return m_loaded[index].runtimeClass;
    }
    objectTag = fullTag;
    return nullptr;
}

const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* requested)
{
    CheckLoading();
    DWORD objectTag = 0;
    const CRuntimeClass* runtimeClass = ReadClassTag(objectTag);
    if (!runtimeClass)
        ThrowArchive(CArchiveException::badClass);
    if (requested && !runtimeClass->IsDerivedFrom(requested))
        ThrowArchive(CArchiveException::badClass);
    return runtimeClass;
}

CObject* CArchive::ReadObject(const CRuntimeClass* requested) { return ReadObject(requested, false); }

CObject* CArchive::ReadOwnedObject(const CRuntimeClass* requested) { return ReadObject(requested, true); }

CObject* CArchive::ReadObject(const CRuntimeClass* requested, bool owning)
{
    CheckLoading();
    DWORD objectTag = 0;
    const CRuntimeClass* runtimeClass = ReadClassTag(objectTag);
    if (!runtimeClass) {
        // A reference to an object read before (tag 0: null).
        if (objectTag >= m_loaded.size() || (objectTag != 0 && !m_loaded[objectTag].object))
            ThrowArchive(CArchiveException::badIndex);
        // An owner may have deleted what it took; nobody else may have it too.
        if (objectTag != 0 && (owning || m_loaded[objectTag].owned))
            ThrowArchive(CArchiveException::badIndex);
        CObject* object = m_loaded[objectTag].object;
        if (object && requested && !object->IsKindOf(requested))
            ThrowArchive(CArchiveException::badClass);
        return object;
    }
    if (requested && !runtimeClass->IsDerivedFrom(requested))
        ThrowArchive(CArchiveException::badClass);
    CObject* object = runtimeClass->CreateObject();
    if (!object)
        ThrowArchive(CArchiveException::badClass);
    NextIndex();
    const size_t slot = m_loaded.size();
    m_loaded.push_back({runtimeClass, object, m_objectSchema});
    try {
        object->Serialize(*this);
    } catch (...) {
        m_loaded[slot] = LoadedEntry();
        delete object;
        throw;
    }
    m_loaded[slot].owned = owning;
    return object;
}

UINT CArchive::GetObjectSchema()
{
    const UINT schema = m_objectSchema;
    m_objectSchema = static_cast<UINT>(-1);
    return schema;
}
