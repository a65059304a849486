// Enters the auto-phasing, analog feedback calibration and model information
// windows in a window registry under their GUI names and family masks.
#pragma once

class CGuiUpdateDlgIdMap;

void RegisterMotorProcedureWindows(CGuiUpdateDlgIdMap& registry);
