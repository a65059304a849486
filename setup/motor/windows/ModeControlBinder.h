// Binds the register-bound controls of the drive mode windows the same way:
// poll period and query flags, conversion by a drive parameter, limits,
// colours and send group.
#pragma once

#include <initializer_list>

#include "distribution/DmQueryVar.h"
#include "framework/QvxGuiCheckboxCtrl.h"
#include "framework/QvxGuiControlList.h"
#include "framework/QvxGuiEditCtrl.h"

class CGuiUpdateDlg;

struct ModeEditRow {
    int id = 0;
    WORD code = 0;
    int index = -1;  // entry of an indexed register, -1 for a plain one
    unsigned flags = 0;
    bool working = false;
    int parameter = -1;  // conversion parameter, -1 for none
    const char* format = "%0.0f";
    double minimum = -32767;
    double maximum = 32767;
    int group = 0;  // 0: only with the whole window
    const char* name = "";
    bool magnitude = false;
};

class CModeControlBinder {
public:
    static constexpr WORD kPollMs = 600;
    static constexpr BYTE kQueryFlags = 0x60;
    static constexpr WORD kBrakingCode = 67;
    static constexpr WORD kBrakingIndexCode = 73;
    static constexpr const char* kRetry = "Could not complete operation.  Please try again";

    static void BindEdit(CGuiUpdateDlg& owner, CQvxGuiEditCtrl& edit, const ModeEditRow& row);
    // A box showing `mask` of the register; a working box also writes it.
    static void BindCheck(CGuiUpdateDlg& owner, CQvxGuiCheckboxCtrl& box, int id, WORD code, int index, DWORD mask,
                          bool working, int group);
    // Edits bound before the window had its drive follow that drive's conversions.
    // Sends the controls of `group` (-1: all) that show a value: a row cleared
    // because its mode is off holds nothing the user chose.
    static int SendShown(CQvxGuiControlList& controls, int group);
    // Writes an unsigned 32-bit setting (the gear in factor) whole; 0 without a drive.
    static int SendUnsigned(CGuiUpdateDlg& owner, WORD code, double value);
    // An element of the drive's hardware word (13452 through its index 13449).
    static void QueryHardware(CDmQueryVar& hardware, BYTE address, WORD element, WORD pollMs);
    // After a page's own status queries: the item's, then every bound control polls anew.
    static int SubscribeAndRestartPolling(CGuiUpdateDlg& page);
    static void FollowDriveConversions(CGuiUpdateDlg& owner, CQvxGuiEditCtrl* edits, int count,
                                       std::initializer_list<int> parameters);
};
