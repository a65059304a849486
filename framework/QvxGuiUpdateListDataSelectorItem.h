// CQvxGuiUpdateListDataSelectorItem: one choice of a settings row: its text
// and the value it stands for.
#pragma once

#include "platform/core/String.h"

class CQvxGuiUpdateListDataSelectorItem {
public:
    CString m_text;
    double m_value = 0.0;
};
