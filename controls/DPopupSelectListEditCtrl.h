// CDPopupSelectListEditCtrl: an edit box with a list of allowed choices that
// drops open under it as the user types, listing only the choices that match
// ("ab" those starting with AB in any case, "*ab" those containing it). A
// click anywhere outside the box and the popup closes the popup.
#pragma once

#include "DPopupSelectListEditCtrlCallback.h"
#include "GlobalMouseHookClient.h"
#include "platform/core/Collections.h"
#include "platform/ui/Edit.h"

class CDPopupSelectListDlg;

// Posted by the mouse hook client to the edit box itself: wParam mouse message, lParam packed point.
constexpr UINT WM_POPUPSELECT_MOUSE = WM_USER + 121;

class CDPopupSelectListEditCtrl : public CEdit, public CGlobalMouseHookClient {
public:
    CDPopupSelectListEditCtrl();
    ~CDPopupSelectListEditCtrl() override;

    void SetCallback(CDPopupSelectListEditCtrlCallback* callback, int ownerId)
    {
        m_callback = callback;
        m_ownerId = ownerId;
    }
    CStringList& GetChoices() { return m_choices; }
    CDPopupSelectListDlg* GetPopup() const { return m_popup; }
    CDPopupSelectListEditCtrlCallback* GetCallback() const { return m_callback; }
    int GetOwnerId() const { return m_ownerId; }

    void ShowPopupList(const char* typed, const char* preselected);
    void ClosePopup();
    // The popup tells of its end: a choice, a cancel, or its window going.
    void OnPopupChoice(const CString& text);
    void OnPopupCancelled();
    void ForgetPopup() { m_popup = nullptr; }
    // The focus went to `window`: close the popup unless it stays with the box or the popup.
    void CheckFocusLeftTo(CWnd* window);

    LRESULT OnGlobalMouseEvent(UINT message, LPARAM point) override;
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    void OnChange();
    void OnChar(UINT ch, UINT repeat, UINT flags);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnKeyUp(UINT key, UINT repeat, UINT flags);
    void OnKillFocus(CWnd* newWindow);
    LRESULT OnHookedMouse(WPARAM message, LPARAM point);
    DECLARE_MESSAGE_MAP()

private:
    CDPopupSelectListEditCtrlCallback* m_callback = nullptr;
    int m_ownerId = -1;
    CDPopupSelectListDlg* m_popup = nullptr;
    CStringList m_choices;
};
