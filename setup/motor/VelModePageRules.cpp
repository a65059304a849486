#include "setup/motor/VelModePageRules.h"

#include <algorithm>
#include <array>

namespace {
template <std::size_t N>
bool In(int id, const std::array<int, N>& ids)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

constexpr std::array<int, 8> kNotFollowingMode = {2343, 2452, 2426, 2376, 2451, 2400, 2401, 2402};
constexpr std::array<int, 3> kAlwaysEnabled = {2400, 2401, 2402};
constexpr std::array<int, 6> kModeAndDisabled = {2403, 2404, 2427, 2405, 2406, 2428};
constexpr std::array<int, 7> kDisabledDrive = {2407, 2408, 2451, 2452, 2735, 2734, 2737};
constexpr std::array<int, 2> kNeverEnabled = {2453, 2736};
}  // namespace

std::optional<bool> CVelModePageRules::ControlEnabled(int id, bool modeOn, bool driveEnabled)
{
    if (In(id, kNeverEnabled))
        return false;
    if (In(id, kAlwaysEnabled))
        return true;
    if (In(id, kModeAndDisabled))
        return modeOn && !driveEnabled;
    if (In(id, kDisabledDrive))
        return !driveEnabled;
    if (In(id, kNotFollowingMode))
        return std::nullopt;
    return modeOn;
}

bool CVelModePageRules::PwmEnabled(bool modeOn, std::optional<double> version, double minVersion)
{
    return modeOn && version && !(minVersion > *version);
}
