// CQvxGuiSetupDigitalIoDlg: the fixed-function digital inputs of a Kreln
// drive (disabled and active-low bits, pull-ups) and its fault output pin.
#pragma once

#include "framework/GuiUpdateDlg.h"
#include "resources/ids/SetupDigitalIoIds.h"

constexpr WORD kActiveHighParameter = 9345;
constexpr WORD kInputEnableParameter = 9349;
constexpr WORD kFaultPinFunctionParameter = 15497;

class CQvxGuiSetupDigitalIoDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiSetupDigitalIoDlg)

public:
    enum { IDD = IDD_SETUP_DIGITAL_IO };

    static constexpr const char* kSaveAndResetNotice =
        "NOTE: Settings DO NOT take affect until \n            parameters are SAVED to drive \n            and drive "
        "is RESET. \n";
    static constexpr const char* kNoValues = "Could not receive values. Please try again.";

    CQvxGuiSetupDigitalIoDlg();

    CString GetItemName() const override { return "Setup Digital I/O"; }
    int PrepareQueries() override;
    int SubscribeStatusQueries() override;
    int InitialUpdate() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    void ProcessResponses() override;
    int SendGroup(int group) override;
    int CustomSend(int id, double value, CWnd* control) override;
    int GetPendingChangesState(int ignored) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // The working values of the two columns as the drive words hold them.
    DWORD ActiveLowGroupValue() const;
    DWORD DisableGroupValue() const;
    void WriteFaultPinSettings(int function, int polarity);

protected:
    bool ReadConversion(int id, int& value);
    void ShowDriveWord(WORD parameter, DWORD word, bool first);
    void ShowFaultPin();

    bool m_valid[3] = {false, false, false};
    DWORD m_values[3] = {0, 0, 0};
    bool m_changed = false;

    DECLARE_MESSAGE_MAP()
};
