#include <gtest/gtest.h>

#include "database/QvxDatabase.h"
#include "database/windows/QvxDatabaseNavCombo.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
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
    "{\"3\", \"Hengstler\", \"AD36\", \"19\"}\n";

class ComboParent : public CWnd {
public:
    ComboParent() { CreateEx(0, nullptr, "Encoders", WS_POPUP | WS_VISIBLE, CRect(0, 0, 320, 80), nullptr, 0); }
};

class NavComboTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home.Write("AbsEncDB.txt", kEncoders);
        CString error;
        ASSERT_TRUE(db.LoadTable(home.File("AbsEncDB.txt").c_str(), &error)) << error.GetString();
        ASSERT_TRUE(db.OpenRecordset("enc", "AbsEncDB", "Manufacturer", "", "", 0));
        rs = db.FindRecordset("enc");
        ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, CRect(10, 10, 300, 34),
                                 &parent, 501));
        CStringList names;
        names.AddTail("Manufacturer");
        names.AddTail("Model");
        ASSERT_TRUE(combo.SetRecordsetFields(names, rs));
    }
    CString ItemText(int index)
    {
        CString text;
        combo.GetLBText(index, text);
        return text;
    }

    TempDir home;
    CQvxDatabase db;
    CQvxDatabaseRecordset* rs = nullptr;
    ComboParent parent;
    CQvxDatabaseNavCombo combo;
};

}  // namespace

TEST_F(NavComboTest, ListsManufacturerAndModelInRecordsetOrderWithTheCurrentSelected)
{
    ASSERT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(ItemText(0), "Heidenhain - EQN1325");
    EXPECT_EQ(ItemText(1), "Hengstler - AD36");
    EXPECT_EQ(ItemText(2), "Renishaw - Resolute");
    EXPECT_EQ(combo.GetCurSel(), 0);
    Screenshot(&parent, "database_navcombo");

    CStringList unknown;
    unknown.AddTail("Vendor");
    EXPECT_FALSE(combo.SetRecordsetFields(unknown, rs));
    EXPECT_EQ(combo.GetRecordset(), rs) << "a failed call attaches nothing new";
}

TEST_F(NavComboTest, APickMovesTheRecordsetAndAMoveMovesTheSelection)
{
    ASSERT_TRUE(kvtest::PickItem(&combo, 2));
    CString model;
    rs->GetFieldValue("Model", FALSE, model);
    EXPECT_EQ(model, "Resolute");

    ASSERT_TRUE(rs->MoveFirst());
    EXPECT_EQ(combo.GetCurSel(), 0);
    ASSERT_TRUE(rs->MoveNext());
    EXPECT_EQ(combo.GetCurSel(), 1);
}

TEST_F(NavComboTest, SettingAFieldRewritesOnlyTheSelectedItem)
{
    ASSERT_TRUE(rs->MoveNext());
    const DWORD_PTR key = combo.GetItemData(1);
    ASSERT_TRUE(rs->SetFieldValue("Model", "AD58"));
    EXPECT_EQ(ItemText(1), "Hengstler - AD58");
    EXPECT_EQ(combo.GetItemData(1), key);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(ItemText(0), "Heidenhain - EQN1325");
    EXPECT_EQ(ItemText(2), "Renishaw - Resolute");
}

TEST_F(NavComboTest, AddingAndDeletingRefillAndDetachEmpties)
{
    ASSERT_TRUE(rs->AddNew());
    ASSERT_TRUE(rs->SetFieldValue("Manufacturer", "Sick"));
    ASSERT_TRUE(rs->Update());
    EXPECT_EQ(combo.GetCount(), 4);
    EXPECT_EQ(combo.GetCurSel(), 3);
    ASSERT_TRUE(rs->Delete());
    EXPECT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(combo.GetCurSel(), 2);

    combo.DetachRecordset();
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(combo.GetRecordset(), nullptr);
    ASSERT_TRUE(rs->MoveFirst());
    EXPECT_EQ(combo.GetCount(), 0) << "a detached combo hears nothing";
}

TEST_F(NavComboTest, RemovingTheRecordsetLeavesTheComboDetached)
{
    ASSERT_TRUE(db.RemoveRecordset("enc"));
    EXPECT_EQ(combo.GetRecordset(), nullptr);
    EXPECT_FALSE(combo.Refill());
}
