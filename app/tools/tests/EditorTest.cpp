// The program editor as a user drives it on the running program: typing,
// saving through the save dialog, opening, the recent files, the close
// questions, Find, and a transfer's busy mark refusing every close.
#include <fstream>
#include <sstream>

#include "app/tests/AppTestFixture.h"
#include "app/tools/QvxEditorFrame.h"
#include "app/tools/QvxEditorFrameList.h"
#include "app/tools/QvxOpenWindowsListDlg.h"
#include "platform/ui/ListCtrl.h"
#include "resources/ids/OpenWindowsListIds.h"
#include "platform/core/SpecialFolders.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/Menu.h"
#include "testing/WindowShot.h"

namespace {
std::string ReadBytes(const CString& path)
{
    std::ifstream file(path.GetString(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteBytes(const CString& path, const std::string& bytes)
{
    std::ofstream(path.GetString(), std::ios::binary) << bytes;
}

CString TitleOf(CWnd* window)
{
    CString title;
    window->GetWindowText(title);
    return title;
}

class EditorTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        ASSERT_TRUE(Start());
        Messages();
    }
    CQvxEditorFrameList& Editors() { return Frame()->GetEditors(); }
    CQvxEditorFrame* NewEditor()
    {
        const int before = Editors().GetCount();
        EXPECT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|Editor|&New File"));
        return Editors().GetCount() == before + 1 ? Editors().GetTail() : nullptr;
    }
    CQvxEditorFrame* Open(const CString& path)
    {
        kvtest::QueueFileDialogAnswer(path);
        const int before = Editors().GetCount();
        EXPECT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|Editor|&Open"));
        return Editors().GetCount() == before + 1 ? Editors().GetTail() : nullptr;
    }
    CString File(const char* name) const { return m_home.File(name).c_str(); }
    static CString Text(CQvxEditorFrame* editor) { return editor->GetView().GetTextBytes(); }
    std::vector<CString> Recent()
    {
        std::vector<CString> paths;
        for (POSITION pos = Editors().GetRecentFiles().GetHeadPosition(); pos;)
            paths.push_back(Editors().GetRecentFiles().GetNext(pos));
        return paths;
    }
};

// A stand-in for the backup engine: it marks the editor busy as a running transfer does.
class HoldingTransfers : public CQvxEditorTransfers {
public:
    int IsJobInProgress() override { return m_editor != nullptr; }
    void SetHelpId(int helpId) override { m_helpId = helpId; }
    int DownloadToEditor(CAmpBackupEditor* editor) override { return Hold(editor); }
    int UploadFromEditor(CAmpBackupEditor* editor) override { return Hold(editor); }
    int ReportToEditor(CAmpBackupEditor* editor) override { return Hold(editor); }
    int Hold(CAmpBackupEditor* editor)
    {
        m_editor = editor;
        editor->SetTransferBusy(1);
        return 1;
    }
    void Finish(const CString& file)
    {
        m_editor->LoadTextFile(file, 1);
        m_editor->SetTransferBusy(0);
        m_editor = nullptr;
    }
    CAmpBackupEditor* m_editor = nullptr;
    int m_helpId = 0;
};
}  // namespace

TEST_F(EditorTest, TypingMarksTheTitleAndSaveOnANewEditorGoesToSaveAsInTheDocumentsFolder)
{
    CQvxEditorFrame* editor = NewEditor();
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(CString("Editor - KVEdit1.txt"), TitleOf(editor));
    EXPECT_EQ(AfxGetSpecialFolder(CSIDL_PERSONAL) + "/Korvane/KVEdit1.txt", editor->GetSaveAsName());
    kvtest::TypeText(&editor->GetView(), "PROG 1\nMOVE 20");
    EXPECT_EQ(CString("Editor - KVEdit1.txt*"), TitleOf(editor));
    Screenshot(Frame(), "editor");

    const CString path = File("first.txt");
    kvtest::QueueFileDialogAnswer(path);
    editor->SendMessage(WM_COMMAND, ID_EDITOR_SAVE);
    EXPECT_EQ("PROG 1\r\nMOVE 20", ReadBytes(path));
    EXPECT_EQ(CString("Editor - first.txt"), TitleOf(editor));
    EXPECT_FALSE(editor->IsUntitled());
    EXPECT_EQ(std::vector<CString>{path}, Recent());
    EXPECT_TRUE(Messages().empty());

    // Saved once, the Save command writes the file without asking.
    kvtest::TypeText(&editor->GetView(), "!");
    editor->SendMessage(WM_COMMAND, ID_EDITOR_SAVE);
    EXPECT_EQ("PROG 1\r\nMOVE 20!", ReadBytes(path));
}

TEST_F(EditorTest, AFileOpensInAFramedWindowTitledByItsNameAtItsFirstLine)
{
    std::string lines;
    for (int i = 1; i <= 300; ++i)
        lines += "LINE " + std::to_string(i) + "\r\n";
    const CString path = File("long.txt");
    WriteBytes(path, lines);
    CQvxEditorFrame* editor = Open(path);
    ASSERT_NE(nullptr, editor);
    AfxPumpMessages();
    EXPECT_TRUE(editor->IsWindowVisible());
    EXPECT_EQ("Editor - long.txt", TitleOf(editor));
    long start = -1, end = -1;
    editor->GetView().GetSel(start, end);
    EXPECT_EQ(0, start);
    EXPECT_EQ(0, end);
    EXPECT_EQ(0, editor->GetView().GetFirstVisibleLine());
    // The frame's border and caption lie outside its client area.
    CRect window, client;
    editor->GetWindowRect(&window);
    editor->GetClientRect(&client);
    EXPECT_LT(client.Height(), window.Height() - 10);
    EXPECT_LT(client.Width(), window.Width());
    Screenshot(editor, "editor-framed");
}

TEST_F(EditorTest, AFileIsWrittenBackWithItsOwnBytesAndLineEnds)
{
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"crlf.txt", "A 1\r\nB 2\r\n"},
        {"lf.txt", "A 1\nB 2\n"},
        {"degree.txt", "T=20\xB0\r\n"},
        {"utf8.txt", "T=20\xC2\xB0 \xC3\xA9t\xC3\xA9\r\n"},
        {"empty.txt", ""},
    };
    for (const Case& c : cases) {
        const CString path = File(c.name);
        WriteBytes(path, c.bytes);
        CQvxEditorFrame* editor = Open(path);
        ASSERT_NE(nullptr, editor) << c.name;
        EXPECT_EQ(CString("Editor - ") + c.name, TitleOf(editor));
        EXPECT_EQ(1, editor->Save()) << c.name;
        EXPECT_EQ(c.bytes, ReadBytes(path)) << c.name;
        editor->SendMessage(WM_CLOSE);
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(EditorTest, SaveKeepsABackupFilesTypeAndSaveAsTakesTheChosenOne)
{
    const CString backup = File("drive.bk");
    WriteBytes(backup, "P 1\r\n");
    CQvxEditorFrame* editor = Open(backup);
    ASSERT_NE(nullptr, editor);
    EXPECT_EQ(kEditorFileBackup, editor->GetFileType());
    editor->Save();
    EXPECT_EQ(kEditorFileBackup, editor->GetFileType());
    kvtest::QueueFileDialogAnswer(File("copy.txt"));
    editor->SendMessage(WM_COMMAND, ID_EDITOR_SAVE_AS);
    EXPECT_EQ(kEditorFileText, editor->GetFileType());
    EXPECT_EQ(File("copy.txt"), editor->GetFileName());
}

TEST_F(EditorTest, AFailedSaveKeepsTheOldFileNameAndState)
{
    const CString path = File("kept.txt");
    WriteBytes(path, "OLD\r\n");
    CQvxEditorFrame* editor = Open(path);
    ASSERT_NE(nullptr, editor);
    kvtest::TypeText(&editor->GetView(), "NEW ");
    const CString missing = File("no such folder/x.txt");
    kvtest::QueueFileDialogAnswer(missing);
    EXPECT_EQ(0, editor->SaveAs());
    EXPECT_EQ(std::vector<CString>{"ERROR: Could not save file \"" + missing + "\"."}, Messages());
    EXPECT_EQ(path, editor->GetFileName());
    EXPECT_EQ(CString("Editor - kept.txt*"), TitleOf(editor));
    EXPECT_EQ("OLD\r\n", ReadBytes(path));
}

TEST_F(EditorTest, RecentFilesKeepSixMoveAReopenedOneUpAndSurviveARestart)
{
    std::vector<CString> paths;
    for (int i = 1; i <= 7; ++i) {
        CString name;
        name.Format("f%d.txt", i);
        paths.push_back(File(name));
        WriteBytes(paths.back(), "x");
        ASSERT_NE(nullptr, Open(paths.back()));
    }
    const std::vector<CString> six = {paths[6], paths[5], paths[4], paths[3], paths[2], paths[1]};
    EXPECT_EQ(six, Recent());
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), "&File|Editor|Recent Files|" + paths[6]));
    EXPECT_EQ(-1, kvtest::MenuItemState(Frame(), "&File|Editor|Recent Files|" + paths[0]));

    // Reopened from the menu, an entry moves to the top once.
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|Editor|Recent Files|" + paths[3]));
    EXPECT_EQ(paths[3], Editors().GetTail()->GetFileName());
    const std::vector<CString> moved = {paths[3], paths[6], paths[5], paths[4], paths[2], paths[1]};
    EXPECT_EQ(moved, Recent());

    // A file gone since: the error, no window, the entry stays.
    std::remove(paths[1].GetString());
    const int open = Editors().GetCount();
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|Editor|Recent Files|" + paths[1]));
    EXPECT_EQ(std::vector<CString>{"ERROR: Could not open file \"" + paths[1] + "\"."}, Messages());
    EXPECT_EQ(open, Editors().GetCount());
    EXPECT_EQ(moved, Recent());

    // What the next start reads.
    CQvxRecentEditorFiles next;
    next.Load();
    std::vector<CString> loaded;
    for (POSITION pos = next.GetHeadPosition(); pos;)
        loaded.push_back(next.GetNext(pos));
    EXPECT_EQ(moved, loaded);
}

TEST_F(EditorTest, AnEmptyRecentListShowsOneGreyedItem)
{
    EXPECT_EQ(0, kvtest::MenuItemState(Frame(), "&File|Editor|Recent Files|<no recent files>"));
}

TEST_F(EditorTest, CloseAsksAboutUnsavedTextAndYesOnAnUntitledEditorGoesToSaveAs)
{
    CQvxEditorFrame* editor = NewEditor();
    ASSERT_NE(nullptr, editor);
    editor->SendMessage(WM_COMMAND, ID_EDITOR_CLOSE);  // unchanged: no question
    EXPECT_EQ(0, Editors().GetCount());
    EXPECT_TRUE(Messages().empty());

    editor = NewEditor();
    kvtest::TypeText(&editor->GetView(), "X");
    const CString name = editor->GetShortName();
    AfxQueueScriptedAnswer(IDCANCEL);
    editor->SendMessage(WM_COMMAND, ID_EDITOR_CLOSE);
    EXPECT_EQ(1, Editors().GetCount());
    EXPECT_EQ(std::vector<CString>{"Save file \"" + name + "\"?"}, Messages());

    // Yes, then Save As cancelled: the editor stays and nothing is written.
    AfxQueueScriptedAnswer(IDYES);
    kvtest::QueueFileDialogAnswer("");
    editor->SendMessage(WM_CLOSE);
    EXPECT_EQ(1, Editors().GetCount());
    Messages();

    const CString path = File("saved.txt");
    AfxQueueScriptedAnswer(IDYES);
    kvtest::QueueFileDialogAnswer(path);
    editor->SendMessage(WM_CLOSE);
    EXPECT_EQ(0, Editors().GetCount());
    EXPECT_EQ("X", ReadBytes(path));
    EXPECT_FALSE(CFile::Exists(name));

    editor = NewEditor();
    kvtest::TypeText(&editor->GetView(), "Y");
    AfxQueueScriptedAnswer(IDNO);
    editor->SendMessage(WM_CLOSE);
    EXPECT_EQ(0, Editors().GetCount());
}

TEST_F(EditorTest, ABusyEditorRefusesEveryCloseAndStopsCloseAllAndTheProgramsClose)
{
    HoldingTransfers transfers;
    Editors().SetTransfers(&transfers);
    CQvxEditorFrame* first = NewEditor();
    CQvxEditorFrame* busy = NewEditor();
    ASSERT_NE(nullptr, busy);
    // Transfers need the link.
    EXPECT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    busy->SendMessage(WM_COMMAND, ID_EDITOR_DOWNLOAD);
    ASSERT_EQ(busy, transfers.m_editor);
    EXPECT_EQ(-1758, transfers.m_helpId);
    EXPECT_EQ(1, busy->IsBusy());
    Messages();

    busy->SendMessage(WM_COMMAND, ID_EDITOR_CLOSE);
    busy->SendMessage(WM_CLOSE);
    EXPECT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|Editor|Close All"));
    EXPECT_EQ(0, Editors().CloseAll());
    EXPECT_FALSE(Editors().Contains(first));
    EXPECT_TRUE(Editors().Contains(busy));
    const std::vector<CString> refused(4, "Cannot close window");
    EXPECT_EQ(refused, Messages());
    Frame()->SendMessage(WM_CLOSE);
    EXPECT_TRUE(Frame()->GetSafeHwnd());
    EXPECT_EQ(std::vector<CString>({"Cannot close window", "Exit cancelled."}), Messages());

    // The finished download fills the editor and lets it go.
    const CString result = File("result.txt");
    WriteBytes(result, "SETTINGS\r\n");
    transfers.Finish(result);
    EXPECT_EQ(CString("SETTINGS\r\n"), Text(busy));
    AfxQueueScriptedAnswer(IDNO);  // the loaded text is unsaved
    EXPECT_EQ(1, Editors().CloseAll());
    EXPECT_EQ(0, Editors().GetCount());
    Editors().SetTransfers(nullptr);
}

TEST_F(EditorTest, LoadTextFileInsertsAtTheCaretAsOneUndoStep)
{
    CQvxEditorFrame* editor = NewEditor();
    ASSERT_NE(nullptr, editor);
    kvtest::TypeText(&editor->GetView(), "AB");
    editor->GetView().SetSel(1, 1);
    const CString file = File("part.txt");
    WriteBytes(file, "1\r\n2\r\n");
    EXPECT_EQ(1, editor->LoadTextFile(file, 0));
    EXPECT_EQ(CString("A1\r\n2\r\nB"), Text(editor));
    editor->GetView().Undo();
    EXPECT_EQ(CString("AB"), Text(editor));
    EXPECT_EQ(1, editor->LoadTextFile(file, 1));
    EXPECT_EQ(CString("1\r\n2\r\n"), Text(editor));
    EXPECT_EQ(0, editor->LoadTextFile(File("missing.txt"), 1));
    EXPECT_EQ(CString("1\r\n2\r\n"), Text(editor));
}

TEST_F(EditorTest, FindSelectsTheNextMatchAndSaysWhenThereIsNone)
{
    CQvxEditorFrame* editor = NewEditor();
    ASSERT_NE(nullptr, editor);
    kvtest::TypeText(&editor->GetView(), "move a\nMOVE b\nmover");
    editor->GetView().SetSel(0, 0);
    editor->SendMessage(WM_COMMAND, ID_EDITOR_FIND);
    CFindReplaceDialog* find = editor->GetFindDialog();
    ASSERT_NE(nullptr, find);
    EXPECT_EQ(CString("Find - KVEdit1.txt"), TitleOf(find));
    Screenshot(find, "editor-find");
    find->SetDlgItemText(CFindReplaceDialog::kFindText, "MOVE");
    kvtest::Click(find->GetDlgItem(CFindReplaceDialog::kMatchCase));
    kvtest::Click(find->GetDlgItem(IDOK));
    EXPECT_EQ(CString("MOVE"), editor->GetView().GetSelText());
    long start = 0, end = 0;
    editor->GetView().GetSel(start, end);
    EXPECT_EQ(8, start);

    kvtest::Click(find->GetDlgItem(CFindReplaceDialog::kMatchCase));
    kvtest::Click(find->GetDlgItem(CFindReplaceDialog::kWholeWord));
    kvtest::Click(find->GetDlgItem(IDOK));  // "mover" is no whole word: around to the first
    editor->GetView().GetSel(start, end);
    EXPECT_EQ(0, start);

    find->SetDlgItemText(CFindReplaceDialog::kFindText, "JUMP");
    kvtest::Click(find->GetDlgItem(IDOK));
    EXPECT_EQ(std::vector<CString>{"Could not find text"}, Messages());
    kvtest::Click(find->GetDlgItem(IDCANCEL));
    EXPECT_EQ(nullptr, editor->GetFindDialog());

    // A selection is the next search's text.
    editor->GetView().SetSel(8, 14);  // a line end counts two
    editor->SendMessage(WM_COMMAND, ID_EDITOR_FIND);
    ASSERT_NE(nullptr, editor->GetFindDialog());
    CString text;
    editor->GetFindDialog()->GetDlgItemText(CFindReplaceDialog::kFindText, text);
    EXPECT_EQ(CString("MOVE b"), text);
}

TEST_F(EditorTest, TheContextMenuGreysWhatCannotBeDone)
{
    CQvxEditorFrame* editor = NewEditor();
    ASSERT_NE(nullptr, editor);
    const auto states = [&]() {
        CMenu menu;
        editor->GetView().BuildContextMenu(menu);
        std::vector<CString> enabled;
        for (int i = 0; i < menu.GetMenuItemCount(); ++i) {
            CString text;
            menu.GetMenuString(static_cast<UINT>(i), text, MF_BYPOSITION);
            if (!text.IsEmpty() && !(menu.GetMenuState(static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED))
                enabled.push_back(text);
        }
        return enabled;
    };
    for (const CString& text : states())
        EXPECT_TRUE(text == "Paste") << text.GetString();  // an empty text: at most Paste
    kvtest::TypeText(&editor->GetView(), "ab cd");
    editor->GetView().SetSel(0, 2);
    std::vector<CString> enabled = states();
    for (const char* text : {"Undo", "Cut", "Copy", "Delete", "Select All"})
        EXPECT_NE(enabled.end(), std::find(enabled.begin(), enabled.end(), CString(text))) << text;
    EXPECT_TRUE(editor->GetView().RunEditCommand(CQvxRichEditView::kDeleteCommand));
    EXPECT_EQ(CString(" cd"), Text(editor));
    editor->GetView().Undo();
    EXPECT_EQ(CString("ab cd"), Text(editor));
    // A typed blank ends an undo step: undo takes back the last word only.
    editor->GetView().Undo();
    EXPECT_EQ(CString("ab"), Text(editor));
}

TEST_F(EditorTest, TheWindowMenuListsEditorsFirst)
{
    CQvxEditorFrame* editor = NewEditor();
    ASSERT_NE(nullptr, editor);
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    Frame()->SendMessage(WM_COMMAND, 32799);
    EXPECT_EQ(1, kvtest::MenuItemState(Frame(), "&Window|&1 Editor - KVEdit1.txt"));
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&Window|&1 Editor - KVEdit1.txt"));
    EXPECT_EQ(editor, Frame()->MDIGetActive());
}

TEST_F(EditorTest, TheWindowsListShowsEditorsAfterDriveWindowsAndAnEditorThatRefusesStays)
{
    CQvxEditorFrame* editor = NewEditor();
    ASSERT_NE(nullptr, editor);
    kvtest::TypeText(&editor->GetView(), "unsaved");
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    Frame()->SendMessage(WM_COMMAND, 32799);
    CString terminal;
    Frame()->GetUpdateList()->GetHead()->GetWnd()->GetWindowText(terminal);
    kvtest::OnNextModal([&](CWnd* window) {
        auto* dialog = static_cast<CQvxOpenWindowsListDlg*>(window);
        CListCtrl& list = dialog->GetList();
        ASSERT_EQ(2, list.GetItemCount());
        EXPECT_EQ(terminal, list.GetItemText(0, 0));
        EXPECT_EQ(CString("Editor - KVEdit1.txt*"), list.GetItemText(1, 0));
        list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        AfxQueueScriptedAnswer(IDCANCEL);  // keep the unsaved text
        kvtest::Click(dialog->GetDlgItem(IDC_OPEN_WINDOWS_CLOSE));
        EXPECT_EQ(2, list.GetItemCount());
        EXPECT_EQ(0, list.GetSelectedCount());
        kvtest::Click(dialog->GetDlgItem(IDOK));
    });
    Frame()->SendMessage(WM_COMMAND, 16000);
    EXPECT_TRUE(Editors().Contains(editor));
}

TEST_F(EditorTest, SaveAllSavesEachEditorAndSendsANewOneToSaveAs)
{
    const CString opened = File("opened.txt");
    WriteBytes(opened, "A\r\n");
    CQvxEditorFrame* first = Open(opened);
    CQvxEditorFrame* second = NewEditor();
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    kvtest::TypeText(&first->GetView(), "1");
    kvtest::TypeText(&second->GetView(), "2");
    const CString chosen = File("new.txt");
    kvtest::QueueFileDialogAnswer(chosen);
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|Editor|Save All"));
    EXPECT_EQ("1A\r\n", ReadBytes(opened));  // an opened file is shown from its start, the caret there
    EXPECT_EQ("2", ReadBytes(chosen));
    EXPECT_EQ(CString("Editor - new.txt"), TitleOf(second));
    const std::vector<CString> recent = {chosen, opened};
    EXPECT_EQ(recent, Recent());
}

TEST_F(EditorTest, ADownloadThroughTheBackupEngineFillsTheEditorWhichRefusesToCloseMeanwhile)
{
    CQvxEditorFrame* editor = NewEditor();
    ASSERT_NE(nullptr, editor);
    editor->UpdateToolBar();
    EXPECT_FALSE(editor->GetToolBar().IsButtonEnabled(ID_EDITOR_DOWNLOAD)) << "no link";
    ASSERT_TRUE(kvtest::ChooseMenuItem(Frame(), "&File|&Demo"));
    editor->UpdateToolBar();
    EXPECT_TRUE(editor->GetToolBar().IsButtonEnabled(ID_EDITOR_DOWNLOAD));
    Messages();
    kvtest::OnNextModal([&](CWnd* dialog) { kvtest::Click(dialog->GetDlgItem(IDOK)); });
    editor->SendMessage(WM_COMMAND, ID_EDITOR_DOWNLOAD);
    ASSERT_EQ(1, editor->IsBusy());
    editor->SendMessage(WM_CLOSE);
    EXPECT_TRUE(Editors().Contains(editor));
    ASSERT_TRUE(Wait([&] { return !editor->IsBusy(); }, 60000));
    EXPECT_NE(-1, Text(editor).Find("; KORVANE BACKUP FILE")) << Text(editor).Left(200).GetString();
    EXPECT_EQ(CString("Editor - KVEdit1.txt*"), TitleOf(editor));
    AfxQueueScriptedAnswer(IDNO);
    editor->SendMessage(WM_CLOSE);
    EXPECT_FALSE(Editors().Contains(editor));
}
