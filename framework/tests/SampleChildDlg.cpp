#include "SampleChildDlg.h"

#include "platform/core/Archive.h"
#include "platform/core/Exception.h"
#include "platform/ui/DialogTemplate.h"

int CSampleChildDlg::s_alive = 0;

void CSampleChildDlg::RegisterTemplate()
{
    AfxRegisterDialogTemplates(R"(
DIALOG 9300 30 30 160 60 "Sample Options"
STYLE POPUP CAPTION SYSMENU
LTEXT IDC_STATIC 7 9 50 10 "Gain"
EDITTEXT 9301 60 7 60 12 "10"
DEFPUSHBUTTON IDOK 46 40 50 14 "OK"
PUSHBUTTON IDCANCEL 102 40 50 14 "Cancel"
END
)");
}

void CSampleChildDlg::DoDataExchange(CDataExchange* dx)
{
    if (dx->m_bSaveAndValidate && m_failExchange)
        dx->Fail();
}

void CScopeStandIn::SerializeLayout(CArchive& ar, int version)
{
    if (ar.IsStoring() && m_failSave)
        throw CFileException(CFileException::diskFull);
    if (ar.IsLoading())
        ++m_reads;
    CGuiUpdateItem::SerializeLayout(ar, version);
}
