// CDPopupSelectListEditCtrlCallback: how the owner of a popup select list
// hears of choices and typing, and may filter the choices itself.
#pragma once

#include "platform/core/String.h"

class CDPopupSelectListEditCtrlCallback {
public:
    virtual ~CDPopupSelectListEditCtrlCallback() = default;
    virtual void OnPopupSelection(int ownerId, CString text) = 0;
    virtual void OnPopupClosed(int ownerId) = 0;
    virtual void OnCharTyped(int /*ownerId*/, UINT /*ch*/) {}
    virtual BOOL UsesCustomFilter() { return FALSE; }
    virtual BOOL MatchesFilter(CString /*choice*/, CString /*typed*/) { return FALSE; }
};
