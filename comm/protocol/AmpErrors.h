// Error codes carried by drive responses. Below 256 they come from the drives
// or the link ports; 512, 768 and 1024 are made by the communication manager.
#pragma once

#include "platform/core/String.h"

enum AmpError : WORD {
    AMP_ERR_NONE = 0,
    AMP_ERR_INVALID_COMMAND = 1,
    AMP_ERR_CRC = 2,
    AMP_ERR_INVALID_ARGUMENT = 4,
    AMP_ERR_DRIVE_ENABLED = 15,
    AMP_ERR_READ_ONLY = 17,
    AMP_ERR_INVALID_ADDRESS = 32,
    AMP_ERR_COMM_WRITE = 33,
    AMP_ERR_COMM_READ = 34,
    AMP_ERR_INVALID_MESSAGE = 35,
    AMP_ERR_COMM_TIMEOUT = 36,
    AMP_ERR_DRIVE_OFFLINE = 37,
    AMP_ERR_RESPONSE_TIMEOUT = 512,
    AMP_ERR_COMM_NOT_ENABLED = 768,
    AMP_ERR_DUPLICATE_JOB = 1024,
};

CString GetAmpErrorString(int code);
