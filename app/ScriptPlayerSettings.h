// CScriptPlayerSettings: the script player's look, keys and last script, kept
// in the application profile section "SCRIPTPLAYER".
#pragma once

#include "platform/core/String.h"
#include "platform/core/WinTypes.h"

class CScriptPlayerSettings {
public:
    static constexpr const char* kSection = "SCRIPTPLAYER";

    // A missing key keeps the member's present value, except the path and
    // the details flag, which fall back to empty and 0.
    void Load();
    void Save() const;

    double m_listFontSize = 9.0;
    double m_detailsFontSize = 9.0;
    COLORREF m_listText = 0;
    COLORREF m_listTextHighlight = 0xFFFFFF;
    COLORREF m_detailsText = 0;
    COLORREF m_listBg = 0xFFFFFF;
    COLORREF m_listBgHighlight = 0x800000;
    COLORREF m_detailsBg = 0xFFFFFF;
    int m_alwaysOnTop = 0;
    int m_showCheckboxes = 0;
    int m_autoCheckBoxes = 0;
    int m_backKey = 0;
    int m_nextKey = 0;
    int m_skipKey = 0;
    int m_detailsHeight = 100;
    CString m_scriptPath;
    int m_details = 0;
};
