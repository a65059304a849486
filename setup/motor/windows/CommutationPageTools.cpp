#include "setup/motor/windows/CommutationPageTools.h"

#include "distribution/parameters/GlobalParameterTable.h"
#include "framework/GuiUpdateItem.h"
#include "framework/GuiUpdateList.h"

namespace {
constexpr COLORREF kOffColour = 0xFFFFFF;
constexpr COLORREF kReadOnlyColour = 0xD9D9D9;
constexpr COLORREF kModifiedColour = 0xFAE6E6;
constexpr COLORREF kTextColour = 0xFF0000;
const char kRangeMessage[] = "\"%s\" must be in the range %g to %g.";
const char kAdjusted[] = "  Entered value has been automatically adjusted to fit into that range.";
}  // namespace

void CCommutationPageTools::SetColours(CQvxGuiEditCtrl& edit)
{
    edit.SetColour(CQvxGuiEditCtrl::kColourUnavailable, kOffColour);
    edit.SetColour(CQvxGuiEditCtrl::kColourOffline, kReadOnlyColour);
    edit.SetColour(CQvxGuiEditCtrl::kColourModified, kModifiedColour);
    edit.SetColour(CQvxGuiEditCtrl::kColourNormal, kOffColour);
    edit.m_textColour = kTextColour;
}

CString CCommutationPageTools::RangeText(const char* name, double low, double high)
{
    CString text;
    text.Format(kRangeMessage, name, low, high);
    return text + kAdjusted;
}

std::optional<int> CCommutationPageTools::QueryValue(const CDmQueryVar& query)
{
    LONG value = 0;
    if (!query.GetValue(value))
        return std::nullopt;
    return static_cast<int>(value);
}

int CCommutationPageTools::PrepareQueries(CGuiUpdateItem& page, std::span<CQvxGuiEditCtrl> edits,
                                          std::initializer_list<int> parameterIds)
{
    const int drive = page.GetDrive();
    CGuiUpdateList* list = page.GetUpdateList();
    if (drive == -1 || !list)
        return 0;
    if (CGlobalParameterTable* table = list->GetParameterTable()) {
        for (CQvxGuiEditCtrl& edit : edits) {
            table->RemoveParameterClient(&edit);
            edit.Initialise();
        }
        for (int id : parameterIds)
            table->RequestParameterQuery(drive, id);
    }
    return 1;
}

void CCommutationPageTools::RefreshOnNewGain(CGuiUpdateItem& page, int gainId, double& lastGain,
                                             std::initializer_list<CQvxGuiEditCtrl*> edits, const char* format)
{
    double gain = 0;
    page.GetGlobalParameterValue(-1, gainId, gain);
    if (gain == lastGain)
        return;
    lastGain = gain;
    for (CQvxGuiEditCtrl* edit : edits)
        if (!edit->IsModified())
            edit->SetDisplayFormat(format, 1);
}
