// The windows of the gallery. A new window joins by adding one line to the
// table in GalleryWindows.cpp and a function that opens it in its typical
// states and hands each state to GalleryShots::Take.
#pragma once

#include <functional>

#include "GalleryShots.h"

struct GalleryEntry {
    const char* name;     // file-name part and test name: letters, digits and '-'
    const char* title;    // shown in the index
    void (*show)(GalleryShots& shots);
};

// The one registration place.
const std::vector<GalleryEntry>& GalleryEntries();

// Shows, one per window (defined beside the folder they come from).
void ShowCommunicationsStatistics(GalleryShots& shots);
void ShowWarningDialog(GalleryShots& shots);
void ShowModelessMessage(GalleryShots& shots);
void ShowExportDialog(GalleryShots& shots);
void ShowReportListDialog(GalleryShots& shots);
void ShowListCombo(GalleryShots& shots);
void ShowTreeCombo(GalleryShots& shots);
void ShowPopupSelectList(GalleryShots& shots);
void ShowButtons(GalleryShots& shots);
void ShowToolbar(GalleryShots& shots);
void ShowDriveWindow(GalleryShots& shots);
void ShowBoundControls(GalleryShots& shots);
void ShowSettingsList(GalleryShots& shots);
void ShowPlot(GalleryShots& shots);
void ShowFiltersWindow(GalleryShots& shots);
void ShowSaveToNvm(GalleryShots& shots);
void ShowTrajectoryGen(GalleryShots& shots);
void ShowAutoPhasing(GalleryShots& shots);
void ShowAnaMotorCalibrate(GalleryShots& shots);
void ShowModelInfo(GalleryShots& shots);
void ShowModelInfoList(GalleryShots& shots);
void ShowDriveModeSheet(GalleryShots& shots);
void ShowCommandMode(GalleryShots& shots);
void ShowElectronicGearing(GalleryShots& shots);
void ShowProfileGenerator(GalleryShots& shots);
void ShowCustomerLoadFirmware(GalleryShots& shots);
void ShowLoadFirmware(GalleryShots& shots);
void ShowTerminal(GalleryShots& shots);
void ShowDebugWatch(GalleryShots& shots);
void ShowLogViewer(GalleryShots& shots);
void ShowDriveNames(GalleryShots& shots);
void ShowWindowsList(GalleryShots& shots);
void ShowBrowser(GalleryShots& shots);
void ShowAlertLog(GalleryShots& shots);
void ShowAlertPopup(GalleryShots& shots);
void ShowServoTuning(GalleryShots& shots);
void ShowMotorParameters(GalleryShots& shots);
void ShowScriptPlayer(GalleryShots& shots);
void ShowTutorial(GalleryShots& shots);
void ShowScope(GalleryShots& shots);
void ShowEditor(GalleryShots& shots);
void ShowWatchRegisters(GalleryShots& shots);
void ShowRegisterFlagTool(GalleryShots& shots);
void ShowStatusLamps(GalleryShots& shots);
void ShowLastFaults(GalleryShots& shots);
void ShowControlSignals(GalleryShots& shots);
void ShowControlPanel(GalleryShots& shots);
void ShowTavroAnalogOutput(GalleryShots& shots);
void ShowSetupAnalogIo(GalleryShots& shots);
void ShowSetupDigitalInputs(GalleryShots& shots);
void ShowSetupDigitalOutputs(GalleryShots& shots);
void ShowInputStatusWindows(GalleryShots& shots);
void ShowTavroLampsAndDedicatedIo(GalleryShots& shots);
void ShowKrelnSetupDigitalIo(GalleryShots& shots);
void ShowSelectAbsEnc(GalleryShots& shots);
void ShowManageCloudDatabase(GalleryShots& shots);
void ShowDatabaseTest(GalleryShots& shots);
void ShowEditAbsEncDb(GalleryShots& shots);
void ShowCommutationAddCalc(GalleryShots& shots);
void ShowKrelnCommutation(GalleryShots& shots);
void ShowMotorSafety(GalleryShots& shots);
void ShowTavroCommutationSheet(GalleryShots& shots);
