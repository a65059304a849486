// One GUI update tick of a drive window with 100 register-bound edits and a
// 100-row drive-settings list, polling on the demo link.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "TestFrame.h"
#include "TestListEngine.h"
#include "comm/link/CommManager.h"
#include "comm/protocol/AmpCommand.h"
#include "distribution/CommManagerLink.h"
#include "distribution/DistManager.h"
#include "framework/GuiUpdateDlg.h"
#include "framework/GuiUpdateDlgIdMap.h"
#include "framework/QvxGuiEditCtrl.h"
#include "framework/QvxGuiUpdateList.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/WinApp.h"
#include "testing/DemoPortFactory.h"
#include "testing/TempDir.h"
#include "testing/TestAppServices.h"

namespace {

constexpr int kEdits = 100;
constexpr int kRows = 100;
constexpr UINT kBenchTemplateId = 9400;
const char* const kRegisters[] = {"MAA", "MCC", "AMC", "DDE", "SMT", "REF", "ITC", "SAP", "CCT", "DDA"};

class CBenchDlg : public CGuiUpdateDlg {
    DECLARE_DYNCREATE(CBenchDlg)

public:
    CBenchDlg() : CGuiUpdateDlg(kBenchTemplateId) {}
    BOOL OnInitDialog() override
    {
        CGuiUpdateDlg::OnInitDialog();
        SetRestorePlacement(0);
        for (int i = 0; i < kEdits; ++i) {
            m_edits[i].SubclassDlgItem(10000 + i, this);
            const WORD code = static_cast<WORD>(MnemonicToCode(kRegisters[i % 10]));
            m_edits[i].SetWriteRegister(code);
            m_edits[i].SetPollRegister(code, 100, 0);
            m_controls.AddControl(&m_edits[i], 1);
        }
        m_list.SubclassDlgItem(11000, this);
        CString definition;
        for (int i = 0; i < kRows; ++i) {
            CString row;
            row.Format("!EXTPROC:ADD:Row %d\\{%s}\\%s {_X}\n", i, kRegisters[i % 10], kRegisters[i % 10]);
            definition += row;
        }
        m_list.SetDefinition(definition);
        m_controls.AddControl(&m_list, 2);
        return TRUE;
    }
    CQvxGuiEditCtrl m_edits[kEdits];
    CQvxGuiUpdateList m_list;
};
IMPLEMENT_DYNCREATE(CBenchDlg, CGuiUpdateDlg)

CString BenchTemplate()
{
    CString text = "DIALOG 9400 0 0 640 480 \"Bench\"\nFONT 8 \"MS Sans Serif\"\n";
    for (int i = 0; i < kEdits; ++i) {
        CString line;
        line.Format("EDITTEXT %d %d %d 60 12 \"\" AUTOHSCROLL\n", 10000 + i, 5 + (i % 5) * 65, 5 + (i / 5) * 14);
        text += line;
    }
    text += "LISTVIEW 11000 340 5 290 460 \"\" FULLROWSELECT\nEND\n";
    return text;
}

void BM_UpdateTickWith100EditsAnd100Rows(benchmark::State& state)
{
    TempDir home;
    TestListEngineScope engines;
    TestAppServices app;
    app.m_iniPath = home.File("kvsettings.ini");
    app.m_assignments = {{1, "Kreln"}, {2, "Tavro"}};
    DemoPortFactory factory;
    CCommManager comm;
    CCommManagerLink link{comm};
    CDistManager dist{&link};
    TestFrame frame;
    comm.SetPortFactory(&factory);
    if (comm.OpenDemoCommunications() != 1) {
        state.SkipWithError("the demo link did not open");
        return;
    }
    CDistManager::Install(&dist);
    dist.Start();
    AfxRegisterDialogTemplates(BenchTemplate());
    frame.m_registry.RegisterGui("BENCH", RUNTIME_CLASS(CBenchDlg), kFamilyKreln | kFamilyTavro, 0);
    frame.m_list.SetInteractive(0);
    auto* window = static_cast<CBenchDlg*>(frame.m_registry.CreateGui("BENCH", nullptr, 1));
    if (!window) {
        state.SkipWithError("the window did not open");
        return;
    }
    // Let the rows build and the first replies come in.
    AfxPumpMessagesUntil(
        [&] {
            frame.m_list.UpdateAll();
            return window->m_list.GetItemCount() == kRows && window->m_list.CReportCtrl::GetItemText(kRows - 1, 1) != "Waiting...";
        },
        10000);
    for (auto _ : state) {
        frame.m_list.UpdateAll();
        state.PauseTiming();
        AfxPumpMessagesUntil([] { return false; }, 100);
        state.ResumeTiming();
    }
    state.counters["rows"] = window->m_list.GetItemCount();
    state.counters["last_row_polled"] = window->m_list.CReportCtrl::GetItemText(kRows - 1, 1) != "Waiting...";
    frame.DestroyAllWindows();
    dist.Stop();
    CDistManager::Install(nullptr);
    comm.CloseCommunications();
    AfxTakeScriptedMessageLog();
}
BENCHMARK(BM_UpdateTickWith100EditsAnd100Rows)->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    AfxWinInit();
    AfxSetScriptedMode(TRUE);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    AfxWinTerm();
    return 0;
}
