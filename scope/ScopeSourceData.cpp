#include "ScopeSourceData.h"

#include "comm/protocol/AmpCommand.h"
#include "comm/protocol/AmpErrors.h"
#include "comm/trace/CommDebugTrace.h"

CString GetUnitsName(int unitsCode)
{
    switch (unitsCode) {
    case 0: return "";
    case 1: return "A";
    case 2: return "rpm";
    case 3: return "V";
    case 4: return "degs";
    case 5: return "%";
    default: return "Unknown units";
    }
}

int CScopeSourceData::GetCommandCode() const
{
    const int underscore = Command.Find('_');
    const CString mnemonic = underscore < 0 ? Command : Command.Mid(underscore + 1);
    return MnemonicToCode(mnemonic);
}

namespace {
// Scale and offset keep their digits: "x2.5", "+15", "-0.25".
CString FormatFactor(double value)
{
    CString text;
    text.Format("%g", value);
    return text;
}
}  // namespace

CString CScopeSourceData::GetLabel(int showInterval, int showScale, int showOffset, int showError) const
{
    CString label;
    CString driveName;
    if (LookupDriveName(AmpAddr, driveName))
        label.Format("%s:", driveName.GetString());
    else
        label.Format("@%u:", static_cast<unsigned>(AmpAddr));
    label += Description.IsEmpty() ? Command : Description;
    if (GetCommandCode() == 0)
        label += " (Invalid command)";

    const bool scale = showScale && Scale != 1.0;
    const bool offset = showOffset && Offset != 0.0;
    const bool interval = showInterval != 0;
    const bool error = showError && LastError != 0;
    if (!scale && !offset && !interval && !error)
        return label;
    CString suffix = " (";
    if (error) {
        suffix += GetAmpErrorString(LastError);
    } else {
        if (scale)
            suffix += "x" + FormatFactor(Scale);
        if (offset)
            suffix += (Offset > 0.0 ? "+" : "") + FormatFactor(Offset);
        if (interval) {
            if (scale || offset)
                suffix += ",";
            suffix.AppendFormat("%dms", LastIntervalMs);
        }
    }
    return label + suffix + ")";
}
