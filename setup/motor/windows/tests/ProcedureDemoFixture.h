// The ground of the procedure and model information window tests: the demo
// link with the Tavro drive's auto-phasing settings in known values, the
// windows registered by name, and a stand-in for the page that opens them.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "comm/demo/DemoRegisterCodes.h"
#include "DialogReadings.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/tests/DriveWindowDemoTest.h"
#include "framework/tests/FakeGuiAppServices.h"
#include "platform/core/Archive.h"
#include "platform/core/Clock.h"
#include "platform/core/File.h"
#include "platform/ui/UserInput.h"
#include "setup/motor/windows/MotorProcedureOwner.h"
#include "setup/motor/windows/MotorProcedureWindowClasses.h"

// What the opening page hears from its child window.
class StandInProcedureOwner : public CMotorProcedureOwner {
public:
    void OnProcedureRunning(bool running) override { told.push_back(running); }
    void OnProcedureWindowClosed(CWnd* child) override { closed.push_back(child); }
    bool IsOwnerDriveEnabled() const override { return enabled; }

    std::vector<bool> told;
    std::vector<CWnd*> closed;
    bool enabled = false;
};

class ProcedureDemoTest : public DriveWindowDemoTest, protected MotorDialogReadings {
protected:
    static constexpr int kPoles = 4;
    static constexpr int kContinuous = 1000;

    void PrepareDrives() override
    {
        using namespace demo_codes;
        SetServoFrequency(kTavro);
        SetRegister(kTavro, 432, kPoles);
        SetRegister(kTavro, 419, 0);
        SetIndexed(kTavro, MDL, MDI, 3, kContinuous);
        const LONG settings[] = {500, 50, 218, 100};
        for (int sub = 0; sub < 4; ++sub)
            SetIndexed(kTavro, APC, API, sub, settings[sub]);
    }
    void RegisterWindows(CGuiUpdateDlgIdMap& registry) override { RegisterMotorProcedureWindows(registry); }
    void TearDown() override
    {
        DriveWindowDemoTest::TearDown();
        s_offset = 0;
        kvtest::SetClockOffset(0);
    }

    template <typename T>
    T* OpenByName(const char* name)
    {
        auto* dlg = dynamic_cast<T*>(m_frame.m_registry.CreateGui(name, nullptr, 1));
        if (dlg) {
            EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kTavro && dlg->AreStagesDone(); }));
        }
        return dlg;
    }
    // Enables or disables the drive as its enable button does, and waits for the window to see it.
    template <typename T>
    bool SetEnabled(T* dlg, bool on)
    {
        dlg->SendDriveEnable(on ? 1 : 0);
        return Wait([&] { return (dlg->GetEnableBit() != 0) == on; });
    }
    // The window's layout record to a file: the window's own, or only what every drive window stores.
    void StoreLayout(CGuiUpdateDlg* dlg, bool baseOnly = false)
    {
        CFile file(m_home.File("layout.bin").c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        if (baseOnly)
            dlg->CGuiUpdateDlg::SerializeLayout(ar, 1);
        else
            dlg->SerializeLayout(ar, 1);
        ar.Close();
    }
    // The stored record read back through the window.
    void LoadLayout(CGuiUpdateDlg* dlg)
    {
        CFile file(m_home.File("layout.bin").c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        dlg->SerializeLayout(ar, 1);
    }
    // Time jumps ahead for every clock of the program, the demo drive's included.
    static void JumpClock(ULONGLONG ms)
    {
        s_offset += ms;
        kvtest::SetClockOffset(s_offset);
    }
    static inline ULONGLONG s_offset = 0;
    // Outlives the windows, as the page outlives its child windows.
    StandInProcedureOwner m_owner;
};

// The model information windows read the display flags of a test "kvfact.ini"
// and the shipped "MotorInfoList.dat" from a program folder of their own.
class ModelInfoDemoTest : public ProcedureDemoTest {
protected:
    void UseConfiguration(const char* display)
    {
        const std::string program = m_home.File("program");
        std::filesystem::create_directories(program + "/Screenlist Templates");
        std::filesystem::copy_file(std::string(KV_RESOURCES) + "/Screenlist Templates/MotorInfoList.dat",
                                   program + "/Screenlist Templates/MotorInfoList.dat",
                                   std::filesystem::copy_options::overwrite_existing);
        const std::string ini = m_home.File("kvfact.ini");
        std::ofstream(ini) << "[MODEL DISPLAY]\r\nCustomerDisplay=" << display << "\r\n";
        m_services = std::make_unique<FakeGuiAppServices>(ini, program + "/");
    }
    void TearDown() override
    {
        ProcedureDemoTest::TearDown();
        m_services.reset();
    }
    std::unique_ptr<FakeGuiAppServices> m_services;
};
