// CQvxCommTestDlg: an engineering window that sends single reads, writes,
// combined reads and raw byte blocks through the open link and logs every
// reply with its times.
#pragma once

#include "framework/GuiUpdateDlg.h"

class CCommManager;

class CQvxCommTestDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxCommTestDlg)

public:
    enum { IDD = 140 };
    static constexpr int kBlockEditId = 1466;
    static constexpr int kMnemonicEditId = 1467;
    static constexpr int kLogEditId = 1468;
    static constexpr int kSetEditId = 1469;
    static constexpr int kAddressEditId = 1470;
    static constexpr int kSendBlockId = 1471;
    static constexpr int kGetId = 1472;
    static constexpr int kSetId = 1473;
    static constexpr int kSendComboId = 1474;
    static constexpr int kGetFromAddressId = 1475;
    static constexpr int kIbTestId = 1476;
    static constexpr int kRegisterCheckId = 1477;
    static constexpr int kClearId = 1478;
    static constexpr int kLinkTextId = 1479;
    static constexpr WORD kCodeIB = 290;

    CQvxCommTestDlg();

    // The main window's communication manager: its port description and raw blocks.
    static void SetCommManager(CCommManager* manager);

    CString GetItemName() const override { return "Control Signals"; }
    int PrepareQueries() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    BOOL OnInitDialog() override;

    void OnSendBlock();
    void OnGet();
    void OnSet();
    void OnSendCombo();
    void OnGetFromAddress();
    void OnIbTest();
    void OnClear();
    const CString& GetLog() const { return m_log; }

    // Splits "VRM2" into its mnemonic and value at the first of the characters.
    static void SplitMnemonicValue(const CString& text, const char* characters, CString& mnemonic, LONG& value);

protected:
    DECLARE_MESSAGE_MAP()

private:
    void RecordSendTime();
    void ShowLog();

    CString m_log;
    int m_address = 0;
    LONG m_setValue = 0;
    int m_timeSent = 0;
    int m_sentHour = 0, m_sentMinute = 0, m_sentSecond = 0, m_sentMillisecond = 0;
};
