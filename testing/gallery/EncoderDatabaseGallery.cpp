// The absolute-encoder database window over a small encoder table in a
// temporary folder: a record the user may edit, an approved one shown read
// only, one marked for submission, and a view of one status.
#include <gtest/gtest.h>

#include "GalleryWindows.h"
#include "database/QvxCloudDatabaseInterface.h"
#include "database/QvxDatabase.h"
#include "database/windows/EditAbsEncDbDlg.h"
#include "database/windows/DatabaseAppServices.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/MdiFrameWnd.h"
#include "platform/ui/UserInput.h"
#include "platform/ui/WinApp.h"
#include "resources/ids/EditAbsEncDbIds.h"
#include "testing/TempDir.h"

namespace {
const char* const kEncoders =
    "<tabledef>\n"
    "<fieldname=\"Manufacturer\", fielddesc=\"Manufacturer\", type=STRING, default=\"\">\n"
    "<fieldname=\"Model\", fielddesc=\"Model\", type=STRING, default=\"\">\n"
    "<fieldname=\"SingleTurn\", fielddesc=\"Single-turn bits\", type=NUMERIC, decdigits=0, default=\"0\">\n"
    "<fieldname=\"MultiTurn\", fielddesc=\"Multi-turn bits\", type=NUMERIC, decdigits=0, default=\"0\">\n"
    "<fieldname=\"Frequency\", fielddesc=\"Frequency\", type=STRING, default=\"\">\n"
    "<fieldname=\"Protocol\", fielddesc=\"Protocol\", type=STRING, default=\"\">\n"
    "<fieldname=\"Status\", fielddesc=\"Status\", type=STRING, default=\"Local\">\n"
    "</tabledef>\n"
    "{\"Heidenhain\", \"ECN1313\", \"13\", \"0\", \"2M\", \"EnDat\", \"Local\"}\n"
    "{\"Heidenhain\", \"EQN1325\", \"25\", \"12\", \"2M\", \"EnDat\", \"Approved\"}\n"
    "{\"Renishaw\", \"Resolute\", \"26\", \"16\", \"4M\", \"BiSS\", \"Ready To Submit\"}\n";

class GalleryEncoderServices : public CDatabaseAppServices {
public:
    CQvxDatabase* GetTableDatabase() override { return database; }
    CQvxCloudDatabaseInterface* GetCloudInterface() override { return &cloud; }
    CQvxDatabase* database = nullptr;
    CQvxCloudDatabaseInterface cloud;
};

void SelectRecord(CWnd* dialog, int index)
{
    auto* selector = dynamic_cast<CComboBox*>(dialog->GetDlgItem(IDC_AED_RECORD_SELECTOR));
    if (selector)
        kvtest::PickItem(selector, index);
    AfxPumpMessages();
}
}  // namespace

void ShowEditAbsEncDb(GalleryShots& shots)
{
    TempDir home;
    home.Write("AbsEncDB.txt", kEncoders);
    CQvxDatabase db;
    CString error;
    ASSERT_TRUE(db.LoadTable(home.File("AbsEncDB.txt").c_str(), &error)) << error.GetString();
    GalleryEncoderServices services;
    services.database = &db;
    CDatabaseAppServices::Install(&services);
    {
        CEditAbsEncDbDlg dialog;
        ASSERT_TRUE(dialog.Create(IDD_EDIT_ABS_ENC_DB));
        dialog.ShowWindow(SW_SHOW);
        AfxPumpMessages();
        SelectRecord(&dialog, 0);
        shots.Take(&dialog, "local record");
        SelectRecord(&dialog, 1);
        shots.Take(&dialog, "approved record");
        SelectRecord(&dialog, 2);
        dialog.MoveWindow(0, 0, 520, 420);
        AfxPumpMessages();
        shots.Take(&dialog, "ready to submit, enlarged");
        kvtest::ChooseMenuItem(&dialog, "View|Approved");
        AfxPumpMessages();
        shots.Take(&dialog, "approved view");
        dialog.DestroyWindow();
    }
    CDatabaseAppServices::Install(nullptr);
}
