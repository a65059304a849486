// The ground of the drive windows' gallery shots: the demo link with the demo
// library's drives, a parameter table and a ticking frame; new windows take the
// Tavro drive (address 2).
#pragma once

#include <functional>

#include "DemoLibraryDrives.h"
#include "TestFrame.h"
#include "comm/demo/CommunicationsModuleSimulator.h"
#include "comm/link/CommManager.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "platform/ui/WinApp.h"
#include "testing/DemoPortFactory.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"

struct DriveWindowStage {
    TempDir home;
    TestAppServices app;
    DemoPortFactory factory;
    CCommManager comm;
    CCommManagerLink link{comm};
    CDistManager dist{&link};
    CGlobalParameterTable table;
    TestFrame frame;
    // Windows that read conversion parameters need the table; others do without.
    bool useTable = true;
    // Registers the drives hold over the demo library's, before any window asks.
    std::function<void(CDemoRegisterModel&)> prepare;
    std::function<void(CGuiUpdateDlgIdMap&)> registerWindows;
    // Runs last when the stage closes.
    std::function<void()> cleanUp;

    bool Open()
    {
        app.m_iniPath = home.File("kvsettings.ini");
        app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
        comm.SetPortFactory(&factory);
        if (comm.OpenDemoCommunications() != 1)
            return false;
        CDistManager::Install(&dist);
        if (!dist.Start())
            return false;
        LoadDemoLibraryDrives();
        if (prepare)
            prepare(factory.m_simulator->Model());
        if (useTable) {
            table.SetDistManager(&dist);
            table.AddDrive(1);
            table.AddDrive(2);
        }
        frame.m_list.Initialise(useTable ? &table : nullptr);
        if (registerWindows)
            registerWindows(frame.m_registry);
        AfxWriteProfileInt("GENERAL", "DFLTDRV", 2);
        frame.StartTicking();
        return true;
    }
    ~DriveWindowStage()
    {
        frame.StopTicking();
        frame.DestroyAllWindows();
        if (useTable)
            table.RemoveAllDrives();
        dist.Stop();
        CDistManager::Install(nullptr);
        comm.CloseCommunications();
        if (cleanUp)
            cleanUp();
        AfxWriteProfileInt("GENERAL", "DFLTDRV", 1);
        AfxTakeScriptedMessageLog();
    }
};
