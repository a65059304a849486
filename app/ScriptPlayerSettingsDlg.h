// CScriptPlayerSettingsDlg: the script player's fonts, colours, check boxes
// and navigation keys (dialog 379).
#pragma once

#include "ScriptPlayerSettings.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/SpinButtonCtrl.h"

class CScriptPlayerSettingsDlg : public CDialog {
public:
    static constexpr UINT IDD = 379;
    static constexpr int kListFontEdit = 2689;
    static constexpr int kListFontSpin = 2271;
    static constexpr int kDetailsFontEdit = 2208;
    static constexpr int kDetailsFontSpin = 2272;
    static constexpr int kAlwaysOnTop = 2688;
    static constexpr int kShowCheckboxes = 2686;
    static constexpr int kAutoCheck = 2687;
    static constexpr int kBackKey = 2215;
    static constexpr int kNextKey = 2214;
    static constexpr int kSkipKey = 2216;
    static constexpr int kListTextColor = 2690;
    static constexpr int kListBgColor = 2057;
    static constexpr int kListTextHighlightColor = 2060;
    static constexpr int kListBgHighlightColor = 2059;
    static constexpr int kDetailsTextColor = 2691;
    static constexpr int kDetailsBgColor = 2058;

    explicit CScriptPlayerSettingsDlg(CWnd* parent = nullptr) : CDialog(IDD, parent) {}
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;

    // The values shown and, after OK, the values chosen (the path and the
    // details flag are not the dialog's and pass through unchanged).
    CScriptPlayerSettings m_settings;

    // The drop-downs' keys: text and virtual-key code.
    static int KeyCount();
    static const char* KeyName(int index, int& code);

protected:
    void OnListFontSpin(NMHDR* header, LRESULT* result) { OnSpin(header, result, kListFontEdit); }
    void OnDetailsFontSpin(NMHDR* header, LRESULT* result) { OnSpin(header, result, kDetailsFontEdit); }
    void OnListTextColor() { ChooseColor(m_settings.m_listText); }
    void OnListBgColor() { ChooseColor(m_settings.m_listBg); }
    void OnListTextHighlightColor() { ChooseColor(m_settings.m_listTextHighlight); }
    void OnListBgHighlightColor() { ChooseColor(m_settings.m_listBgHighlight); }
    void OnDetailsTextColor() { ChooseColor(m_settings.m_detailsText); }
    void OnDetailsBgColor() { ChooseColor(m_settings.m_detailsBg); }
    DECLARE_MESSAGE_MAP()

private:
    void OnSpin(NMHDR* header, LRESULT* result, int editId);
    void FillKeys(CComboBox& combo, int code);
    void TakeKey(CComboBox& combo, int& code);
    void ChooseColor(COLORREF& color);

    CSpinButtonCtrl m_listSpin;
    CSpinButtonCtrl m_detailsSpin;
    CComboBox m_back;
    CComboBox m_next;
    CComboBox m_skip;
};
