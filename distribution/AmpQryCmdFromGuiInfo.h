// CAmpQryCmdFromGuiInfo: how a window's query is to be delivered: to whom, how
// often and with which handling flags.
#pragma once

#include "platform/core/WinTypes.h"

class CDistMngrResponseReceiver;

// Query flags: a job's flags are the OR of its receivers' flags.
enum AmpQueryFlags : BYTE {
    kQryBlockTransfer = 0x01,      // streamed through one of the drive's four poll slots
    kQryPollData = 0x02,           // the job collecting a set-up poll slot's data
    kQryReplyOnWriteError = 0x04,  // hand on a write's reply that carries an error
    kQryReplyOnWriteSuccess = 0x10,
    kQryOneShot = 0x20,
    kQryNotify = 0x40,             // also subscribe to unsolicited messages of the same register
    kQryTimeoutNotEarly = 0x80,    // a time-out is handled like any other answer
    kQryDefault = 0x14,            // a repeating read
    kQryCommand = 0x34,            // a write
};

constexpr WORD kCommandTimeHint = 600;

class CAmpQryCmdFromGuiInfo {
public:
    CAmpQryCmdFromGuiInfo() = default;
    CAmpQryCmdFromGuiInfo(WORD time, BYTE flags, CDistMngrResponseReceiver* receiver)
        : m_time(time), m_flags(flags), m_receiver(receiver) {}
    virtual ~CAmpQryCmdFromGuiInfo() = default;
    CAmpQryCmdFromGuiInfo(const CAmpQryCmdFromGuiInfo&) = default;
    CAmpQryCmdFromGuiInfo& operator=(const CAmpQryCmdFromGuiInfo&) = default;

    // Repeat period and least interval between deliveries (ms); for a block
    // transfer the poll period; for a command a time-out hint.
    WORD m_time = 0;
    BYTE m_flags = kQryDefault;
    CDistMngrResponseReceiver* m_receiver = nullptr;  // not owned
};
