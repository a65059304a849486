// CFirmwareLinkControl: how a firmware window gets the drive link out of the
// way of a run. The port would otherwise be shared with the link's reader,
// or a drive being flashed would still be polled.
#pragma once

class CFirmwareLinkControl {
public:
    virtual ~CFirmwareLinkControl() = default;
    // Closes communications when they are open; 1 when they were.
    virtual int CloseLinkForRun() = 0;
    // Opens the link closed by CloseLinkForRun again, as it was.
    virtual void ReopenLinkAfterRun() = 0;
};
