#include "setup/motor/windows/QvxGuiAmpModeSettingsSheet.h"

IMPLEMENT_DYNCREATE(CQvxGuiAmpModeSettingsSheet, CGuiUpdatePropSheet)
// The window factory and layout files find the window by its class name.
static const CRuntimeClassRegistrar kRegistrar(RUNTIME_CLASS(CQvxGuiAmpModeSettingsSheet));

CQvxGuiAmpModeSettingsSheet::CQvxGuiAmpModeSettingsSheet() : CGuiUpdatePropSheet("Drive Mode")
{
    AddPage(&m_currentPage);
    AddPage(&m_velocityPage);
    AddPage(&m_positionPage);
    SetButtons(kSheetEnableButton | kSheetSendButton);
    SetPageSize(-1, kPageHeight);
    // The saved placement brings its size back as well.
    m_keepSize = 0;
}
