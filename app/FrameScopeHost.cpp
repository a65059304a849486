#include "app/FrameScopeHost.h"

#include "app/AppPaths.h"
#include "app/MainFrame.h"

CString CFrameScopeHost::GetDataFolder() { return AfxGetAppPaths().dataFolder; }

void CFrameScopeHost::OpenScope(const CString& settingsFile) { m_frame.OpenOscilloscope(settingsFile); }
