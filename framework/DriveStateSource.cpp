#include "framework/DriveStateSource.h"

#include "framework/GuiUpdateItem.h"
#include "framework/QvxGuiToolbarCB.h"

namespace {
constexpr WORD kStatusPollMs = 200;
constexpr int kEnableBitShift = 8;
}  // namespace

void CDriveStateSource::Follow(const std::set<int>& drives)
{
    for (auto it = m_drives.begin(); it != m_drives.end();) {
        if (drives.count(it->first)) {
            ++it;
            continue;
        }
        CancelQuery(it->second.statusQuery);
        CancelQuery(it->second.faultQuery);
        it = m_drives.erase(it);
    }
    for (int address : drives) {
        if (address < 0 || address > 0xFF)
            continue;
        // A poll refused (no distribution manager yet) is asked again on the next call.
        Drive& drive = m_drives[address];
        if (drive.statusQuery <= 0 || drive.faultQuery <= 0) {
            CancelQuery(drive.statusQuery);
            CancelQuery(drive.faultQuery);
            Subscribe(address, drive);
        }
    }
}

void CDriveStateSource::Subscribe(int address, Drive& drive)
{
    drive.statusQuery = SendQuery(static_cast<BYTE>(address), kStatusWordCode, kStatusPollMs);
    drive.faultQuery = SendQuery(static_cast<BYTE>(address), kFaultWordCode, kStatusPollMs);
}

void CDriveStateSource::Restart()
{
    CancelAllQueries();
    m_drives.clear();
    CAmpResponseToGui stale;
    while (GetNextResponse(stale)) {
    }
}

bool CDriveStateSource::TakeResponses()
{
    bool changed = false;
    CAmpResponseToGui response;
    while (GetNextResponse(response)) {
        auto it = m_drives.find(static_cast<int>(response.m_address));
        if (it == m_drives.end())
            continue;
        Drive& drive = it->second;
        const int before = StateOf(drive);
        const int value = static_cast<int>(response.m_value);
        if (response.m_code == kStatusWordCode) {
            // A drive that stops answering is no longer known to be in either state.
            drive.statusKnown = response.m_error == 0;
            drive.enableBit = (value >> kEnableBitShift) & 1;
        } else if (response.m_code == kFaultWordCode && response.m_error == 0) {
            drive.faultWord = value;
        }
        changed = changed || StateOf(drive) != before;
    }
    return changed;
}

int CDriveStateSource::GetState(int drive) const
{
    const auto it = m_drives.find(drive);
    return it == m_drives.end() ? kDriveStateUnknown : StateOf(it->second);
}

int CDriveStateSource::StateOf(const Drive& drive)
{
    if (!drive.statusKnown)
        return kDriveStateUnknown;
    if (drive.faultWord != 0)
        return kDriveFault;
    return drive.enableBit ? kDriveEnabled : kDriveDisabled;
}
