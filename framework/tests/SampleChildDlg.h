// A child dialog of a drive window for the framework's tests: an edit box and
// OK and Cancel, whose data exchange can be told to fail.
#pragma once

#include "framework/GuiUpdateItem.h"
#include "framework/QvxUpdateChildDlg.h"
#include "platform/core/Archive.h"

constexpr UINT kSampleChildTemplate = 9300;

class CSampleChildDlg : public CQvxUpdateChildDlg {
public:
    explicit CSampleChildDlg(CGuiUpdateDlg* owner) : CQvxUpdateChildDlg(kSampleChildTemplate, owner) { ++s_alive; }
    ~CSampleChildDlg() override { --s_alive; }

    void DoDataExchange(CDataExchange* dx) override;
    static void RegisterTemplate();

    bool m_failExchange = false;
    static int s_alive;
};

// The program's oscilloscope window as the layout file sees it: an item of
// class "CQvxScopeDlg" without a window, writing its property bag.
class CScopeStandIn : public CGuiUpdateItem {
public:
    CString GetGuiName() const override { return "CQvxScopeDlg"; }
    CString GetItemName() const override { return "Scope"; }
    void SerializeLayout(CArchive& ar, int version) override;

    bool m_failSave = false;
    int m_reads = 0;
};
