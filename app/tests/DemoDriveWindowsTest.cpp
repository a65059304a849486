// The demo as a new user meets it: every setup and status window of both demo
// drives, opened from the menus after "&Demo", shows what a small real servo
// system could hold, and the motor windows take their values without warnings.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "AppTestFixture.h"
#include "framework/GuiUpdateItem.h"
#include "framework/GuiUpdateList.h"
#include "framework/GuiUpdatePropSheet.h"
#include "platform/core/Profile.h"
#include "platform/ui/ListCtrl.h"
#include "platform/ui/TabCtrl.h"
#include "resources/ids/ControlPanelIds.h"
#include "resources/ids/ControlSignalsIds.h"
#include "resources/ids/SetupAutoManualTuningIds.h"
#include "testing/WindowShot.h"

namespace {

constexpr int kKreln = 1, kTavro = 2;

struct DemoWindow {
    int drive;
    const char* menu;
    const char* className;
};

const DemoWindow kWindows[] = {
    {kKreln, "&Setup|Motor &Parameters...", "CQvxGuiSetupAutoManualTuningDlg"},
    {kKreln, "&Setup|Motor &Safety...", "CQvxGuiMotorSafetyDlg"},
    {kKreln, "&Setup|Servo T&uning...", "CQvxGuiSetupServoTuningDlg"},
    {kKreln, "&Setup|&Filters...", "CQvxGuiSetupFilters"},
    {kKreln, "&Setup|&Trajectory Generator...", "CQvxGuiTrajectoryGen"},
    {kKreln, "&Setup|&Control Panel", "CQvxGuiCPanelDlg"},
    {kKreln, "&Setup|&Model Info", "CQvxGuiModelInfoListDlg"},
    {kKreln, "&Setup|Kreln Drive|C&ommutation...", "CQvxGuiCommutat"},
    {kKreln, "&Setup|Kreln Drive|Select &Mode...", "QvxGuiSetupMode2"},
    {kKreln, "&Setup|Kreln Drive|&Gearing/Encoders...", "CQvxGuiGcodeEncodersDlg"},
    {kKreln, "&Setup|Kreln Drive|&Analog I/O...", "CQvxSetupAnalogIoDlg"},
    {kKreln, "&Setup|Kreln Drive|&Digital I/O...", "CQvxGuiSetupDigitalIoDlg"},
    {kKreln, "&Status|&Control Loop Signals...", "CQvxGuiStatusControlSignalDlg2"},
    {kKreln, "&Status|Last Drive Fault Status...", "CQvxLastFaultsLampDlg"},
    {kKreln, "&Status|Kreln Drive|Drive Status...", "CQvxStatusLampsDlg"},
    {kTavro, "&Setup|Motor &Parameters...", "CQvxGuiSetupAutoManualTuningDlg"},
    {kTavro, "&Setup|Motor &Safety...", "CQvxGuiMotorSafetyDlg"},
    {kTavro, "&Setup|Servo T&uning...", "CQvxGuiSetupServoTuningDlg"},
    {kTavro, "&Setup|&Filters...", "CQvxGuiSetupFilters"},
    {kTavro, "&Setup|&Trajectory Generator...", "CQvxGuiTrajectoryGen"},
    {kTavro, "&Setup|&Control Panel", "CQvxGuiCPanelDlg"},
    {kTavro, "&Setup|&Model Info", "CQvxGuiModelInfoListDlg"},
    {kTavro, "&Setup|Tavro Drive|Commutation...", "CQvxGuiTavroCommutationSheet"},
    {kTavro, "&Setup|Tavro Drive|Drive Mode...", "CQvxGuiAmpModeSettingsSheet"},
    {kTavro, "&Setup|Tavro Drive|Setup Digital Inputs...", "CQvxGuiSetupTavroDigitalInputDlg"},
    {kTavro, "&Setup|Tavro Drive|Setup Digital Outputs...", "CQvxGuiSetupTavroDigitalOutputDlg"},
    {kTavro, "&Setup|Tavro Drive|Setup Analog Outputs...", "CQvxGuiTavroAnalogOutputDlg"},
    {kTavro, "&Status|&Control Loop Signals...", "CQvxGuiStatusControlSignalDlg2"},
    {kTavro, "&Status|Last Drive Fault Status...", "CQvxLastFaultsLampDlg"},
    {kTavro, "&Status|Tavro Drive|Drive Status...", "CQvxTavroStatusLampsDlg"},
    {kTavro, "&Status|Tavro Drive|Digital Inputs Status...", "CQvxGuiTavroGeneralDigitalInputsDlg"},
    {kTavro, "&Status|Tavro Drive|Motor and Other Status...", "CQvxGuiTavroDedicatedDigitalInputsDlg"},
};

// Every text the window shows: its visible controls and each cell of its lists.
void CollectTexts(CWnd* window, std::vector<std::string>& texts)
{
    for (CWnd* child = window->GetWindow(GW_CHILD); child; child = child->GetWindow(GW_HWNDNEXT)) {
        if (!child->IsWindowVisible())
            continue;
        if (auto* list = dynamic_cast<CListCtrl*>(child)) {
            for (int row = 0; row < list->GetItemCount(); ++row)
                for (int column = 0; column < list->GetColumnCount(); ++column)
                    texts.emplace_back(list->GetItemText(row, column).GetString());
        } else {
            CString text;
            child->GetWindowText(text);
            texts.emplace_back(text.GetString());
        }
        CollectTexts(child, texts);
    }
}

// What no drive could show: a conversion's failure word, nan or inf, or a
// number no 16- or 32-bit register converted to engineering units reaches.
std::string ImplausibleText(const std::vector<std::string>& texts)
{
    static const std::regex failure(R"(ERROR|Invalid|Unavailable)");
    static const std::regex notANumber(R"(\b(nan|inf)\b)", std::regex::icase);
    static const std::regex number(R"([-+]?\d+(\.\d+)?([eE][-+]?\d+)?)");
    for (const std::string& text : texts) {
        if (std::regex_search(text, failure) || std::regex_search(text, notANumber))
            return text;
        for (std::sregex_iterator it(text.begin(), text.end(), number), end; it != end; ++it)
            if (std::fabs(std::stod(it->str())) >= 1e8)
                return text;
    }
    return {};
}

// What the labelled fields of a small servo system can read: the values right
// after a label (its Working and Drive columns) must lie in the range.
struct FieldRange {
    const char* label;
    double low, high;
};
const FieldRange kFieldRanges[] = {
    {"Motor Resistance (ohms):", 0.01, 100},
    {"Motor Inductance (mH):", 0.01, 1000},
    {"Nominal DC Bus (volts):", 12, 800},
    {"Current Loop Bandwidth (Hz):", 100, 5000},
    {"Current Limit (amps):", 0.1, 500},
    {"Overspeed threshold (rpm):", 10, 20000},
    {"Velocity Limit (rpm):", 10, 20000},
    {"Actual Velocity (rpm):", -20000, 20000},
    {"Proportional Gain:", 0, 32767},
    {"Integral Gain:", 0, 32767},
    {"Number of Poles:", 2, 100},
    {"Number of Poles", 2, 100},
    {"Phase Lead (deg/krpm):", -15, 15},
    {"Phase Lead (deg/krpm)", -15, 15},
    {"Thermal time constant (sec):", 1, 10000},
};

std::string FieldOutOfRange(const std::vector<std::string>& texts)
{
    for (size_t i = 0; i < texts.size(); ++i)
        for (const FieldRange& range : kFieldRanges) {
            if (texts[i] != range.label)
                continue;
            for (size_t j = i + 1; j < texts.size() && j <= i + 2; ++j) {
                std::string digits = texts[j];
                digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
                char* end = nullptr;
                const double value = std::strtod(digits.c_str(), &end);
                if (digits.empty() || *end != '\0')
                    continue;
                if (value < range.low || value > range.high)
                    return texts[i] + " " + texts[j];
            }
        }
    return {};
}

class DemoDriveWindowsTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
        ASSERT_EQ(std::vector<CString>{"DEMO Communications active."}, Messages()) << "the demo library was restored";
    }
    void TearDown() override
    {
        if (Frame())
            kvtest::ChooseMenuItem(Frame(), "&File|&Close");
        AppFixture::TearDown();
    }

    CGuiUpdateItem* Open(const DemoWindow& window)
    {
        AfxWriteProfileInt("GENERAL", "DFLTDRV", window.drive);
        if (!kvtest::ChooseMenuItem(Frame(), window.menu))
            return nullptr;
        CGuiUpdateItem* item = nullptr;
        Wait([&] { return (item = Frame()->GetUpdateList()->FindItem(window.className, window.drive)) != nullptr; });
        return item;
    }

    // The window has read the drive: its query stages are done and what it
    // shows has not changed for a few of its polling periods.
    std::vector<std::string> SettledTexts(CGuiUpdateItem* item)
    {
        using Clock = std::chrono::steady_clock;
        std::vector<std::string> last;
        Clock::time_point changed = Clock::now();
        Wait([&] {
            std::vector<std::string> now;
            CollectTexts(item->GetWnd(), now);
            if (now != last || !item->AreStagesDone())
                changed = Clock::now();
            last = std::move(now);
            return Clock::now() - changed > std::chrono::milliseconds(2000);
        }, 30000);
        return last;
    }
};

}  // namespace

TEST_F(DemoDriveWindowsTest, EverySetupAndStatusWindowShowsPlausibleValues)
{
    for (const DemoWindow& window : kWindows) {
        SCOPED_TRACE(std::string(window.menu) + " on drive " + std::to_string(window.drive));
        CGuiUpdateItem* item = Open(window);
        ASSERT_NE(item, nullptr);
        std::vector<std::string> texts = SettledTexts(item);
        Screenshot(item->GetWnd(), ("demo-" + std::to_string(window.drive) + "-" + window.className).c_str());
        // A sheet shows one page at a time: each of its tabs, as a user clicks them.
        auto* sheet = dynamic_cast<CGuiUpdatePropSheet*>(item);
        CTabCtrl* tabs = sheet ? sheet->GetTabControl() : nullptr;
        for (int page = 1; tabs && page < tabs->GetItemCount(); ++page) {
            CRect tab;
            tabs->GetItemRect(page, &tab);
            kvtest::ClickAt(tabs, tab.CenterPoint());
            ASSERT_TRUE(Wait([&] { return sheet->GetActiveIndex() == page; })) << "tab " << page;
            const std::vector<std::string> shown = SettledTexts(item);
            texts.insert(texts.end(), shown.begin(), shown.end());
        }
        std::string all;
        for (const std::string& text : texts)
            all += text + " | ";
        EXPECT_EQ(ImplausibleText(texts), "") << all;
        EXPECT_EQ(FieldOutOfRange(texts), "") << all;
        ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Window|Close All Setup Windows"));
        ASSERT_TRUE(Wait([&] { return !Frame()->GetUpdateList()->Contains(item); }));
        Messages();
    }
}

TEST_F(DemoDriveWindowsTest, MotorParametersSentUnchangedAskNoStabilityQuestion)
{
    for (int drive : {kKreln, kTavro}) {
        SCOPED_TRACE(drive);
        CGuiUpdateItem* item = Open({drive, "&Setup|Motor &Parameters...", "CQvxGuiSetupAutoManualTuningDlg"});
        ASSERT_NE(item, nullptr);
        SettledTexts(item);
        Messages();
        kvtest::Click(item->GetWnd()->GetDlgItem(IDC_MP_SEND));
        const std::vector<CString> asked = Messages();
        ASSERT_FALSE(asked.empty());
        for (const CString& text : asked)
            EXPECT_EQ(text.Find("unstable"), -1) << text.GetString();
        ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Window|Close All Setup Windows"));
        ASSERT_TRUE(Wait([&] { return !Frame()->GetUpdateList()->Contains(item); }));
    }
}

TEST_F(DemoDriveWindowsTest, AnEnabledKrelnShowsItsVelocityInThousandsOfRpm)
{
    CGuiUpdateItem* panel = Open({kKreln, "&Setup|&Control Panel", "CQvxGuiCPanelDlg"});
    ASSERT_NE(panel, nullptr);
    SettledTexts(panel);
    kvtest::Click(panel->GetWnd()->GetDlgItem(IDC_CPANEL_ENABLE));
    ASSERT_TRUE(Wait([&] { return panel->GetEnableBit() != 0; })) << "the panel enabled the drive";
    Messages();

    CGuiUpdateItem* signals = Open({kKreln, "&Status|&Control Loop Signals...", "CQvxGuiStatusControlSignalDlg2"});
    ASSERT_NE(signals, nullptr);
    double fastest = 0;
    std::vector<double> seen;
    ASSERT_TRUE(Wait([&] {
        CString text;
        signals->GetWnd()->GetDlgItemText(IDC_SIGNALS_VELOCITY_MEAS, text);
        if (text.IsEmpty())
            return false;
        const double rpm = atof(text);
        fastest = std::max(fastest, std::fabs(rpm));
        if (seen.empty() || seen.back() != rpm)
            seen.push_back(rpm);
        return seen.size() >= 5;
    }, 20000)) << "the measured velocity moves";
    EXPECT_GT(fastest, 10.0);
    EXPECT_LT(fastest, 5000.0);
}

TEST_F(DemoDriveWindowsTest, TheProfileGeneratorOpensForEitherDemoDrive)
{
    for (int drive : {kKreln, kTavro}) {
        SCOPED_TRACE(drive);
        AfxWriteProfileInt("GENERAL", "DFLTDRV", drive);
        ASSERT_TRUE(Wait([&] { return kvtest::MenuItemState(Frame(), "&Tools|Profile Generator") == 1; }))
            << "the drive reports the hardware feature the generator needs";
        CGuiUpdateItem* item = Open({drive, "&Tools|Profile Generator", "CQvxGuiMoveBuilderDlg"});
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Window|Close All Setup Windows"));
        ASSERT_TRUE(Wait([&] { return !Frame()->GetUpdateList()->Contains(item); }));
        Messages();
    }
}
