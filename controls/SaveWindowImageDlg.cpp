#include "SaveWindowImageDlg.h"

#include "QvxFileDialog.h"
#include "platform/core/SpecialFolders.h"

namespace {
// The file-type radio buttons: BMP, PNG, JPEG, GIFF.
constexpr int kFileTypeIds[] = {IDC_EXPORT_BMP, IDC_EXPORT_PNG, IDC_EXPORT_JPEG, IDC_EXPORT_GIF};

struct FileTypeSpec {
    const char* filter;
    const char* extension;
};
const FileTypeSpec kFileTypes[] = {
    {"BMP Image File (*.bmp)|*.bmp||", "bmp"},
    {"PNG Image File (*.png)|*.png||", "png"},
    {"JPEG Image File (*.jpg)|*.jpg||", "jpg"},
    {"GIF Image File (*.gif)|*.gif||", "gif"},
};
}  // namespace

BEGIN_MESSAGE_MAP(CSaveWindowImageDlg, CDialog)
    ON_BN_CLICKED(IDC_EXPORT_TO_FILE, &CSaveWindowImageDlg::OnTargetChosen)
    ON_BN_CLICKED(IDC_EXPORT_TO_CLIPBOARD, &CSaveWindowImageDlg::OnTargetChosen)
    ON_EN_CHANGE(IDC_EXPORT_PATH, &CSaveWindowImageDlg::OnPathChanged)
    ON_BN_CLICKED(IDC_EXPORT_BROWSE, &CSaveWindowImageDlg::OnBrowse)
END_MESSAGE_MAP()

CSaveWindowImageDlg::CSaveWindowImageDlg(CWnd* parent) : CDialog(IDD, parent) {}

BOOL CSaveWindowImageDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    UpdateControls();
    return TRUE;
}

void CSaveWindowImageDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Radio(dx, IDC_EXPORT_TO_FILE, m_target);
    DDX_Radio(dx, IDC_EXPORT_BMP, m_fileType);
    DDX_Text(dx, IDC_EXPORT_WIDTH, m_width);
    DDV_MinMaxInt(dx, m_width, 1, 10000);
    DDX_Text(dx, IDC_EXPORT_HEIGHT, m_height);
    DDV_MinMaxInt(dx, m_height, 1, 10000);
    DDX_Text(dx, IDC_EXPORT_PATH, m_path);
    DDX_Check(dx, IDC_EXPORT_FOR_PRINTING, m_forPrinting);
}

void CSaveWindowImageDlg::OnTargetChosen() { UpdateControls(); }
void CSaveWindowImageDlg::OnPathChanged() { UpdateControls(); }

void CSaveWindowImageDlg::UpdateControls()
{
    const BOOL toFile = IsDlgButtonChecked(IDC_EXPORT_TO_CLIPBOARD) ? FALSE : TRUE;
    for (int id : {IDC_EXPORT_PATH_LABEL, IDC_EXPORT_PATH, IDC_EXPORT_BROWSE})
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(toFile);
    for (int id : kFileTypeIds)
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(toFile);
    CString path;
    GetDlgItemText(IDC_EXPORT_PATH, path);
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(!toFile || !path.IsEmpty());
}

void CSaveWindowImageDlg::OnBrowse()
{
    if (!UpdateData(TRUE))
        return;
    const FileTypeSpec& type = kFileTypes[std::clamp(m_fileType, 0, 3)];
    CQvxFileDialog dialog(FALSE, type.extension, m_path, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, type.filter, this);
    dialog.m_nIDHelp = m_nIDHelp;
    const CString documents = AfxGetSpecialFolder(CSIDL_PERSONAL);
    if (m_path.IsEmpty())
        dialog.m_ofn.lpstrInitialDir = documents;
    if (dialog.DoModal() != IDOK)
        return;
    m_path = dialog.GetPathName();
    UpdateData(FALSE);
    UpdateControls();
}
