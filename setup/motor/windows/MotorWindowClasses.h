// Enters the drive mode, command mode, gearing, trajectory and save-to-NVM
// windows in a window registry under their GUI names and family masks.
#pragma once

class CGuiUpdateDlgIdMap;

void RegisterMotorModeWindows(CGuiUpdateDlgIdMap& registry);
