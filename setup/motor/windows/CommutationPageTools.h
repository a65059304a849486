// CCommutationPageTools: what the commutation sheet's Config and Feedback
// Config pages do alike: their edits' colours, the range message of an entry
// that was adjusted, a reading as a whole number, and edits that follow the
// conversions of the drive the page now has.
#pragma once

#include <optional>
#include <span>

#include "distribution/DmQueryVar.h"
#include "framework/QvxGuiEditCtrl.h"

class CGlobalParameterTable;

class CCommutationPageTools {
public:
    // White, lavender while changed, grey while offline; blue text.
    static void SetColours(CQvxGuiEditCtrl& edit);
    static CString RangeText(const char* name, double low, double high);
    static std::optional<int> QueryValue(const CDmQueryVar& query);
    // The edits were bound before the page had its drive.
    static void FollowDriveConversions(CGlobalParameterTable& table, std::span<CQvxGuiEditCtrl> edits);
};
