// CQvxSetupAnalogIoDlg: the scaling of a Kreln drive's analog command input
// and aux input, and the signal, gain, offset and test level of its two
// analog outputs.
#pragma once

#include <initializer_list>

#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/QvxGuiEditCtrl.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/SpinButtonCtrl.h"
#include "resources/ids/SetupAnalogIoIds.h"
#include "setup/io/windows/AnalogEditFields.h"

class CQvxSetupAnalogIoDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxSetupAnalogIoDlg)

public:
    enum { IDD = IDD_SETUP_ANALOG_IO };
    enum Row {
        kInputGain,
        kInputOffset,
        kDeadBand,
        kAuxInputGain,
        kAuxInputOffset,
        kOutputGain,
        kOutputOffset,
        kOutputTest,
        kAuxOutputGain,
        kAuxOutputOffset,
        kAuxOutputTest,
        kRowCount
    };
    static constexpr const char* kInputScaleZero = "Analog Input Scale = 0.\nTherefore you can not alter Signal Gain!";
    static constexpr const char* kNoValues = "Could not receive values. Please try again.";

    CQvxSetupAnalogIoDlg();

    CString GetItemName() const override { return "Setup Analog I/O"; }
    BOOL OnInitDialog() override;
    int PrepareQueries() override;
    int InitialUpdate() override;
    void ProcessResponses() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    CQvxGuiEditCtrl& WorkingEdit(int row) { return m_edits[row * 2]; }
    CQvxGuiEditCtrl& DriveEdit(int row) { return m_edits[row * 2 + 1]; }
    double SpinStepOf(int row) { return m_fields.StepOf(&WorkingEdit(row)); }

protected:
    void OnOutputSource() { OnSourceChosen(0); }
    void OnAuxSource() { OnSourceChosen(1); }
    DECLARE_MESSAGE_MAP()

private:
    void BindControls();
    bool ReadingsReady();
    void FillLists(int ch, int param7, int param10);
    void FillList(CComboBox& combo, const CString& section);
    void SetAuxLabels(int ch, int param10);
    void ApplyRules(int ch, int param7, int param10);
    void ApplyAuxBinding(int param10);
    void ApplySpinSteps();
    void SelectSource(int output);
    void OnSourceChosen(int output);
    void EnableRows(std::initializer_list<int> rows, bool enable);
    void EnableIds(std::initializer_list<int> ids, bool enable);

    CDmQueryVar m_pfm;
    CDmQueryVar m_auxSource;
    CDmQueryVar m_outputSource;
    CDmQueryVar m_model10;
    CDmQueryVar m_model13;
    CDmQueryVar m_feedback;
    CDmQueryVar m_model14;
    CQvxGuiEditCtrl m_edits[kRowCount * 2];
    CSpinButtonCtrl m_spins[kRowCount];
    CComboBox m_outputCombo;
    CComboBox m_auxCombo;
    CAnalogEditFields m_fields;
    int m_lastMode = 0;
    int m_lastParam5 = 0;
    int m_lastParam10 = 0;
    // The source last written by this window until the drive's reading follows it; -1 none.
    int m_written[2] = {-1, -1};
    int m_auxOutputDisabled = 0;
    int m_auxTach = -1;
};
