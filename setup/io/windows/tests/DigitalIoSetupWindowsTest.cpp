// The Tavro digital input and output setup windows on the demo drive, used
// through their lists, drop-downs, buttons and text commands.
#include <gtest/gtest.h>

#include "IoWindowsFixture.h"
#include "controls/InPlaceTree.h"
#include "platform/core/IniFile.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/UserInput.h"
#include "setup/io/windows/QvxGuiSetupTavroDigitalInputDlg.h"
#include "setup/io/windows/QvxGuiSetupTavroDigitalOutputDlg.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

constexpr const char* kInputsName = "TAVRO_SETUP_GENERAL_DIGITAL_INPUTS";
constexpr const char* kOutputsName = "TAVRO_SETUP_GENERAL_DIGITAL_OUTPUTS";
constexpr int kInputPins = 13;
constexpr int kOutputPins = 6;
constexpr WORD kPullUp = 4225;

CPoint CellCentre(CListCtrl& list, int row, int column)
{
    CRect cell;
    list.GetSubItemRect(row, column, LVIR_LABEL, cell);
    return cell.CenterPoint();
}

class DigitalIoSetupTest : public IoWindowsTest {
protected:
    void RegisterIoWindows() override
    {
        m_frame.m_registry.RegisterGui(kInputsName, RUNTIME_CLASS(CQvxGuiSetupTavroDigitalInputDlg), kFamilyTavro, 0);
        m_frame.m_registry.RegisterGui(kOutputsName, RUNTIME_CLASS(CQvxGuiSetupTavroDigitalOutputDlg), kFamilyTavro,
                                       0);
    }
    void PrepareModel() override
    {
        // Pin 1 carries Home Switch active low, pin 2 Drive Inhibit active high.
        SetIndexed(kTavro, DIC, DII, 1, 0x0500);
        SetIndexed(kTavro, DIC, DII, 2, 0x0401);
        // Output pin 0: Drive Status, its reserved bit 3, active high; pin 2 0x0A07 names an undefined function.
        SetIndexed(kTavro, DOC, DOI, 0, 0x0107);
        SetIndexed(kTavro, DOC, DOI, 2, 0x0A07);
        SetIndexed(kTavro, DOC, DOI, 3, 0x0402);
    }
    template <class Dlg>
    Dlg* Open(const char* name, int rows)
    {
        auto* dlg = dynamic_cast<Dlg*>(m_frame.m_registry.CreateGui(name, nullptr, 1));
        if (!dlg)
            return nullptr;
        EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kTavro && dlg->List().GetItemCount() == rows; }));
        return dlg;
    }
    CQvxGuiSetupTavroDigitalInputDlg* OpenInputs()
    {
        return Open<CQvxGuiSetupTavroDigitalInputDlg>(kInputsName, kInputPins);
    }
    CQvxGuiSetupTavroDigitalOutputDlg* OpenOutputs()
    {
        return Open<CQvxGuiSetupTavroDigitalOutputDlg>(kOutputsName, kOutputPins);
    }
    static CWnd* Editor(CDListComboCtrl& list) { return list.GetDlgItem(IDC_INPLACE_LIST); }
    // Two clicks: the first focuses the row, the second opens the cell's editor.
    static void OpenCell(CDListComboCtrl& list, int row, int column)
    {
        kvtest::ClickAt(&list, CellCentre(list, row, column));
        AfxPumpMessages();
        kvtest::ClickAt(&list, CellCentre(list, row, column));
        AfxPumpMessages();
    }
    static std::vector<CString> Choices(CComboBox* combo)
    {
        std::vector<CString> texts;
        for (int i = 0; i < combo->GetCount(); ++i) {
            CString text;
            combo->GetLBText(i, text);
            texts.push_back(text);
        }
        return texts;
    }
    static int IndexOf(const std::vector<CString>& texts, const char* text)
    {
        for (size_t i = 0; i < texts.size(); ++i)
            if (texts[i] == text)
                return static_cast<int>(i);
        return -1;
    }
    // Opens the drop-down list of a cell and picks the choice by its text.
    static void Choose(CDListComboCtrl& list, int row, int column, const char* text)
    {
        OpenCell(list, row, column);
        auto* combo = static_cast<CComboBox*>(Editor(list));
        ASSERT_NE(combo, nullptr);
        const int index = IndexOf(Choices(combo), text);
        ASSERT_GE(index, 0) << text;
        ASSERT_TRUE(kvtest::PickItem(combo, index));
        kvtest::PressKey(combo, VK_RETURN);
        ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Editor(list) == nullptr; }));
    }
    LONG InputPin(int pin) { return Indexed(kTavro, DIC, DII, pin); }
    LONG OutputPin(int pin) { return Indexed(kTavro, DOC, DOI, pin); }
};

TEST_F(DigitalIoSetupTest, TheInputWindowShowsThePinFunctionsTheDriveHolds)
{
    auto* dlg = OpenInputs();
    ASSERT_NE(dlg, nullptr);
    CDListComboCtrl& list = dlg->List();
    struct Row {
        int row;
        const char* pins;
        const char* description;
        const char* function;
        const char* active;
    };
    const Row rows[] = {
        {0, "J1-30", "Enable", "<Unassigned>", "N/A"},
        {1, "J1-31", "General Input 1", "Home Switch", "LOW"},
        {2, "J1-32", "General Input 2", "Drive Inhibit", "HIGH"},
        {12, "J1-42", "High Speed Input 2", "<Unassigned>", "N/A"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.row);
        EXPECT_EQ(list.GetItemText(r.row, 0), r.pins);
        EXPECT_EQ(list.GetItemText(r.row, 1), r.description);
        EXPECT_EQ(list.GetItemText(r.row, 2), r.function);
        EXPECT_EQ(list.GetItemText(r.row, 3), r.function);
        EXPECT_EQ(list.GetItemText(r.row, 4), r.active);
        EXPECT_EQ(list.GetItemText(r.row, 5), r.active);
    }
    EXPECT_EQ(list.GetItemTextColor(4, 0), kNotApplicableColour);
    EXPECT_EQ(list.GetItemTextColor(4, 1), RGB(0, 0, 0));
    EXPECT_EQ(dlg->GetPendingChangesState(0), 2);
    Screenshot(dlg, "io_setup_digital_inputs");
}

TEST_F(DigitalIoSetupTest, AChosenFunctionAndLevelAreSentWhenTheUserSaysYes)
{
    auto* dlg = OpenInputs();
    ASSERT_NE(dlg, nullptr);
    CDListComboCtrl& list = dlg->List();
    OpenCell(list, 3, 2);
    auto* combo = static_cast<CComboBox*>(Editor(list));
    ASSERT_NE(combo, nullptr);
    const std::vector<CString> offered = Choices(combo);
    EXPECT_EQ(offered.front(), "<Unassigned>");
    EXPECT_EQ(IndexOf(offered, "Home Switch"), -1) << "taken by pin 1 and not able to duplicate";
    EXPECT_GE(IndexOf(offered, "Drive Inhibit"), 0) << "able to duplicate";
    kvtest::PressKey(combo, VK_ESCAPE);
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Editor(list) == nullptr; }));

    Choose(list, 3, 2, "Jog Positive");
    EXPECT_EQ(list.GetItemText(3, 2), "Jog Positive");
    EXPECT_EQ(list.GetItemText(3, 3), "<Unassigned>") << "the drive column waits for the drive";
    EXPECT_EQ(list.GetItemBkColor(4, 3), kLevelToChooseColour) << "its level is still to be chosen";
    EXPECT_EQ(dlg->GetPendingChangesState(0), 1);
    Choose(list, 3, 4, "LOW");
    EXPECT_EQ(list.GetItemText(3, 4), "LOW");
    EXPECT_NE(list.GetItemBkColor(4, 3), kLevelToChooseColour);
    Screenshot(dlg, "io_setup_digital_inputs_edited");

    AfxQueueScriptedAnswer(IDYES);
    kvtest::Click(dlg->GetDlgItem(IDC_TAVRO_INPUT_SEND));
    ASSERT_TRUE(Wait([&] { return InputPin(3) == 0x0B00 && list.GetItemText(3, 3) == "Jog Positive"; }));
    EXPECT_EQ(InputPin(1), 0x0500);
    EXPECT_EQ(InputPin(2), 0x0401);
    EXPECT_EQ(InputPin(0), 0) << "an unassigned pin is written as 0";
    const std::vector<CString> boxes = AfxTakeScriptedMessageLog();
    EXPECT_TRUE(Shown(boxes, "Send input pin settings to drive?"));
    EXPECT_FALSE(Shown(boxes, "input pull-ups")) << "the pull-up boxes agree";
    EXPECT_EQ(dlg->GetPendingChangesState(0), 2);
}

TEST_F(DigitalIoSetupTest, ADifferentPullUpIsSentWithItsNotice)
{
    SetRegister(kTavro, kPullUp, 0x10);
    auto* dlg = OpenInputs();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return dlg->IsDlgButtonChecked(IDC_TAVRO_INPUT_PULLUP_DRIVE) == BST_UNCHECKED; }));
    kvtest::Click(dlg->GetDlgItem(IDC_TAVRO_INPUT_PULLUP_WORK));
    ASSERT_EQ(dlg->IsDlgButtonChecked(IDC_TAVRO_INPUT_PULLUP_WORK), BST_CHECKED);
    EXPECT_EQ(dlg->GetPendingChangesState(0), 1);
    AfxQueueScriptedAnswer(IDYES);
    kvtest::Click(dlg->GetDlgItem(IDC_TAVRO_INPUT_SEND));
    EXPECT_TRUE(Shown(AfxTakeScriptedMessageLog(), CQvxGuiSetupTavroDigitalInputDlg::kPullUpNotice));
    ASSERT_TRUE(Wait([&] { return dlg->IsDlgButtonChecked(IDC_TAVRO_INPUT_PULLUP_DRIVE) == BST_CHECKED; }));
    EXPECT_EQ(Register(kTavro, kPullUp), 0x11) << "only bit 0 changes";
    EXPECT_EQ(dlg->GetPendingChangesState(0), 2);
}

TEST_F(DigitalIoSetupTest, AnEditorLeftUnchangedKeepsTheConnectionAndItsLevel)
{
    auto* dlg = OpenInputs();
    ASSERT_NE(dlg, nullptr);
    CDListComboCtrl& list = dlg->List();
    for (UINT key : {VK_ESCAPE, VK_RETURN}) {
        SCOPED_TRACE(key);
        OpenCell(list, 1, 2);
        CWnd* editor = Editor(list);
        ASSERT_NE(editor, nullptr);
        kvtest::PressKey(editor, key);
        ASSERT_TRUE(AfxPumpMessagesUntil([&] { return Editor(list) == nullptr; }));
        EXPECT_EQ(list.GetItemText(1, 2), "Home Switch");
        EXPECT_EQ(list.GetItemText(1, 4), "LOW");
        EXPECT_EQ(dlg->Definitions().GetConnectionLevel(5, 1, 0), 0);
        EXPECT_EQ(dlg->GetPendingChangesState(0), 2);
    }
}

TEST_F(DigitalIoSetupTest, UnassigningAConnectedPinIsAnUnsentChange)
{
    auto* dlg = OpenInputs();
    ASSERT_NE(dlg, nullptr);
    Choose(dlg->List(), 2, 2, "<Unassigned>");
    EXPECT_FALSE(dlg->Definitions().IsPinConnected(2));
    EXPECT_EQ(dlg->List().GetItemText(2, 4), "N/A");
    EXPECT_EQ(dlg->GetPendingChangesState(0), 1);
}

TEST_F(DigitalIoSetupTest, TheOutputWindowHidesReservedBitsButShowsOneTheDriveHolds)
{
    auto* dlg = OpenOutputs();
    ASSERT_NE(dlg, nullptr);
    CDListComboCtrl& list = dlg->List();
    EXPECT_EQ(list.GetItemText(0, 2), "Drive Status:Reserved");
    EXPECT_EQ(list.GetItemText(0, 4), "HIGH");
    EXPECT_EQ(list.GetItemText(2, 2), "<Invalid>") << "function 10 is not defined";
    EXPECT_EQ(list.GetItemText(2, 3), "<Invalid>");
    EXPECT_EQ(list.GetItemText(2, 4), "N/A");
    EXPECT_EQ(list.GetItemText(3, 2), "Brake:Out2");
    EXPECT_EQ(list.GetItemText(3, 4), "LOW");
    Screenshot(dlg, "io_setup_digital_outputs");
    OpenCell(list, 1, 2);
    auto* tree = dynamic_cast<CInPlaceTree*>(list.GetDlgItem(IDC_INPLACE_LIST));
    ASSERT_NE(tree, nullptr);
    bool reserved = false, shortCircuit = false, brakeOut2 = false;
    for (const CString& choice : *list.GetComboList(2)) {
        reserved |= choice.Right(8).CompareNoCase("reserved") == 0;
        shortCircuit |= choice == "Drive Status:Short Circuit";
        brakeOut2 |= choice == "Brake:Out2";
    }
    EXPECT_FALSE(reserved);
    EXPECT_TRUE(shortCircuit);
    EXPECT_TRUE(brakeOut2) << "output functions may sit on several pins";
    CRect drop;
    tree->GetTree().GetWindowRect(&drop);
    EXPECT_EQ(drop.Width(), list.GetColumnWidth(2) * 6 / 5);
    // A function without named bits is picked from the tree and connects with bit 0.
    int index = 0;
    for (const CString& choice : *list.GetComboList(2)) {
        if (choice == "User Output")
            break;
        ++index;
    }
    CTreeCtrl& items = tree->GetTree();
    HTREEITEM item = tree->GetChoiceItem(index);
    ASSERT_NE(item, nullptr);
    items.EnsureVisible(item);
    CRect label;
    ASSERT_TRUE(items.GetItemRect(item, &label, TRUE));
    kvtest::ClickAt(&items, label.CenterPoint());
    ASSERT_TRUE(AfxPumpMessagesUntil([&] { return list.GetDlgItem(IDC_INPLACE_LIST) == nullptr; }));
    EXPECT_EQ(list.GetItemText(1, 2), "User Output");
    CList<CFunctionAndBit> functions;
    dlg->Definitions().GetPinFunctions(1, functions);
    ASSERT_EQ(functions.GetCount(), 1);
    EXPECT_EQ(functions.GetHead(), CFunctionAndBit(5, 0));
    EXPECT_EQ(dlg->GetPendingChangesState(0), 1);
}

TEST_F(DigitalIoSetupTest, PinCommandsReplyAsTheyShould)
{
    auto* dlg = OpenOutputs();
    ASSERT_NE(dlg, nullptr);
    struct Case {
        const char* command;
        const char* reply;
    };
    const Case cases[] = {
        {"CONNECTPIN(\"General Output 2\", \"Motion Status:At Home\", 0)", "SUCCESS"},
        {"connectpin(\"General Output 2\", \"Motion Status:Zero Velocity\", 1)", "SUCCESS"},
        {"CONNECTPIN(\"No Such Pin\", \"Brake:Out1\", 1)", "ERROR: Invalid pin \"No Such Pin\"."},
        {"CONNECTPIN(\"General Output 3\", \"Brake:out1\", 1)", "ERROR: Invalid function \"Brake:out1\"."},
        {"CONNECTPIN(\"General Output 3\", \"Brake\", 1)", "ERROR: Invalid function \"Brake\"."},
        {"CONNECTPIN(\"General Output 3\", \"User Output\", 2)", "SUCCESS"},
        {"CONNECTPIN(\"Relay Output\", \"Brake:Out1\", 0)", "SUCCESS"},
        {"CONNECTPIN(\"Relay Output\", \"Drive Status:Short Circuit\", 1)", "ERROR: Could not make connection"},
        {"CONNECTPIN(\"General Output 3\", 1)", "ERROR:"},
        {"DISCONNECTPIN(\"General Output 4\")", "SUCCESS"},
        {"DISCONNECTPIN(\"Nope\")", "ERROR: Invalid pin \"Nope\"."},
        {"DISCONNECTPIN(1", "ERROR:"},
    };
    for (const Case& c : cases) {
        CString reply;
        ASSERT_TRUE(dlg->ExecuteCommand(c.command, reply)) << c.command;
        EXPECT_EQ(reply.Left(static_cast<int>(strlen(c.reply))), c.reply) << c.command;
    }
    CDListComboCtrl& list = dlg->List();
    EXPECT_EQ(list.GetItemText(1, 2), "Motion Status:Zero Velocity") << "a second connection replaces the first";
    EXPECT_EQ(list.GetItemText(2, 2), "User Output");
    EXPECT_EQ(list.GetItemText(2, 4), "HIGH") << "a level of 2 is active high";
    EXPECT_EQ(list.GetItemText(5, 2), "Brake:Out1") << "refused, the old connection stays";
    EXPECT_EQ(list.GetItemText(3, 2), "<Unassigned>");
    EXPECT_EQ(dlg->GetPendingChangesState(0), 2) << "commands set no changed flag";
    CString reply;
    dlg->ExecuteCommand("SENDTOAMP(0)", reply);
    ASSERT_TRUE(Wait([&] { return OutputPin(1) == 0x0203 && OutputPin(2) == 0x0501 && OutputPin(5) == 0x0400; }));
    EXPECT_EQ(OutputPin(3), 0);
    EXPECT_EQ(OutputPin(0), 0x0107) << "a reserved bit the drive holds is written back";
}

TEST_F(DigitalIoSetupTest, ADriveErrorDuringTheReceiveIsToldOnce)
{
    // An index the model does not hold makes the drive answer with an error.
    auto* dlg = OpenOutputs();
    ASSERT_NE(dlg, nullptr);
    AfxTakeScriptedMessageLog();
    CAmpResponseToGui failed;
    failed.m_code = CTavroDigitalOutputDefinitions::kPinValueParameter;
    failed.m_error = 1;
    dlg->Definitions().m_transferState = CTavroIoDefinitions::kReceiving;
    dlg->OnStatusResponse(failed);
    dlg->Definitions().m_transferState = CTavroIoDefinitions::kReceiving;
    dlg->OnStatusResponse(failed);
    const std::vector<CString> boxes = AfxTakeScriptedMessageLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Shown(boxes, "Data error occurred while receiving digital output settings from drive.  Please try "
                             "again by clicking refresh button."));
    EXPECT_EQ(dlg->List().GetItemText(3, 2), "Brake:Out2") << "the list keeps what it showed";
}

TEST_F(DigitalIoSetupTest, NothingIsSentWhileTheDefinitionsFailedToLoad)
{
    // The function section lost its count: the pins load, the functions do not.
    const std::string broken = m_home.File("kvfact.ini");
    WritePrivateProfileString("TAVRO SERIES INPUT PINS", "PinIndexCount", "13", broken.c_str());
    for (int pin = 0; pin < kInputPins; ++pin) {
        CString key, value;
        key.Format("PinIndex%d", pin);
        value.Format("Input %d,%d,PJ1-%d,1-12", pin, pin, pin + 30);
        WritePrivateProfileString("TAVRO SERIES INPUT PINS", key, value, broken.c_str());
    }
    WritePrivateProfileString("TAVRO SERIES INPUT FUNCTIONS", "Function0", "1,Home,NO,SETACTIVE", broken.c_str());
    SetIoFactoryIniPath(broken.c_str());
    auto* dlg =
        dynamic_cast<CQvxGuiSetupTavroDigitalInputDlg*>(m_frame.m_registry.CreateGui(kInputsName, nullptr, 1));
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(Wait([&] { return dlg->GetDrive() == kTavro && dlg->AreStagesDone(); }));
    EXPECT_EQ(dlg->List().GetItemCount(), 0) << "a failed first load leaves no table to show";
    AfxQueueScriptedAnswer(IDYES);
    kvtest::Click(dlg->GetDlgItem(IDC_TAVRO_INPUT_SEND));
    const std::vector<CString> boxes = AfxTakeScriptedMessageLog();
    EXPECT_TRUE(Shown(boxes, "Pin settings were not sent"));
    for (int settle = 0; settle < 5; ++settle)
        AfxPumpMessages();
    EXPECT_EQ(InputPin(1), 0x0500) << "the drive keeps what the window could not show";
    EXPECT_EQ(InputPin(2), 0x0401);
}

}  // namespace
