// CStatic: a text label.
#pragma once

#include "Wnd.h"

class CStatic : public CWnd {
public:
    BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
    // Shows the platform's icon for a message-box icon kind (MB_ICONQUESTION ...); 0 clears it.
    void SetStandardIcon(UINT iconKind);
};
