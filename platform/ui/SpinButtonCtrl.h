// CSpinButtonCtrl: up-down arrows that step a position and, with
// UDS_SETBUDDYINT, write it into the buddy edit.
#pragma once

#include "Wnd.h"

class CSpinButtonCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetRange(short lower, short upper) { SetRange32(lower, upper); }
    void SetRange32(int lower, int upper);
    void GetRange32(int& lower, int& upper) const;
    int SetPos(int position);
    int GetPos() const;
    CWnd* SetBuddy(CWnd* buddy);
    CWnd* GetBuddy() const;
};
