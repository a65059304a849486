// The program's tables: factory display flags and version gates, help topics,
// drive assignments, the password digest, damaged settings files, and the
// resource readers with the program's own resources.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/RuntimeClass.h"
#include "app/AdminPassword.h"
#include "app/AppPaths.h"
#include "app/DriveAssignments.h"
#include "framework/FactorySettings.h"
#include "app/HelpSearch.h"
#include "app/HelpTopics.h"
#include "app/HelpWnd.h"
#include "app/KorvaneApp.h"
#include "app/SettingsFileGuard.h"
#include "app/Sha256.h"
#include "platform/core/RuntimeClass.h"
#include "platform/core/SpecialFolders.h"
#include "platform/ui/Accelerators.h"
#include "platform/ui/HelpContext.h"
#include "platform/ui/MenuResource.h"
#include "platform/ui/StringTable.h"
#include "platform/ui/ToolBarResource.h"
#include "testing/TempDir.h"

TEST(AppPathsTest, DefaultFilesAreCopiedOnceAndNeverOverwritten)
{
    TempDir dir;
    std::filesystem::create_directories(dir.File("program/QvxDatabase"));
    std::filesystem::create_directories(dir.File("data"));
    dir.Write("program/Filters.ini", "[F]\r\nA=1\r\n");
    dir.Write("program/ScopeSettingsV2.dat", "scope");
    dir.Write("program/QvxDatabase/QvxMotorDB.txt", "motors");
    SetupSettingsFilePaths((dir.File("program") + "/").c_str(), dir.File("data").c_str());
    EXPECT_EQ(dir.File("program/kvfact.ini"), AfxGetAppPaths().factoryIni.GetString());
    EXPECT_EQ(dir.File("data/kvsettings.ini"), AfxGetAppPaths().userIni.GetString());
    CopyDefaultDataFiles();
    EXPECT_EQ("[F]\r\nA=1\r\n", dir.Read("data/Filters.ini"));
    EXPECT_EQ("scope", dir.Read("data/ScopeSettingsV2.dat"));
    dir.Write("data/Filters.ini", "the user's own");
    CopyDefaultDataFiles();
    EXPECT_EQ("the user's own", dir.Read("data/Filters.ini"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("data/kvsettings.ini"))) << "the user settings are never copied";

    CString path;
    ASSERT_EQ(1, GetDatabaseFilePath("QvxMotorDB.txt", path));
    EXPECT_EQ(dir.File("data/QvxDatabase/QvxMotorDB.txt"), path.GetString());
    EXPECT_EQ("motors", dir.Read("data/QvxDatabase/QvxMotorDB.txt"));
    ASSERT_EQ(1, GetDatabaseFilePath("AbsEncDB.txt", path));
    EXPECT_FALSE(std::filesystem::exists(path.GetString())) << "nothing to copy";

    SetupSettingsFilePaths((dir.File("program") + "/").c_str(), "");
    EXPECT_TRUE(AfxGetAppPaths().userIni.IsEmpty());
    EXPECT_EQ(0, GetDatabaseFilePath("QvxMotorDB.txt", path));
}

TEST(FactorySettingsTest, DisplayFlagsFollowTheModelDisplaySection)
{
    TempDir dir;
    const struct {
        const char* section;
        int flags;
    } cases[] = {
        {"", 0},
        {"[MODEL DISPLAY]\r\nDebug=TRUE\r\n", 2},
        {"[MODEL DISPLAY]\r\nInHouse=true\r\n", 4},
        {"[MODEL DISPLAY]\r\nCustomerDisplay=FACTORY CONFIGURATION\r\n", 1},
        {"[MODEL DISPLAY]\r\nCustomerDisplay=Balance\r\n", 8},
        {"[MODEL DISPLAY]\r\nDebug=yes\r\nCustomerDisplay=normal configuration\r\n", 0},
        {"[model display]\r\ndebug=True\r\ninhouse=TRUE\r\ncustomerdisplay=factory configuration\r\n", 7},
    };
    for (const auto& c : cases) {
        dir.Write("kvfact.ini", c.section);
        EXPECT_EQ(c.flags, GetModelDisplayFlags(dir.File("kvfact.ini").c_str())) << c.section;
    }
    EXPECT_EQ(0, GetModelDisplayFlags(dir.File("missing.ini").c_str()));
}

TEST(FactorySettingsTest, UnlockVersionsDefaultToEveryVersion)
{
    TempDir dir;
    dir.Write("kvfact.ini", "[UNLOCK_TAVRO_FUNCTION_VER]\r\nPwm50=5.25\r\nPwm100=junk\r\n");
    const std::string ini = dir.File("kvfact.ini");
    EXPECT_DOUBLE_EQ(5.25, GetFunctionUnlockVersion(ini.c_str(), "Pwm50"));
    EXPECT_DOUBLE_EQ(0.0, GetFunctionUnlockVersion(ini.c_str(), "Pwm100"));
    EXPECT_DOUBLE_EQ(-1.0, GetFunctionUnlockVersion(ini.c_str(), "ResolverFeedbackSettings"));
    EXPECT_DOUBLE_EQ(-1.0, GetFunctionUnlockVersion(dir.File("missing.ini").c_str(), "Pwm50"));
}

TEST(HelpTopicsTest, IdsMapToTopics)
{
    const struct {
        WORD id;
        int topic;
    } cases[] = {
        {250, 1658},  // the frame's own help command: the default topic
        {311, 1709},  // the alert log
        {105, 0},
        {static_cast<WORD>(-1762), 1762},
        {63775, 1761},  // the backup question names the backup topic by its negation
        {63776, 1760},  // the layout question names the layout topic
        {9999, 1658},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.topic, MapHelpTopic(c.id)) << c.id;
    {
        CHelpContextScope box(341);
        EXPECT_EQ(1756, MapHelpTopic(250));
        EXPECT_EQ(1756, MapHelpTopic(311));
    }
    EXPECT_EQ(1658, MapHelpTopic(250));
}

TEST(DriveAssignmentsTest, EntriesLoadAsTheFileWritesThem)
{
    TempDir dir;
    dir.Write("user.ini", "[DRIVE_ASSIGNMENTS]\r\nDriveCount=6\r\nDrive1=0,X\r\nDrive2= 7,Y\r\nDrive3=5, Z\r\n"
                          "Drive4=nocomma\r\nDrive5=9,W,extra\r\nDrive6=3,Y\r\n");
    CDriveAssignments names;
    ASSERT_EQ(1, names.Load(dir.File("user.ini").c_str(), dir.File("fact.ini").c_str()));
    const std::vector<std::pair<CString, int>> expected = {
        {"X", 31}, {"Y", 3}, {" Z", 5}, {"W", 9}};  // a later Y replaces the earlier one
    EXPECT_EQ(expected, names.Entries());
}

TEST(DriveAssignmentsTest, EmptyCountsAndMissingFiles)
{
    TempDir dir;
    dir.Write("user.ini", "[DRIVE_ASSIGNMENTS]\r\nDriveCount=0\r\n");
    dir.Write("fact.ini", "[DRIVE_ASSIGNMENTS]\r\nDriveCount=0\r\n");
    CDriveAssignments names;
    ASSERT_EQ(1, names.Load(dir.File("user.ini").c_str(), dir.File("fact.ini").c_str()));
    ASSERT_EQ(1, names.GetCount());
    EXPECT_EQ(1, names.Entries()[0].second);

    dir.Write("fact.ini", "[DRIVE_ASSIGNMENTS]\r\nDriveCount=1\r\nDrive1=2,Tavro\r\n");
    ASSERT_EQ(1, names.Load(dir.File("user.ini").c_str(), dir.File("fact.ini").c_str()));
    EXPECT_EQ((std::vector<std::pair<CString, int>>{{"Tavro", 2}}), names.Entries());

    // Neither file gives a count: a failure, and the names stay.
    EXPECT_EQ(0, names.Load(dir.File("none.ini").c_str(), dir.File("none2.ini").c_str()));
    EXPECT_EQ(1, names.GetCount());
}

TEST(DriveAssignmentsTest, SaveWritesTheWholeSectionInOrderAndAFailureKeepsTheOldFile)
{
    TempDir dir;
    const std::string ini = dir.File("user.ini");
    dir.Write("user.ini", "[OTHER]\r\nKey=1\r\n[DRIVE_ASSIGNMENTS]\r\nDriveCount=9\r\nDrive9=4,Old\r\n");
    CDriveAssignments names;
    names.Set("X", 31);
    names.Set("B", 2);
    names.Set("A", 1);
    ASSERT_EQ(1, names.Save(ini.c_str()));
    const std::string text = dir.Read("user.ini");
    EXPECT_NE(std::string::npos, text.find("DriveCount=3\r\nDrive1=0,X\r\nDrive2=2,B\r\nDrive3=1,A\r\n")) << text;
    EXPECT_EQ(std::string::npos, text.find("Old"));
    EXPECT_NE(std::string::npos, text.find("[OTHER]\r\nKey=1"));

    CDriveAssignments again;
    ASSERT_EQ(1, again.Load(ini.c_str(), ""));
    EXPECT_EQ(names.Entries(), again.Entries());

    // A folder that cannot take the new file: the old one stays whole.
    ASSERT_EQ(0, chmod(dir.path().c_str(), 0500));
    const bool rootIgnoresModes = access(dir.path().c_str(), W_OK) == 0;
    names.Set("C", 3);
    if (!rootIgnoresModes) {
        EXPECT_EQ(0, names.Save(ini.c_str()));
        EXPECT_EQ(text, dir.Read("user.ini"));
    }
    chmod(dir.path().c_str(), 0700);
    EXPECT_EQ(0, names.Save(dir.path().c_str())) << "a folder is no settings file";
    EXPECT_EQ(0, names.Save("")) << "without a data folder nothing is written";
}

TEST(HexTextTest, BytesAreTwoLowerCaseDigitsEach)
{
    const BYTE bytes[] = {0x00, 0xAB, 0x7f, 0x10};
    CString text = "old";
    FormatHexBytes(4, text, bytes);
    EXPECT_EQ("00ab7f10", text);
    FormatHexBytes(0, text, bytes);
    EXPECT_EQ("", text);
}

TEST(AdminPasswordTest, OnlyTheExactTextMatchesTheStoredDigest)
{
    EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", CSha256::HexDigest("abc"));
    EXPECT_EQ("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1",
              CSha256::HexDigest("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"));
    kvtest::SetAdminPasswordDigest("salt", CSha256::HexDigest("saltOpen Sesame#1"));
    EXPECT_TRUE(IsAdminPassword("Open Sesame#1"));
    for (const char* wrong : {"", "open sesame#1", "OPEN SESAME#1", "Open Sesame#1 ", "Open Sesame#"})
        EXPECT_FALSE(IsAdminPassword(wrong)) << wrong;
}

TEST(SettingsFileGuardTest, DamagedFilesAreKeptAsideNeverOverwritten)
{
    TempDir dir;
    const std::string good = dir.File("good.ini");
    dir.Write("good.ini", "[A]\r\nB=1\r\n");
    CString message;
    EXPECT_EQ(0, SetAsideDamagedSettingsFile(good.c_str(), message));
    EXPECT_EQ(0, SetAsideDamagedSettingsFile(dir.File("missing.ini").c_str(), message));

    const std::string binary("[A]\r\nB=\0\x01\x02garbage", 16);
    dir.Write("bad.ini", binary);
    dir.Write("bad.ini.damaged", "an earlier one");
    ASSERT_EQ(1, SetAsideDamagedSettingsFile(dir.File("bad.ini").c_str(), message));
    EXPECT_NE(-1, message.Find("is not a text file")) << message.GetString();
    EXPECT_FALSE(std::filesystem::exists(dir.File("bad.ini")));
    EXPECT_EQ(binary, dir.Read("bad.ini.damaged2"));
    EXPECT_EQ("an earlier one", dir.Read("bad.ini.damaged"));

    std::filesystem::create_directory(dir.File("folder.ini"));
    EXPECT_EQ(-1, SetAsideDamagedSettingsFile(dir.File("folder.ini").c_str(), message));
    EXPECT_NE(-1, message.Find("is not a file"));
}

TEST(ResourceReadersTest, BadResourceTextsAreRefusedWithTheirLine)
{
    const struct {
        const char* text;
        const char* error;
    } menus[] = {
        {"MENU 1\nPOPUP \"&File\n", "line 2: a quoted text is not closed"},
        {"MENU 1\nPOPUP \"&File\"\nMENUITEM 5 \"A\"\nEND\n", "not closed with END"},
        {"MENU 1\nMENUITEM 70000 \"A\"\nEND\n", "line 2: MENUITEM"},
        {"MENU 1\nMENUITEM 0 \"A\"\nEND\n", "line 2: MENUITEM"},
        {"MENU 1\nSUBMENU \"A\"\nEND\n", "line 2: unknown word"},
        {"MENUX 1\n", "line 1: expected MENU"},
        {"MENU 1\nEND extra\n", "line 2: END takes"},
    };
    for (const auto& c : menus) {
        CMenuResource menu;
        EXPECT_FALSE(menu.LoadFromText(c.text, 1)) << c.text;
        EXPECT_NE(-1, menu.GetError().Find(c.error)) << menu.GetError().GetString();
    }
    CMenuResource other;
    EXPECT_FALSE(other.LoadFromText("MENU 2\nEND\n", 1));
    EXPECT_EQ("menu 1 not found", other.GetError());

    CAcceleratorTable keys;
    EXPECT_FALSE(keys.LoadFromText("ACCELERATORS 1\n\"Ctrl+Nonsense+\" 5\nEND\n", 1));
    EXPECT_NE(-1, keys.GetError().Find("line 2")) << keys.GetError().GetString();
    EXPECT_FALSE(keys.LoadFromText("ACCELERATORS 1\n\"F1\" 5\n", 1));
    CString error;
    EXPECT_FALSE(AfxRegisterStrings("STRINGTABLE\n12 \"a\" extra\nEND\n", &error));
    EXPECT_NE(-1, error.Find("line 2"));
    ToolBarResource bar;
    bool found = false;
    EXPECT_FALSE(ParseToolBarResource("TOOLBAR 1 0 15\nEND\n", 1, bar, found, error));
    EXPECT_FALSE(ParseToolBarResource("TOOLBAR 1 16 15\nBUTTON x\nEND\n", 1, bar, found, error));
    EXPECT_NE(-1, error.Find("line 2"));
}

TEST(ResourceReadersTest, TheProgramsMenusHoldTheirCommandsWithPromptsAndHelpCoversEveryTopic)
{
    const struct {
        UINT id;
        int debugPosition;
        std::vector<UINT> commands;
    } menus[] = {
        {367, 6, {32771, 32772, 32833, 32773, 32903, 33033, 33039, 33069, 32909, 57664}},
        {366, 8, {32790, 32795, 32786, 32796, 32816, 32906, 32908, 32848, 32799}},
        {368, 8, {32977, 32946, 32924, 32931, 32984, 32935, 32932, 32933, 32908}},
        {375, 8, {32790, 32977, 32906, 32935, 32812, 32848}},
    };
    for (const auto& m : menus) {
        CMenuResource menu;
        ASSERT_TRUE(menu.Load(m.id)) << menu.GetError().GetString();
        CString text;
        menu.GetMenu()->GetMenuString(static_cast<UINT>(m.debugPosition), text, MF_BYPOSITION);
        EXPECT_EQ("Debug", text) << m.id;
        EXPECT_TRUE(AfxFindMenuItem(menu.GetMenu()->GetSubMenu(m.debugPosition), 32904, nullptr, nullptr));
        for (UINT command : m.commands) {
            EXPECT_TRUE(AfxFindMenuItem(menu.GetMenu(), command, nullptr, nullptr)) << m.id << " " << command;
            EXPECT_FALSE(AfxGetCommandPrompt(command).IsEmpty()) << command;
        }
    }
    CAcceleratorTable keys;
    ASSERT_TRUE(keys.Load(250)) << keys.GetError().GetString();
    EXPECT_EQ("F1", keys.KeyOf(32909));
    EXPECT_TRUE(AfxGetStringTableErrors().IsEmpty()) << AfxGetStringTableErrors().GetString();
}

namespace {
std::string ReadHelpPage(const CString& page)
{
    std::ifstream in((GetHelpFilePath() + page).GetString(), std::ios::binary);
    return std::string{std::istreambuf_iterator<char>(in), {}};
}
}  // namespace

// Every topic the window table gives, and those the program names directly, has
// a page of its own that says something: no two topics share the same text.
TEST(HelpPagesTest, EveryTopicHasARealPageOfItsOwn)
{
    SetupSettingsFilePaths(AfxGetModuleFolder() + "/", "");
    int count = 0;
    const WORD* ids = HelpTableDialogIds(count);
    std::set<int> topics = {kDefaultHelpTopic, 1752, 1753, 1754, 1756, 1758, 1759, 1760, 1761, 1762, 1774};
    for (int i = 0; i < count; ++i)
        if (const int topic = MapHelpTopic(ids[i]); topic != 0)
            topics.insert(topic);
    CHelpWnd help;
    std::map<std::string, int> bodies;
    for (int topic : topics) {
        SCOPED_TRACE(topic);
        const CString page = help.PageOfTopic(topic);
        ASSERT_FALSE(page.IsEmpty());
        const std::string html = ReadHelpPage(page);
        const size_t title = html.find("<title>");
        ASSERT_NE(title, std::string::npos) << page.GetString();
        EXPECT_NE(html.find("</title>"), title + 7) << "a page without a title";
        EXPECT_EQ(html.find("Help for this part of Korvane"), std::string::npos);
        const auto [other, added] = bodies.emplace(html.substr(html.find("<body>")), topic);
        EXPECT_TRUE(added) << "the same page as topic " << other->second;
    }
    // The terminal's own words only act with their colon; its page must say so.
    const std::string terminal = ReadHelpPage(help.PageOfTopic(MapHelpTopic(327)));
    EXPECT_NE(terminal.find("<code>hex+:</code>"), std::string::npos);
    EXPECT_NE(terminal.find("with its colon"), std::string::npos);
}

TEST(HelpPagesTest, SearchFindsThePagesHoldingEveryWord)
{
    SetupSettingsFilePaths(AfxGetModuleFolder() + "/", "");
    CHelpWnd help;
    std::map<int, CString> pages;
    for (int topic : {kDefaultHelpTopic, 1660, 1661, 1724})
        pages[topic] = help.PageOfTopic(topic);
    const CHelpSearch search(GetHelpFilePath(), pages);
    auto titles = [&](const char* words) {
        std::vector<std::string> found;
        for (const CHelpSearch::Hit& hit : search.Find(words))
            found.push_back(hit.title.GetString());
        return found;
    };
    EXPECT_EQ(titles("HEX+:"), std::vector<std::string>{"Terminal"});
    EXPECT_EQ(titles("non-volatile  yes"), std::vector<std::string>{"Save to NVM"});
    EXPECT_TRUE(titles("oscilloscope nosuchword").empty());
    EXPECT_TRUE(titles("   ").empty());
    const CString page = search.ResultsPage("a<b");
    EXPECT_NE(page.Find("a&lt;b"), -1) << "typed text is shown, not run as markup";
}

TEST(WindowFactoryTest, TheTuningWindowsAreLinkedInByClassName)
{
    for (const char* name : {"CQvxGuiSetupFilters", "CQvxGuiMoveBuilderDlg", "CQvxGuiSetupServoTuningDlg",
                             "CQvxGuiSetupAutoManualTuningDlg"})
        EXPECT_NE(CRuntimeClass::FromName(name), nullptr) << name;
}
