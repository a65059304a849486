// CQvxGuiTavroAnalogOutputDlg: the signal, gain, offset and test level of a
// Tavro drive's analog output and of its auxiliary analog output.
#pragma once

#include <initializer_list>

#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/QvxGuiEditCtrl.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/SpinButtonCtrl.h"
#include "resources/ids/TavroAnalogOutputIds.h"
#include "setup/io/windows/AnalogEditFields.h"

class CQvxGuiTavroAnalogOutputDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiTavroAnalogOutputDlg)

public:
    enum { IDD = IDD_TAVRO_ANALOG_OUTPUT };
    static constexpr int kEditRows = 6;
    static constexpr const char* kSignalSection = "Analog_Out_SIGNALS_Kreln";

    CQvxGuiTavroAnalogOutputDlg();

    CString GetItemName() const override { return "Setup Analog Outputs"; }
    BOOL OnInitDialog() override;
    int PrepareQueries() override;
    int SubscribeStatusQueries() override;
    int InitialUpdate() override;
    void ProcessResponses() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    bool IsAuxPresent();
    CQvxGuiEditCtrl& WorkingEdit(int row) { return m_edits[row * 2]; }
    double SpinStepOf(int row) { return m_fields.StepOf(&WorkingEdit(row)); }

protected:
    void OnOutputSource() { OnSourceChosen(0); }
    void OnAuxSource() { OnSourceChosen(1); }
    DECLARE_MESSAGE_MAP()

private:
    void BindControls();
    bool ConversionsReady();
    bool FillCombos();
    void SelectSource(int output);
    void OnSourceChosen(int output);
    void UpdateEnables();
    void EnableIds(std::initializer_list<int> ids, bool enable);

    CDmQueryVar m_flags10;
    CDmQueryVar m_feedback;
    CDmQueryVar m_outputSource;
    CDmQueryVar m_auxSource;
    CDmQueryVar m_parameter115;
    CDmQueryVar m_flags12;
    CQvxGuiEditCtrl m_edits[kEditRows * 2];
    CSpinButtonCtrl m_spins[kEditRows];
    CComboBox m_outputCombo;
    CComboBox m_auxCombo;
    CAnalogEditFields m_fields;
};
