// CMotorProcedureChild: the procedure window a setup page opens from one of
// its buttons. The page hands itself to the window as its owner, keeps the
// button disabled while the window is open, and reopens it when the sheet's
// saved properties say it was open.
#pragma once

class CDPropertyList;
class CGuiUpdateDlg;
class CGuiUpdatePpg;
class CMotorProcedureOwner;
class CWnd;

class CMotorProcedureChild {
public:
    CMotorProcedureChild(CGuiUpdatePpg& page, CMotorProcedureOwner& owner, const char* guiName, int buttonId,
                         const char* property);

    // Does nothing while the window is still open or when it cannot be made.
    void Open();
    // The window is closing: the button opens it again.
    void OnClosed(CWnd* child);
    void ExchangeSheetProperties(CDPropertyList& bag, int loading);
    // The window, when it is still open.
    CGuiUpdateDlg* Live();
    // The last window opened, whether or not it still is.
    CGuiUpdateDlg* Window() const { return m_child; }
    // The window no longer reports to the page once it was told to close.
    void Close();

private:
    void EnableButton(bool enable);

    CGuiUpdatePpg& m_page;
    CMotorProcedureOwner& m_owner;
    const char* m_guiName;
    int m_buttonId;
    const char* m_property;
    CGuiUpdateDlg* m_child = nullptr;
};
