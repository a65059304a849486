// CGuiAppServices: what the setup windows need of the application object
// (factory display flags, firmware version gates, the program folder and the
// warning box with its "don't show again" memory). The application installs
// its implementation; while none is installed the windows see no display
// flags, every function unlocked, the executable's folder and a plain box.
#pragma once

#include "platform/core/String.h"
#include "platform/ui/UiTypes.h"

class CQvxDatabaseRecordset;

class CGuiAppServices {
public:
    virtual ~CGuiAppServices() = default;

    // Bits of ModelDisplayFlags ("kvfact.ini" [MODEL DISPLAY]).
    virtual int GetModelDisplayFlags() const = 0;
    // The least firmware version that offers `function`; -1.0 when not given.
    virtual double GetFunctionUnlockVersion(const char* function) const = 0;
    // With a trailing '/'.
    virtual CString GetProgramFolder() const = 0;
    // The answer of the warning box, or `suppressedAnswer` when the user asked not to see `key` again.
    virtual int ShowWarningMessage(const char* key, BOOL question, const char* message, int suppressedAnswer) = 0;
    // A recordset of the table database by name; null when there is none.
    virtual CQvxDatabaseRecordset* FindRecordset(const char* /*name*/) const { return nullptr; }

    static void Install(CGuiAppServices* services);
    // Null while none is installed.
    static CGuiAppServices* Get();
};

// The installed services' answers, or the defaults while none is installed.
int AppModelDisplayFlags();
double AppFunctionUnlockVersion(const char* function);
CString AppProgramFolder();
int AppShowWarningMessage(const char* key, BOOL question, const char* message, int suppressedAnswer);
CQvxDatabaseRecordset* AppFindRecordset(const char* name);
