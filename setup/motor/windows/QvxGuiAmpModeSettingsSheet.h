// CQvxGuiAmpModeSettingsSheet: the "Drive Mode" window, a tabbed drive window
// with the Current, Velocity and Position pages that together edit the
// drive's command mode word.
#pragma once

#include "framework/GuiUpdatePropSheet.h"
#include "setup/motor/windows/QvxGuiAmpCurModePpg.h"
#include "setup/motor/windows/QvxGuiAmpPosModePpg.h"
#include "setup/motor/windows/QvxGuiAmpVelModePpg.h"

class CQvxGuiAmpModeSettingsSheet : public CGuiUpdatePropSheet {
    DECLARE_DYNCREATE(CQvxGuiAmpModeSettingsSheet)

public:
    static constexpr int kPageHeight = 610;

    CQvxGuiAmpModeSettingsSheet();
    ~CQvxGuiAmpModeSettingsSheet() override = default;

    CString GetItemName() const override { return "Drive Mode"; }

    CQvxGuiAmpVelModePpg m_velocityPage;
    CQvxGuiAmpPosModePpg m_positionPage;
    CQvxGuiAmpCurModePpg m_currentPage;
};
