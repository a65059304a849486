// CScriptPlayerSectionSettingsDlg: the four texts of one script section (dialog 378).
#pragma once

#include "platform/ui/Dialog.h"

class CScriptPlayerSectionSettingsDlg : public CDialog {
public:
    static constexpr UINT IDD = 378;
    static constexpr int kTitleId = 2683;
    static constexpr int kDescriptionId = 2208;
    static constexpr int kDetailId = 2209;
    static constexpr int kScriptId = 2210;

    explicit CScriptPlayerSectionSettingsDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    CString m_title;
    CString m_description;
    CString m_detail;
    CString m_script;
};
