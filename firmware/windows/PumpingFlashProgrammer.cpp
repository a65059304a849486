#include "firmware/windows/PumpingFlashProgrammer.h"

#include "platform/core/Clock.h"
#include "platform/ui/WinApp.h"

void CPumpingFlashProgrammer::Pause(DWORD milliseconds)
{
    const ULONGLONG wait = static_cast<ULONGLONG>(milliseconds) * static_cast<ULONGLONG>(m_pauseScale) / 100;
    const ULONGLONG end = GetTickCount64() + wait;
    AfxPumpMessages();
    while (GetTickCount64() < end) {
        Sleep(5);
        AfxPumpMessages();
    }
}
