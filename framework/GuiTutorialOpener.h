// CGuiTutorialOpener: what a drive window needs of the tutorial page window
// that opened it. The tutorial window implements it beside its CWnd; a drive
// window finds it on its opener.
#pragma once

class CGuiUpdateDlg;

class CGuiTutorialOpener {
public:
    virtual ~CGuiTutorialOpener() = default;
    // The drive window the current page opened, or null.
    virtual CGuiUpdateDlg* GetOpenedWindow() = 0;
    // The window it opened is closing: forget it, and hide when marked to close with it.
    virtual void OnOpenedWindowClosed(CGuiUpdateDlg* window) = 0;
    virtual int GetPageIndex() const = 0;
    virtual int GetPageCount() const = 0;
    // 0 for a page outside the tutorial.
    virtual int GoToPage(int index) = 0;
};
