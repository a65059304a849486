#include "CmdUI.h"

#include "Wnd.h"

namespace {
const AFX_MSGMAP_ENTRY* FindEntry(CWnd* target, UINT message, UINT id)
{
    for (const AFX_MSGMAP* map = target->GetMessageMap(); map; map = map->base ? map->base() : nullptr)
        for (const AFX_MSGMAP_ENTRY* e = map->entries; e->call; ++e)
            if (e->message == message && e->code == 0 && id >= e->idFirst && id <= e->idLast)
                return e;
    return nullptr;
}
}  // namespace

BOOL AfxHasCommandHandler(CWnd* target, UINT id)
{
    return target && FindEntry(target, WM_COMMAND, id) ? TRUE : FALSE;
}

BOOL AfxDoUpdateCmdUI(CWnd* target, CCmdUI& ui)
{
    if (!target)
        return FALSE;
    if (const AFX_MSGMAP_ENTRY* entry = FindEntry(target, WM_KV_UPDATECMDUI, ui.m_nID)) {
        LRESULT ignored = 0;
        entry->call(target, WM_KV_UPDATECMDUI, ui.m_nID, reinterpret_cast<LPARAM>(&ui), &ignored);
        return TRUE;
    }
    ui.Enable(AfxHasCommandHandler(target, ui.m_nID));
    return FALSE;
}
