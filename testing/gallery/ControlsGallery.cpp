// The shared dialogs and controls in the gallery.
#include <gtest/gtest.h>

#include "GalleryWindows.h"
#include "controls/DListComboCtrl.h"
#include "controls/DPopupSelectListDlg.h"
#include "controls/DPopupSelectListEditCtrl.h"
#include "controls/JogBtn.h"
#include "controls/LampButton.h"
#include "controls/ModelessMsgDlg.h"
#include "controls/SaveWindowImageDlg.h"
#include "controls/TestReportCtrl.h"
#include "controls/TreeComboBox.h"
#include "controls/WarningMessageDlg.h"
#include "controls/WindowImageExport.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/ExportWindowImageIds.h"
#include "resources/ids/WarningIds.h"

namespace {

// A plain window to hold controls made in code.
class CPanel : public CWnd {
public:
    CPanel(const char* title, int width, int height)
    {
        CreateEx(0, nullptr, title, WS_POPUP | WS_VISIBLE, CRect(40, 40, 40 + width, 40 + height), nullptr, 0);
    }
    ~CPanel() override
    {
        if (GetSafeHwnd())
            DestroyWindow();
    }
};

CPoint CellCentre(CListCtrl& list, int row, int column)
{
    CRect cell;
    list.GetSubItemRect(row, column, LVIR_LABEL, cell);
    return cell.CenterPoint();
}

class CListOwner : public CDListComboCtrlCB {
public:
    int GetItemSelection(CDListComboCtrl* list, int row, int column) override
    {
        CStringList* choices = list->GetComboList(column);
        const CString shown = list->GetItemText(row, column);
        int index = 0;
        for (POSITION pos = choices ? choices->GetHeadPosition() : nullptr; pos; ++index)
            if (choices->GetNext(pos) == shown)
                return index;
        return -1;
    }
    CString GetItemText(CDListComboCtrl* list, int row, int column) override { return list->GetItemText(row, column); }
    int GetColumnEditType(CDListComboCtrl*, int, int column) override
    {
        return column == 1 ? LCC_EDIT_LIST : column == 2 ? LCC_EDIT_TREE : LCC_EDIT_TEXT;
    }
};

}  // namespace

void ShowWarningDialog(GalleryShots& shots)
{
    for (BOOL question : {FALSE, TRUE}) {
        kvtest::OnNextModal([&shots, question](CWnd* dialog) {
            shots.Take(dialog, question ? "question" : "notice");
            kvtest::Click(dialog->GetDlgItem(question ? IDC_WARN_NO : IDOK));
        });
        CWarningMessageDlg dialog;
        dialog.ShowWarning(question ? "GALLERY_QUESTION" : "GALLERY_NOTICE", question,
                           question ? "Send all settings to the drive now?" : "The table will be replaced.", IDOK);
    }
}

void ShowModelessMessage(GalleryShots& shots)
{
    CModelessMsgDlg box;
    ASSERT_TRUE(box.Open("Reading drive", "Reading the parameters of drive Kreln...", TRUE));
    box.SetProgress(40);
    shots.Take(&box, "progress with cancel");
    box.Close();
}

void ShowExportDialog(GalleryShots& shots)
{
    CPanel window("Exported", 200, 120);
    kvtest::OnNextModal([&shots](CWnd* dialog) {
        kvtest::Click(dialog->GetDlgItem(IDC_EXPORT_TO_FILE));
        kvtest::Click(dialog->GetDlgItem(IDC_EXPORT_PNG));
        dialog->SetDlgItemText(IDC_EXPORT_PATH, "/home/engineer/scope.png");
        shots.Take(dialog, "to a file");
        kvtest::Click(dialog->GetDlgItem(IDC_EXPORT_TO_CLIPBOARD));
        shots.Take(dialog, "to the clipboard");
        kvtest::Click(dialog->GetDlgItem(IDCANCEL));
    });
    ExportWindowImage(&window, nullptr);
}

void ShowReportListDialog(GalleryShots& shots)
{
    CTestReportCtrl dialog;
    ASSERT_TRUE(dialog.Create(IDD_TEST_REPORTCTRL));
    dialog.ShowWindow(SW_SHOW);
    shots.Take(&dialog, "filled");
    kvtest::Click(dialog.GetDlgItem(IDC_TEST_REPORT_HILIGHT));
    shots.Take(&dialog, "highlighted row");
    CReportCtrl& report = dialog.m_report;
    report.m_bEditable = TRUE;
    report.SetFocus();
    kvtest::ClickAt(&report, CellCentre(report, 2, 0));
    kvtest::ClickAt(&report, CellCentre(report, 2, 0));
    EXPECT_TRUE(report.IsEditing()) << "the second click opens the cell's edit box";
    shots.TakeOpen(&dialog, "editor open");
    dialog.DestroyWindow();
}

void ShowListCombo(GalleryShots& shots)
{
    CPanel panel("List-combo", 420, 200);
    CDListComboCtrl list;
    ASSERT_TRUE(list.CreateReport(&panel, 4000, CRect(5, 5, 415, 195)));
    shots.Take(&panel, "empty");
    list.InsertColumn(0, "Setting", LVCFMT_LEFT, 140);
    list.InsertColumn(1, "Mode", LVCFMT_LEFT, 120);
    list.InsertColumn(2, "Feedback", LVCFMT_LEFT, 140);
    const char* names[] = {"Current loop", "Velocity loop", "Position loop", "Commutation"};
    for (int row = 0; row < 4; ++row) {
        list.InsertItem(row, names[row]);
        list.SetItemText(row, 1, "Off");
        list.SetItemText(row, 2, "Motor:Rotary");
    }
    list.AddComboList(1);
    for (const char* choice : {"Off", "Slow", "Fast"})
        list.AddComboString(choice);
    list.AddComboList(2);
    for (const char* choice : {"Motor:Rotary", "Motor:Linear", "Encoder"})
        list.AddComboString(choice);
    list.SetTreeDropSize(2, 160, 90);
    list.SetComboCell(1, -1);
    list.SetComboCell(2, -1);
    CListOwner owner;
    list.SetCallback(&owner);
    list.m_bEditable = TRUE;
    shots.Take(&panel, "filled");

    kvtest::ClickAt(&list, CellCentre(list, 1, 1));
    shots.Take(&panel, "row selected");
    kvtest::ClickAt(&list, CellCentre(list, 1, 1));
    CWnd* editor = list.GetDlgItem(IDC_INPLACE_LIST);
    ASSERT_NE(editor, nullptr);
    shots.TakeOpen(&panel, "list editor open");
    kvtest::PressKey(editor, VK_F4);
    EXPECT_TRUE(static_cast<CComboBox*>(editor)->GetDroppedState());
    shots.TakeOpen(&panel, "list dropped down");
    kvtest::ClickDroppedItem(editor, 2);
    AfxPumpMessagesUntil([&] { return list.GetDlgItem(IDC_INPLACE_LIST) == nullptr; });

    kvtest::ClickAt(&list, CellCentre(list, 2, 2));
    kvtest::ClickAt(&list, CellCentre(list, 2, 2));
    ASSERT_NE(list.GetDlgItem(IDC_INPLACE_LIST), nullptr);
    shots.TakeOpen(&panel, "tree dropped down");
    list.SetFocus();
    AfxPumpMessagesUntil([&] { return list.GetDlgItem(IDC_INPLACE_LIST) == nullptr; });

    kvtest::ClickAt(&list, CellCentre(list, 3, 0));
    kvtest::ClickAt(&list, CellCentre(list, 3, 0));
    ASSERT_NE(list.GetDlgItem(IDC_INPLACE_EDIT), nullptr);
    shots.TakeOpen(&panel, "edit box open");
    list.SetFocus();
    AfxPumpMessagesUntil([&] { return list.GetDlgItem(IDC_INPLACE_EDIT) == nullptr; });
}

void ShowTreeCombo(GalleryShots& shots)
{
    CPanel panel("Tree combo", 220, 180);
    auto* combo = new CTreeComboBox;
    ASSERT_TRUE(combo->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(10, 10, 200, 150), &panel, 77));
    for (const char* path : {"Motor:Rotary:Brushless", "Motor:Rotary:Stepper", "Motor:Linear", "Encoder"})
        combo->AddItem(path);
    shots.Take(&panel, "closed");
    combo->ShowDropDown();
    shots.TakeOpen(&panel, "dropped down");
    combo->DestroyWindow();
    delete combo;
}

void ShowPopupSelectList(GalleryShots& shots)
{
    CPanel panel("Popup select list", 260, 200);
    CDPopupSelectListEditCtrl edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 160, 32), &panel, 501));
    for (const char* choice : {"Abacus", "absolute", "Baby", "Cab", "Drab"})
        edit.GetChoices().AddTail(choice);
    edit.SetFocus();
    kvtest::TypeText(&edit, "a");
    ASSERT_NE(edit.GetPopup(), nullptr);
    shots.TakeOpen(&panel, "typed a, popup shown");
    if (CDPopupSelectListDlg* popup = edit.GetPopup())
        kvtest::PressKey(&popup->GetList(), VK_ESCAPE);
    shots.Take(&panel, "closed");
}

void ShowButtons(GalleryShots& shots)
{
    CPanel panel("Buttons", 240, 70);
    CLampButton lit, unlit;
    ASSERT_TRUE(lit.Create("Enabled", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 10, 110, 50), &panel, 77));
    ASSERT_TRUE(unlit.Create("Fault", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(120, 10, 220, 50), &panel, 78));
    for (CLampButton* lamp : {&lit, &unlit}) {
        lamp->m_onFaceColor = RGB(0, 200, 0);
        lamp->m_offFaceColor = RGB(200, 0, 0);
    }
    lit.m_on = TRUE;
    shots.Take(&panel, "lamps on and off");
    CPanel jogPanel("Jog", 200, 60);
    CJogBtn jog;
    ASSERT_TRUE(jog.Create("Jog +", WS_CHILD | WS_VISIBLE, CRect(10, 10, 90, 40), &jogPanel, 1234));
    shots.Take(&jogPanel, "jog button");
}
