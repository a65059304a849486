#include "comm/udp/QVX_UDPCommPort.h"

CQVX_UDPCommPort::~CQVX_UDPCommPort()
{
    if (m_thread) {
        Close();
        m_thread.reset();  // asks the thread to exit and waits for it
    }
}

int CQVX_UDPCommPort::Open()
{
    if (EnsureConnected()) {
        SetOpenState(1);
        return 1;
    }
    SetOpenState(2);
    return 0;
}

int CQVX_UDPCommPort::Close()
{
    const int closed = m_thread ? m_thread->CloseConnection() : 1;
    SetOpenState(closed ? 0 : 2);
    return closed;
}
