#include "WindowFactory.h"

#include "framework/FactorySettings.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/GuiUpdateDlgIdMap.h"
#include "framework/GuiUpdateList.h"
#include "platform/core/RuntimeClass.h"

namespace {
std::vector<FactoryRow>& MutableRows()
{
    static std::vector<FactoryRow> rows = {
        {32791, "CQvxGuiSetupServoTuningDlg", false, kUpdateGeneric, nullptr},
        {32889, "CQvxCommTestDlg", false, kUpdateGeneric, nullptr},
        {32848, "CQvxGuiCPanelDlg", true, kUpdateGeneric, nullptr},
        {32877, "CQvxGuiModelInfoListDlg", false, kUpdateGeneric, nullptr},
        {32795, "QvxGuiSetupMode2", false, kUpdateGeneric, nullptr},
        {32789, "CQvxGuiMotorSafetyDlg", false, kUpdateGeneric, nullptr},
        {32812, "CQvxGuiStatusControlSignalDlg2", true, kUpdateGeneric, nullptr},
        {32796, "CQvxSetupAnalogIoDlg", false, kUpdateGeneric, nullptr},
        {32786, "CQvxGuiGcodeEncodersDlg", false, kUpdateGeneric, nullptr},
        {32816, "CQvxGuiSetupDigitalIoDlg", false, kUpdateGeneric, nullptr},
        {32875, "CQvxGuiSetupAutoManualTuningDlg", false, kUpdateGeneric, nullptr},
        {32817, "CQvxGuiTrajectoryGen", false, kUpdateGeneric, nullptr},
        {32790, "CQvxGuiCommutat", false, kUpdateGeneric, nullptr},
        {32797, "CQvxGuiSaveToNVMDlg", false, kUpdateGeneric, nullptr},
        {32799, "CQvxTerminalDlg", true, kUpdateGeneric, nullptr},
        {32906, "CQvxStatusLampsDlg", true, kUpdateGeneric, nullptr},
        {32908, "CQvxLastFaultsLampDlg", false, kUpdateGeneric, nullptr},
        {32924, "CQvxGuiSetupTavroDigitalInputDlg", false, kUpdateGeneric, nullptr},
        {32931, "CQvxGuiSetupTavroDigitalOutputDlg", false, kUpdateGeneric, nullptr},
        {32932, "CQvxGuiTavroGeneralDigitalInputsDlg", false, kUpdateGeneric, nullptr},
        {32933, "CQvxGuiTavroDedicatedDigitalInputsDlg", false, kUpdateGeneric, nullptr},
        {32935, "CQvxTavroStatusLampsDlg", false, kUpdateGeneric, nullptr},
        {32946, "CQvxGuiAmpModeSettingsSheet", false, kUpdateGeneric, nullptr},
        {32976, "CQvxDedicatedIoSettingsDlg", false, kUpdateNone, nullptr},
        {32977, "CQvxGuiTavroCommutationSheet", false, kUpdateGeneric, nullptr},
        {32838, "CQvxGuiSetupFilters", false, kUpdateGeneric, nullptr},
        {32984, "CQvxGuiTavroAnalogOutputDlg", false, kUpdateGeneric, nullptr},
        {32986, "CQvxStatusLampsDlg", true, kUpdateGeneric, "CQvxTavroStatusLampsDlg"},
        {32987, "CQvxWatchRegistersDlg", false, kUpdateNone, nullptr},
        {33019, "CQvxWatchRegistersDlg", false, kUpdateGeneric, nullptr},
        {33024, "CQvxGuiMoveBuilderDlg", false, kUpdateGeneric, nullptr},
        {33036, "CQvxGuiModelInfoListDlg", false, kUpdateNone, nullptr},
        {33038, "CQvxRegisterFlagTool", false, kUpdateNone, nullptr},
        {33067, "CLoadFirmwareDlg", false, kUpdateModal, nullptr},
        {33068, "CCustomerLoadFirmwareDlg", false, kUpdateModal, nullptr},
        {33069, "CCustomerLoadFirmwareDlg", false, kUpdateModal, "CLoadFirmwareDlg"},
    };
    return rows;
}

constexpr UINT kModelInfoCommand = 32877;
}  // namespace

const std::vector<FactoryRow>& CWindowFactory::Rows() { return MutableRows(); }

void CWindowFactory::AddRow(const FactoryRow& row)
{
    RemoveRow(row.command);
    MutableRows().push_back(row);
}

void CWindowFactory::RemoveRow(UINT command) { std::erase_if(MutableRows(), [command](const FactoryRow& r) { return r.command == command; }); }

const std::vector<GuiRegistration>& CWindowFactory::Registrations()
{
    static const std::vector<GuiRegistration> registrations = {
        {"MOTOR_PARAMS", "CQvxGuiSetupAutoManualTuningDlg", 6, 0},
        {"MOTOR_SAFETY", "CQvxGuiMotorSafetyDlg", 6, 0},
        {"MODE", "QvxGuiSetupMode2", 2, 0},
        {"ANALOGIO", "CQvxSetupAnalogIoDlg", 2, 0},
        {"ENCODERS", "CQvxGuiGcodeEncodersDlg", 2, 0},
        {"DIGITALIO", "CQvxGuiSetupDigitalIoDlg", 2, 0},
        {"TRAJECTORY_GEN", "CQvxGuiTrajectoryGen", 6, 0},
        {"COMMUTATION", "CQvxGuiCommutat", 2, 0},
        {"OPEN_COMM", "CSelectCommInterfaceDlg", 6, 0},
        {"SERVO_TUNING", "CQvxGuiSetupServoTuningDlg", 6, 0},
        {"TERMINAL", "CQvxTerminalDlg", 6, 0},
        {"FILTERS", "CQvxGuiSetupFilters", 6, 0},
        {"CONTROL_PANEL", "CQvxGuiCPanelDlg", 6, 0},
        {"MODEL_INFO", "CQvxGuiModelInfo", 6, 0},
        {"MODEL_INFO_2", "CQvxGuiModelInfoListDlg", 6, 0},
        {"SAVE_NVM", "CQvxGuiSaveToNVMDlg", 6, 0},
        {"LAST_FAULTS", "CQvxLastFaultsLampDlg", 6, 0},
        {"STATUS", "CQvxStatusLampsDlg", 2, 0},
        {"TAVRO_STATUS", "CQvxTavroStatusLampsDlg", 4, 0},
        {"TAVRO_GENERAL_DIGITAL_INPUTS", "CQvxGuiTavroGeneralDigitalInputsDlg", 4, 0},
        {"TAVRO_SETUP_GENERAL_DIGITAL_INPUTS", "CQvxGuiSetupTavroDigitalInputDlg", 4, 0},
        {"TAVRO_SETUP_GENERAL_DIGITAL_OUTPUTS", "CQvxGuiSetupTavroDigitalOutputDlg", 4, 0},
        {"TAVRO_DEDICATED_DIGITAL_INPUTS", "CQvxGuiTavroDedicatedDigitalInputsDlg", 4, 0},
        {"STATUS_CONTROL_SIGNALS", "CQvxGuiStatusControlSignalDlg2", 6, 0},
        {"AMP_MODE_SETTINGS_SHEET", "CQvxGuiAmpModeSettingsSheet", 4, 0},
        {"TAVRO_COMMUTATION_SETTINGS", "CQvxGuiTavroCommutationSheet", 4, 0},
        {"TAVRO_AUTOPHASING", "CQvxAutoPhasingDlg", 4, 0},
        {"TAVRO_ANAMOTORCALIB", "CQvxAnaMotorCalibrateDlg", 4, 0},
        {"TAVRO_ANALOGIO", "CQvxGuiTavroAnalogOutputDlg", 4, 0},
        {"WATCH_REGISTERS", "CQvxWatchRegistersDlg", 6, 0},
        {"MOVE_MAKER", "CQvxGuiMoveBuilderDlg", 6, 1},
        {"FLAG_TOOL", "CQvxRegisterFlagTool", 6, 0},
    };
    return registrations;
}

void CWindowFactory::RegisterWindowClasses()
{
    for (const GuiRegistration& entry : Registrations())
        if (const CRuntimeClass* runtimeClass = CRuntimeClass::FromName(entry.className))
            m_registry.RegisterGui(entry.guiName, runtimeClass, entry.familyMask, entry.featureMask);
}

const FactoryRow* CWindowFactory::Find(UINT command) const
{
    for (const FactoryRow& row : Rows())
        if (row.command == command)
            return &row;
    return nullptr;
}

const char* CWindowFactory::ClassFor(const FactoryRow& row, int displayFlags) const
{
    if (row.command == kModelInfoCommand && (displayFlags & kDisplayDebug))
        return "CQvxGuiModelInfo";
    // The factory flag puts the factory's firmware window in place of the customer's.
    if (row.update == kUpdateModal && row.altClassName && (displayFlags & kDisplayFactory))
        return row.altClassName;
    return row.className;
}

bool CWindowFactory::IsAvailable(UINT command, int displayFlags) const
{
    const FactoryRow* row = Find(command);
    if (!row)
        return false;
    if (row->update == kUpdateModal)
        return static_cast<bool>(m_modalOpener);
    if (m_registry.GetRuntimeClassByClassName(ClassFor(*row, displayFlags)))
        return true;
    return row->altClassName && m_registry.GetRuntimeClassByClassName(row->altClassName);
}

int CWindowFactory::DrivesFor(const char* className) const
{
    return className ? m_list.GetDrivesForGui(nullptr, className, 0, 1) : 0;
}

CGuiUpdateDlg* CWindowFactory::Create(const char* className)
{
    CGuiUpdateDlg* window = m_registry.CreateByClassName(className);
    if (window && !window->CreateGuiWindow(1)) {
        delete window;  // never made, so it cannot delete itself
        return nullptr;
    }
    return window;
}

int CWindowFactory::Open(UINT command, int displayFlags)
{
    const FactoryRow* row = Find(command);
    if (!row || !IsAvailable(command, displayFlags))
        return 0;
    const char* className = ClassFor(*row, displayFlags);
    if (row->update == kUpdateModal) {
        m_modalOpener(className);
        return 1;
    }
    if (row->drivesCheck) {
        int drives = DrivesFor(className);
        if (drives < 1 && row->altClassName) {
            className = row->altClassName;
            drives = DrivesFor(className);
        }
        if (drives < 1)
            return drives;
    }
    return Create(className) ? 1 : 0;
}

bool CWindowFactory::IsEnabled(UINT command, int displayFlags, bool commOpen, bool backupBusy) const
{
    const FactoryRow* row = Find(command);
    if (!row || !IsAvailable(command, displayFlags))
        return false;
    if (row->update == kUpdateNone || row->update == kUpdateModal)
        return true;
    if (backupBusy || !commOpen)
        return false;
    // The model information command is ruled by its first class whichever window it opens.
    if (DrivesFor(row->className) >= 1)
        return true;
    return row->altClassName && DrivesFor(row->altClassName) >= 1;
}
