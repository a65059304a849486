// CMotorProcedureWindow: a procedure window (auto-phasing, analog feedback
// calibration) as the setup page that opens it by name sees it: the page
// hands itself over as owner, and takes itself back before it closes it.
#pragma once

class CMotorProcedureOwner;

class CMotorProcedureWindow {
public:
    virtual ~CMotorProcedureWindow() = default;

    // Null: the window no longer reports to a page.
    virtual void SetOwnerPage(CMotorProcedureOwner* owner) = 0;
};
