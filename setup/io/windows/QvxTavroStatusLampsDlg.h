// CQvxTavroStatusLampsDlg: two panels of status lamps of a Tavro drive, named
// after the bits of output functions 1 and 2 in the factory file.
#pragma once

#include <memory>
#include <vector>

#include "controls/LampButton.h"
#include "framework/GuiUpdateDlg.h"
#include "resources/ids/TavroStatusLampsIds.h"
#include "setup/io/TavroDigitalOutputDefinitions.h"

constexpr WORD kLowerLampsParameter = 20087;

class CQvxTavroStatusLampsDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxTavroStatusLampsDlg)

public:
    enum { IDD = IDD_TAVRO_STATUS_LAMPS };
    enum Panel { kUpper = 0, kLower = 1 };

    // One lamp: the mask it tests and the button that shows it (none for a blank place).
    struct Lamp {
        DWORD mask = 0;
        std::unique_ptr<CLampButton> button;
    };

    CQvxTavroStatusLampsDlg();

    CString GetItemName() const override { return "Drive Status"; }
    BOOL OnInitDialog() override;
    int SubscribeStatusQueries() override;
    int InitialUpdate() override;
    void OnStatusResponse(const CAmpResponseToGui& response) override;
    void ProcessResponses() override;
    void RandomExercise(int flags) override;

    const std::vector<Lamp>& Lamps(int panel) const { return m_lamps[panel]; }
    CLampButton* FindLamp(int panel, DWORD mask) const;

protected:
    void BuildPanel(int panel, int function, UINT groupId);
    void ShowWord(int panel, DWORD word);
    void ShowFeedbackLamp();

    bool m_hardwareFlagsValid = false;
    DWORD m_hardwareFlags = 0;
    bool m_feedbackKindValid = false;
    DWORD m_feedbackKind = 0;
    bool m_feedbackChanged = false;
    CTavroDigitalOutputDefinitions m_definitions;
    std::vector<Lamp> m_lamps[2];
    DWORD m_words[2] = {0, 0};
    bool m_wordChanged[2] = {false, false};

    DECLARE_MESSAGE_MAP()
};
