// The table database's windows, over a small encoder table in a temporary folder.
#include <gtest/gtest.h>

#include "GalleryWindows.h"
#include "controls/DPopupSelectListDlg.h"
#include "database/QvxDatabase.h"
#include "database/windows/SelectAbsEncFromDbDlg.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/SelectAbsEncFromDbIds.h"
#include "testing/TempDir.h"

namespace {
const char* const kEncoders =
    "<tabledef>\n"
    "<fieldname=\"ID\", type=AUTOINCID>\n"
    "<fieldname=\"Manufacturer\", type=STRING>\n"
    "<fieldname=\"Model\", type=STRING>\n"
    "<fieldname=\"Status\", type=STRING>\n"
    "</tabledef>\n"
    "{\"1\", \"Heidenhain\", \"EQN1325\", \"Local\"}\n"
    "{\"2\", \"Heidenhain\", \"ECN1313\", \"Approved\"}\n"
    "{\"3\", \"Renishaw\", \"Resolute\", \"Submitted\"}\n";

// Opens the edit's list with its arrow and takes the first row.
void ChooseFirst(CWnd* dialog, int arrow, int edit)
{
    kvtest::Click(dialog->GetDlgItem(arrow));
    auto* box = dynamic_cast<CDPopupSelectListEditCtrl*>(dialog->GetDlgItem(edit));
    if (!box || !box->GetPopup())
        return;
    CListCtrl& list = box->GetPopup()->GetList();
    list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    kvtest::PressKey(&list, VK_RETURN);
    AfxPumpMessagesUntil([&] { return box->GetPopup() == nullptr; });
    AfxPumpMessages();
}
}  // namespace

void ShowSelectAbsEnc(GalleryShots& shots)
{
    TempDir home;
    home.Write("AbsEncDB.txt", kEncoders);
    CQvxDatabase db;
    CString error;
    ASSERT_TRUE(db.LoadTable(home.File("AbsEncDB.txt").c_str(), &error)) << error.GetString();
    ASSERT_TRUE(db.OpenRecordset("AbsEncByModel", "AbsEncDB", "Model", "", "", 0));
    CSelectAbsEncFromDbDlg dialog;
    dialog.m_recordset = db.FindRecordset("AbsEncByModel");
    kvtest::OnNextModal([&](CWnd* d) {
        shots.Take(d, "empty");
        ChooseFirst(d, IDC_SAE_MANUFACTURER_ARROW, IDC_SAE_MANUFACTURER);
        ChooseFirst(d, IDC_SAE_PART_NUMBER_ARROW, IDC_SAE_PART_NUMBER);
        shots.Take(d, "chosen");
        kvtest::CloseWindow(d);
    });
    dialog.DoModal();
}
