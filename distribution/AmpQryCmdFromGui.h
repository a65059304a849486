// CAmpQryCmdFromGui: a window's read or write of a drive register, with the
// information on how its answers are to be delivered.
#pragma once

#include "distribution/AmpQryCmdFromGuiInfo.h"
#include "comm/protocol/CompoundAmpMsg.h"

class CAmpQryCmdFromGui : public CCompoundAmpMsg, public CAmpQryCmdFromGuiInfo {
public:
    CAmpQryCmdFromGui() = default;
    CAmpQryCmdFromGui(const CAmpQryCmdFromGui&) = default;
    CAmpQryCmdFromGui& operator=(const CAmpQryCmdFromGui&) = default;

    bool IsRead() const { return m_width == 0; }
};
