// What the backup, report and editor-transfer dialogs share: the drive combo
// filled from the connected drives, the remembered drive in the user settings
// and the default file names.
#pragma once

#include <vector>

#include "comm/link/AmplifierData.h"
#include "platform/ui/ComboBox.h"

// Fills the combo in the list's order, text = name, data = address; selects the
// remembered drive, or the first one when asked and none matches.
void FillDriveCombo(CComboBox* combo, const std::vector<CAmplifierData>& drives, int remembered, bool selectFirst);
// The selected drive's number and name; -1 and empty with no selection.
void ReadDriveChoice(CComboBox* combo, int& drive, CString& name);
// The connected drives of the main window's list.
std::vector<CAmplifierData> ConnectedDrives();
// A drive name made fit for a file name ("/" would name a folder).
CString FileNamePart(const CString& name);
// The local time as the default file names carry it.
CString FileTimeStamp();
// The folder Korvane of the shared documents folder, created when missing.
CString SharedDocumentsProductFolder();
