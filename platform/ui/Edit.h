// CEdit: a single-line or multi-line (ES_MULTILINE) text box.
#pragma once

#include "Wnd.h"

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void GetSel(int& start, int& end) const;
    DWORD GetSel() const;
    void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE);
    BOOL SetReadOnly(BOOL readOnly = TRUE);
    void SetLimitText(UINT maxChars);
    void LimitText(int maxChars = 0) { SetLimitText(static_cast<UINT>(maxChars)); }
    int GetLineCount() const;
    // Whether the user changed the text since the program last set it.
    BOOL GetModify() const;
    void SetModify(BOOL modified = TRUE);
    void Copy() { SendMessage(WM_COPY); }
    void Cut() { SendMessage(WM_CUT); }
    void Paste() { SendMessage(WM_PASTE); }
    void Clear() { SendMessage(WM_CLEAR); }
};
