// CMotorProcedureOwner: what a procedure window (auto-phasing, analog
// feedback calibration) needs of the setup page that opened it. A window
// opened alone, by name, has no owner.
#pragma once

class CWnd;

class CMotorProcedureOwner {
public:
    virtual ~CMotorProcedureOwner() = default;

    // The drive began (true) or finished (false) the procedure: the page
    // suspends its own bound controls and their polling while it runs.
    virtual void OnProcedureRunning(bool running) = 0;
    // The child window is closing: the page re-enables the button that
    // opened it and forgets it.
    virtual void OnProcedureWindowClosed(CWnd* child) = 0;
    // The page's last reading of the drive-enabled flag.
    virtual bool IsOwnerDriveEnabled() const = 0;
};
