#include "QvxRecentEditorFiles.h"

#include "platform/core/Profile.h"
#include "platform/ui/Menu.h"

void CQvxRecentEditorFiles::SetMaximum(int count)
{
    m_maximum = count;
    Trim();
}

void CQvxRecentEditorFiles::Trim()
{
    while (GetCount() > m_maximum)
        RemoveTail();
}

void CQvxRecentEditorFiles::Add(const char* path, int move)
{
    if (move)
        for (POSITION pos = GetHeadPosition(); pos;) {
            const POSITION at = pos;
            if (GetNext(pos) == path)
                RemoveAt(at);
        }
    AddHead(path);
    Trim();
}

void CQvxRecentEditorFiles::Save() const
{
    AfxWriteProfileInt(kSection, "Count", static_cast<int>(GetCount()));
    int index = 0;
    for (POSITION pos = GetHeadPosition(); pos; ++index) {
        CString key;
        key.Format("File%d", index);
        AfxWriteProfileString(kSection, key, GetNext(pos));
    }
}

void CQvxRecentEditorFiles::Load()
{
    RemoveAll();
    const int count = static_cast<int>(AfxGetProfileInt(kSection, "Count", 0));
    for (int index = 0; index < count; ++index) {
        CString key;
        key.Format("File%d", index);
        const CString path = AfxGetProfileString(kSection, key, "");
        if (!path.IsEmpty())
            AddTail(path);
    }
    Trim();
}

void CQvxRecentEditorFiles::FillMenu(CMenu& menu) const
{
    while (menu.GetMenuItemCount() > 0)
        menu.DeleteMenu(0, MF_BYPOSITION);
    if (IsEmpty()) {
        menu.AppendMenu(MF_STRING | MF_GRAYED, m_firstId, "<no recent files>");
        return;
    }
    UINT id = m_firstId;
    for (POSITION pos = GetHeadPosition(); pos;)
        menu.AppendMenu(MF_STRING, id++, GetNext(pos));
}

CString CQvxRecentEditorFiles::GetEntry(UINT id) const
{
    if (id < m_firstId)
        return CString();
    POSITION pos = FindIndex(static_cast<INT_PTR>(id - m_firstId));
    return pos ? GetAt(pos) : CString();
}
