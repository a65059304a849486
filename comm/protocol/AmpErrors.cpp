#include "comm/protocol/AmpErrors.h"

CString GetAmpErrorString(int code)
{
    switch (code) {
    case AMP_ERR_INVALID_COMMAND: return "Invalid command";
    case AMP_ERR_CRC: return "CRC error";
    case AMP_ERR_INVALID_ARGUMENT: return "Invalid argument";
    case AMP_ERR_DRIVE_ENABLED: return "Drive is enabled";
    case AMP_ERR_READ_ONLY: return "Read only command";
    case AMP_ERR_INVALID_ADDRESS: return "Invalid drive address";
    case AMP_ERR_COMM_WRITE: return "Communications write error";
    case AMP_ERR_COMM_READ: return "Communications read error";
    case AMP_ERR_INVALID_MESSAGE: return "Invalid message received from drive";
    case AMP_ERR_COMM_TIMEOUT: return "Communications timed-out";
    case AMP_ERR_DRIVE_OFFLINE: return "Drive off-line";
    case AMP_ERR_RESPONSE_TIMEOUT: return "Timed-out waiting for response";
    case AMP_ERR_COMM_NOT_ENABLED: return "Comm not enabled";
    case AMP_ERR_DUPLICATE_JOB: return "Duplicate job id";
    default: return "Invalid error code";
    }
}
