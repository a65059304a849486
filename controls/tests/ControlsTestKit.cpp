#include "ControlsTestKit.h"

namespace kvcontrolstest {
BEGIN_MESSAGE_MAP(CRecordingParent, CWnd)
    ON_MESSAGE(0xA710, &CRecordingParent::OnCheck)
    ON_MESSAGE(0xA711, &CRecordingParent::OnSorted)
    ON_MESSAGE(0xA712, &CRecordingParent::OnChanged)
END_MESSAGE_MAP()
}  // namespace kvcontrolstest
