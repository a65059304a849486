// The Filters window, its presets and the filter parameter tool on the demo Tavro drive.
#include <gtest/gtest.h>

#include "TuningDemoFixture.h"
#include "platform/core/IniFile.h"
#include "platform/core/Profile.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/MsgBox.h"
#include "platform/ui/TabCtrl.h"
#include "platform/ui/UserInput.h"
#include "setup/tuning/windows/FilterParameterToolDlg.h"
#include "setup/tuning/windows/FilterPresetFile.h"
#include "setup/tuning/windows/FilterWindowTexts.h"
#include "setup/tuning/windows/QvxGuiSetupFilters.h"
#include "setup/tuning/windows/SaveLoadFilterPresetDlg.h"
#include "testing/WindowShot.h"

namespace {

using namespace demo_codes;

constexpr double kFs = 10000.0;

FilterCoefficientBlock Design(int type, double a1, double a2 = 0, double a3 = 0, double a4 = 0)
{
    FilterArguments args;
    args.arg[0] = a1;
    args.arg[1] = a2;
    args.arg[2] = a3;
    args.arg[3] = a4;
    FilterCoefficientBlock block;
    EXPECT_TRUE(GenerateFilterCoefficients(type, args, kFs, block));
    return block;
}

// A type the block does not fit, or -1.
int FailingType(const FilterCoefficientBlock& b)
{
    for (int type = 1; type < kFilterUnknown; ++type) {
        int t = type;
        FilterArguments args;
        if (!CalcFilterArgsFromCoefficients(t, b[1], b[0], b[4], b[3], b[2], b[5], 0, kFs, args))
            return type;
    }
    return -1;
}

// The first argument of the fit as the windows show it.
CString FittedFirst(const FilterCoefficientBlock& b, int type, const char* format)
{
    FilterArguments args;
    EXPECT_TRUE(CalcFilterArgsFromCoefficients(type, b[1], b[0], b[4], b[3], b[2], b[5], 0, kFs, args));
    CString text;
    text.Format(format, RoundTwoDecimalsAway(args.arg[0]));
    return text;
}

class FilterWindowTest : public TuningDemoTest {
protected:
    void SetUp() override
    {
        TuningDemoTest::SetUp();
        m_frame.m_registry.RegisterGui("FILTERS", RUNTIME_CLASS(CQvxGuiSetupFilters), kFamilyKreln | kFamilyTavro, 0);
    }
    void PrepareModel() override
    {
        // The drive holds a NONE block in every slot and the type word 0x05040302.
        for (int slot = 0; slot < 4; ++slot)
            SetDriveBlock(slot, {0, 0, 0, 0, 32767, 0});
        SetRegister(kTavro, WFT, m_typeWord);
        if (m_firstBlock[4])
            SetDriveBlock(0, m_firstBlock);
    }
    LONG m_typeWord = 0x05040302;
    FilterCoefficientBlock m_firstBlock;
    void SetDriveBlock(int slot, const FilterCoefficientBlock& block)
    {
        for (int i = 0; i < 6; ++i)
            SetIndexed(kTavro, WFC, WFI, slot * 6 + i, block[i]);
    }
    FilterCoefficientBlock DriveBlock(int slot)
    {
        FilterCoefficientBlock block;
        for (int i = 0; i < 6; ++i)
            block[i] = static_cast<int>(Indexed(kTavro, WFC, WFI, slot * 6 + i));
        return block;
    }
    CQvxGuiSetupFilters* Open()
    {
        auto* dlg = dynamic_cast<CQvxGuiSetupFilters*>(m_frame.m_registry.CreateGui("FILTERS", nullptr, 1));
        if (!dlg)
            return nullptr;
        EXPECT_TRUE(Wait([&] { return dlg->GetDrive() == kTavro && dlg->AreStagesDone(); }));
        return dlg;
    }
    static CComboBox* Combo(CWnd* dlg, int id) { return static_cast<CComboBox*>(dlg->GetDlgItem(id)); }
    static CString Text(CWnd* dlg, int id)
    {
        CString text;
        dlg->GetDlgItemText(id, text);
        return text;
    }
    static void TypeArgument(CWnd* dlg, int argument, const char* text)
    {
        CWnd* field = dlg->GetDlgItem(IDC_FILTERS_WORK_ARG1 + argument);
        field->SetWindowText("");
        kvtest::TypeText(field, text);
    }
    void PickTab(CQvxGuiSetupFilters* dlg, int slot)
    {
        auto* tabs = static_cast<CTabCtrl*>(dlg->GetDlgItem(IDC_FILTERS_TAB));
        ASSERT_TRUE(kvtest::PickItem(tabs, slot));
        ASSERT_EQ(dlg->GetSlot(), slot);
        ASSERT_TRUE(Wait([&] { return dlg->AreStagesDone(); }));
    }
    void WriteIni(const char* section, const char* key, const char* value, const std::string& file)
    {
        WritePrivateProfileString(section, key, value, m_home.File(file).c_str());
    }
};

TEST_F(FilterWindowTest, SendingTheThirdFilterWritesItsItemsAndItsTypeByte)
{
    CQvxGuiSetupFilters* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    PickTab(dlg, 2);
    ASSERT_TRUE(kvtest::PickItem(Combo(dlg, IDC_FILTERS_WORK_TYPE), kFilterLP1));
    EXPECT_EQ(Text(dlg, IDC_FILTERS_WORK_DESC), "Low Pass, 1st Order");
    EXPECT_EQ(Text(dlg, IDC_FILTERS_WORK_LABEL1), "BandWidth:");
    EXPECT_FALSE(dlg->GetDlgItem(IDC_FILTERS_WORK_ARG2)->IsWindowVisible());
    TypeArgument(dlg, 0, "100");
    EXPECT_TRUE(dlg->IsNotGenerated(2));
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_GENERATE_WORK));
    EXPECT_FALSE(dlg->IsNotGenerated(2));
    const FilterCoefficientBlock expected = Design(kFilterLP1, 100);
    EXPECT_EQ(dlg->GetWorkingBlock(2), expected);
    CString b0;
    b0.Format("%d", expected[FilterCoefficientBlock::kB0]);
    EXPECT_EQ(Text(dlg, IDC_FILTERS_WORK_ITEM0 + static_cast<int>(FilterCoefficientBlock::kB0)), b0);

    Boxes();
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_SEND));
    EXPECT_TRUE(Shown(Boxes(), "Press OK to send filter values to the drive."));
    ASSERT_TRUE(Wait([&] { return DriveBlock(2) == expected && Register(kTavro, WFT) == 0x05030302; }))
        << std::hex << Register(kTavro, WFT);
    EXPECT_EQ(DriveBlock(1), FilterCoefficientBlock({0, 0, 0, 0, 32767, 0})) << "other filters stay";
    EXPECT_EQ(Text(dlg, IDC_FILTERS_DRIVE_DESC), "Low Pass, 1st Order") << "the drive now holds the filter sent";
    EXPECT_EQ(Text(dlg, IDC_FILTERS_DRIVE_ARG1), "100");
    Screenshot(dlg, "filters-sent");

    // The close question now has nothing to ask.
    ASSERT_TRUE(Wait([&] { return dlg->PendingChangesQuestion().IsEmpty(); }));
}

TEST_F(FilterWindowTest, SendIsRefusedWhileEnabledAndAsksWhenNotGenerated)
{
    CQvxGuiSetupFilters* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    TypeArgument(dlg, 0, "5");  // NONE shows no field, so the edit comes from the type list
    ASSERT_TRUE(kvtest::PickItem(Combo(dlg, IDC_FILTERS_WORK_TYPE), kFilterLP2));
    Boxes();
    AfxQueueScriptedAnswer(IDNO);
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_SEND));
    std::vector<CString> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].Find("Coefficients have not been generated.  Send anyway?"), -1);

    CString question = dlg->PendingChangesQuestion();
    EXPECT_EQ(question, "The following need coefficients generated:\r\n\t-First Filter\r\n\r\nAbandon changes?");

    SetRegister(kTavro, SSA, 0x100);
    ASSERT_TRUE(Wait([&] { return dlg->GetEnableBit() == 1; }));
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_SEND));
    boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].Find("Motor is Enabled.\nFilter values not sent to drive."), -1);
    SetRegister(kTavro, SSA, 0);
}

class FilterDriveBlockTest : public FilterWindowTest {
protected:
    void PrepareModel() override
    {
        m_typeWord = 0x05040305;
        m_firstBlock = Design(kFilterLP2, 300, 0.7);
        FilterWindowTest::PrepareModel();
    }
};

TEST_F(FilterDriveBlockTest, DriveParametersAreFittedFromTheDrivesBlock)
{
    CQvxGuiSetupFilters* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(Text(dlg, IDC_FILTERS_DRIVE_DESC), "Not Available");
    EXPECT_FALSE(Combo(dlg, IDC_FILTERS_DRIVE_TYPE)->IsWindowEnabled());
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_GENERATE_DRIVE));
    EXPECT_EQ(Text(dlg, IDC_FILTERS_DRIVE_DESC), "Low Pass, 2nd Order");
    EXPECT_EQ(Text(dlg, IDC_FILTERS_DRIVE_ARG1), FittedFirst(m_firstBlock, kFilterLP2, "%.0f"));
    EXPECT_EQ(Text(dlg, IDC_FILTERS_DRIVE_ARG2), "0.70");
    EXPECT_FALSE(dlg->GetDlgItem(IDC_FILTERS_DRIVE_ARG3)->IsWindowVisible());
    Screenshot(dlg, "filters-drive-parameters");

    // A type the block does not fit: the message and the previous type with zero arguments.
    Boxes();
    const int failing = FailingType(m_firstBlock);
    ASSERT_GT(failing, 0);
    ASSERT_TRUE(kvtest::PickItem(Combo(dlg, IDC_FILTERS_DRIVE_TYPE), failing));
    EXPECT_TRUE(Shown(Boxes(), "Filter arguments could not be calculated."));
    EXPECT_EQ(Combo(dlg, IDC_FILTERS_DRIVE_TYPE)->GetCurSel(), kFilterLP2);
    EXPECT_EQ(Text(dlg, IDC_FILTERS_DRIVE_ARG1), "0");

    // Inv Test reads the working record, here the drive's block taken at opening.
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_INV_TEST));
    const std::vector<CString> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].Find("Guess: NONE"), -1) << boxes[0];
}

class FilterDriveNotchTest : public FilterWindowTest {
protected:
    void PrepareModel() override
    {
        m_typeWord = 0x05040306;
        m_firstBlock = Design(kFilterNTCH2A, 330.82);
        FilterWindowTest::PrepareModel();
    }
};

TEST_F(FilterDriveNotchTest, DrivePanelAndFilterToolShowTheSameDamping)
{
    CQvxGuiSetupFilters* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_GENERATE_DRIVE));
    const CString panel[2] = {Text(dlg, IDC_FILTERS_DRIVE_ARG2), Text(dlg, IDC_FILTERS_DRIVE_ARG4)};
    // The fitted damping lies just above 0.05: a rounding to nearest would show 0.05.
    EXPECT_EQ(panel[0], "0.06");
    bool opened = false;
    kvtest::OnNextModal([&](CWnd* tool) {
        opened = true;
        kvtest::Click(tool->GetDlgItem(IDC_FTOOL_GUESS));
        EXPECT_EQ(Text(tool, IDC_FTOOL_ARG2), panel[0]);
        EXPECT_EQ(Text(tool, IDC_FTOOL_ARG4), panel[1]);
        kvtest::Click(tool->GetDlgItem(IDCANCEL));
    });
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_TOOL));
    EXPECT_TRUE(opened);
}

TEST_F(FilterWindowTest, PresetsSaveOneOrAllFiltersAndLoadUnknownTypesAsNone)
{
    WriteIni("Old", "First", "LP1", "Filters.ini");
    WriteIni("Old", "Arg_1_1", "50", "Filters.ini");
    WriteIni("Old", "Second", "BOGUS", "Filters.ini");
    WriteIni("FILTERS", "DefaultSet", "Old", "kvfact.ini");
    CQvxGuiSetupFilters* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    // The factory's default set was taken as the current one, and shown.
    char current[64];
    GetPrivateProfileString("FILTERS", "Current_Set", "", current, sizeof current, m_app.m_iniPath.c_str());
    EXPECT_STREQ(current, "Old");
    EXPECT_EQ(Combo(dlg, IDC_FILTERS_WORK_TYPE)->GetCurSel(), kFilterLP1);
    EXPECT_EQ(Text(dlg, IDC_FILTERS_WORK_ARG1), "50");
    EXPECT_EQ(dlg->GetWorkingBlock(0), Design(kFilterLP1, 50));
    CComboBox* presets = Combo(dlg, IDC_FILTERS_PRESET);
    EXPECT_EQ(presets->GetCurSel(), 0);

    // Save the first filter alone under an empty name: section "NULL".
    presets->SetWindowText("");
    kvtest::OnNextModal([](CWnd* modal) {
        CString title;
        modal->GetWindowText(title);
        EXPECT_EQ(title, "Save Filter Preset: NULL");
        CString first;
        modal->GetDlgItemText(IDC_PRESET_THIS_FILTER, first);
        EXPECT_EQ(first, "Save presets for First Filter only");
        kvtest::Click(modal->GetDlgItem(IDOK));
    });
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_PRESET_SAVE));
    CFilterPresetFile file(m_home.File("Filters.ini").c_str());
    EXPECT_EQ(file.Read("NULL", 0).type, "LP1");
    EXPECT_EQ(file.Read("NULL", 0).args[0], "50");
    char value[64];
    EXPECT_EQ(GetPrivateProfileString("NULL", "Second", "missing", value, sizeof value, m_home.File("Filters.ini").c_str()),
              7u);

    // Save all under a new name, then load the second filter: the unknown type is NONE.
    presets->SetWindowText("Mine");
    kvtest::OnNextModal([](CWnd* modal) {
        kvtest::Click(modal->GetDlgItem(IDC_PRESET_ALL_FILTERS));
        kvtest::Click(modal->GetDlgItem(IDOK));
    });
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_PRESET_SAVE));
    EXPECT_EQ(file.Read("Mine", 3).type, "NONE");
    const std::vector<CString> names = file.Names();
    EXPECT_EQ(names, (std::vector<CString>{"Old", "NULL", "Mine"}));
    EXPECT_EQ(presets->GetCount(), 3);

    PickTab(dlg, 1);
    presets->SetWindowText("Old");
    kvtest::OnNextModal([](CWnd* modal) { kvtest::Click(modal->GetDlgItem(IDOK)); });
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_PRESET_LOAD));
    EXPECT_EQ(Combo(dlg, IDC_FILTERS_WORK_TYPE)->GetCurSel(), kFilterNone);
    EXPECT_EQ(Text(dlg, IDC_FILTERS_WORK_DESC), "No Filter");
    Screenshot(dlg, "filters-presets");

    // A name the file cannot hold is refused; Delete asks and removes the section.
    Boxes();
    presets->SetWindowText("a[b]");
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_PRESET_SAVE));
    EXPECT_TRUE(Shown(Boxes(), "A preset name cannot hold brackets or line breaks."));
    presets->SetWindowText("Mine");
    kvtest::Click(dlg->GetDlgItem(IDC_FILTERS_PRESET_DELETE));
    EXPECT_TRUE(Shown(Boxes(), "Delete Filter Preset\"Mine\"?"));
    EXPECT_EQ(file.Names(), (std::vector<CString>{"Old", "NULL"}));
}

TEST_F(FilterWindowTest, TabAndLayoutSlotsOutsideTheFourGiveTheFirst)
{
    AfxWriteProfileInt("TABSAVE", "Filters", 9);
    CQvxGuiSetupFilters* dlg = Open();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->GetSlot(), 0);
    PickTab(dlg, 3);
    dlg->DestroyWindow();
    Settle();
    EXPECT_EQ(AfxGetProfileInt("TABSAVE", "Filters", 0), 3u);
    EXPECT_EQ(CQvxGuiSetupFilters::ClampSlot(-1), 0);
    EXPECT_EQ(CQvxGuiSetupFilters::ClampSlot(4), 0);
    AfxWriteProfileInt("TABSAVE", "Filters", 0);
}

TEST(FilterWindowTexts, TwoDecimalRoundingIsDecimal)
{
    const struct {
        double in;
        const char* shown;
    } cases[] = {{0.05, "0.05"}, {1.1, "1.10"}, {12.341, "12.35"}, {-12.341, "-12.35"}, {0.0, "0.00"}, {2.0, "2.00"}};
    for (const auto& c : cases) {
        CString text;
        text.Format("%.2f", RoundTwoDecimalsAway(c.in));
        EXPECT_EQ(text, c.shown) << c.in;
    }
    EXPECT_EQ(FilterTypeFromCode("NTCH2B"), kFilterNTCH2B);
    EXPECT_EQ(FilterTypeFromCode("ntch2b"), kFilterNone);
    EXPECT_EQ(FilterTypeDescription(8), "Unknown Filter Type");
    EXPECT_EQ(FilterArgumentLabel(kFilterNTCH2A, 3, true), "Denominator Damp Ratio:");
}

class FilterToolTest : public ::testing::Test {
protected:
    static bool Fs(double& fs)
    {
        fs = kFs;
        return true;
    }
    static CString Text(CWnd* dlg, int id)
    {
        CString text;
        dlg->GetDlgItemText(id, text);
        return text;
    }
};

TEST_F(FilterToolTest, GuessOnNoneAndTheListReturningToTheLastGoodType)
{
    AfxTakeScriptedMessageLog();
    const FilterCoefficientBlock none{{0, 0, 0, 0, 32767, 0}};
    CFilterParameterToolDlg tool(none, &Fs);
    kvtest::OnNextModal([](CWnd* modal) {
        auto* dlg = static_cast<CFilterParameterToolDlg*>(modal);
        auto* types = static_cast<CComboBox*>(dlg->GetDlgItem(IDC_FTOOL_TYPE));
        EXPECT_EQ(types->GetCurSel(), -1);
        EXPECT_EQ(Text(dlg, IDC_FTOOL_DESC), "Unknown Filter Type");
        EXPECT_FALSE(dlg->GetDlgItem(IDC_FTOOL_ARG1)->IsWindowVisible());
        kvtest::Click(dlg->GetDlgItem(IDC_FTOOL_GUESS));
        EXPECT_EQ(types->GetCurSel(), kFilterNone);
        EXPECT_EQ(Text(dlg, IDC_FTOOL_DESC), "No Filter");
        EXPECT_EQ(Text(dlg, IDC_FTOOL_ARG1), "0.00");

        // An LP2 typed in; LP2 fits, NTCH2A does not and the list goes back.
        const FilterCoefficientBlock lp2 = Design(kFilterLP2, 250, 0.5);
        for (int i = 0; i < 6; ++i)
            dlg->SetDlgItemInt(IDC_FTOOL_ITEM0 + i, static_cast<UINT>(lp2[i]), TRUE);
        ASSERT_TRUE(kvtest::PickItem(types, kFilterLP2));
        const CString fitted = FittedFirst(lp2, kFilterLP2, "%.2f");
        EXPECT_EQ(Text(dlg, IDC_FTOOL_ARG1), fitted);
        EXPECT_EQ(Text(dlg, IDC_FTOOL_LABEL2), "Damping Ratio");
        Screenshot(dlg, "filter-tool");
        AfxTakeScriptedMessageLog();
        const int failing = FailingType(lp2);
        ASSERT_GT(failing, 0);
        ASSERT_TRUE(kvtest::PickItem(types, failing));
        const std::vector<CString> boxes = AfxTakeScriptedMessageLog();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].Find("Filter arguments could not be calculated."), -1);
        EXPECT_EQ(types->GetCurSel(), kFilterLP2);
        EXPECT_EQ(Text(dlg, IDC_FTOOL_ARG1), fitted) << "arguments stay as they were";

        // A block the drive cannot hold is never converted.
        dlg->SetDlgItemInt(IDC_FTOOL_ITEM5, 16, TRUE);
        kvtest::Click(dlg->GetDlgItem(IDC_FTOOL_GUESS));
        EXPECT_EQ(AfxTakeScriptedMessageLog().size(), 1u);
        dlg->SetDlgItemText(IDC_FTOOL_ITEM5, "x");
        EXPECT_FALSE(dlg->Calculate(kFilterLP2));
        kvtest::Click(dlg->GetDlgItem(IDCANCEL));
    });
    tool.DoModal();
}

}  // namespace
