// Dialog data exchange: DoDataExchange moves values between members and
// controls (DDX_) and checks them (DDV_). A value that does not parse or is
// out of range is reported in a message box, the control gets the focus, and
// UpdateData answers FALSE.
#pragma once

#include "Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    CWnd* PrepareCtrl(int id);
    CWnd* PrepareEditCtrl(int id) { return PrepareCtrl(id); }
    [[noreturn]] void Fail();

    int m_idLastControl = 0;
};

// Thrown by Fail; UpdateData catches it.
struct CUserException {};

void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, double& value);
void DDX_Text(CDataExchange* dx, int id, float& value);
void DDX_Check(CDataExchange* dx, int id, int& value);
// The index of the checked button in the group that starts at `id`; -1 for none.
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBString(CDataExchange* dx, int id, CString& value);
void DDX_CBStringExact(CDataExchange* dx, int id, CString& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
// Attaches a member control object to the template's control on the first exchange.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum);
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minimum, UINT maximum);
void DDV_MinMaxLong(CDataExchange* dx, long value, long minimum, long maximum);
void DDV_MinMaxDouble(CDataExchange* dx, double value, double minimum, double maximum);
void DDV_MinMaxFloat(CDataExchange* dx, float value, float minimum, float maximum);
void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars);
