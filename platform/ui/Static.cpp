#include "Static.h"

#include "ControlKind.h"

BOOL CStatic::Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CreateControl(static_cast<int>(ControlKind::Static), text, style | WS_CHILD, rect, parent, id);
}
