// CQvxRichEditView: the program editor's text pane: a fixed-pitch plain-text
// editor whose changes the frame hears about, with the editing context menu.
#pragma once

#include "platform/ui/RichEditView.h"

class CMenu;

class CQvxRichEditView : public CRichEditView {
public:
    static constexpr UINT kDeleteCommand = 32980;

    // Makes the pane of `frame` below the toolbar and gives it the editor's font.
    BOOL CreateView(CWnd* frame, int top);
    // Undo, Redo, Cut, Copy, Paste, Delete, Select All, each greyed when it could do nothing.
    void BuildContextMenu(CMenu& menu);
    // The context menu at a screen point; the choice runs at once.
    void ShowContextMenu(CPoint point);
    bool IsContextMenuOpen() const { return m_contextMenuOpen != 0; }
    // Runs one of the context menu's commands; FALSE when it is not one.
    BOOL RunEditCommand(UINT id);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int m_contextMenuOpen = 0;
};
