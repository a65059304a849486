// CSelectCommInterfaceDlg: the window in which the user chooses the link: a
// serial port of the machine or a communications module on the network. It
// closes the open link, lists the candidates of the chosen kind, stores the
// choice and asks the main window to open the link with it.
#pragma once

#include <vector>

#include "comm/udp/QvxRemotePollDataMap.h"
#include "comm/windows/SerInfo.h"
#include "framework/GuiUpdateDlg.h"

class CCommInterfaceHost;
class CCommLinkSettings;
class CListCtrl;

class CSelectCommInterfaceDlg : public CGuiUpdateDlg {
    DECLARE_DYNAMIC(CSelectCommInterfaceDlg)

public:
    enum { IDD = 293 };
    static constexpr int kSerialRadioId = 2301;
    static constexpr int kNetworkRadioId = 2302;
    static constexpr int kSerialGroupId = 2303;
    static constexpr int kNetworkGroupId = 2304;
    static constexpr int kListId = 2305;
    static constexpr int kBinaryComId = 2306;

    explicit CSelectCommInterfaceDlg(CCommInterfaceHost* host, CWnd* parent = nullptr);
    ~CSelectCommInterfaceDlg() override;

    CString GetItemName() const override { return "Select Communications Interface"; }
    // Creates and shows the window.
    BOOL ShowChooser();

    // The serial ports that can be opened now, their names completed.
    static std::vector<CSerInfo> EnumerateSerialPorts();

    const CString& GetChosenAddress() const { return m_chosenAddress; }
    void BuildSettings(CCommLinkSettings& settings) const;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnSerialType();
    void OnNetworkType();
    void OnItemChanged(NMHDR* header, LRESULT* result);
    void OnDoubleClick(NMHDR* header, LRESULT* result);
    void OnDestroy();

protected:
    DECLARE_MESSAGE_MAP()

private:
    CListCtrl* List();
    void FillList(int type);
    void FillSerialList();
    void FillNetworkList();
    void TakeDetails(int item);
    void UpdateOkButton();
    void EnableInputs(BOOL enable);
    CString SettingsPath() const;

    CCommInterfaceHost* m_host;
    int m_linkType = 0;
    int m_binaryCom = 0;
    CString m_chosenText;
    CString m_chosenAddress;
    CString m_chosenDevice;
    QVXREMOTEPOLLDATA m_record{};
    CQvxRemotePollDataMap m_remotes;
    std::vector<CSerInfo> m_serialPorts;
    bool m_told = false;
};
