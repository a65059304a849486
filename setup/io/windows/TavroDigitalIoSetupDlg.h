// CTavroDigitalIoSetupDlg: what the Tavro digital input and output setup
// windows share: one row per pin with the working function and level beside
// the drive's, edited by drop-down, sent pin by pin, and driven by the
// "CONNECTPIN" and "DISCONNECTPIN" text commands.
#pragma once

#include "controls/DListComboCtrl.h"
#include "framework/GuiUpdateDlg.h"
#include "platform/core/Map.h"
#include "setup/io/TavroIoDefinitions.h"

class CButton;

// What differs between the two sides.
struct TavroIoWindowTexts {
    const char* windowName;
    const char* functionWorkHeading;
    const char* functionDriveHeading;
    const char* sendQuestion;
    const char* receiving;
    const char* sending;
    int pinEms;
    int functionEms;
    bool withBit;
};

constexpr COLORREF kLevelToChooseColour = 0x00F2FF;
constexpr COLORREF kNotApplicableColour = 0x808080;

class CTavroDigitalIoSetupDlg : public CGuiUpdateDlg, public CDListComboCtrlCB {
    DECLARE_DYNAMIC(CTavroDigitalIoSetupDlg)

public:
    enum Column { kPins = 0, kDescription, kFunctionWork, kFunctionDrive, kActiveWork, kActiveDrive };

    CTavroDigitalIoSetupDlg(UINT templateId, UINT listId, UINT sendId, const TavroIoWindowTexts& texts);

    CString GetItemName() const override { return m_texts.windowName; }
    BOOL OnInitDialog() override;
    int PrepareQueries() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    int SendGroup(int group) override;
    int GetPendingChangesState(int ignored) override;
    int ExecuteCommand(const CString& command, CString& reply) override;
    void RandomExercise(int flags) override;

    // CDListComboCtrlCB
    int GetColumnEditType(CDListComboCtrl* list, int row, int column) override;
    int GetItemSelection(CDListComboCtrl* list, int row, int column) override;
    void OnItemSelectionChanged(CDListComboCtrl* list, int row, int column, int index, BOOL unchanged) override;
    int CanEditItem(CDListComboCtrl*, LVITEM*) override { return 0; }

    void OnSendButton();
    void OnSize(UINT type, int cx, int cy);

    CDListComboCtrl& List() { return m_list; }
    bool IsChanged() const { return m_changed; }
    virtual CTavroIoDefinitions& Definitions() = 0;
    const CTavroIoDefinitions& Definitions() const
    {
        return const_cast<CTavroDigitalIoSetupDlg*>(this)->Definitions();
    }

protected:
    // Loads the side's tables for the drive's board variant.
    virtual int LoadDefinitions(int variant) = 0;
    // Before the pins go: the input window sends its pull-up box and tells of it.
    virtual void BeforePinSend() {}
    virtual void AfterPinSend() {}
    virtual bool HasUnsentExtras() { return false; }
    // The output window leaves reserved bits out of the drop-down.
    virtual bool IsOffered(const CString&) const { return true; }
    virtual void LayoutExtras(int /*cx*/, int /*cy*/, int /*buttonTop*/) {}
    virtual int ListBottomMargin() const { return 0; }

    CString FunctionText(int pin, bool& active, int& level) const;
    void DrawRow(int row, bool withDrive);
    void RebuildList();
    void FitDescriptionColumn();
    void Layout();
    CString ChoiceText(const CFunctionAndBit& choice) const;
    void FillFunctionChoices(int pin);
    void FillLevelChoices(int pin);
    bool FunctionOfRow(int pin, CFunctionAndBit& current) const;
    void ShowTransferError();
    CString ConnectPin(const CString& command);
    CString DisconnectPin(const CString& command);
    int EmWidth(int count);

    TavroIoWindowTexts m_texts;
    UINT m_listId;
    UINT m_sendId;
    CMap<CString, const char*, int, int> m_choiceMap;
    bool m_changed = false;
    bool m_errorShown = false;
    bool m_definitionsLoaded = false;
    CDListComboCtrl m_list;

    DECLARE_MESSAGE_MAP()
};
