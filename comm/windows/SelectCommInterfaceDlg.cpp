#include "comm/windows/SelectCommInterfaceDlg.h"

#include <algorithm>
#include <cstring>

#include "comm/link/CommAppServices.h"
#include "comm/link/CommLinkSettings.h"
#include "comm/serial/QVXSerialCommPort.h"
#include "comm/udp/QvxPollForRemotes.h"
#include "comm/windows/CommInterfaceHost.h"
#include "framework/GuiTutorialOpener.h"
#include "platform/core/IniFile.h"
#include "platform/core/MessageBox.h"
#include "platform/core/UserSettings.h"
#include "platform/io/SerialPortEnum.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/WinApp.h"

IMPLEMENT_DYNAMIC(CSelectCommInterfaceDlg, CGuiUpdateDlg)

BEGIN_MESSAGE_MAP(CSelectCommInterfaceDlg, CGuiUpdateDlg)
    ON_BN_CLICKED(CSelectCommInterfaceDlg::kSerialRadioId, &CSelectCommInterfaceDlg::OnSerialType)
    ON_BN_CLICKED(CSelectCommInterfaceDlg::kNetworkRadioId, &CSelectCommInterfaceDlg::OnNetworkType)
    ON_NOTIFY(LVN_ITEMCHANGED, CSelectCommInterfaceDlg::kListId, &CSelectCommInterfaceDlg::OnItemChanged)
    ON_NOTIFY(NM_DBLCLK, CSelectCommInterfaceDlg::kListId, &CSelectCommInterfaceDlg::OnDoubleClick)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {
constexpr const char* kNetPrefix = "QvxNet@";
constexpr int kNetPrefixLength = 7;
}  // namespace

CSelectCommInterfaceDlg::CSelectCommInterfaceDlg(CCommInterfaceHost* host, CWnd* parent)
    : CGuiUpdateDlg(IDD, parent), m_host(host)
{
    SetShowToolbar(0);
    SetRestorePlacement(0);
}

CSelectCommInterfaceDlg::~CSelectCommInterfaceDlg() = default;

BOOL CSelectCommInterfaceDlg::ShowChooser()
{
    if (!GetSafeHwnd() && !Create(IDD, m_pParentWnd))
        return FALSE;
    ShowWindow(SW_SHOW);
    return TRUE;
}

CString CSelectCommInterfaceDlg::SettingsPath() const
{
    CCommAppServices* app = CCommAppServices::Get();
    return app ? app->GetUserSettingsIniPath() : AfxGetUserSettingsIniPath();
}

CListCtrl* CSelectCommInterfaceDlg::List() { return static_cast<CListCtrl*>(GetDlgItem(kListId)); }

std::vector<CSerInfo> CSelectCommInterfaceDlg::EnumerateSerialPorts()
{
    std::vector<CSerInfo> ports;
    for (const SerialPortEntry& entry : CSerialPortEnumerator::Enumerate()) {
        CSerInfo info;
        info.m_devicePath = entry.devicePath;
        info.m_friendlyName = entry.friendlyName;
        info.m_description = entry.description;
        info.m_usb = entry.usb ? TRUE : FALSE;
        info.CompleteNames();
        ports.push_back(info);
    }
    return ports;
}

BOOL CSelectCommInterfaceDlg::OnInitDialog()
{
    CGuiUpdateDlg::OnInitDialog();
    if (m_host) {
        m_host->CloseCommunication();
        m_host->SetInterfaceChooserOpen(true);
        m_told = true;
    }
    if (auto* tutorial = dynamic_cast<CCommChooserTutorial*>(GetOpener()))
        tutorial->UpdateNavigationButtons();
    const CString ini = SettingsPath();
    m_binaryCom = static_cast<int>(GetPrivateProfileInt("OPEN COMMUNICATIONS", "Binary_Com", 0, ini)) ? 1 : 0;
    m_linkType = static_cast<int>(GetPrivateProfileInt("LINK TYPE", "Type", 0, ini)) == 1 ? 1 : 0;
    CheckDlgButton(kBinaryComId, m_binaryCom);
    if (CListCtrl* list = List())
        list->SetExtendedStyle(list->GetExtendedStyle() | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    CheckRadioButton(kSerialRadioId, kNetworkRadioId, m_linkType == 1 ? kNetworkRadioId : kSerialRadioId);
    FillList(m_linkType);
    return TRUE;
}

void CSelectCommInterfaceDlg::OnSerialType()
{
    if (IsDlgButtonChecked(kSerialRadioId))
        FillList(0);
}

void CSelectCommInterfaceDlg::OnNetworkType()
{
    if (IsDlgButtonChecked(kNetworkRadioId))
        FillList(1);
}

void CSelectCommInterfaceDlg::FillList(int type)
{
    m_linkType = type;
    CListCtrl* list = List();
    if (!list)
        return;
    list->DeleteAllItems();
    while (list->GetColumnCount() > 0)
        list->DeleteColumn(0);
    m_chosenAddress.Empty();
    if (CWnd* group = GetDlgItem(kSerialGroupId))
        group->ShowWindow(type == 0 ? SW_SHOW : SW_HIDE);
    if (CWnd* group = GetDlgItem(kNetworkGroupId))
        group->ShowWindow(type == 1 ? SW_SHOW : SW_HIDE);
    if (type == 0)
        FillSerialList();
    else
        FillNetworkList();
    UpdateOkButton();
}

void CSelectCommInterfaceDlg::FillSerialList()
{
    CListCtrl* list = List();
    CRect client;
    list->GetClientRect(&client);
    // Narrower than the list by a scroll bar, so a long list needs no horizontal one.
    list->InsertColumn(0, "Serial Port Device", LVCFMT_LEFT, std::max(50, client.Width() - 20));
    m_serialPorts.clear();
    for (const CSerInfo& info : EnumerateSerialPorts()) {
        // Only a port the link itself can open is worth offering.
        CQVXSerialCommPort probe(info.m_devicePath, 115200, 8, NOPARITY, ONESTOPBIT);
        probe.SetSilent(TRUE);
        if (probe.Open(FALSE) != 1)
            continue;
        probe.Close();
        m_serialPorts.push_back(info);
        const int item = list->InsertItem(list->GetItemCount(), info.m_friendlyName);
        list->SetItemData(item, m_serialPorts.size() - 1);
    }
}

void CSelectCommInterfaceDlg::FillNetworkList()
{
    CListCtrl* list = List();
    list->InsertColumn(0, "Name", LVCFMT_LEFT, 100);
    list->InsertColumn(1, "Description", LVCFMT_LEFT, 250);
    m_remotes.Empty();
    const CString ini = SettingsPath();
    char address[64] = {};
    GetPrivateProfileString("NETWORK DISCOVERY", "Address", kRemotePollAddress, address, sizeof address, ini);
    const UINT port = GetPrivateProfileInt("NETWORK DISCOVERY", "Port", kRemotePollPort, ini);
    CQvxPollForRemotes poll;
    poll.SetTarget(address, port);
    poll.PollForRemotes(m_remotes);
    POSITION pos = m_remotes.GetStartPosition();
    while (pos) {
        CString from;
        QVXREMOTEPOLLDATA* record = nullptr;
        m_remotes.GetNextAssoc(pos, from, record);
        const int item = list->InsertItem(list->GetItemCount(), RemotePollName(*record));
        list->SetItemText(item, 1, CString(kNetPrefix) + from);
        list->SetItemData(item, reinterpret_cast<DWORD_PTR>(record));
    }
}

void CSelectCommInterfaceDlg::TakeDetails(int item)
{
    CListCtrl* list = List();
    if (!list || item < 0 || item >= list->GetItemCount())
        return;
    if (m_linkType == 1) {
        const CString description = list->GetItemText(item, 1);
        m_chosenAddress = description.GetLength() > kNetPrefixLength ? description.Mid(kNetPrefixLength) : CString();
        if (const auto* record = reinterpret_cast<const QVXREMOTEPOLLDATA*>(list->GetItemData(item)))
            m_record = *record;
    } else {
        const size_t index = list->GetItemData(item);
        if (index < m_serialPorts.size())
            m_chosenDevice = m_serialPorts[index].m_devicePath;
    }
}

void CSelectCommInterfaceDlg::UpdateOkButton()
{
    CListCtrl* list = List();
    if (CWnd* ok = GetDlgItem(IDOK))
        ok->EnableWindow(list && list->GetSelectedCount() == 1);
}

void CSelectCommInterfaceDlg::OnItemChanged(NMHDR* header, LRESULT* result)
{
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED))
        TakeDetails(change->iItem);
    UpdateOkButton();
    *result = 0;
}

void CSelectCommInterfaceDlg::OnDoubleClick(NMHDR* /*header*/, LRESULT* result)
{
    CWnd* ok = GetDlgItem(IDOK);
    if (ok && ok->IsWindowEnabled())
        OnOK();
    *result = 0;
}

void CSelectCommInterfaceDlg::EnableInputs(BOOL enable)
{
    for (int id : {kListId, IDOK, IDCANCEL, kSerialRadioId, kNetworkRadioId, kBinaryComId})
        if (CWnd* control = GetDlgItem(id))
            control->EnableWindow(enable);
}

void CSelectCommInterfaceDlg::BuildSettings(CCommLinkSettings& settings) const
{
    settings.m_linkType = m_linkType;
    settings.m_binaryCom = m_binaryCom;
    settings.m_description = m_chosenText;
    settings.m_remoteName = m_linkType == 1 ? m_chosenAddress : CString();
    static_assert(sizeof settings.m_remoteRecord == sizeof m_record, "the record is the module's answer");
    std::memcpy(settings.m_remoteRecord, &m_record, sizeof m_record);
    settings.m_comPort = m_linkType == 0 ? m_chosenDevice : CString();
}

void CSelectCommInterfaceDlg::OnOK()
{
    CWnd* ok = GetDlgItem(IDOK);
    if (!ok || !ok->IsWindowEnabled())
        return;
    EnableInputs(FALSE);
    CString type;
    type.Format("%d", m_linkType);
    WritePrivateProfileString("LINK TYPE", "Type", type, SettingsPath());
    CListCtrl* list = List();
    const int selected = list ? list->GetNextItem(-1, LVNI_SELECTED) : -1;
    if (selected < 0) {
        m_chosenText.Empty();
        m_chosenDevice.Empty();
    } else if (m_linkType == 0) {
        TakeDetails(selected);
    } else if (m_linkType != 1) {
        AfxEngineMessageBox("No interface selected!", "Korvane", MB_OK);
    }
    m_binaryCom = IsDlgButtonChecked(kBinaryComId) ? 1 : 0;
    if (m_chosenAddress.IsEmpty() && list && list->GetItemCount() > 0 && m_linkType == 1)
        TakeDetails(0);
    if (selected >= 0)
        m_chosenText = list->GetItemText(selected, 0);

    CCommLinkSettings settings;
    BuildSettings(settings);
    const int opened = m_host ? m_host->OpenCommunication(settings) : 0;
    auto* tutorial = dynamic_cast<CCommChooserTutorial*>(GetOpener());
    if (m_host)
        m_host->AddManageCloudDatabaseMenu();
    if (!tutorial) {
        DestroyWindow();
        return;
    }
    if (opened) {
        tutorial->MarkLinkOpened();
        tutorial->UpdateNavigationButtons();
        AdvanceTutorialPage();
    }
    // The chooser stays open on a tutorial page; a failed open may be tried again.
    EnableInputs(TRUE);
    UpdateOkButton();
}

void CSelectCommInterfaceDlg::OnCancel()
{
    auto* tutorial = dynamic_cast<CGuiTutorialOpener*>(GetOpener());
    if (!tutorial) {
        CGuiUpdateDlg::OnCancel();
        return;
    }
    const int page = tutorial->GetPageIndex();
    CGuiUpdateDlg* held = tutorial->GetOpenedWindow();
    if (page != 0 && (!held || held->CanCloseNow()))
        tutorial->GoToPage(page - 1);
}

void CSelectCommInterfaceDlg::OnDestroy()
{
    if (m_host && m_told)
        m_host->SetInterfaceChooserOpen(false);
    m_told = false;
    CGuiUpdateDlg::OnDestroy();
}
