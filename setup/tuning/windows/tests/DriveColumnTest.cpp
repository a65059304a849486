// The Drive column of the tuning windows shows what the drive holds after the
// window's own send and after another writer (the Terminal) changed a value.
#include <functional>

#include "TuningWindowFixture.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/SetupAutoManualTuningIds.h"
#include "resources/ids/SetupServoTuningIds.h"

namespace {

constexpr WORD kLoopGain = 236;
constexpr WORD kPositionGain = 7696;
constexpr WORD kResistance = CQvxGuiSetupAutoManualTuningDlg::kResistance;

class DriveColumnTest : public TuningWindowFixture {
protected:
    void SetUp() override
    {
        TuningWindowFixture::SetUp();
        // Both loops in use, so every gain field of the tuning column can be typed in; the drive
        // disabled, as the motor parameters window sends only then.
        SetModel(1, kModeWordCode, 6);
        SetModel(1, 174, 0);
        SetModel(1, kLoopGain, 8192);
        SetModel(1, kPositionGain, 100);
        SetModel(1, kResistance, 1603);
    }
    CString Shown(CWnd* window, int id)
    {
        CString text;
        window->GetDlgItemText(id, text);
        return text;
    }
    // Types into a field of the window and presses Enter there.
    static void EnterIn(CWnd* window, int id, const char* text)
    {
        CWnd* edit = window->GetDlgItem(id);
        edit->SetWindowText("");
        edit->SetFocus();
        kvtest::TypeText(edit, text);
        kvtest::PressKey(edit, VK_RETURN);
    }
public:
    // A write from another program part, as the Terminal sends it.
    void TerminalWrite(WORD code, LONG value) { m_terminal.SendCommand(1, code, value); }

    CDistMngrResponseReceiver m_terminal;
};

}  // namespace

TEST_F(DriveColumnTest, TheDriveColumnFollowsEveryWriteToTheDrive)
{
    struct Case {
        const char* window;
        int driveField;
        const char* before;
        std::function<void(DriveColumnTest&, CWnd*)> write;
        const char* after;
    };
    const Case cases[] = {
        {"SERVO_TUNING", IDC_ST_LOOP_GAIN_DRIVE, "25.00",
         [](DriveColumnTest&, CWnd* w) { EnterIn(w, IDC_ST_LOOP_GAIN, "50"); }, "50.00"},
        {"SERVO_TUNING", IDC_ST_POS_P_DRIVE, "100",
         [](DriveColumnTest&, CWnd* w) { EnterIn(w, IDC_ST_POS_P, "1234"); }, "1234"},
        {"SERVO_TUNING", IDC_ST_POS_P_DRIVE, "100",
         [](DriveColumnTest& t, CWnd*) { t.TerminalWrite(kPositionGain, 1700); }, "1700"},
        {"MOTOR_PARAMS", IDC_MP_RESISTANCE_DRIVE, "16.03",
         [](DriveColumnTest&, CWnd* w) {
             w->SetDlgItemText(IDC_MP_RESISTANCE, "12.5");
             AfxQueueScriptedAnswer(IDOK);
             kvtest::Click(w->GetDlgItem(IDC_MP_SEND));
         },
         "12.50"},
        {"MOTOR_PARAMS", IDC_MP_RESISTANCE_DRIVE, "16.03",
         [](DriveColumnTest& t, CWnd*) { t.TerminalWrite(kResistance, 900); }, "9.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.window << " field " << c.driveField << " to " << c.after);
        SetModel(1, kLoopGain, 8192);
        SetModel(1, kPositionGain, 100);
        SetModel(1, kResistance, 1603);
        auto* window = Open<CGuiUpdateDlg>(c.window);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(Until([&] { return Shown(window, c.driveField) == c.before; })) << Shown(window, c.driveField);
        c.write(*this, window);
        EXPECT_TRUE(Until([&] { return Shown(window, c.driveField) == c.after; })) << Shown(window, c.driveField);
        window->SendMessage(WM_CLOSE);
        ASSERT_TRUE(Until([&] { return m_frame.m_list.IsEmpty(); }));
        AfxTakeScriptedMessageLog();
    }
}
