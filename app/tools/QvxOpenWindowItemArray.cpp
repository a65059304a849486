#include "QvxOpenWindowItemArray.h"

#include "QvxEditorFrameList.h"
#include "framework/GuiUpdateItem.h"
#include "framework/GuiUpdateList.h"
#include "platform/ui/Wnd.h"

void CQvxOpenWindowItemArray::CollectDriveWindows(CGuiUpdateList& list)
{
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        CGuiUpdateItem* item = list.GetNext(pos);
        if (item->GetWnd() && item->GetWnd()->GetSafeHwnd())
            m_items.emplace_back(item, kOpenWindowDrive);
    }
}

void CQvxOpenWindowItemArray::CollectEditors(CQvxEditorFrameList& editors)
{
    for (CQvxEditorFrame* editor : editors.Snapshot(static_cast<size_t>(editors.GetCount())))
        m_items.emplace_back(editor, kOpenWindowEditor, &editors);
}

int CQvxOpenWindowItemArray::Activate(int index, CGuiUpdateList& list) const
{
    if (index < 0 || index >= GetCount())
        return 0;
    return (*this)[index].Activate(list);
}
