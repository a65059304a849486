// CQVX_UDPCommPort: the UDP link port; every flush of the communication
// manager is one datagram to the module.
#pragma once

#include "comm/udp/QVX_EthernetComm.h"

class CQVX_UDPCommPort : public CQVX_EthernetComm {
public:
    using CQVX_EthernetComm::CQVX_EthernetComm;
    ~CQVX_UDPCommPort() override;

    // 1 when connected (the port state becomes 1); else the port state becomes 2 and 0.
    int Open() override;
    // 1 when the socket thread went back to idle (port state 0); else port state 2.
    int Close() override;
};
