#include "setup/io/PanelOptionsModeList.h"

#include <stdexcept>

namespace {

constexpr double kHuge = 1e61;
constexpr double kPositionLimit = 2147483647.0;

const char* const kKeys[] = {"", "", "", "", "", "MaximumCurrent", "MinimumCurrent", "CurrentStep",
                             "MaximumVelocity", "MinimumVelocity", "VelocityStep", "MaximumPosition",
                             "MinimumPosition", "PositionStep"};

CPanelOption Option(int control, int digits, int key, double value, double lowest, double highest)
{
    return CPanelOption{control, digits, key, value, lowest, highest};
}

}  // namespace

CPanelOptionsModeList::CPanelOptionsModeList() { SetSize(12); }

CPanelOptionsModeList::~CPanelOptionsModeList() { FreeModes(); }

CPanelOptionsMode* CPanelOptionsModeList::GetMode(int entry) const
{
    if (entry < 0 || entry >= GetSize())
        throw std::out_of_range("control panel mode entry");
    return GetAt(entry);
}

void CPanelOptionsModeList::FreeModes()
{
    for (int entry = kPanelVelocity; entry <= kPanelPosition && entry < GetSize(); ++entry) {
        delete GetAt(entry);
        SetAt(entry, nullptr);
    }
}

void CPanelOptionsModeList::BuildDefaults()
{
    FreeModes();
    SetAt(kPanelVelocity, new CPanelOptionsMode(Option(6, 2, 9, -2000.0, -kHuge, kHuge),
                                                Option(5, 2, 8, 2000.0, -kHuge, kHuge),
                                                Option(7, 2, 10, 100.0, -kHuge, kHuge)));
    SetAt(kPanelCurrent, new CPanelOptionsMode(Option(1, 3, 6, -2.0, -kHuge, kHuge), Option(0, 3, 5, 2.0, -kHuge, kHuge),
                                               Option(2, 3, 7, 1.0, -kHuge, kHuge)));
    SetAt(kPanelPosition,
          new CPanelOptionsMode(Option(11, 0, 12, -8000.0, -kPositionLimit, kPositionLimit),
                                Option(10, 0, 11, 8000.0, -kPositionLimit, kPositionLimit),
                                Option(12, 0, 13, 250.0, 1.0, 32767.0)));
}

const char* CPanelOptionsModeList::KeyName(int keyNumber)
{
    if (keyNumber < 0 || keyNumber >= static_cast<int>(sizeof(kKeys) / sizeof(kKeys[0])))
        return "";
    return kKeys[keyNumber];
}

const char* CPanelOptionsModeList::ModeName(int entry)
{
    return entry == kPanelVelocity ? "Velocity" : entry == kPanelCurrent ? "Current" : "Position";
}

const char* CPanelOptionsModeList::OptionName(int which)
{
    return which == kPanelMin ? "Min" : which == kPanelMax ? "Max" : "Step";
}
