// The oscilloscope window on the demo link, used as a user would: monitoring
// shows the drive's signals, a recording is saved and played back, and the
// controls change the plot's ranges.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "ScopeWindowFixture.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/SingleLock.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Menu.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/QvxScopeIds.h"
#include "resources/ids/SetPlotRangeIds.h"
#include "testing/WindowShot.h"

namespace {

TEST_F(ScopeWindowTest, MonitoringPlotsTheDrivesSignalsAndShowsItsState)
{
    EnableDrive1();
    Assign(0, 1, "SVC");
    Assign(1, 1, "PSC");
    Assign(2, 2, "SIC");
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    EXPECT_TRUE(m_scope.IsWindowVisible());
    EXPECT_EQ(Mode(), CScopeSampler::kMonitoring);
    m_scope.SetYRange(-120000, 120000);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return TraceHasPoints(0) && TraceHasPoints(1) && TraceHasPoints(2); },
                                     10000));
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Text(IDC_SCOPE_STATUS) == " Monitoring..."; }, 5000));
    EXPECT_EQ(Text(IDC_SCOPE_STATUS_CAPTION), "Scope status:");
    EXPECT_EQ(Text(IDC_SCOPE_RECORD), "Record");
    EXPECT_EQ(Text(IDC_SCOPE_PAUSE), "Pause");
    EXPECT_EQ(Text(IDC_SCOPE_RECORD_TIME), " N/A");
    EXPECT_EQ(Text(IDC_SCOPE_RANGE_CAPTION), "Time range:");
    // Drive 1 moves: SVC is a sine of amplitude 100000.
    double x0, x1, y0, y1;
    ASSERT_TRUE(AfxPumpMessagesUntil(
        [&] { return m_scope.GetTraceMinMax(0, x0, x1, y0, y1) && y1 - y0 > 1000; }, 10000));
    EXPECT_LE(y1, 100000);
    EXPECT_GE(y0, -100000);
    AfxPumpMessagesUntil([] { return false; }, 300);
    Screenshot(&m_scope, "scope-monitoring");

    // Hiding stops every timer and the sampler; showing again starts them.
    m_scope.ShowScope(FALSE, nullptr);
    EXPECT_FALSE(m_scope.IsWindowVisible());
    EXPECT_EQ(m_scope.GetSamplerState(), CScopeSampler::kSamplerStopped);
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return Text(IDC_SCOPE_STATUS) == " Monitoring..."; }, 10000));
}

TEST_F(ScopeWindowTest, ARecordingIsSavedAndPlayedBack)
{
    EnableDrive1();
    Assign(0, 1, "SVC");
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return TraceHasPoints(0); }, 10000));

    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_RECORD));
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Mode() == CScopeSampler::kRecording; }, 5000));
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Text(IDC_SCOPE_STATUS_CAPTION) == "Playback time:"; }, 5000));
    EXPECT_EQ(Text(IDC_SCOPE_RECORD), "Stop && Save");
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return m_scope.m_recordingClock.GetElapsedSeconds() > 1.2; }, 10000));
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return TraceHasPoints(0); }, 5000)) << "drawn back from the recording";
    EXPECT_NE(Text(IDC_SCOPE_RECORD_TIME), " N/A");

    // Stop && Save: "Save recording?" Yes, then the file dialog.
    const std::string saved = m_engine.m_home.File("run.qsd");
    AfxTakeScriptedMessageLog();
    AfxQueueScriptedAnswer(IDYES);
    kvtest::QueueFileDialogAnswer(saved.c_str());
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_RECORD));
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Mode() == CScopeSampler::kMonitoring; }, 10000));
    const std::vector<CString> boxes = AfxTakeScriptedMessageLog();
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_NE(boxes[0].Find("Save recording?"), -1) << boxes[0];
    EXPECT_NE(boxes[1].Find("Scope data successfully saved."), -1) << boxes[1];
    ASSERT_TRUE(std::filesystem::exists(saved));

    // Load File plays it back.
    kvtest::QueueFileDialogAnswer(saved.c_str());
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_LOAD_FILE));
    EXPECT_EQ(Mode(), CScopeSampler::kPlayback);
    double first = 0, last = 0;
    ASSERT_TRUE(m_scope.m_recording.GetTimeSpan(first, last));
    EXPECT_GT(last - first, 1.0);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return TraceHasPoints(0); }, 10000)) << "played back";
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Text(IDC_SCOPE_STATUS_CAPTION) == "Playback time:"; }, 5000));
    // Playback reaches the end and pauses; Pause then reads Resume.
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return m_scope.GetPauseRequest() == 2; }, 15000));
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Text(IDC_SCOPE_PAUSE) == "Resume"; }, 5000));
    // Seeking with the slider moves the display clock to that share of the recording.
    kvtest::DragSlider(m_scope.GetSlider(), 500);
    EXPECT_NEAR(m_scope.m_displayClock.GetElapsedSeconds(), first + (last - first) / 2, 0.05);

    // Export needs playback: here it runs and writes the CSV.
    const std::string csv = m_engine.m_home.File("run.csv");
    kvtest::QueueFileDialogAnswer(csv.c_str());
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_EXPORT_CSV));
    EXPECT_TRUE(std::filesystem::exists(csv));

    // Monitor leaves playback with the window's own settings, and the end of
    // the playback does not hold the live sweep.
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return m_scope.GetPauseRequest() == 2; }, 15000));
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_MONITOR));
    EXPECT_EQ(Mode(), CScopeSampler::kMonitoring);
    EXPECT_EQ(m_scope.GetPauseRequest(), 0);
    EXPECT_TRUE(AfxPumpMessagesUntil(
        [&] { return Text(IDC_SCOPE_STATUS) == " Monitoring..." && Text(IDC_SCOPE_PAUSE) == "Pause"; }, 10000));
    AfxTakeScriptedMessageLog();
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_EXPORT_CSV));
    const std::vector<CString> refused = AfxTakeScriptedMessageLog();
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_NE(refused[0].Find("You must load a playback file before you can export."), -1);
}

TEST_F(ScopeWindowTest, ADamagedFileIsRefusedAndNothingChanges)
{
    EnableDrive1();
    Assign(0, 1, "SVC");
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    const std::string bad = m_engine.m_home.File("bad.qsd");
    m_engine.m_home.Write("bad.qsd", std::string(40, '\x01'));
    kvtest::QueueFileDialogAnswer(bad.c_str());
    AfxTakeScriptedMessageLog();
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_LOAD_FILE));
    const std::vector<CString> boxes = AfxTakeScriptedMessageLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].Find("File error.  Could not open scope data."), -1);
    EXPECT_EQ(Mode(), CScopeSampler::kMonitoring);
    // Monitoring goes on: new samples still arrive.
    auto latest = [&] {
        CSingleLock lock(&m_scope.m_scopeLock, TRUE);
        return m_scope.m_latestDataTime;
    };
    const double before = latest();
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return latest() > before + 0.2; }, 10000));
}

TEST_F(ScopeWindowTest, PauseFreezesTheSweepAtItsRightEdgeAndRestartClears)
{
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_PAUSE));
    EXPECT_EQ(m_scope.GetPauseRequest(), 1);
    EXPECT_EQ(Text(IDC_SCOPE_PAUSE), "Restart");
    // The sweep reaches the right edge.
    m_scope.m_displayClock.Restart(m_scope.m_dXMax + 0.5);
    EXPECT_DOUBLE_EQ(m_scope.TZCB_GetPlotTime(), m_scope.m_dXMax - 0.001);
    EXPECT_EQ(m_scope.GetPauseRequest(), 2);
    EXPECT_EQ(m_scope.m_monitoringState, 2);
    EXPECT_DOUBLE_EQ(m_scope.TZCB_GetPlotTime(), m_scope.m_dXMax - 0.001) << "frozen";
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_PAUSE));
    EXPECT_EQ(m_scope.GetPauseRequest(), 0);
    EXPECT_EQ(m_scope.m_monitoringState, 0) << "a new sweep waits for its first sample";
    EXPECT_EQ(Text(IDC_SCOPE_PAUSE), "Pause");
}

TEST_F(ScopeWindowTest, AMonitoringScopeRepaintsForNewSamplesOnly)
{
    EnableDrive1();
    Assign(0, 1, "SVC");
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Text(IDC_SCOPE_STATUS) == " Monitoring..."; }, 10000));
    m_scope.paints = 0;
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return m_scope.paints >= 3; }, 5000)) << "the sweep moves on";

    // Paused at the right edge no sample is plotted and nothing moves.
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_PAUSE));
    m_scope.m_displayClock.Restart(m_scope.m_dXMax + 0.5);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Text(IDC_SCOPE_STATUS) == " Paused..."; }, 5000));
    AfxPumpMessagesUntil([] { return false; }, 300);
    m_scope.paints = 0;
    AfxPumpMessagesUntil([] { return false; }, 1000);
    EXPECT_EQ(m_scope.paints, 0) << "no repaint of an unchanged plot";

    // Restart: a new sweep shows the new samples.
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_PAUSE));
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return m_scope.paints >= 3 && TraceHasPoints(0); }, 5000));
}

TEST_F(ScopeWindowTest, RecordButtonTextFollowsTheRecordState)
{
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    const struct {
        int startTrigger;
        int state;
        const char* text;
    } cases[] = {{0, 0, "Record"},        {1, 0, "Enable Recording"}, {1, 1, "Cancel Record"},
                 {1, 2, "Cancel Record"}, {0, 3, "Stop && Save"},     {0, 4, "Stop && Save"}};
    m_scope.StopMonitoring();  // timer 4 would act on the states
    for (const auto& c : cases) {
        m_scope.m_recordStartTrigger = c.startTrigger;
        m_scope.m_recordState = c.state;
        m_scope.UpdateTexts();
        EXPECT_EQ(Text(IDC_SCOPE_RECORD), c.text) << c.startTrigger << " " << c.state;
    }
    m_scope.m_recordState = 0;
}

TEST(ScopeTimeText, FormatsByTimeFormat)
{
    const struct {
        double seconds;
        int format;
        const char* text;
    } cases[] = {{0.0, 0, "0.00"},          {12.345, 0, "12.35"},        {75.5, 1, "01:15.50"},
                 {3600 * 2 + 61.25, 2, "02:01:01.25"}, {3600.0 * 123 + 1, 2, "23:00:01.00"},
                 {3599.999, 1, "59:59.99"}};
    for (const auto& c : cases)
        EXPECT_EQ(CQvxScopeDlg::FormatTime(c.seconds, c.format), c.text) << c.seconds << " " << c.format;
}

TEST(ScopeScaleStep, ChoosesTheFirstStepUnderTheDivisionLimit)
{
    const struct {
        double span;
        double limit;
        double step;
        int minor;
        int decimals;
    } cases[] = {{10.0, 8, 2.0, 4, 0}, {10.0, 12, 1.0, 5, 0}, {1.0, 6, 0.2, 4, 1},
                 {200000, 10, 50000, 5, 0}, {0.0003, 4, 0.0001, 5, 4}, {100, 3, 50, 5, 0}};
    for (const auto& c : cases) {
        int minor = 0, decimals = 0;
        EXPECT_NEAR(CQvxScopeDlg::ScaleStep(c.span, c.limit, minor, decimals), c.step, c.step * 1e-9) << c.span;
        EXPECT_EQ(minor, c.minor) << c.span;
        EXPECT_EQ(decimals, c.decimals) << c.span;
    }
}

TEST_F(ScopeWindowTest, RangeSettersSpinsAndDialogsKeepAWidth)
{
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    m_scope.SetYRange(1.23456, 1.23456);
    EXPECT_NEAR(m_scope.m_dYMin, 1.2345, 1e-9);
    EXPECT_NEAR(m_scope.m_dYMax, 1.2348, 1e-9) << "at least the minimum span";
    m_scope.SetYRange(-10, 10);
    m_scope.ZoomY(1);
    EXPECT_DOUBLE_EQ(m_scope.m_dYMin, -5);
    EXPECT_DOUBLE_EQ(m_scope.m_dYMax, 5);
    m_scope.ZoomY(-1);
    EXPECT_DOUBLE_EQ(m_scope.m_dYMax - m_scope.m_dYMin, 20);

    // The Y range dialog, typed into as a user does.
    kvtest::OnNextModal([](CWnd* dialog) {
        CString caption;
        dialog->GetWindowText(caption);
        EXPECT_EQ(caption, "Set Scope Y-Axis Range");
        dialog->SetDlgItemText(IDC_PLOT_RANGE_MIN, "50");
        dialog->SetDlgItemText(IDC_PLOT_RANGE_MAX, "-50");
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_Y_SET));
    EXPECT_DOUBLE_EQ(m_scope.m_dYMin, -50) << "a minimum above the maximum is put in order";
    EXPECT_DOUBLE_EQ(m_scope.m_dYMax, 50);

    // A time range of 0 is accepted by the dialog, and the plot keeps a width.
    kvtest::OnNextModal([](CWnd* dialog) {
        dialog->SetDlgItemText(IDC_PLOT_TIME_RANGE, "0");
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_TIME_SET));
    EXPECT_NEAR(m_scope.m_dXMax - m_scope.m_dXMin, CQvxScopeDlg::kMinSpan, 1e-12);
    EXPECT_GT(m_scope.m_sweepRange, 0.0);
    m_scope.ZoomTime(0);
    EXPECT_NEAR(m_scope.m_dXMax - m_scope.m_dXMin, 2 * CQvxScopeDlg::kMinSpan, 1e-12);

    // Auto scale fits the enabled traces with 5 % margins.
    m_scope.PlotPoint(0, 0.1, 10.0);
    m_scope.PlotPoint(0, 0.2, 30.0);
    m_scope.m_traces[0].Enabled = 1;
    m_scope.AutoScale(1);
    EXPECT_NEAR(m_scope.m_dYMin, 9.0, 1e-9);
    EXPECT_NEAR(m_scope.m_dYMax, 31.0, 1e-9);
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_LOCK_AUTO_SCALE));
    EXPECT_TRUE(m_scope.IsAutoScaleLocked());
    m_scope.UpdateTexts();
    EXPECT_EQ(Text(IDC_SCOPE_LOCK_AUTO_SCALE), "Unlock Auto Scale");
}

TEST_F(ScopeWindowTest, ContextMenuListsTracesAndTogglesThem)
{
    CScopeSourceData* svc = Assign(0, 1, "SVC");
    Assign(1, 1, "PSC");
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    CMenu menu;
    m_scope.BuildContextMenu(menu);
    ASSERT_EQ(menu.GetMenuItemCount(), 4);
    CString text;
    menu.GetMenuString(0, text, MF_BYPOSITION);
    EXPECT_EQ(text, "Show Traces:");
    EXPECT_TRUE(menu.GetMenuState(ID_SCOPE_TRACE_FIRST, MF_BYCOMMAND) & MF_CHECKED);
    svc->SuspendQuery = 1;
    m_scope.OnContextCommand(ID_SCOPE_TRACE_FIRST);
    EXPECT_EQ(m_scope.m_traces[0].Enabled, 0);
    EXPECT_EQ(svc->SuspendQuery, 0);
    m_scope.OnContextCommand(ID_SCOPE_TRACE_FIRST);
    EXPECT_EQ(m_scope.m_traces[0].Enabled, 1);
}

TEST_F(ScopeWindowTest, ShiftShowsThePointAndADragMeasuresOrPans)
{
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    m_scope.SetYRange(-10, 10);
    m_scope.RedrawWindow();
    AfxPumpMessages();
    const CRect area = m_scope.m_pPlotArea->m_plotRect;
    ASSERT_GT(area.Height(), 40);
    const CPoint centre = area.CenterPoint();
    auto mouse = [&](UINT message, UINT flags, CPoint at) {
        m_scope.SendMessage(message, flags, MAKELPARAM(at.x, at.y));
    };
    mouse(WM_MOUSEMOVE, MK_SHIFT, centre);
    CString readout = Text(IDC_SCOPE_READOUT);
    EXPECT_EQ(readout.Find("t=["), 0) << readout;
    EXPECT_NE(readout.Find("Y=[0"), -1) << readout;
    EXPECT_NE(readout.Find("Y=[-0"), 0);
    mouse(WM_MOUSEMOVE, 0, centre);
    EXPECT_EQ(Text(IDC_SCOPE_READOUT), "") << "without Shift no read-out";

    // Shift and drag measures from the press point.
    mouse(WM_LBUTTONDOWN, MK_SHIFT | MK_LBUTTON, centre);
    mouse(WM_MOUSEMOVE, MK_SHIFT | MK_LBUTTON, CPoint(centre.x, area.top + area.Height() / 4));
    readout = Text(IDC_SCOPE_READOUT);
    EXPECT_EQ(readout.Find("dt=["), 0) << readout;
    const int dy = readout.Find("dY=[");
    ASSERT_NE(dy, -1) << readout.GetString();
    EXPECT_NEAR(std::atof(readout.Mid(dy + 4)), 5.0, 0.1) << readout.GetString();
    mouse(WM_LBUTTONUP, 0, centre);

    // Dragging the Y scale band pans the range.
    const CPoint band(area.left - 10, centre.y);
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, band);
    mouse(WM_MOUSEMOVE, MK_LBUTTON, CPoint(band.x, band.y + area.Height() / 2));
    mouse(WM_LBUTTONUP, 0, band);
    EXPECT_NEAR(m_scope.m_dYMin, 0, 0.5);
    EXPECT_NEAR(m_scope.m_dYMax, 20, 0.5);
    // Not while auto-scale is locked.
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_LOCK_AUTO_SCALE));
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, band);
    mouse(WM_MOUSEMOVE, MK_LBUTTON, CPoint(band.x, band.y + area.Height() / 2));
    mouse(WM_LBUTTONUP, 0, band);
    EXPECT_NEAR(m_scope.m_dYMax, 20, 0.5);
}

TEST_F(ScopeWindowTest, ADriveErrorAsksRetryOrCancelAndCancelDisablesTheTrace)
{
    Assign(0, 1, "SVC");
    Assign(1, 1, "PSC");
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    const WORD svc = static_cast<WORD>(MnemonicToCode("SVC"));
    // An error on a scope channel names the failing register byte-swapped in its value.
    CAmpResponseToGui error;
    error.m_address = 1;
    error.m_code = 0x3E61;
    error.m_value = static_cast<LONG>(static_cast<WORD>((svc >> 8) | (svc << 8)));
    error.m_error = 9;
    AfxTakeScriptedMessageLog();
    AfxQueueScriptedAnswer(IDRETRY);
    m_scope.HandleResponse(error);
    ASSERT_TRUE(AfxPumpMessagesUntil([] { return !AfxTakeScriptedMessageLog().empty(); }, 5000));
    EXPECT_EQ(m_scope.m_traces[0].Enabled, 1) << "Retry keeps the trace";

    AfxQueueScriptedAnswer(IDCANCEL);
    m_scope.HandleResponse(error);
    std::vector<CString> boxes;
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return !(boxes = AfxTakeScriptedMessageLog()).empty(); }, 5000));
    EXPECT_NE(boxes[0].Find("The following error occured:"), -1) << boxes[0].GetString();
    EXPECT_NE(boxes[0].Find("Please click 'Retry' to try again or 'Cancel' to disable trace."), -1);
    EXPECT_EQ(m_scope.m_traces[0].Enabled, 0);
    EXPECT_EQ(m_scope.m_traces[1].Enabled, 1) << "other registers keep their traces";
    EXPECT_EQ(m_scope.m_sources.GetHead()->SuspendQuery, 1);
    EXPECT_EQ(Mode(), CScopeSampler::kMonitoring) << "monitoring restarted";
}

TEST_F(ScopeWindowTest, ClosingDuringARecordingAsksToSaveAndHidesTheWindow)
{
    EnableDrive1();
    Assign(0, 1, "SVC");
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    kvtest::Click(m_scope.GetDlgItem(IDC_SCOPE_RECORD));
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Mode() == CScopeSampler::kRecording; }, 5000));
    const std::string temp = m_scope.m_recording.GetTempPath().GetString();
    AfxTakeScriptedMessageLog();
    AfxQueueScriptedAnswer(IDNO);
    kvtest::CloseWindow(&m_scope);
    const std::vector<CString> boxes = AfxTakeScriptedMessageLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].Find("Save recorded data?"), -1);
    EXPECT_FALSE(m_scope.IsWindowVisible());
    EXPECT_EQ(m_scope.GetSamplerState(), CScopeSampler::kSamplerStopped);
    EXPECT_FALSE(std::filesystem::exists(temp)) << "the recording's temporary file is gone";
    // The one window comes back on the next show.
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    EXPECT_TRUE(AfxPumpMessagesUntil([&] { return Mode() == CScopeSampler::kMonitoring; }, 5000));
}

TEST_F(ScopeWindowTest, LayoutRecordRoundTripsTheSettings)
{
    Assign(0, 1, "SVC");
    m_scope.m_yLabel = "Speed";
    ASSERT_EQ(m_scope.ShowScope(TRUE, ""), 1);
    m_scope.SetYRange(-3, 7);
    const std::string path = m_engine.m_home.File("layout.bin");
    {
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        m_scope.SerializeLayout(ar, 1);
        ar.Close();
        file.Close();
    }
    m_scope.m_yLabel = "Other";
    m_scope.SetYRange(0, 1);
    m_scope.m_sources.RemoveAllSources();
    {
        CFile file(path.c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        m_scope.SerializeLayout(ar, 1);
    }
    EXPECT_EQ(m_scope.m_yLabel, "Speed");
    EXPECT_EQ(m_scope.m_strYLabel, "Speed");
    EXPECT_DOUBLE_EQ(m_scope.m_dYMin, -3);
    EXPECT_DOUBLE_EQ(m_scope.m_dYMax, 7);
    ASSERT_EQ(m_scope.m_sources.GetCount(), 1);
    EXPECT_EQ(m_scope.m_sources.GetHead()->Command, "SVC");
    // The current settings file holds them too.
    CDIniFile stored;
    ASSERT_TRUE(stored.LoadFile(m_scope.GetSettingsPath()));
    CString label;
    stored.GetString("Scope.YLabel", label);
    EXPECT_EQ(label, "Speed");
}

}  // namespace
