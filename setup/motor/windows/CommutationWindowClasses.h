// Enters the commutation windows in a window registry under their GUI names
// and family masks.
#pragma once

class CGuiUpdateDlgIdMap;

void RegisterCommutationWindows(CGuiUpdateDlgIdMap& registry);
