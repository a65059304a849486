#include "ScriptPlayerSettings.h"

#include "platform/core/Profile.h"

namespace {
const char* const S = CScriptPlayerSettings::kSection;

int GetInt(const char* key, int current) { return static_cast<int>(AfxGetProfileInt(S, key, current)); }

// Sizes are kept in tenths of a point, truncated.
double GetSize(const char* key, double current)
{
    return GetInt(key, static_cast<int>(current * 10.0 + 1e-9)) / 10.0;
}
void PutSize(const char* key, double size) { AfxWriteProfileInt(S, key, static_cast<int>(size * 10.0 + 1e-9)); }
}  // namespace

void CScriptPlayerSettings::Load()
{
    m_listFontSize = GetSize("fListFontSize", m_listFontSize);
    m_detailsFontSize = GetSize("fDetailsFontSize", m_detailsFontSize);
    m_listText = static_cast<COLORREF>(GetInt("colListText", static_cast<int>(m_listText)));
    m_listTextHighlight = static_cast<COLORREF>(GetInt("colListTextHighlight", static_cast<int>(m_listTextHighlight)));
    m_detailsText = static_cast<COLORREF>(GetInt("colDetailsText", static_cast<int>(m_detailsText)));
    m_listBg = static_cast<COLORREF>(GetInt("colListBg", static_cast<int>(m_listBg)));
    m_listBgHighlight = static_cast<COLORREF>(GetInt("colListBgHighlight", static_cast<int>(m_listBgHighlight)));
    m_detailsBg = static_cast<COLORREF>(GetInt("colDetailsBg", static_cast<int>(m_detailsBg)));
    m_alwaysOnTop = GetInt("bAlwaysOnTop", m_alwaysOnTop);
    m_showCheckboxes = GetInt("bShowCheckboxes", m_showCheckboxes);
    m_autoCheckBoxes = GetInt("bAutoCheckBoxes", m_autoCheckBoxes);
    m_backKey = GetInt("nBackFkey", m_backKey);
    m_nextKey = GetInt("nNextFkey", m_nextKey);
    m_skipKey = GetInt("nSkipFkey", m_skipKey);
    m_detailsHeight = GetInt("nDetailsHeight", m_detailsHeight);
    m_scriptPath = AfxGetProfileString(S, "stCurrScriptPath", "");
    m_details = GetInt("bDetails", 0);
}

void CScriptPlayerSettings::Save() const
{
    PutSize("fListFontSize", m_listFontSize);
    PutSize("fDetailsFontSize", m_detailsFontSize);
    AfxWriteProfileInt(S, "colListText", static_cast<int>(m_listText));
    AfxWriteProfileInt(S, "colListTextHighlight", static_cast<int>(m_listTextHighlight));
    AfxWriteProfileInt(S, "colDetailsText", static_cast<int>(m_detailsText));
    AfxWriteProfileInt(S, "colListBg", static_cast<int>(m_listBg));
    AfxWriteProfileInt(S, "colListBgHighlight", static_cast<int>(m_listBgHighlight));
    AfxWriteProfileInt(S, "colDetailsBg", static_cast<int>(m_detailsBg));
    AfxWriteProfileInt(S, "bAlwaysOnTop", m_alwaysOnTop);
    AfxWriteProfileInt(S, "bShowCheckboxes", m_showCheckboxes);
    AfxWriteProfileInt(S, "bAutoCheckBoxes", m_autoCheckBoxes);
    AfxWriteProfileInt(S, "nBackFkey", m_backKey);
    AfxWriteProfileInt(S, "nNextFkey", m_nextKey);
    AfxWriteProfileInt(S, "nSkipFkey", m_skipKey);
    AfxWriteProfileInt(S, "nDetailsHeight", m_detailsHeight);
    AfxWriteProfileString(S, "stCurrScriptPath", m_scriptPath);
    AfxWriteProfileInt(S, "bDetails", m_details);
}
