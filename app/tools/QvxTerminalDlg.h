// CQvxTerminalDlg: the terminal, a drive window in which the user types drive
// commands in their text form and reads the replies, watches the link traffic
// of the window's drive, and types a few local words (display, trace and
// filters, clear, mnemonic lookup). "n:" switches the window to another drive;
// other prefixed lines go to the program's command router.
#pragma once

#include <set>

#include "TerminalResponseEdit.h"
#include "comm/trace/CommManagerTraceClient.h"
#include "framework/GuiUpdateDlg.h"
#include "platform/core/List.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Font.h"

class CCommManager;

class CQvxTerminalDlg : public CGuiUpdateDlg, public CCommManagerTraceClient {
    DECLARE_DYNCREATE(CQvxTerminalDlg)

public:
    CQvxTerminalDlg();
    ~CQvxTerminalDlg() override;

    static constexpr UINT kTraceTimer = 1;
    // The reply view keeps at most this many characters; older lines go first.
    static constexpr long kMaxViewChars = 1000000;

    CString GetItemName() const override { return "Terminal Window"; }
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    int ExecuteCommand(const CString& command, CString& reply) override;
    void RandomExercise(int flags) override;

    // Runs one line as if typed and sent (without touching the history).
    void ExecuteLine(CString line);
    void OnSend();
    void OnTypedChar();
    void OnTimer(UINT_PTR id);
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);

    // What a user reads.
    CString GetResponseText() const;
    CComboBox& GetCommandBox() { return m_command; }
    int GetShowHex() const { return m_showHex; }
    int GetShowTSR() const { return m_showTSR; }
    int IsTraceOn() const { return m_traceOn; }
    int GetFilterCount() const { return static_cast<int>(m_filters.GetCount()); }
    // The communication manager the trace registers with (the main frame's unless set).
    void SetCommManager(CCommManager* manager) { m_commManager = manager; }

private:
    int LocalCommand(CString& line, CString& output);
    int SwitchDrive(const CString& prefix, CString& line, CString& output);
    int LocalWord(const CString& word, const CString& argument, CString& output);
    void SetFlag(int& flag, int value, const char* key);
    void TraceOn();
    void TraceOff();
    void DrainTrace();
    bool IsFiltered(int code) const;
    void ShowText(CString text);
    void TrimView();
    void LayoutControls();
    CCommManager* TraceManager() const;

    CFont m_commandFont;
    int m_showHex = 0;
    int m_showTSR = 0;
    int m_traceOn = 0;
    int m_inTimer = 0;
    CList<int> m_filters;
    CTerminalResponseEdit m_response;
    CComboBox m_command;
    CButton m_send;
    CCommManager* m_commManager = nullptr;
    CCommManager* m_registeredWith = nullptr;
    std::set<DWORD> m_typedQueries;  // typed lines whose replies are still to come

    DECLARE_MESSAGE_MAP()
};
