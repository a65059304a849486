// CQvxGuiModelInfo: the drive's model data (model number, board revisions,
// current feedback and limits, bus voltages, thermal constant, serial and
// part numbers) as the customer sees it, and in the factory configuration as
// working values sent to the drive; the current-sense offsets and their
// balancing; saving to the drive's memory.
#pragma once

#include <map>
#include <optional>
#include <vector>

#include "distribution/DmQueryVar.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/QvxGuiEditCtrl.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Rect.h"
#include "resources/ids/ModelInfoIds.h"

class CQvxGuiModelInfo : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CQvxGuiModelInfo)

public:
    enum { IDD = IDD_MODEL_INFO };
    static constexpr const char* kModelListFile = "ModelNumber.ini";

    CQvxGuiModelInfo();

    CString GetItemName() const override { return "Model Info"; }
    BOOL OnInitDialog() override;
    int PrepareQueries() override;
    int InitialUpdate() override;
    void ProcessResponses() override;
    int ExecuteCommand(const CString& command, CString& reply) override;
    int SendGroup(int group) override;
    int CustomPoll(int id, double& value, CWnd* control) override;
    int CustomSend(int id, double value, CWnd* control) override;

    bool IsBalancing() const { return m_balancing; }
    bool IsNvmUnsaved() const { return m_nvmUnsaved; }
    const std::vector<CString>& GetModelList() const { return m_models; }
    int GetSelectedModel() const { return m_selectedModel; }

protected:
    void OnSendValues();
    void OnSaveModel();
    void OnSaveActivity();
    void OnBalance();
    void OnSaveOffsets();
    void OnOverTemp();
    void OnModelSelected();
    void OnOffsetFocus();
    void OnClose();
    void OnDestroy();
    HBRUSH OnCtlColor(CDC* dc, CWnd* child, UINT kind);
    DECLARE_MESSAGE_MAP()

private:
    enum Row { kModel, kPower, kLogic, kFeedback, kContinuous, kPeak, kAnalog, kBusOver, kBusUnder, kBusScale,
               kThermal, kVoltAmp, kSerial, kDrivePn, kRows };

    void BindControls();
    void BindRow(int row);
    CQvxGuiEditCtrl* Bind(int id, unsigned flags);
    bool IsFactory() const { return (m_flags & 1) != 0; }
    bool IsBalanceDisplay() const { return (m_flags & (1 | 8)) != 0; }
    bool IsCustomer() const { return (m_flags & (1 | 8)) == 0; }
    int Cs();
    std::optional<long> Reply(const CDmQueryVar& query) const;
    std::optional<double> Working(int id);
    void LoadModelList();
    void ApplyBusScale(double scale);
    void ApplyLayout();
    void ApplyRowVisibility();
    void ShowRow(int row, bool shown, bool workingColumns);
    void PlaceCustomerLayout();
    void UpdateBoards();
    void UpdateBalancing();
    void UpdateDacPolling(int model);
    bool RefuseWhileEnabled();
    int Write(WORD code, LONG value);
    int WriteModel(int sub, LONG value);
    void SaveModel();
    bool WorkingRowsModified();
    void LeaveFactoryAccess();

    CQvxGuiEditCtrl m_edits[48];
    int m_editCount = 0;
    CComboBox m_modelList;
    CDmQueryVar m_thermal;
    CDmQueryVar m_overTemp;
    CDmQueryVar m_powerBoard;
    CDmQueryVar m_logicBoard;
    CDmQueryVar m_balancingQuery;
    std::vector<CString> m_models;
    int m_flags = 0;
    int m_selectedModel = 0;
    int m_lastModel = -1;
    int m_lastCs = -1;
    double m_busScale = 0;
    bool m_listLoaded = false;
    bool m_balancing = false;
    bool m_balanceSeen = false;
    bool m_nvmUnsaved = false;
    bool m_overTempErrorShown = false;
    bool m_dacPolling = false;
    bool m_left = false;
    std::map<int, CRect> m_templateRects;
    double m_shownGain = 0;
};
