#include "setup/motor/NvmSaveReply.h"

#include "comm/protocol/AmpErrors.h"

CString CNvmSaveReply::Text(int errorCode)
{
    if (errorCode == 0)
        return "Successfully saved to NVM.";
    return GetAmpErrorString(errorCode) + ".  Could not save to NVM.";
}
