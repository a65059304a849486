// The message the save-to-NVM window shows for the reply to its 611 write.
#pragma once

#include "platform/core/String.h"

class CNvmSaveReply {
public:
    static CString Text(int errorCode);
};
