// CCommutationPageTools: what the commutation sheet's Config and Feedback
// Config pages do alike: their edits' colours, the range message of an entry
// that was adjusted, a reading as a whole number, and edits that follow the
// conversions of the drive the page now has or are shown again once their
// conversion gain is known.
#pragma once

#include <initializer_list>
#include <optional>
#include <span>

#include "distribution/DmQueryVar.h"
#include "framework/QvxGuiEditCtrl.h"

class CGuiUpdateItem;

class CCommutationPageTools {
public:
    // White, lavender while changed, grey while offline; blue text.
    static void SetColours(CQvxGuiEditCtrl& edit);
    static CString RangeText(const char* name, double low, double high);
    static std::optional<int> QueryValue(const CDmQueryVar& query);
    // The page's queries once it has a drive: its edits, bound before the page
    // had its drive, follow the drive's conversions and the drive's parameters
    // are asked for. 0 without a drive.
    static int PrepareQueries(CGuiUpdateItem& page, std::span<CQvxGuiEditCtrl> edits,
                              std::initializer_list<int> parameterIds);
    // Edits read before their conversion gain was known are shown again, in
    // the format given, once the gain differs from the one last seen.
    static void RefreshOnNewGain(CGuiUpdateItem& page, int gainId, double& lastGain,
                                 std::initializer_list<CQvxGuiEditCtrl*> edits, const char* format);
};
