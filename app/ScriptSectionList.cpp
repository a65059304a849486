#include "ScriptSectionList.h"

#include <cstdlib>

#include "foundation/DPropertyList.h"
#include "platform/core/Archive.h"
#include "platform/core/Exception.h"
#include "platform/core/File.h"

CScriptSectionList::~CScriptSectionList()
{
    if (m_owns)
        DeleteSections();
}

void CScriptSectionList::DeleteSections()
{
    for (POSITION pos = GetHeadPosition(); pos;)
        delete GetNext(pos);
    RemoveAll();
}

int CScriptSectionList::ReadProperties(const CDPropertyList& bag)
{
    DeleteSections();
    CString countText;
    if (!bag.GetString("nSectionCount", countText))
        return 0;  // another kind of property bag
    const long count = std::atol(countText);
    if (count <= 0)
        return 1;
    // A count beyond what the bag holds would build sections out of nothing.
    if (count > bag.GetCount())
        return 0;
    for (int i = 0; i < count; ++i)
        if (!CScriptSection::HasAnyProperty(i, bag))
            return 0;
    for (int i = 0; i < count; ++i) {
        CScriptSection section;
        section.ReadProperties(i, bag);
        AddCopy(section);
    }
    return 1;
}

int CScriptSectionList::WriteProperties(CDPropertyList& bag) const
{
    CString count;
    count.Format("%d", static_cast<int>(GetCount()));
    bag.SetString("nSectionCount", count);
    int index = 0;
    for (POSITION pos = GetHeadPosition(); pos;)
        GetNext(pos)->WriteProperties(index++, bag);
    return 1;
}

CScriptSection* CScriptSectionList::AddCopy(const CScriptSection& section)
{
    auto* copy = new CScriptSection(section);
    AddTail(copy);
    return copy;
}

int CScriptSectionList::LoadFile(const char* path, CString& error)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite)) {
        error = "Could not open script file.";
        return 0;
    }
    CDPropertyList bag;
    try {
        CArchive ar(&file, CArchive::load, 4096);
        bag.Serialize(ar);
    } catch (...) {
        error = "Could not load script file.";
        return 0;
    }
    if (!ReadProperties(bag)) {
        error = "Could not load script file.";
        return 0;
    }
    return 1;
}

int CScriptSectionList::SaveFile(const char* path, CString& error) const
{
    CDPropertyList bag;
    WriteProperties(bag);
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) {
        error = "Could not open script file for output.";
        return 0;
    }
    try {
        CArchive ar(&file, CArchive::store, 4096);
        bag.Serialize(ar);
        ar.Close();
        file.Close();
    } catch (...) {
        file.Abort();
        error = "Failed to save script file.";
        return 0;
    }
    return 1;
}
