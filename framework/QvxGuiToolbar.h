// CQvxGuiToolbar: the bar at the top of a drive window: one command button,
// the drive selector, a coloured indicator of the drive's state and a label
// naming the selected drive. It knows nothing of drives: it asks its window.
#pragma once

#include "QvxGuiToolbarCB.h"
#include "QvxSelectAmpCombo.h"
#include "platform/ui/ToolBar.h"

constexpr UINT kToolbarButtonCommand = 32893;
constexpr UINT kDriveSelectorId = 10000;

class CQvxGuiToolbar : public CToolBar, public CQvxSelectAmpComboCB {
public:
    // The window's bar: button, selector and (unless the selector keeps its
    // place) the selector moved over the imageless button. 0 on failure.
    BOOL CreateEx(CWnd* parent, CQvxGuiToolbarCB* callback, DWORD style, UINT id = 0xE800);

    void ForwardToolbarInfo(CList<CAmplifierData>& drives, int& currentDrive) override;
    int OnAmpSelected(const CString& text) override;
    void OnAmpListChanged() override;

    // After the window's drive changed: refill, repaint, relabel.
    void RefreshDrives();
    void FitToParentWidth();
    CString GetDriveText() const { return m_selector.GetSelectedText(); }
    CQvxSelectAmpCombo& GetSelector() { return m_selector; }
    void SetShowState(BOOL show) { m_showState = show; }
    void SetKeepSelectorPosition(BOOL keep) { m_keepSelectorPosition = keep; }

    // The indicator's text and colours for a state; false for an unknown state.
    static bool GetStateLook(int state, const char*& text, COLORREF& fill, COLORREF& textColour);
    // Where the indicator sits in a client rectangle.
    static CRect IndicatorRect(const CRect& client);

    void OnPaint();
    void OnSelectorDropDown() { m_selector.OnDropDown(); }
    void OnSelectorChange() { m_selector.OnSelectionChange(); }

private:
    void DrawIndicator(CDC& dc, const CRect& client);
    void DrawLabel(CDC& dc, const CRect& client);

    CQvxGuiToolbarCB* m_pCallback = nullptr;
    BOOL m_showState = TRUE;
    BOOL m_keepSelectorPosition = FALSE;
    CQvxSelectAmpCombo m_selector;

    DECLARE_MESSAGE_MAP()
};
