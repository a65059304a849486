#include "setup/tuning/windows/FilterParameterToolDlg.h"

#include <cerrno>
#include <cstdlib>

#include "platform/ui/ComboBox.h"
#include "platform/ui/MsgBox.h"
#include "setup/tuning/windows/FilterWindowTexts.h"

BEGIN_MESSAGE_MAP(CFilterParameterToolDlg, CDialog)
    ON_BN_CLICKED(IDC_FTOOL_GUESS, &CFilterParameterToolDlg::OnGuess)
    ON_CBN_SELCHANGE(IDC_FTOOL_TYPE, &CFilterParameterToolDlg::OnTypeChanged)
END_MESSAGE_MAP()

namespace {
constexpr const char* kCouldNotCalculate = "Filter arguments could not be calculated.";
}

CFilterParameterToolDlg::CFilterParameterToolDlg(const FilterCoefficientBlock& block,
                                                 std::function<bool(double&)> readFs, CWnd* parent)
    : CDialog(IDD_FILTER_PARAMETER_TOOL, parent), m_block(block), m_readFs(std::move(readFs))
{
}

BOOL CFilterParameterToolDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_FTOOL_TYPE));
    for (int type = 0; type < kFilterTypeCodeCount; ++type)
        types->AddString(FilterTypeCodeAt(type));
    types->SetCurSel(-1);
    for (int i = 0; i < FilterCoefficientBlock::kItemCount; ++i)
        SetDlgItemInt(IDC_FTOOL_ITEM0 + i, static_cast<UINT>(m_block[i]), TRUE);
    ShowType(kFilterUnknown);
    return TRUE;
}

bool CFilterParameterToolDlg::ReadBlock(FilterCoefficientBlock& block) const
{
    for (int i = 0; i < FilterCoefficientBlock::kItemCount; ++i) {
        CString text;
        GetDlgItemText(IDC_FTOOL_ITEM0 + i, text);
        text.Trim();
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(text, &end, 10);
        // A field that is no whole number, or one the drive's items cannot hold, is not read.
        if (text.IsEmpty() || *end || errno == ERANGE || value < -2147483647L - 1 || value > 2147483647L)
            return false;
        block[i] = static_cast<int>(value);
    }
    return true;
}

bool CFilterParameterToolDlg::Calculate(int type)
{
    double fs = 0;
    FilterCoefficientBlock block;
    if (!m_readFs || !m_readFs(fs) || !ReadBlock(block))
        return false;
    FilterArguments args;
    int resultType = type;
    using Item = FilterCoefficientBlock;
    if (!CalcFilterArgsFromCoefficients(resultType, block[Item::kNegA1], block[Item::kNegA2], block[Item::kB0],
                                        block[Item::kB1], block[Item::kB2], block[Item::kShift],
                                        type == kFilterUnknown, fs, args))
        return false;
    ShowArguments(args);
    ShowType(resultType);
    static_cast<CComboBox*>(GetDlgItem(IDC_FTOOL_TYPE))->SetCurSel(resultType);
    m_lastGoodType = resultType;
    return true;
}

void CFilterParameterToolDlg::ShowArguments(const FilterArguments& args)
{
    for (int i = 0; i < 4; ++i) {
        CString text;
        text.Format("%.2f", RoundTwoDecimalsAway(args.arg[i]));
        SetDlgItemText(IDC_FTOOL_ARG1 + i, text);
    }
}

void CFilterParameterToolDlg::ShowType(int type)
{
    SetDlgItemText(IDC_FTOOL_DESC, FilterTypeDescription(type));
    for (int i = 0; i < 4; ++i) {
        const CString label = FilterArgumentLabel(type, i, false);
        SetDlgItemText(IDC_FTOOL_LABEL1 + i, label);
        CWnd* field = GetDlgItem(IDC_FTOOL_ARG1 + i);
        field->ShowWindow(label.IsEmpty() ? SW_HIDE : SW_SHOW);
        field->EnableWindow(!(type == kFilterNTCH2A && i > 0));
    }
}

void CFilterParameterToolDlg::OnGuess()
{
    if (!Calculate(kFilterUnknown))
        AfxMessageBox(kCouldNotCalculate);
}

void CFilterParameterToolDlg::OnTypeChanged()
{
    auto* types = static_cast<CComboBox*>(GetDlgItem(IDC_FTOOL_TYPE));
    const int chosen = types->GetCurSel();
    if (chosen >= 0 && Calculate(chosen))
        return;
    AfxMessageBox(kCouldNotCalculate);
    types->SetCurSel(m_lastGoodType);
}
