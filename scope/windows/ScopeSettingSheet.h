// CScopeSettingSheet: the oscilloscope's settings in a modal property sheet
// of three pages (General, Channels, Record Triggers). The sheet is its own
// frame dialog; it copies the window's settings in and, after OK, back.
#pragma once

#include <functional>

#include "platform/ui/Dialog.h"
#include "platform/ui/PropertySheet.h"
#include "scope/windows/ScopeSettingsChannelsPpg.h"
#include "scope/windows/ScopeSettingsGeneralPpg.h"
#include "scope/windows/ScopeSettingsRecordTriggersPpg.h"

class CScopeSampler;
class CScopeDriveServices;

class CScopeSettingSheet : public CDialog {
public:
    CScopeSettingSheet(CWnd* parent, CScopeDriveServices& services);
    ~CScopeSettingSheet() override;

    void TakeFrom(CScopeSampler& scope);
    void GiveTo(CScopeSampler& scope);
    // IDOK or IDCANCEL once the sheet closed; -1 when it could not be made.
    INT_PTR DoModal() override;

    BOOL OnInitDialog() override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* msg) override;
    void OnOK() override { Default(); }
    void OnCancel() override { Default(); }
    CPropertySheet& GetSheet() { return m_sheet; }

    // Runs `action` once the next sheet is open (from inside its loop), as a user would act on it.
    static void OnNextOpen(std::function<void(CScopeSettingSheet& sheet)> action);

    int LastPage = 0;
    CScopeSettingsChannelsPpg Channels;
    CScopeSettingsGeneralPpg General;
    CScopeSettingsRecordTriggersPpg Triggers;

private:
    CWnd* m_parent;
    CPropertySheet m_sheet;
    int m_result = IDCANCEL;
};
