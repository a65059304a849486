#include "TestReportCtrl.h"

#include "platform/core/Rand.h"
#include "platform/ui/ClientDC.h"

BEGIN_MESSAGE_MAP(CTestReportCtrl, CDialog)
    ON_BN_CLICKED(IDC_TEST_REPORT_HILIGHT, &CTestReportCtrl::OnHilightRandom)
END_MESSAGE_MAP()

BOOL CTestReportCtrl::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_report.SubclassDlgItem(IDC_TEST_REPORT_LIST, this);
    int numberWidth = 60;
    {
        CClientDC dc(&m_report);
        if (CFont* font = m_report.GetFont())
            dc.SelectObject(font);
        numberWidth = dc.GetTextExtent("MMMMMM").cx;
    }
    m_report.InsertColumn(0, "Test Items");
    m_report.InsertColumn(1, "Num", LVCFMT_LEFT, numberWidth);
    for (unsigned line = 0; line < 20; ++line) {
        CString text;
        text.Format("Report Line #%u", line);
        const int row = m_report.InsertItem(static_cast<int>(line), text);
        m_report.SetItemInt(row, 1, static_cast<int>(line));
    }
    m_report.FitFirstColumn();
    return TRUE;
}

void CTestReportCtrl::OnHilightRandom()
{
    const int row = (m_report.GetItemCount() - 1) * Rand() / 0x7FFF;
    m_report.HighlightItem(row);
    m_report.EnsureVisibleCentered(row);
}
