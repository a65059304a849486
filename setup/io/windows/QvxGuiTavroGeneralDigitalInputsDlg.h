// CQvxGuiTavroGeneralDigitalInputsDlg: the live state of a Tavro drive's
// general input pins and of the functions connected to them, by tab.
#pragma once

#include "controls/ReportCtrl.h"
#include "framework/GuiUpdateDlg.h"
#include "resources/ids/TavroGeneralDigitalInputsIds.h"
#include "setup/io/TavroDigitalInputDefinitions.h"

class CTabCtrl;

constexpr WORD kGeneralInputStateParameter = 19593;

class CQvxGuiTavroGeneralDigitalInputsDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiTavroGeneralDigitalInputsDlg)

public:
    enum { IDD = IDD_TAVRO_GENERAL_DIGITAL_INPUTS };
    enum Tab { kPinsTab = 0, kFunctionsTab = 1 };

    CQvxGuiTavroGeneralDigitalInputsDlg();

    CString GetItemName() const override { return "Digital Inputs Status"; }
    BOOL OnInitDialog() override;
    int PrepareQueries() override;
    int SubscribeStatusQueries() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    void ProcessResponses() override;
    void OnDelayedMessage(const CString& text) override;
    void SerializeLayout(CArchive& ar, int version) override;
    void RandomExercise(int flags) override;

    void OnTabChanged(NMHDR* header, LRESULT* result);
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnDestroy();

    CReportCtrl& List() { return m_list; }
    int GetTab() const { return m_tab; }
    void SelectTab(int tab);
    // Receives started since the window opened; a reload counts as one.
    int GetReceiveCount() const { return m_receives; }
    CTavroDigitalInputDefinitions& Definitions() { return m_definitions; }

protected:
    void RebuildList();
    void AddPinRows();
    void AddFunctionRows();
    void RefreshStatusCells();
    void StartReceive();
    void Layout();
    CTabCtrl* Tabs() const;

    CTavroDigitalInputDefinitions m_definitions;
    bool m_reloadRequested = false;
    DWORD m_stateWord = 0;
    bool m_stateValid = false;
    bool m_stateChanged = false;
    bool m_errorShown = false;
    int m_listTop = 0;
    int m_topRow[2] = {0, 0};
    int m_tab = kPinsTab;
    int m_receives = 0;
    // The status bit of each row of the current tab.
    CArray<int, int> m_rowBits;
    CReportCtrl m_list;

    DECLARE_MESSAGE_MAP()
};
