// The demo drives as "&Demo" sets them up: the demo library's backup restored
// into each drive through the backup engine, so the windows show a small real
// servo system (8-pole motor, 2000-line encoder, 48 V bus) and not the
// simulator's bare defaults. Needs the demo link open and the distribution
// started; the library is the one the program installs from resources/.
#pragma once

#include "backup/AmpBackupTool.h"
#include "comm/demo/DemoDriveLoader.h"

inline void LoadDemoLibraryDrives()
{
    CAmpBackupTool engine;
    engine.SetPauses(0);
    LoadDemoDrives({{1, "Kreln"}, {2, "Tavro"}}, &engine, KV_RESOURCES,
                   [&engine] { engine.UpdateStatus(); });
}
