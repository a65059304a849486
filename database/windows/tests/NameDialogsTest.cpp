#include <gtest/gtest.h>

#include <functional>

#include "database/windows/AddManufacturerDlg.h"
#include "database/windows/EditSubmitterDlg.h"
#include "platform/ui/Edit.h"
#include "platform/ui/UserInput.h"
#include "resources/ids/AddManufacturerIds.h"
#include "resources/ids/EditSubmitterIds.h"
#include "testing/WindowShot.h"

namespace {

struct Case {
    const char* name;
    const char* typed;  // null: the shown name is kept
    UINT button;
    int result;
    const char* kept;
};

// Runs the dialog: reads the caption and the shown name, types, presses the button.
template <class Dialog>
void RunNameDialog(Dialog& dialog, CString& member, int editId, const char* caption, const Case& c)
{
    member = "Start";
    kvtest::OnNextModal([&](CWnd* d) {
        CString text;
        d->GetWindowText(text);
        EXPECT_EQ(text, caption);
        d->GetDlgItemText(editId, text);
        EXPECT_EQ(text, "Start") << "the name the caller gave is shown";
        if (c.typed) {
            d->SetDlgItemText(editId, "");
            kvtest::TypeText(d->GetDlgItem(editId), c.typed);
        }
        kvtest::Click(d->GetDlgItem(c.button));
    });
    EXPECT_EQ(dialog.DoModal(), c.result);
    EXPECT_EQ(member, c.kept);
}

const Case kCases[] = {
    {"OK keeps the typed name", "Tamagawa", IDOK, IDOK, "Tamagawa"},
    {"OK with the shown name", nullptr, IDOK, IDOK, "Start"},
    {"Cancel leaves the name", "Tamagawa", IDCANCEL, IDCANCEL, "Start"},
};

}  // namespace

TEST(NameDialogsTest, AddManufacturerTakesTheTypedNameOnlyOnOk)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        CAddManufacturerDlg dialog;
        RunNameDialog(dialog, dialog.m_manufacturer, IDC_ADD_MANUFACTURER_NAME, "Add Manufacturer", c);
    }
}

TEST(NameDialogsTest, EditSubmitterTakesTheTypedNameOnlyOnOk)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        CEditSubmitterDlg dialog;
        RunNameDialog(dialog, dialog.m_submitter, IDC_SUBMITTER_NAME, "Submit Absolute Encoder Data", c);
    }
    CEditSubmitterDlg dialog;
    dialog.m_submitter = "J. Smith";
    kvtest::OnNextModal([&](CWnd* d) {
        Screenshot(d, "database_edit_submitter");
        kvtest::Click(d->GetDlgItem(IDCANCEL));
    });
    dialog.DoModal();
}
