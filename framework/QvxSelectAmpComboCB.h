// CQvxSelectAmpComboCB: what the drive selector asks of its toolbar.
#pragma once

#include "comm/link/AmplifierData.h"
#include "platform/core/List.h"

class CQvxSelectAmpComboCB {
public:
    virtual ~CQvxSelectAmpComboCB() = default;
    virtual void ForwardToolbarInfo(CList<CAmplifierData>& drives, int& currentDrive) = 0;
    // Non-zero when the window accepted the drive.
    virtual int OnAmpSelected(const CString& text) = 0;
    virtual void OnAmpListChanged() = 0;
};
