// CQvxGuiAmpPosModePpg: the Position page of the Drive Mode window. Switches
// position mode, chooses digital commands or the pulse follower and its input
// type, and sets the electronic gearing of the pulse follower.
#pragma once

#include <optional>

#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdatePpg.h"
#include "framework/QvxGuiEditCtrl.h"
#include "resources/ids/AmpPosModeIds.h"

class CQvxGuiAmpPosModePpg : public CGuiUpdatePpg {
    DECLARE_DYNAMIC(CQvxGuiAmpPosModePpg)

public:
    enum { IDD = IDD_AMP_POS_MODE };
    static constexpr WORD kGearOutCode = 16623;
    static constexpr WORD kGearInCode = 16617;
    static constexpr WORD kGearFactorCode = 16614;
    static constexpr WORD kInputTypeCode = 16589;
    static constexpr int kGearingGroup = 2;

    CQvxGuiAmpPosModePpg();

    CString GetItemName() const override { return "Position"; }
    BOOL OnInitDialog() override;
    void OnAttached() override { BindControls(); }
    int CustomPoll(int id, double& value, CWnd* control) override;
    int CustomSend(int id, double value, CWnd* control) override;
    int SendGroup(int group) override;
    void ExchangeSheetProperties(CDPropertyList& bag, int loading) override;
    void ProcessResponses() override;
    int PrepareQueries() override;
    int SubscribeStatusQueries() override;

    void UpdateEnables();

protected:
    void OnEnableClicked();
    void OnDigitalClicked();
    void OnPulseClicked();
    void OnPulseDirClicked() { OnInputTypeClicked(0); }
    void OnCwCcwClicked() { OnInputTypeClicked(1); }
    void OnQuadratureClicked() { OnInputTypeClicked(2); }
    void OnReverseClicked();
    void OnShowCalculatedClicked();
    void OnSendGearing();
    DECLARE_MESSAGE_MAP()

private:
    void BindControls();
    void OnInputTypeClicked(int n);
    bool LastOf(const CDmQueryVar& query, int& value);
    bool ModeFor(int& last);
    void ShowModeReply(bool& cleared, bool& changed);
    void ShowInputType(bool cleared);
    void ShowCalculated(bool show);
    void ClearControls();
    void UpdateCaption();
    bool IsChecked(int id) const { return IsDlgButtonChecked(id) == BST_CHECKED; }

    CDmQueryVar m_factor;
    CDmQueryVar m_mode;
    CDmQueryVar m_inputType;
    CDmQueryVar m_hardware;
    CQvxGuiEditCtrl m_edits[8];
    int m_sign = 0;
    int m_lastMode = -1;
    std::optional<bool> m_calculatedShown;
};
