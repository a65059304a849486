#include "setup/io/PanelOptionsSettings.h"

#include <cmath>
#include <cstdlib>

#include "foundation/TextHelpers.h"
#include "platform/core/IniFile.h"
#include "setup/io/PanelOptionsModeList.h"

const char* const CPanelOptionsSettings::kSection = "CONTROL PANEL OPTIONS";

namespace {

CString RangeMessage(int entry, int which, const CPanelOption& option)
{
    const double half = 0.5 * std::pow(10.0, -option.m_digits);
    CString message;
    message.Format("%s %s option must be within the range %s to %s.", CPanelOptionsModeList::ModeName(entry),
                   CPanelOptionsModeList::OptionName(which),
                   static_cast<const char*>(FormatDouble(option.m_lowest + half, option.m_digits)),
                   static_cast<const char*>(FormatDouble(option.m_highest - half, option.m_digits)));
    return message;
}

CString OrderMessage(int entry, double min, double max, double step)
{
    CString message;
    const char* name = CPanelOptionsModeList::ModeName(entry);
    if (min >= max)
        message.Format("%s Min option must be less than the Max option.", name);
    else if (max - min <= step)
        message.Format("%s Step option must be less than difference between Min and Max.", name);
    else if (min * max > 0)
        message.Format("%s Min/Max must include zero within the range.", name);
    return message;
}

}  // namespace

void CPanelOptionsSettings::LoadOption(CPanelOption& option, const char* iniPath)
{
    char fallback[64];
    std::snprintf(fallback, sizeof fallback, "%-8.2lf", option.m_value);
    char buffer[80] = {};
    GetPrivateProfileString(kSection, CPanelOptionsModeList::KeyName(option.m_keyNumber), fallback, buffer,
                            sizeof buffer, iniPath);
    option.m_value = std::atof(buffer);
}

void CPanelOptionsSettings::Load(CPanelOptionsModeList& modes, const char* iniPath)
{
    CPanelOptionsModeList defaults;
    defaults.BuildDefaults();
    for (int entry = kPanelVelocity; entry <= kPanelPosition; ++entry) {
        CPanelOptionsMode* mode = modes.GetMode(entry);
        for (int which = kPanelMin; which <= kPanelStep; ++which)
            LoadOption(mode->Option(which), iniPath);
        // Limits that hold no range would divide the bar by zero: that mode keeps its defaults.
        if (!(mode->Max() > mode->Min()))
            for (int which = kPanelMin; which <= kPanelStep; ++which)
                mode->Option(which).m_value = defaults.GetMode(entry)->Option(which).m_value;
    }
}

int CPanelOptionsSettings::Validate(const CPanelOptionsModeList& modes, const TextOf& textOf, CString& message)
{
    for (int entry = kPanelVelocity; entry <= kPanelPosition; ++entry) {
        const CPanelOptionsMode* mode = modes.GetMode(entry);
        double values[3] = {};
        for (int which = kPanelMin; which <= kPanelStep; ++which) {
            const CPanelOption& option = mode->Option(which);
            values[which] = std::atof(textOf(option));
            if (!(values[which] >= option.m_lowest && values[which] <= option.m_highest)) {
                message = RangeMessage(entry, which, option);
                return 0;
            }
        }
        message = OrderMessage(entry, values[kPanelMin], values[kPanelMax], values[kPanelStep]);
        if (!message.IsEmpty())
            return 0;
    }
    return 1;
}

int CPanelOptionsSettings::SaveOption(CPanelOption& option, const char* text, const char* iniPath)
{
    const double value = std::atof(text);
    if (value == option.m_value)
        return 0;
    WritePrivateProfileString(kSection, CPanelOptionsModeList::KeyName(option.m_keyNumber), text, iniPath);
    option.m_value = value;
    return 1;
}

CString CPanelOptionsSettings::ShowText(const CPanelOption& option) { return FormatDouble(option.m_value, option.m_digits); }
