// CDriveStateSource: what every window's toolbar says about a drive (disabled,
// enabled, fault, unknown), read from one pair of status polls per drive so
// that all windows on a drive agree whatever status words each polls itself.
// The open-window list owns one and keeps it following the drives of its
// open windows; the reads merge with the windows' own at the distribution
// manager, so following costs the link nothing a window does not already ask.
#pragma once

#include <map>
#include <set>

#include "distribution/DistMngrResponseReceiver.h"

class CDriveStateSource : public CDistMngrResponseReceiver {
public:
    CString GetReceiverName() const override { return "Drive State"; }

    // Polls the drives in the set, stops polling (and forgets) the others.
    void Follow(const std::set<int>& drives);
    // Stops every poll and forgets every state: the link was reopened.
    void Restart();
    // Takes the queued replies (GUI thread); true when a drive's state changed.
    bool TakeResponses();
    // A DriveEnableState value; unknown until the drive's status word was read.
    int GetState(int drive) const;

private:
    struct Drive {
        int statusQuery = 0;
        int faultQuery = 0;
        bool statusKnown = false;
        int enableBit = 0;
        int faultWord = 0;
    };
    void Subscribe(int address, Drive& drive);
    static int StateOf(const Drive& drive);

    std::map<int, Drive> m_drives;
};
