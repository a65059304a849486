#include "setup/tuning/QvxMoveBuilderStep.h"

#include <iterator>

namespace {
template <size_t N>
CString TextOf(const char* const (&texts)[N], int code)
{
    return code >= 0 && code < static_cast<int>(N) ? texts[code] : "<ERROR>";
}
}  // namespace

DWORD CQvxMoveBuilderStep::PackedWord() const
{
    return (static_cast<DWORD>(m_action & 0xF) << 8) | (static_cast<DWORD>(m_triggerType & 0xF) << 4) |
           static_cast<DWORD>(m_controlType & 0xF);
}

void CQvxMoveBuilderStep::Unpack(DWORD word)
{
    m_controlType = static_cast<int>(word & 0xF);
    m_triggerType = static_cast<int>((word >> 4) & 0xF);
    m_action = static_cast<int>((word >> 8) & 0xF);
}

CString CQvxMoveBuilderStep::ControlTypeText(bool torqueSensor) const
{
    static const char* const kTexts[] = {"Current", "Torque", "Velocity", "Position"};
    if (m_controlType == kControlTorque && torqueSensor)
        return "Torque Sens";
    return TextOf(kTexts, m_controlType);
}

CString CQvxMoveBuilderStep::TriggerTypeText() const
{
    static const char* const kTexts[] = {"Time",           "Torque",          "Torque Sens V", "Velocity",
                                         "Position (abs)", "Position (inc)", "Digital Input"};
    return TextOf(kTexts, m_triggerType);
}

CString CQvxMoveBuilderStep::ActionText() const
{
    static const char* const kTexts[] = {"Stop-Disable", "Stop-0 Current", "Stop-0 Vel", "Stop-Hold Pos", "Next Step"};
    return TextOf(kTexts, m_action);
}
