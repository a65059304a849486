// The layout file on the demo link: windows saved with their drives, places,
// tabs and bags and loaded back the same; the file's bytes; dropped windows;
// later versions; damaged files; saves that fail; the file dialogs.
#include <cstring>

#include "DemoFrameFixture.h"
#include "framework/GuiLayoutFile.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/UserInput.h"

namespace {

std::string Counted(const std::string& text) { return std::string(1, static_cast<char>(text.size())) + text; }

std::string Header(short count, short version)
{
    std::string bytes(4, '\0');
    std::memcpy(bytes.data(), &count, 2);
    std::memcpy(bytes.data() + 2, &version, 2);
    return bytes;
}

struct Placed {
    CString className;
    int drive;
    CRect rect;
    bool operator==(const Placed& other) const
    {
        return className == other.className && drive == other.drive && CRect(rect) == CRect(other.rect);
    }
};

class LayoutTest : public DemoFrameTest {
protected:
    std::string Path(const char* name = "layout.kvl") const { return m_home.File(name); }
    // The registered windows of the list, in order, with their drives and places.
    std::vector<Placed> Windows()
    {
        std::vector<Placed> windows;
        for (POSITION pos = m_frame.m_list.GetHeadPosition(); pos;) {
            CGuiUpdateItem* item = m_frame.m_list.GetNext(pos);
            CString name;
            if (!m_frame.m_registry.FindWindowNameOfClass(item->GetGuiName(), name))
                continue;
            CRect rect;
            item->GetWnd()->GetWindowRect(&rect);
            windows.push_back({item->GetGuiName(), item->GetDrive(), rect});
        }
        return windows;
    }
    void CloseAll()
    {
        m_frame.m_list.CloseAllItemsWithoutAsking();
        ASSERT_TRUE(Wait([] { return CSampleDriveDlg::s_alive == 0 && CSampleSheet::s_alive == 0; }));
    }
    CSampleSheet* FindSheet()
    {
        for (POSITION pos = m_frame.m_list.GetHeadPosition(); pos;)
            if (auto* sheet = dynamic_cast<CSampleSheet*>(m_frame.m_list.GetNext(pos)))
                return sheet;
        return nullptr;
    }
    // Two sample windows on drives 1 and 2 and the sheet on drive 2, each in its own place.
    void OpenThree()
    {
        CSampleDriveDlg* first = OpenSample();
        first->SetWindowPos(nullptr, 40, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        CSampleSheet* sheet = OpenSheet();
        ASSERT_TRUE(kvtest::PickItem(&sheet->GetToolbar().GetSelector(), 1));
        sheet->SetWindowPos(nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ASSERT_TRUE(Wait([&] { return sheet->GetPendingTab() == -1; }));
        sheet->SelectPage(&sheet->m_page3);
        sheet->m_page2.m_setting = 77;
        CSampleDriveDlg* second = OpenSample("SAMPLEDRIVE:2");
        second->SetWindowPos(nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ASSERT_EQ(second->GetDrive(), 2);
    }
    size_t CountMessages(const std::string& line)
    {
        const auto lines = MessageLines();
        return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
    }
};

}  // namespace

TEST_F(LayoutTest, WindowsOnDifferentDrivesPlacesAndTabsComeBackTheSame)
{
    OpenThree();
    m_frame.m_list.AddItem(&m_scope);
    m_scope.GetProperties().SetInt("Zoom", 3);
    const std::vector<Placed> before = Windows();
    ASSERT_EQ(before.size(), 3u);
    ASSERT_EQ(m_frame.m_list.SaveLayout(Path().c_str(), 0, 0), 1);

    const std::string bytes = m_home.Read("layout.kvl");
    ASSERT_GE(bytes.size(), 4u + 16u);
    EXPECT_EQ(bytes.substr(0, 4), Header(4, 1)) << "three windows and the scope; no page";
    EXPECT_EQ(bytes.substr(4, 16), Counted("CSampleDriveDlg"));
    EXPECT_NE(bytes.find(Counted("CSampleSheet")), std::string::npos);
    EXPECT_NE(bytes.find(Counted("CQvxScopeDlg")), std::string::npos);

    CloseAll();
    m_scope.GetProperties().RemoveAll();
    m_frame.m_list.SetInteractive(0);
    ASSERT_EQ(m_frame.m_list.LoadLayout(Path().c_str()), 1);
    EXPECT_EQ(Windows(), before);
    CSampleSheet* sheet = FindSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(Wait([&] { return sheet->GetActiveIndex() == 2; })) << "the layout's tab";
    EXPECT_EQ(sheet->m_page2.m_setting, 77);
    EXPECT_EQ(sheet->m_page1.GetDrive(), 2);
    EXPECT_EQ(m_scope.m_reads, 1);
    int zoom = 0;
    EXPECT_TRUE(m_scope.GetProperties().GetInt("Zoom", zoom));
    EXPECT_EQ(zoom, 3);
    EXPECT_TRUE(m_frame.m_list.Contains(&m_scope));
    EXPECT_TRUE(MessageLines().empty());
}

TEST_F(LayoutTest, OnlyRegisteredWindowsAndTheScopeAreWritten)
{
    CGuiUpdateItem unregistered;  // "NONAME"
    m_frame.m_list.AddItem(&unregistered);
    ASSERT_EQ(m_frame.m_list.SaveLayout(Path().c_str(), 0, 0), 1);
    EXPECT_EQ(m_home.Read("layout.kvl"), Header(0, 1));

    m_frame.m_list.AddItem(&m_scope);
    ASSERT_EQ(m_frame.m_list.SaveLayout(Path().c_str(), 0, 0), 1);
    EXPECT_EQ(m_home.Read("layout.kvl").substr(0, 4 + 13), Header(1, 1) + Counted("CQvxScopeDlg"));
    m_frame.m_list.RemoveItem(&unregistered);
}

TEST_F(LayoutTest, ClassNamesWithAnInstanceSuffixAreReadWithoutIt)
{
    OpenSample();
    m_frame.m_list.AddItem(&m_scope);
    ASSERT_EQ(m_frame.m_list.SaveLayout(Path().c_str(), 0, 0), 1);
    const std::string saved = m_home.Read("layout.kvl");
    const size_t scopeAt = saved.find(Counted("CQvxScopeDlg"));
    ASSERT_NE(scopeAt, std::string::npos);
    const std::string firstBody = saved.substr(4 + 16, scopeAt - 4 - 16);
    const std::string scopeBody = saved.substr(scopeAt + 13);
    m_home.Write("suffix.kvl", Header(2, 1) + Counted("CSampleDriveDlg:2") + firstBody + Counted("CQvxScopeDlg:2") +
                                   scopeBody);
    CloseAll();
    m_frame.m_list.SetInteractive(0);
    ASSERT_EQ(m_frame.m_list.LoadLayout(Path("suffix.kvl").c_str()), 1);
    EXPECT_EQ(CSampleDriveDlg::s_alive, 1);
    EXPECT_EQ(m_scope.m_reads, 1);
    EXPECT_TRUE(m_frame.m_list.Contains(&m_scope));
    EXPECT_TRUE(MessageLines().empty());
}

TEST_F(LayoutTest, AWindowOnADriveNotConnectedIsDroppedWithOneMessage)
{
    OpenThree();
    ASSERT_EQ(m_frame.m_list.SaveLayout(Path().c_str(), 0, 0), 1);
    CloseAll();
    std::vector<CAmplifierData> connected = m_app.Connected();
    m_app.ClearConnectedDrives();
    for (const CAmplifierData& drive : connected)
        if (drive.m_address != 2)
            m_app.AddConnectedDrive(drive);
    m_frame.m_list.SetInteractive(0);
    ASSERT_EQ(m_frame.m_list.LoadLayout(Path().c_str()), 1);
    Settle();
    EXPECT_EQ(CSampleDriveDlg::s_alive, 1);
    EXPECT_EQ(CSampleSheet::s_alive, 0);
    ASSERT_EQ(Windows().size(), 1u);
    EXPECT_EQ(Windows()[0].drive, 1);
    EXPECT_EQ(MessageLines(), std::vector<std::string>{std::string("MSGBOX:") + kLayoutDroppedMessage});
}

TEST_F(LayoutTest, ALaterVersionOrAnEmptyFileClosesNothing)
{
    OpenSample();
    m_frame.m_list.SetInteractive(0);
    const struct {
        const char* name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"later.kvl", Header(0, 2), kLayoutLaterVersionMessage},
        {"empty.kvl", "", kLayoutDamagedMessage},
        {"short.kvl", "\x01", kLayoutDamagedMessage},
        {"negative.kvl", Header(-1, 1), kLayoutDamagedMessage},
    };
    for (const auto& c : cases) {
        m_app.m_debugLines.clear();
        m_home.Write(c.name, c.bytes);
        EXPECT_EQ(m_frame.m_list.LoadLayout(Path(c.name).c_str()), 0) << c.name;
        EXPECT_EQ(MessageLines(), std::vector<std::string>{std::string("MSGBOX:") + c.message}) << c.name;
        Settle();
        EXPECT_EQ(CSampleDriveDlg::s_alive, 1) << c.name;
        EXPECT_EQ(Windows().size(), 1u) << c.name;
    }
    EXPECT_EQ(m_frame.m_list.LoadLayout(Path("missing.kvl").c_str()), 0);
}

TEST_F(LayoutTest, ADamagedFileRestoresNothingAndSaysSoOnce)
{
    OpenThree();
    ASSERT_EQ(m_frame.m_list.SaveLayout(Path().c_str(), 0, 0), 1);
    const std::string good = m_home.Read("layout.kvl");
    const size_t sheetAt = good.find(Counted("CSampleSheet"));
    ASSERT_NE(sheetAt, std::string::npos);
    std::string unknown = good;
    unknown.replace(sheetAt, 13, Counted("CNoSuchSheet"));
    std::string moreThanThere = good;
    moreThanThere.replace(0, 4, Header(4, 1));
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"in the first record", good.substr(0, 4 + 16 + 5)},
        {"in the sheet's record", good.substr(0, sheetAt + 30)},
        {"before the last window's placement ends", good.substr(0, good.size() - 3)},
        {"an unknown class", unknown},
        {"a count beyond the records", moreThanThere},
    };
    m_frame.m_list.SetInteractive(0);
    for (const auto& c : cases) {
        m_app.m_debugLines.clear();
        m_home.Write("damaged.kvl", c.bytes);
        EXPECT_EQ(m_frame.m_list.LoadLayout(Path("damaged.kvl").c_str()), 0) << c.name;
        Settle();
        EXPECT_EQ(CSampleDriveDlg::s_alive, 0) << c.name;
        EXPECT_EQ(CSampleSheet::s_alive, 0) << c.name;
        EXPECT_EQ(m_frame.m_list.GetCount(), 0) << c.name;
        EXPECT_EQ(MessageLines(), std::vector<std::string>{std::string("MSGBOX:") + kLayoutDamagedMessage}) << c.name;
    }
    // The good file still loads whole afterwards.
    ASSERT_EQ(m_frame.m_list.LoadLayout(Path().c_str()), 1);
    EXPECT_EQ(Windows().size(), 3u);
}

// One window's bag naming a property of an earlier window's bag would leave
// both windows owning, and deleting, it.
TEST_F(LayoutTest, ABagNamingAnotherWindowsPropertyIsRefused)
{
    OpenSample()->GetProperties().SetString("P", "1");
    OpenSample("SAMPLEDRIVE:2")->GetProperties().SetString("Q", "2");
    ASSERT_EQ(m_frame.m_list.SaveLayout(Path().c_str(), 0, 0), 1);
    std::string bytes = m_home.Read("layout.kvl");
    const std::string firstClass = std::string("\xFF\xFF\x01\x00\x0A\x00", 6) + "CDProperty";
    const std::string second = std::string("\x01\x80", 2) + Counted("Q") + Counted("2");
    ASSERT_NE(bytes.find(firstClass + Counted("P") + Counted("1")), std::string::npos);
    const size_t at = bytes.find(second);
    ASSERT_NE(at, std::string::npos) << "the property class is the file's first";
    bytes.replace(at, second.size(), std::string("\x02\x00", 2));
    m_home.Write("shared.kvl", bytes);
    CloseAll();
    m_frame.m_list.SetInteractive(0);
    EXPECT_EQ(m_frame.m_list.LoadLayout(Path("shared.kvl").c_str()), 0);
    Settle();
    EXPECT_EQ(CSampleDriveDlg::s_alive, 0);
    EXPECT_EQ(MessageLines(), std::vector<std::string>{std::string("MSGBOX:") + kLayoutDamagedMessage});
}

TEST_F(LayoutTest, AFailedSaveLeavesThePreviousFileWhole)
{
    OpenSample();
    ASSERT_EQ(m_frame.m_list.SaveLayout(Path().c_str(), 0, 0), 1);
    const std::string previous = m_home.Read("layout.kvl");
    const int entries = m_home.CountEntries();
    OpenSample("SAMPLEDRIVE:2");
    m_frame.m_list.AddItem(&m_scope);
    m_scope.m_failSave = true;  // the disk fills while the scope's record is written
    EXPECT_EQ(m_frame.m_list.SaveLayout(Path().c_str(), 0, 0), 0);
    EXPECT_EQ(m_home.Read("layout.kvl"), previous);
    EXPECT_EQ(m_home.CountEntries(), entries) << "no temporary file left behind";
    EXPECT_EQ(m_frame.m_list.SaveLayout(m_home.File("no/such/folder/layout.kvl").c_str(), 0, 0), 0);
}

TEST_F(LayoutTest, TheSaveAndLoadDialogs)
{
    OpenSample();
    kvtest::QueueFileDialogAnswer(Path("chosen.kvl").c_str());
    EXPECT_EQ(m_frame.m_list.SaveLayout(nullptr, 0, 0), 1);
    EXPECT_EQ(m_frame.m_list.GetLayoutPath(), Path("chosen.kvl").c_str());
    EXPECT_EQ(m_home.Read("chosen.kvl").substr(0, 4), Header(1, 1));
    kvtest::QueueFileDialogAnswer("");
    EXPECT_EQ(m_frame.m_list.SaveLayout(Path("other.kvl").c_str(), 1, 0), 2) << "cancelled";
    kvtest::QueueFileDialogAnswer("");
    EXPECT_EQ(m_frame.m_list.LoadLayout(nullptr), 2);
    EXPECT_EQ(CSampleDriveDlg::s_alive, 1) << "a cancelled load closes nothing";
    kvtest::QueueFileDialogAnswer(Path("chosen.kvl").c_str());
    EXPECT_EQ(m_frame.m_list.LoadLayout(nullptr), 1);
    Settle();
    EXPECT_EQ(CSampleDriveDlg::s_alive, 1);
}
