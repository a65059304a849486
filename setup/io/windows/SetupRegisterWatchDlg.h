// CSetupRegisterWatchDlg: adds watches (a "[...]" range gives several) or
// edits one or several existing ones.
#pragma once

#include <vector>

#include "comm/link/AmplifierData.h"
#include "platform/core/Collections.h"
#include "platform/ui/Dialog.h"
#include "resources/ids/WatchRegistersIds.h"
#include "setup/io/WatchRegisterItem.h"

class CSetupRegisterWatchDlg : public CDialog {
public:
    enum { IDD = IDD_SETUP_REGISTER_WATCH };
    enum Mode { kAdd, kEditOne, kEditMany };

    CSetupRegisterWatchDlg(const CWatchRegisterItem& watch, Mode mode, const std::vector<CAmplifierData>& drives,
                           CWnd* parent);

    BOOL OnInitDialog() override;
    void OnOK() override;

    // Results. A field of -1 is left as the watches have it (several edited).
    CStringArray m_expressions;
    CWatchRegisterItem m_watch;
    int m_periodMs = 0;  // 0: unchanged
    int m_setValueChecked = 0;

protected:
    void OnDisplayAsClicked();
    void OnQueryKillFocus();
    void OnSetValueClicked();
    void OnSetValueEdited();
    void OnRowColour();
    void OnTextColour();
    DECLARE_MESSAGE_MAP()

private:
    int ReadPeriod();
    int SelectedDisplayAs() const;
    void EnablePadding();
    void Tell(const char* text);

    Mode m_mode;
    std::vector<CAmplifierData> m_drives;
    int m_filling = 0;
};
