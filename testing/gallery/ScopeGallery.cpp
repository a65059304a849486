// The oscilloscope in the gallery: live sines of the demo drive, the same in
// the white print scheme, and its settings sheet.
#include <gtest/gtest.h>

#include "DemoLibraryDrives.h"
#include "GalleryWindows.h"
#include "comm/protocol/AmpCommand.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "platform/ui/WinApp.h"
#include "scope/ScopeDriveServices.h"
#include "scope/windows/QvxScopeDlg.h"
#include "scope/windows/ScopeSettingSheet.h"
#include "testing/DemoEngine.h"

namespace {
class GalleryScopeServices : public CScopeDriveServices {
public:
    explicit GalleryScopeServices(TestAppServices& app) : m_app(app) {}
    bool IsDriveConnected(int address) override
    {
        for (const CAmplifierData& drive : m_app.Connected())
            if (drive.m_address == address)
                return true;
        return false;
    }
    bool GetConversionParameter(int, int id, double& value) override
    {
        value = id == 6 ? 21.0 : 1.0;
        return true;
    }
    bool HasConversionParameter(int, int) override { return true; }
    void ShowMessage(const char*) override {}
    CString GetFactorySettingsPath() override { return "kvfact.ini"; }

private:
    TestAppServices& m_app;
};
}  // namespace

void ShowScope(GalleryShots& shots)
{
    DemoEngine engine;
    engine.Open();
    LoadDemoLibraryDrives();
    CDistMngrResponseReceiver enabler;
    enabler.SendCommand(1, static_cast<WORD>(MnemonicToCode("EN")), 1);
    GalleryScopeServices services(engine.m_app);
    {
        CQvxScopeDlg scope(&services);
        scope.SetDataFolder(engine.m_home.path().c_str());
        const char* commands[] = {"SVC", "PSC", "SIC"};
        for (int i = 0; i < 3; ++i) {
            CScopeSourceData* source = scope.m_sources.AddNew();
            source->AmpAddr = 1;
            source->Command = commands[i];
            source->Description = commands[i];
            source->UnitsCode = 0;
            source->Enabled = 1;
            scope.m_traces[i].YSourceID = source->SourceID;
            scope.m_traces[i].Enabled = 1;
            scope.m_traces[i].WidthIndex = 1;
            scope.m_traces[i].Color = CScopeTraceDataArray::DefaultColor(i);
        }
        scope.m_showPlotKey = 1;
        ASSERT_EQ(scope.ShowScope(TRUE, ""), 1);
        scope.SetYRange(-120000, 120000);
        double a, b, c, d;
        EXPECT_TRUE(AfxPumpMessagesUntil([&] { return scope.GetTraceMinMax(0, a, b, c, d) && b > 3.0; }, 15000));
        shots.Take(&scope, "live sines");
        scope.BeginImageCapture(0, 0, 0, 0, 1);
        shots.Take(&scope, "print scheme");
        scope.EndImageCapture();
        CScopeSettingSheet::OnNextOpen([&](CScopeSettingSheet& sheet) {
            shots.Take(&sheet, "settings general");
            sheet.SendMessage(PSM_SETCURSEL, 2, 0);
            shots.Take(&sheet, "settings record triggers");
            sheet.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        scope.OnSettings();
        scope.StopMonitoring();
        scope.DestroyWindow();
    }
    enabler.CancelAllQueries();
    engine.Close();
}
