// The named collections of the class library, built on the templates.
#pragma once

#include "Array.h"
#include "List.h"
#include "Map.h"
#include "String.h"

class CArchive;
class CObject;

class CStringList : public CList<CString, const CString&> {};
class CStringArray : public CArray<CString, const CString&> {};
class CPtrList : public CList<void*, void*> {};
class CObList : public CList<CObject*, CObject*> {};
class CPtrArray : public CArray<void*, void*> {};
class CObArray : public CArray<CObject*, CObject*> {};
class CByteArray : public CArray<BYTE, BYTE> {};
class CWordArray : public CArray<WORD, WORD> {};
class CDWordArray : public CArray<DWORD, DWORD> {};
class CUIntArray : public CArray<UINT, UINT> {};

class CMapStringToString : public CMap<CString, const char*, CString, const char*> {
public:
    // The count, then each key and value; loading replaces the content, and a
    // truncated archive throws CArchiveException and leaves the map empty.
    void Serialize(CArchive& ar);
};
class CMapStringToPtr : public CMap<CString, const char*, void*, void*> {};
class CMapStringToOb : public CMap<CString, const char*, CObject*, CObject*> {};
class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {};
class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {};
class CMapPtrToWord : public CMap<void*, void*, WORD, WORD> {};
