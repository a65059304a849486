// CWatchDisplaySettings: how the watch window shows its list; kept in the
// profile, in the window's layout record and in ".wls" files.
#pragma once

#include "platform/core/String.h"

class CDPropertyList;

class CWatchDisplaySettings {
public:
    void LoadFromBag(const CDPropertyList& bag);
    void SaveToBag(CDPropertyList& bag) const;
    void LoadFromProfile(const char* section);
    BOOL SaveToProfile(const char* section) const;

    int m_valueColWidth = 0;  // 0: leave the column's width
    int m_showEnableCheckboxes = 1;
    int m_showUpdateTime = 1;
    int m_showValueFormat = 1;
    int m_fontPts10 = 90;
};
