#include "DataExchange.h"

#include <cerrno>
#include <cfloat>
#include <cstdlib>

#include "Button.h"
#include "ComboBox.h"
#include "Edit.h"
#include "ListBox.h"
#include "MsgBox.h"

CWnd* CDataExchange::PrepareCtrl(int id)
{
    m_idLastControl = id;
    return m_pDlgWnd ? m_pDlgWnd->GetDlgItem(id) : nullptr;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_pDlgWnd) {
        if (CWnd* control = m_pDlgWnd->GetDlgItem(m_idLastControl)) {
            control->SetFocus();
            control->SendMessage(EM_SETSEL, 0, -1);
        }
    }
    throw CUserException();
}

namespace {

CString TextOf(CDataExchange* dx, int id)
{
    CString text;
    if (CWnd* control = dx->PrepareEditCtrl(id))
        control->GetWindowText(text);
    return text;
}

void SetTextOf(CDataExchange* dx, int id, const char* text)
{
    if (CWnd* control = dx->PrepareEditCtrl(id))
        control->SetWindowText(text);
}

[[noreturn]] void FailWith(CDataExchange* dx, const char* message)
{
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    dx->Fail();
}

long long ReadInteger(CDataExchange* dx, int id, bool isUnsigned, long long low, long long high)
{
    CString text = TextOf(dx, id);
    text.Trim();
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    if (text.IsEmpty() || !end || *end != '\0' || errno == ERANGE || value < low || value > high ||
        (isUnsigned && text[0] == '-'))
        FailWith(dx, "Please enter an integer.");
    return value;
}

double ReadReal(CDataExchange* dx, int id)
{
    CString text = TextOf(dx, id);
    text.Trim();
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (text.IsEmpty() || !end || *end != '\0')
        FailWith(dx, "Please enter a number.");
    return value;
}

}  // namespace

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    if (dx->m_bSaveAndValidate)
        value = TextOf(dx, id);
    else
        SetTextOf(dx, id, value);
}

void DDX_Text(CDataExchange* dx, int id, int& value)
{
    if (dx->m_bSaveAndValidate) {
        value = static_cast<int>(ReadInteger(dx, id, false, INT32_MIN, INT32_MAX));
    } else {
        CString text;
        text.Format("%d", value);
        SetTextOf(dx, id, text);
    }
}

void DDX_Text(CDataExchange* dx, int id, UINT& value)
{
    if (dx->m_bSaveAndValidate) {
        value = static_cast<UINT>(ReadInteger(dx, id, true, 0, UINT32_MAX));
    } else {
        CString text;
        text.Format("%u", value);
        SetTextOf(dx, id, text);
    }
}

void DDX_Text(CDataExchange* dx, int id, long& value)
{
    int narrow = static_cast<int>(value);
    DDX_Text(dx, id, narrow);
    value = narrow;
}

void DDX_Text(CDataExchange* dx, int id, double& value)
{
    if (dx->m_bSaveAndValidate) {
        value = ReadReal(dx, id);
    } else {
        CString text;
        text.Format("%.*g", DBL_DIG, value);
        SetTextOf(dx, id, text);
    }
}

void DDX_Text(CDataExchange* dx, int id, float& value)
{
    if (dx->m_bSaveAndValidate) {
        value = static_cast<float>(ReadReal(dx, id));
    } else {
        CString text;
        text.Format("%.*g", FLT_DIG, static_cast<double>(value));
        SetTextOf(dx, id, text);
    }
}

void DDX_Check(CDataExchange* dx, int id, int& value)
{
    CWnd* control = dx->PrepareCtrl(id);
    if (!control)
        return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(control->SendMessage(BM_GETCHECK));
    else
        control->SendMessage(BM_SETCHECK, static_cast<WPARAM>(value));
}

void DDX_Radio(CDataExchange* dx, int id, int& value)
{
    CWnd* first = dx->PrepareCtrl(id);
    if (!first || !dx->m_pDlgWnd)
        return;
    if (dx->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    CWnd* button = first;
    do {
        if (dx->m_bSaveAndValidate) {
            if (button->SendMessage(BM_GETCHECK) == BST_CHECKED && value < 0)
                value = index;
        } else {
            button->SendMessage(BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED);
        }
        ++index;
        button = button->GetWindow(GW_HWNDNEXT);
    } while (button && !(button->GetStyle() & WS_GROUP));
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index)
{
    CWnd* control = dx->PrepareCtrl(id);
    if (!control)
        return;
    if (dx->m_bSaveAndValidate)
        index = static_cast<int>(control->SendMessage(CB_GETCURSEL));
    else
        control->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
}

void DDX_CBString(CDataExchange* dx, int id, CString& value)
{
    CWnd* control = dx->PrepareCtrl(id);
    if (!control)
        return;
    if (dx->m_bSaveAndValidate) {
        control->GetWindowText(value);
        return;
    }
    if (control->SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString())) == CB_ERR)
        control->SetWindowText(value);
}

void DDX_CBStringExact(CDataExchange* dx, int id, CString& value)
{
    CWnd* control = dx->PrepareCtrl(id);
    if (!control)
        return;
    if (dx->m_bSaveAndValidate) {
        control->GetWindowText(value);
        return;
    }
    const LRESULT index =
        control->SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString()));
    if (index == CB_ERR)
        control->SetWindowText(value);
    else
        control->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index)
{
    auto* list = static_cast<CListBox*>(dx->PrepareCtrl(id));
    if (!list)
        return;
    if (dx->m_bSaveAndValidate)
        index = list->GetCurSel();
    else
        list->SetCurSel(index);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (control.GetSafeHwnd() || !dx->m_pDlgWnd)
        return;
    if (!control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd)) {
        CString message;
        message.Format("Dialog control %d is missing.", id);
        AfxMessageBox(message, MB_ICONSTOP);
        dx->Fail();
    }
}

namespace {
template <class T>
void CheckRange(CDataExchange* dx, T value, T minimum, T maximum, const char* format)
{
    if (!dx->m_bSaveAndValidate || (value >= minimum && value <= maximum))
        return;
    CString message;
    message.Format(format, minimum, maximum);
    FailWith(dx, message);
}
}  // namespace

void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum)
{
    CheckRange(dx, value, minimum, maximum, "Please enter an integer between %d and %d.");
}

void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minimum, UINT maximum)
{
    CheckRange(dx, value, minimum, maximum, "Please enter an integer between %u and %u.");
}

void DDV_MinMaxLong(CDataExchange* dx, long value, long minimum, long maximum)
{
    CheckRange(dx, value, minimum, maximum, "Please enter an integer between %ld and %ld.");
}

void DDV_MinMaxDouble(CDataExchange* dx, double value, double minimum, double maximum)
{
    CheckRange(dx, value, minimum, maximum, "Please enter a number between %g and %g.");
}

void DDV_MinMaxFloat(CDataExchange* dx, float value, float minimum, float maximum)
{
    CheckRange(dx, static_cast<double>(value), static_cast<double>(minimum), static_cast<double>(maximum),
               "Please enter a number between %g and %g.");
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars)
{
    if (dx->m_bSaveAndValidate && value.GetLength() > maxChars) {
        CString message;
        message.Format("Please enter no more than %d characters.", maxChars);
        FailWith(dx, message);
    }
}
