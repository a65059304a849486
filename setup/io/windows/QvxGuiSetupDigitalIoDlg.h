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
    static constexpr const char* kSendQuestion = "Send digital I/O settings to drive?";

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

    void WriteFaultPinSettings(int function, int polarity);

protected:
    bool ReadConversion(int id, int& value);
    void ShowDriveWord(WORD parameter, DWORD word, bool first);
    void ShowFaultPin();
    DWORD ActiveLowWord() const;
    DWORD DisableWord() const;
    void NoteTouched(UINT id);
    void OnSendButton();

    bool m_valid[3] = {false, false, false};
    DWORD m_values[3] = {0, 0, 0};
    bool m_changed = false;
    // Bits of 9345 and 9349 whose working boxes the user changed since the last send.
    DWORD m_touched[2] = {0, 0};

    DECLARE_MESSAGE_MAP()
};
