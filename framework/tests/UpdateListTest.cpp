// The open-window list and its items without a link: the tick and its
// start-up stages, status words, counts, the walk, delayed messages, the
// message-box gate, queued commands, drive names and the class registry.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "SampleDriveDlg.h"
#include "TestFrame.h"
#include "testing/TestAppServices.h"
#include "platform/core/Clock.h"
#include "platform/core/MessageBox.h"
#include "platform/core/Profile.h"
#include "platform/core/SpecialFolders.h"
#include "testing/TempDir.h"

namespace {

class FakeItem : public CGuiUpdateItem {
public:
    explicit FakeItem(const char* guiName = "CFakeWindow", int drive = 1) : m_guiName(guiName) { m_drive = drive; }
    CString GetGuiName() const override { return m_guiName; }
    int PrepareQueries() override { ++m_prepares; return m_prepareResult; }
    int SubscribeStatusQueries() override { ++m_subscribes; return 1; }
    int InitialUpdate() override { ++m_initials; return 1; }
    void ProcessResponses() override { ++m_rounds; CGuiUpdateItem::ProcessResponses(); }
    void UpdateCycle() override
    {
        ++m_ticks;
        if (m_onTick)
            m_onTick(*this);
        CGuiUpdateItem::UpdateCycle();
    }
    void OnDelayedMessage(const CString& text) override { m_messages.push_back(text); }
    int GetPendingChangesState(int) override { return m_pending ? 1 : 2; }
    CString GetItemName() const override { return m_itemName; }
    int CanExit() override { ++m_exitAsked; return m_canExit; }
    void OnEnableBitChanged(int bit) override { m_changes.push_back("enable " + std::to_string(bit)); }
    void OnStatusWordChanged(int value) override { m_changes.push_back("status " + std::to_string(value)); }
    void OnFaultWordChanged(int value) override { m_changes.push_back("fault " + std::to_string(value)); }
    void OnModeWordChanged(int value) override { m_changes.push_back("mode " + std::to_string(value)); }
    void Give(WORD code, LONG value)
    {
        CAmpResponseToDistMngr response;
        response.m_code = code;
        response.m_value = value;
        OnResponse(CAmpResponseToGui(response));
    }

    CString m_guiName;
    CString m_itemName = "<NO-ITEMNAME>";
    int m_prepareResult = 1;
    int m_prepares = 0, m_subscribes = 0, m_initials = 0, m_rounds = 0, m_ticks = 0;
    int m_pending = 0, m_canExit = 1, m_exitAsked = 0;
    std::function<void(FakeItem&)> m_onTick;
    std::vector<CString> m_messages;
    std::vector<std::string> m_changes;
};

class UpdateListTest : public ::testing::Test {
protected:
    void SetUp() override { kvtest::FreezeClock(1000000); }
    void TearDown() override
    {
        kvtest::ThawClock();
        AfxTakeScriptedMessageLog();
    }
    TempDir m_home;
    TestAppServices m_app;
    TestFrame m_frame;
    CGuiUpdateList& m_list = m_frame.m_list;
};

}  // namespace

TEST_F(UpdateListTest, StartUpStagesRunOnceThenResponsesAtMostOncePerPeriod)
{
    FakeItem none("CFakeWindow", -1);
    m_list.AddItem(&none);
    FakeItem item;
    item.m_prepareResult = 0;
    m_list.AddItem(&item);

    for (int i = 0; i < 3; ++i)
        m_list.UpdateAll();
    EXPECT_EQ(none.m_prepares + none.m_subscribes + none.m_rounds, 0) << "no drive, no steps";
    EXPECT_EQ(item.m_prepares, 3) << "asked again on every tick";
    EXPECT_EQ(item.m_subscribes, 0) << "status polls wait for the queries";
    EXPECT_EQ(item.m_initials, 0);

    item.m_prepareResult = 1;
    item.Give(kStatusWordCode, 0x100);
    m_list.UpdateAll();
    EXPECT_EQ(item.m_subscribes, 1);
    EXPECT_EQ(item.m_initials, 1);
    EXPECT_EQ(item.GetEnableBit(), 1) << "queued responses are handled before the initial update";
    EXPECT_EQ(item.m_rounds, 0) << "the window's own processing is not the start-up's";

    // Period 0: every tick processes; after ResetUpdateTimer only every 0.2 s.
    m_list.UpdateAll();
    m_list.UpdateAll();
    EXPECT_EQ(item.m_rounds, 2);
    item.ResetUpdateTimer();
    EXPECT_DOUBLE_EQ(item.GetUpdatePeriod(), 0.2);
    for (int i = 0; i < 10; ++i) {
        kvtest::AdvanceClock(100);
        m_list.UpdateAll();
    }
    EXPECT_EQ(item.m_rounds, 2 + 5);

    // Restarting the stages runs them again.
    item.ResetQueryStages(1, 1, 1);
    m_list.UpdateAll();
    EXPECT_EQ(item.m_subscribes, 2);
    EXPECT_EQ(item.m_initials, 2);
    m_list.RemoveItem(&none);
    m_list.RemoveItem(&item);
}

TEST_F(UpdateListTest, StatusWordsRaiseOnlyTheirOwnChanges)
{
    FakeItem item;
    struct Step { WORD code; LONG value; std::vector<std::string> expected; };
    const Step steps[] = {
        {kStatusWordCode, 0, {}},                                  // first 0 changes nothing
        {kModeWordCode, 0, {}},
        {kStatusWordCode, 0x001, {"status 1"}},                    // bit 8 kept
        {kStatusWordCode, 0x101, {"status 257", "enable 1"}},
        {kStatusWordCode, 0x103, {"status 259"}},
        {kStatusWordCode, 0x003, {"status 3", "enable 0"}},
        {kFaultWordCode, 4, {"fault 4"}},
        {kFaultWordCode, 4, {}},
        {kModeWordCode, 7, {"mode 7"}},
        {1234, 99, {}},                                            // not a status word
    };
    for (const Step& step : steps) {
        item.m_changes.clear();
        CAmpResponseToDistMngr response;
        response.m_code = step.code;
        response.m_value = step.value;
        item.OnStatusResponse(CAmpResponseToGui(response));
        EXPECT_EQ(item.m_changes, step.expected) << "code " << step.code << " value " << step.value;
    }
    EXPECT_EQ(item.GetFaultWord(), 4);
    EXPECT_EQ(item.GetModeWord(), 7);
}

TEST_F(UpdateListTest, CountsFindsAndRemovals)
{
    FakeItem a1("CA", 1), a2("CA", 2), b("CB", 1);
    EXPECT_EQ(m_list.AddItem(&a1), 1);
    EXPECT_EQ(m_list.AddItem(&a1), 0);
    m_list.AddItem(&a2);
    m_list.AddItem(&b);
    EXPECT_EQ(a1.GetUpdateList(), &m_list);
    EXPECT_EQ(m_list.GetOpenCount("CA"), 2);
    EXPECT_EQ(m_list.GetOpenCount("nothing"), 0);
    EXPECT_EQ(m_list.FindItem("CA", 2), &a2);
    EXPECT_EQ(m_list.FindItem("ca", 2), nullptr) << "names are case-sensitive";
    EXPECT_EQ(m_list.FindLastItemOfClass("CA"), &a2);
    CList<CGuiUpdateItem*, CGuiUpdateItem*> found;
    EXPECT_EQ(m_list.CollectItemsByClass(found, "CA"), 2);

    EXPECT_EQ(m_list.RemoveItem(&a1), 1);
    EXPECT_EQ(m_list.RemoveItem(&a1), 0);
    EXPECT_EQ(m_list.GetOpenCount("CA"), 1);
    EXPECT_EQ(a1.GetUpdateList(), &m_list) << "the item keeps its list pointer";
    {
        // An item destroyed while registered takes itself off, under the class it was counted as.
        FakeItem gone("CB", 3);
        m_list.AddItem(&gone);
        EXPECT_EQ(m_list.GetOpenCount("CB"), 2);
    }
    EXPECT_EQ(m_list.GetOpenCount("CB"), 1);
    EXPECT_EQ(m_list.GetCount(), 2);
    m_list.RemoveItem(&a2);
    m_list.RemoveItem(&b);
    EXPECT_EQ(m_list.GetOpenCount("CA"), 0);
}

TEST_F(UpdateListTest, AWindowClosingItselfDuringItsTickRestartsTheWalk)
{
    FakeItem first, second, third;
    second.m_onTick = [this](FakeItem& self) { m_list.RemoveItem(&self); };
    for (FakeItem* item : {&first, &second, &third})
        m_list.AddItem(item);
    m_list.UpdateAll();
    EXPECT_EQ(first.m_ticks, 2) << "ticked again after the restart";
    EXPECT_EQ(second.m_ticks, 1);
    EXPECT_EQ(third.m_ticks, 1);
    EXPECT_EQ(m_list.IsUpdating(), 0);
    m_list.RemoveItem(&first);
    m_list.RemoveItem(&third);
}

TEST_F(UpdateListTest, ATickReenteredFromAModalLoopDoesNotWalkTheListAgain)
{
    FakeItem first, second, third;
    int nested = 0;
    first.m_onTick = [&](FakeItem&) {
        if (nested++ == 0)
            m_list.UpdateAll();  // what a modal box's message loop does with the frame's timer
    };
    second.m_onTick = [this](FakeItem& self) { m_list.RemoveItem(&self); };
    for (FakeItem* item : {&first, &second, &third})
        m_list.AddItem(item);
    m_list.UpdateAll();
    EXPECT_EQ(second.m_ticks, 1);
    EXPECT_EQ(third.m_ticks, 1);
    m_list.UpdateAll();
    EXPECT_EQ(third.m_ticks, 2) << "the list still ticks afterwards";
    m_list.RemoveItem(&first);
    m_list.RemoveItem(&third);
}

TEST_F(UpdateListTest, DelayedMessagesReachEveryWindowOfTheirClassOnceWhenDue)
{
    FakeItem a1("CA"), a2("CA"), b("CB");
    for (FakeItem* item : {&a1, &a2, &b})
        m_list.AddItem(item);
    a1.PostDelayedMessage("CA", "late", 0.5);
    a1.PostDelayedMessage("CA", "soon", 0.1);
    b.PostDelayedMessage("CNOBODY", "dropped", 0.0);
    m_list.UpdateAll();
    EXPECT_TRUE(a1.m_messages.empty());
    EXPECT_EQ(m_list.GetQueuedMessageCount(), 2) << "one for nobody is dropped when due";
    kvtest::AdvanceClock(100);
    m_list.UpdateAll();
    EXPECT_EQ(a1.m_messages, std::vector<CString>{"soon"});
    EXPECT_EQ(a2.m_messages, std::vector<CString>{"soon"});
    kvtest::AdvanceClock(400);
    m_list.UpdateAll();
    m_list.UpdateAll();
    EXPECT_EQ(a1.m_messages, (std::vector<CString>{"soon", "late"}));
    EXPECT_EQ(a2.m_messages.size(), 2u);
    EXPECT_TRUE(b.m_messages.empty());
    EXPECT_EQ(m_list.GetQueuedMessageCount(), 0);

    FakeItem unregistered;
    unregistered.PostDelayedMessage("CA", "x", 0);  // no list: nothing
    EXPECT_EQ(m_list.GetQueuedMessageCount(), 0);
    for (FakeItem* item : {&a1, &a2, &b})
        m_list.RemoveItem(item);
}

TEST_F(UpdateListTest, ScriptedMessageBoxLogsAndAnswersThePresetWithoutShowing)
{
    FakeItem item;
    EXPECT_EQ(item.MessageBox("nobody asks", MB_OK, 0, IDOK), -1) << "an unregistered item shows nothing";
    m_list.AddItem(&item);
    m_list.SetInteractive(0);
    AfxQueueScriptedAnswer(IDCANCEL);  // a preset of the window layer's box must not be used
    for (int answer : {IDYES, IDNO, 17}) {
        m_app.m_debugLines.clear();
        EXPECT_EQ(item.MessageBox("Proceed?", MB_YESNO, 55, answer), answer);
        EXPECT_EQ(m_app.m_debugLines, std::vector<std::string>{"MSGBOX:Proceed?"});
    }
    EXPECT_TRUE(AfxTakeScriptedMessageLog().empty()) << "nothing went to the window layer's box";
    m_list.SetInteractive(1);
    EXPECT_EQ(item.MessageBox("Shown", MB_OK, 0, IDNO), IDCANCEL) << "interactive: the real box answers";
    m_list.RemoveItem(&item);
}

TEST_F(UpdateListTest, QueuedCommandErrorsGoThroughTheScriptedGateAndTheRestStillRun)
{
    FakeItem item("CSampleDriveDlg");
    m_list.AddItem(&item);
    CSampleDriveDlg::Register(m_frame.m_registry);
    m_list.SetInteractive(0);
    m_list.QueueCommand("NOSUCHWINDOW.CLOSE");
    m_list.QueueCommand("SAMPLEDRIVE.NOSUCHCOMMAND");
    m_list.QueueCommand("nonsense");
    m_list.UpdateAll();
    EXPECT_EQ(m_app.m_debugLines, (std::vector<std::string>{"MSGBOX:ERROR: GUI unavailable",
                                                            "MSGBOX:ERROR: Unrecognized command",
                                                            "MSGBOX:ERROR: Unrecognized command"}));
    EXPECT_TRUE(AfxTakeScriptedMessageLog().empty()) << "no box of the window layer was raised";
    m_list.RemoveItem(&item);
}

TEST_F(UpdateListTest, CanExitUnsentChangesAndOwnItem)
{
    FakeItem a("CA"), b("CB"), c("CC");
    a.m_itemName = "Tuning";
    b.m_itemName = "<NO-DLGNAME>";
    for (FakeItem* item : {&a, &b, &c})
        m_list.AddItem(item);
    EXPECT_EQ(m_list.ListUnsentChanges(nullptr), 0);
    a.m_pending = b.m_pending = 1;
    EXPECT_EQ(m_list.ListUnsentChanges(nullptr), 1);
    CString text;
    EXPECT_EQ(m_list.ListUnsentChanges(&text), 1);
    EXPECT_EQ(text, "-Tuning\r\n");

    b.m_canExit = 0;
    EXPECT_EQ(m_list.CanExit(), 0);
    EXPECT_EQ(c.m_exitAsked, 0) << "stops at the first refusal";

    // The own item polls the status word and hands its responses to the main frame.
    EXPECT_EQ(m_list.GetOwnItem().GetStatusFlags(), kStatusWord);
    CAmpResponseToDistMngr response;
    response.m_code = kStatusWordCode;
    response.m_value = 0x100;
    m_list.GetOwnItem().OnResponse(CAmpResponseToGui(response));
    m_list.UpdateAll();
    ASSERT_EQ(m_frame.m_statusResponses.size(), 1u);
    EXPECT_EQ(m_list.GetOwnItem().GetEnableBit(), 1);
    for (FakeItem* item : {&a, &b, &c})
        m_list.RemoveItem(item);
}

TEST_F(UpdateListTest, DriveReferencesAndNames)
{
    m_app.m_assignments = {{3, "Axis X"}, {5, "Axis Y"}, {5, "Second name"}};
    struct Case { const char* text; int result; int drive; };
    for (const Case& c : {Case{"3", 1, 3}, Case{"12abc", 1, 12}, Case{"Axis Y", 1, 5}, Case{"axis y", 0, -1},
                          Case{"Nobody", 0, -1}, Case{"", 0, -1}}) {
        int drive = -1;
        EXPECT_EQ(ParseDriveReference(c.text, drive), c.result) << c.text;
        EXPECT_EQ(drive, c.drive) << c.text;
    }
    CString name;
    EXPECT_EQ(FindDriveNameByNumber(5, name), 1);
    EXPECT_EQ(name, "Axis Y") << "the first name of the address";
    EXPECT_EQ(FindDriveNameByNumber(9, name), 0);
}

TEST_F(UpdateListTest, RegistryCompatibilityNamesAndDefaultDrive)
{
    CGuiUpdateDlgIdMap& registry = m_frame.m_registry;
    CSampleDriveDlg::Register(registry);
    struct Case { int family; int data; int expected; };
    for (const Case& c : {Case{kFamilyKreln, 0, 1}, Case{kFamilyTavro, 0x3000, 1}, Case{kFamilyCommModule, 0, 0},
                          Case{-1, 0, 0}, Case{-2, 0, 0}})
        EXPECT_EQ(registry.IsCompatible("CSampleDriveDlg", c.family, c.data), c.expected) << c.family;
    EXPECT_EQ(registry.IsCompatible("CUnknown", kFamilyKreln, 0), 0);
    registry.RegisterGui("FEATURED", RUNTIME_CLASS(CGuiUpdateDlg), kFamilyKreln, 0x1000);
    EXPECT_EQ(registry.IsCompatible("CGuiUpdateDlg", kFamilyKreln, 0x3000), 1);
    EXPECT_EQ(registry.IsCompatible("CGuiUpdateDlg", kFamilyKreln, 0x2000), 0);

    CString text;
    EXPECT_EQ(registry.GetClassNameOfWindowName(kSampleWindowName, text), 1);
    EXPECT_EQ(text, "CSampleDriveDlg");
    EXPECT_EQ(registry.FindWindowNameOfClass("CSampleDriveDlg", text), 1);
    EXPECT_EQ(text, kSampleWindowName);
    EXPECT_EQ(registry.GetClassNameOfWindowName("NOPE", text), 0);
    EXPECT_EQ(registry.CreateGui("NOPE", nullptr, 1), nullptr);

    struct Named { const char* name; int instance; };
    for (const Named& n : {Named{"SAMPLEDRIVE", 0}, Named{"SAMPLEDRIVE:2", 2}}) {
        CGuiUpdateDlg* dialog = registry.CreateGui(n.name, nullptr, 0);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->GetInstanceNumber(), n.instance);
        EXPECT_EQ(dialog->GetWindowName(), n.name);
        EXPECT_EQ(dialog->GetGuiName(), "CSampleDriveDlg");
        delete dialog;
    }
    EXPECT_EQ(CSampleDriveDlg::s_alive, 0);

    // Default drive: connected, compatible and unused by the class; the profile's when it qualifies.
    FakeItem probe("CSampleDriveDlg", -1);
    m_list.AddItem(&probe);
    EXPECT_EQ(probe.GetDefaultDrive(), -1) << "no drives";
    m_app.AddConnectedDrive(CAmplifierData(0, kFamilyCommModule, "Module"));
    m_app.AddConnectedDrive(CAmplifierData(4, kFamilyTavro, "T"));
    m_app.AddConnectedDrive(CAmplifierData(1, kFamilyKreln, "K"));
    EXPECT_EQ(probe.GetDefaultDrive(), 1) << "profile default 1";
    AfxWriteProfileInt("GENERAL", "DFLTDRV", 0);
    EXPECT_EQ(probe.GetDefaultDrive(), 4) << "the module serves no drive window: first of the list";
    FakeItem user("CSampleDriveDlg", 4);
    m_list.AddItem(&user);
    EXPECT_EQ(probe.GetDefaultDrive(), 1) << "drive 4 is taken by another window of the class";
    m_list.RemoveItem(&user);
    m_list.RemoveItem(&probe);
}

TEST_F(UpdateListTest, InitialiseMakesTheLayoutFolderInTheDocuments)
{
    m_list.Initialise(nullptr);
    const CString folder = m_list.GetLayoutFolder();
    EXPECT_EQ(folder.Right(8), "Korvane/");
    EXPECT_EQ(folder.Find(AfxGetSpecialFolder(CSIDL_PERSONAL)), 0);
    struct stat info {};
    EXPECT_EQ(stat(folder, &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
}
