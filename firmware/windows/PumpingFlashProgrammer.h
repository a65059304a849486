// CPumpingFlashProgrammer: the programmer of a firmware window. The pauses
// the protocol asks for keep the window's messages flowing instead of
// freezing it; tests scale them down as the engine's tests do.
#pragma once

#include "firmware/SerialFlashProgrammer.h"

class CPumpingFlashProgrammer : public CSerialFlashProgrammer {
public:
    // Percent of each pause actually waited (100 by default).
    void SetPauseScale(int percent) { m_pauseScale = percent; }

protected:
    void Pause(DWORD milliseconds) override;

private:
    int m_pauseScale = 100;
};
