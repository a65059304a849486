#include "Collections.h"

#include "Archive.h"

void CMapStringToString::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<ULONGLONG>(GetCount()));
        for (POSITION pos = GetStartPosition(); pos;) {
            CString key;
            CString value;
            GetNextAssoc(pos, key, value);
            ar << key << value;
        }
        return;
    }
    RemoveAll();
    try {
        for (ULONGLONG count = ar.ReadCount(); count > 0; --count) {
            CString key;
            CString value;
            ar >> key >> value;
            SetAt(key, value);
        }
    } catch (...) {
        RemoveAll();
        throw;
    }
}
