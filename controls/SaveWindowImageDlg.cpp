#include "SaveWindowImageDlg.h"

#include "QvxFileDialog.h"
#include "platform/core/SpecialFolders.h"

namespace {
constexpr int IDC_IMAGE_PATH = 1163;
constexpr int IDC_IMAGE_TO_FILE = 1164;
constexpr int IDC_IMAGE_TO_CLIPBOARD = 1165;
constexpr int IDC_IMAGE_BMP = 1166;
constexpr int IDC_IMAGE_WIDTH = 1167;
constexpr int IDC_IMAGE_HEIGHT = 1171;
constexpr int IDC_IMAGE_PATH_LABEL = 1172;
constexpr int IDC_IMAGE_BROWSE = 1174;
constexpr int IDC_IMAGE_FOR_PRINTING = 1175;
// The file-type radio buttons: BMP, PNG, JPEG, GIFF.
constexpr int kFileTypeIds[] = {1166, 1168, 1169, 1170};

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
    ON_BN_CLICKED(IDC_IMAGE_TO_FILE, &CSaveWindowImageDlg::OnTargetChosen)
    ON_BN_CLICKED(IDC_IMAGE_TO_CLIPBOARD, &CSaveWindowImageDlg::OnTargetChosen)
    ON_EN_CHANGE(IDC_IMAGE_PATH, &CSaveWindowImageDlg::OnPathChanged)
    ON_BN_CLICKED(IDC_IMAGE_BROWSE, &CSaveWindowImageDlg::OnBrowse)
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
    DDX_Radio(dx, IDC_IMAGE_TO_FILE, m_target);
    DDX_Radio(dx, IDC_IMAGE_BMP, m_fileType);
    DDX_Text(dx, IDC_IMAGE_WIDTH, m_width);
    DDV_MinMaxInt(dx, m_width, 1, 10000);
    DDX_Text(dx, IDC_IMAGE_HEIGHT, m_height);
    DDV_MinMaxInt(dx, m_height, 1, 10000);
    DDX_Text(dx, IDC_IMAGE_PATH, m_path);
    DDX_Check(dx, IDC_IMAGE_FOR_PRINTING, m_forPrinting);
}

void CSaveWindowImageDlg::OnTargetChosen() { UpdateControls(); }
void CSaveWindowImageDlg::OnPathChanged() { UpdateControls(); }

void CSaveWindowImageDlg::UpdateControls()
{
    const BOOL toFile = IsDlgButtonChecked(IDC_IMAGE_TO_CLIPBOARD) ? FALSE : TRUE;
    for (int id : {IDC_IMAGE_PATH_LABEL, IDC_IMAGE_PATH, IDC_IMAGE_BROWSE})
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(toFile);
    for (int id : kFileTypeIds)
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(toFile);
    CString path;
    GetDlgItemText(IDC_IMAGE_PATH, path);
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
