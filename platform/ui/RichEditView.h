// CRichEditView: a rich edit that fills its parent frame as the frame's pane,
// with undo and redo (a typed blank ends an undo step), a modification flag, plain-text paste and text search.
// Its text keeps the encoding it was given in (UTF-8 or 8-bit), so a file
// read into it is written back with the same bytes.
#pragma once

#include "RichEditCtrl.h"

class CRichEditView : public CRichEditCtrl {
public:
    // Made as a child of `parent` filling the part of its client area below `top` pixels.
    BOOL CreatePane(CWnd* parent, UINT id, int top = 0);
    void FitPane(int top);
    CRichEditCtrl& GetRichEditCtrl() { return *this; }

    BOOL CanUndo() const;
    BOOL CanRedo() const;
    void Undo();
    void Redo();
    // Whether the clipboard holds text to paste.
    BOOL CanPaste() const;
    // Pastes the clipboard's text, never its formatting.
    void PastePlain();
    void Cut() { SendMessage(WM_CUT); }
    // Removes the selection as an undoable step.
    void Clear() { SendMessage(WM_CLEAR); }
    void SelectAll() { SetSel(0, -1); }
    BOOL GetModify() const;
    void SetModify(BOOL modified = TRUE);

    // The text with CR LF line ends, in the encoding it came in.
    CString GetTextBytes() const;
    CString GetSelText() const;
    BOOL HasSelection() const;
    // Replaces the selection by `bytes` (CR LF or LF line ends) as one undo step.
    void ReplaceSelBytes(const char* bytes);
    // Selects the next match from the caret, once around the text; FALSE when none.
    BOOL FindText(const char* text, BOOL matchCase, BOOL wholeWord, BOOL down);

private:
    bool m_utf8 = false;
};
