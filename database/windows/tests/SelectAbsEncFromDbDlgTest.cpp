#include <gtest/gtest.h>

#include <algorithm>

#include "controls/DPopupSelectListDlg.h"
#include "database/QvxDatabase.h"
#include "database/windows/SelectAbsEncFromDbDlg.h"
#include "platform/core/MessageBox.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/SelectAbsEncFromDbIds.h"
#include "testing/TempDir.h"
#include "testing/WindowShot.h"

namespace {

const char* const kEncoders =
    "<tabledef>\n"
    "<fieldname=\"ID\", type=AUTOINCID>\n"
    "<fieldname=\"Manufacturer\", type=STRING>\n"
    "<fieldname=\"Model\", type=STRING>\n"
    "<fieldname=\"Bits\", type=NUMERIC, decdigits=0>\n"
    "</tabledef>\n"
    "{\"1\", \"Heidenhain\", \"EQN1325\", \"25\"}\n"
    "{\"2\", \"Renishaw\", \"Resolute\", \"32\"}\n"
    "{\"3\", \"Heidenhain\", \"ECN1313\", \"13\"}\n"
    "{\"4\", \"Hengstler\", \"AD36\", \"19\"}\n";

// The choices in alphabetical order (the popup sorts them itself).
std::vector<CString> Strings(CStringList& list)
{
    std::vector<CString> out;
    for (POSITION pos = list.GetHeadPosition(); pos;)
        out.push_back(list.GetNext(pos));
    std::sort(out.begin(), out.end());
    return out;
}

class SelectAbsEncTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.Write("AbsEncDB.txt", kEncoders);
        CString error;
        ASSERT_TRUE(db.LoadTable(home.File("AbsEncDB.txt").c_str(), &error)) << error.GetString();
        ASSERT_TRUE(db.OpenRecordset("AbsEncByModel", "AbsEncDB", "Model", "", "", 0));
        rs = db.FindRecordset("AbsEncByModel");
        dialog.m_recordset = rs;
        AfxTakeScriptedMessageLog();
    }
    static CDPopupSelectListEditCtrl* Edit(CWnd* d, int id)
    {
        return dynamic_cast<CDPopupSelectListEditCtrl*>(d->GetDlgItem(id));
    }
    // Opens the edit's popup with its arrow and takes the row showing `text`.
    static void Choose(CWnd* d, int arrow, int edit, const char* text)
    {
        kvtest::Click(d->GetDlgItem(arrow));
        CDPopupSelectListEditCtrl* box = Edit(d, edit);
        ASSERT_NE(box->GetPopup(), nullptr);
        CListCtrl& list = box->GetPopup()->GetList();
        int row = -1;
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (list.GetItemText(i, 0) == text)
                row = i;
        ASSERT_GE(row, 0) << text;
        list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        kvtest::PressKey(&list, VK_RETURN);
        ASSERT_TRUE(AfxPumpMessagesUntil([&] { return box->GetPopup() == nullptr; }));
        AfxPumpMessages();
    }

    TempDir home;
    CQvxDatabase db;
    CQvxDatabaseRecordset* rs = nullptr;
    CSelectAbsEncFromDbDlg dialog;
};

}  // namespace

TEST_F(SelectAbsEncTest, AManufacturerNarrowsThePartNumbersAndOkReturnsBothChoices)
{
    int result = 0;
    kvtest::OnNextModal([&](CWnd* d) {
        EXPECT_EQ(Strings(Edit(d, IDC_SAE_MANUFACTURER)->GetChoices()),
                  (std::vector<CString>{"Heidenhain", "Hengstler", "Renishaw"}));

        Choose(d, IDC_SAE_MANUFACTURER_ARROW, IDC_SAE_MANUFACTURER, "Heidenhain");
        EXPECT_EQ(dialog.m_manufacturer, "Heidenhain");
        EXPECT_EQ(Strings(Edit(d, IDC_SAE_PART_NUMBER)->GetChoices()), (std::vector<CString>{"ECN1313", "EQN1325"}));
        EXPECT_TRUE(rs->filterField.IsEmpty()) << "the recordset is not left filtered";
        EXPECT_EQ(rs->GetCount(), 4);

        Choose(d, IDC_SAE_PART_NUMBER_ARROW, IDC_SAE_PART_NUMBER, "EQN1325");
        EXPECT_EQ(dialog.m_model, "EQN1325");
        Screenshot(d, "database_select_abs_enc");

        // Another manufacturer replaces the choices and empties the part number.
        Choose(d, IDC_SAE_MANUFACTURER_ARROW, IDC_SAE_MANUFACTURER, "Renishaw");
        EXPECT_EQ(Strings(Edit(d, IDC_SAE_PART_NUMBER)->GetChoices()), (std::vector<CString>{"Resolute"}));
        CString shown;
        d->GetDlgItemText(IDC_SAE_PART_NUMBER, shown);
        EXPECT_EQ(shown, "");
        EXPECT_EQ(dialog.m_model, "EQN1325") << "only a new part-number choice changes the model";

        // Enter with an empty part number keeps the dialog open.
        d->SendMessage(WM_COMMAND, IDOK);
        EXPECT_TRUE(d->IsWindowVisible());
        kvtest::Click(d->GetDlgItem(IDC_SAE_OK));
    });
    result = dialog.DoModal();
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_manufacturer, "Renishaw");
    EXPECT_EQ(dialog.m_model, "EQN1325");
    EXPECT_TRUE(rs->filterField.IsEmpty());
}

TEST_F(SelectAbsEncTest, ThePartNumberArrowAsksForAManufacturerFirstAndEnterClosesWithBoth)
{
    int result = 0;
    kvtest::OnNextModal([&](CWnd* d) {
        kvtest::Click(d->GetDlgItem(IDC_SAE_PART_NUMBER_ARROW));
        const auto boxes = AfxTakeScriptedMessageLog();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].Find("Please select an available Encoder Manufacturer."), -1) << boxes[0].GetString();
        EXPECT_EQ(Edit(d, IDC_SAE_PART_NUMBER)->GetPopup(), nullptr);

        Choose(d, IDC_SAE_MANUFACTURER_ARROW, IDC_SAE_MANUFACTURER, "Hengstler");
        Choose(d, IDC_SAE_PART_NUMBER_ARROW, IDC_SAE_PART_NUMBER, "AD36");
        d->SendMessage(WM_COMMAND, IDOK);
    });
    result = dialog.DoModal();
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dialog.m_manufacturer, "Hengstler");
    EXPECT_EQ(dialog.m_model, "AD36");
}

TEST_F(SelectAbsEncTest, CancelLeavesTheChoicesEmpty)
{
    kvtest::OnNextModal([&](CWnd* d) {
        kvtest::TypeText(d->GetDlgItem(IDC_SAE_MANUFACTURER), "Zeiss");
        if (Edit(d, IDC_SAE_MANUFACTURER)->GetPopup())
            Edit(d, IDC_SAE_MANUFACTURER)->ClosePopup();
        kvtest::Click(d->GetDlgItem(IDCANCEL));
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_manufacturer, "");
    EXPECT_EQ(dialog.m_model, "");
}
