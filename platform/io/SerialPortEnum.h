// Serial port enumeration from sysfs: every entry of the tty class folder that
// has a device (ttyS, ttyUSB, ttyACM) and can be opened exclusively now. The
// folders are settable so a test can point them at a fake tree.
#pragma once

#include <vector>

#include "platform/core/String.h"

struct SerialPortEntry {
    CString devicePath;    // the name under which the port is opened
    CString friendlyName;  // "product (ttyUSB0)", or the bare name when sysfs gives no product
    CString description;   // the product or driver name; empty when sysfs has neither
    bool usb = false;
};

class CSerialPortEnumerator {
public:
    // Defaults "/sys/class/tty" and "/dev"; an empty text restores the default.
    static void SetRoots(const CString& classFolder, const CString& deviceFolder);
    // In name order. Ports another program holds are left out.
    static std::vector<SerialPortEntry> Enumerate();
    static bool IsSerialName(const CString& name);
};
