// The firmware programming windows in the gallery: each with a port from a
// fake tty tree, idle and in the middle of a run (the run's reports played to
// the window, as a drive would send them).
#include <gtest/gtest.h>

#include <filesystem>

#include "GalleryWindows.h"
#include "firmware/windows/CustomerLoadFirmwareDlg.h"
#include "firmware/windows/LoadFirmwareDlg.h"
#include "platform/core/Profile.h"
#include "platform/io/SerialPortEnum.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/CustomerLoadFirmwareIds.h"
#include "testing/FakeTtyTree.h"
#include "testing/PtyPair.h"
#include "testing/TempDir.h"

namespace {

// A port list of one USB port, away from the machine's own ports.
class GalleryPorts {
public:
    GalleryPorts() : m_tree(m_dir.File("tty"))
    {
        m_tree.AddPort("ttyUSB0", m_pty.slavePath(), "USB Serial Port", true);
        CSerialPortEnumerator::SetRoots(m_tree.classFolder().c_str(), m_tree.deviceFolder().c_str());
    }
    ~GalleryPorts() { CSerialPortEnumerator::SetRoots("", ""); }
    TempDir& Dir() { return m_dir; }

private:
    TempDir m_dir;
    PtyPair m_pty;
    FakeTtyTree m_tree;
};

// The windows as they stand during a run, without a drive at the port.
template <class Dialog>
class Running : public Dialog {
public:
    void ShowRunning(bool running)
    {
        this->m_running = running ? TRUE : FALSE;
        this->m_progress.Reset();
        this->m_progress.SetTotal(12000);
        this->UpdateControls();
    }
};

// The reports of a run one third into its firmware stage.
void PlayRunReports(CFirmwareDlgBase& dialog, const char* action)
{
    dialog.ReportAction(action);
    dialog.ReportStatus("Loading Kernel for CPU1...");
    dialog.BeginProgress(3000, "Loading CPU1 kernel...");
    dialog.ReportProgress(3000, "");
    dialog.ReportStatus("CPU1 Kernel load complete.");
    dialog.ReportStatus("Loading Firmware for CPU1...");
    dialog.BeginProgress(9000, "Loading CPU1 firmware...");
    dialog.ReportProgress(3000, "");
}

}  // namespace

void ShowCustomerLoadFirmware(GalleryShots& shots)
{
    GalleryPorts ports;
    Running<CCustomerLoadFirmwareDlg> dialog;
    kvtest::OnNextModal([&](CWnd* d) {
        shots.Take(d, "idle");
        kvtest::PickItem(d->GetDlgItem(IDC_CFW_PORT), 0);
        d->SetDlgItemText(IDC_CFW_PART_VALUE, " QX-100");
        d->SetDlgItemText(IDC_CFW_PROCESSOR_VALUE, " F28M36:CPU1,CM");
        dialog.ShowRunning(true);
        PlayRunReports(dialog, "Upgrading FW for drive: QX-100.");
        shots.Take(d, "running");
        dialog.ShowRunning(false);
        kvtest::CloseWindow(d);
    });
    dialog.DoModal();
}

void ShowLoadFirmware(GalleryShots& shots)
{
    GalleryPorts ports;
    TempDir& dir = ports.Dir();
    std::filesystem::create_directories(dir.File("prog/FactoryFlashUpdateSupportFiles"));
    dir.Write("prog/FactoryFlashUpdateSupportFiles/k1.txt", "k");
    dir.Write("prog/FactoryFlashUpdateSupportFiles/kcm.txt", "k");
    dir.Write("cpu1.txt", "f");
    dir.Write("cm.txt", "f");
    dir.Write("flash_updates.ini", "[General Settings]\nALLOW_FILE_SELECT=YES\n"
                                   "[TI/F28M36]\nKERNEL_CPU1=k1.txt\nKERNEL_CM=kcm.txt\n"
                                   "[41100]\nPROCESSOR_TYPE=F28M36\nCPU1=+" + dir.File("cpu1.txt") +
                                       "\nCM=+" + dir.File("cm.txt") + "\n");
    AfxWriteProfileString(CLoadFirmwareDlg::kProfileSection, CLoadFirmwareDlg::kProfileEntry,
                          dir.File("flash_updates.ini").c_str());
    Running<CLoadFirmwareDlg> dialog;
    dialog.m_programFolder = (dir.path() + "/prog/").c_str();
    dialog.m_partNumber = "41100";
    dialog.m_portName = (dir.File("tty") + "/dev/ttyUSB0").c_str();
    kvtest::OnNextModal([&](CWnd* d) {
        shots.Take(d, "part-chosen");
        dialog.ShowRunning(true);
        PlayRunReports(dialog, "Programming Flash for F28M36");
        shots.Take(d, "running");
        dialog.ShowRunning(false);
        kvtest::CloseWindow(d);
    });
    dialog.DoModal();
}
