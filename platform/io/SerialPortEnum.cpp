#include "platform/io/SerialPortEnum.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>

#include "platform/io/Serial.h"

namespace fs = std::filesystem;

namespace {

std::mutex g_rootLock;
std::string g_classFolder = "/sys/class/tty";
std::string g_deviceFolder = "/dev";

std::string FirstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line))
        return {};
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.pop_back();
    return line;
}

// The product name of the device or of the USB device above it.
std::string ProductName(const fs::path& device)
{
    fs::path at = device;
    for (int level = 0; level < 3; ++level) {
        const std::string product = FirstLine(at / "product");
        if (!product.empty())
            return product;
        at = at / "..";
    }
    return {};
}

std::string DriverName(const fs::path& device)
{
    std::error_code error;
    const fs::path target = fs::read_symlink(device / "driver", error);
    return error ? std::string() : target.filename().string();
}

bool HoldsNaturalOrderBefore(const SerialPortEntry& a, const SerialPortEntry& b)
{
    const std::string x = a.devicePath.GetString(), y = b.devicePath.GetString();
    // ttyS2 before ttyS10: compare the stems, then the numbers.
    const auto stem = [](const std::string& s) { return s.substr(0, s.find_last_not_of("0123456789") + 1); };
    const std::string sx = stem(x), sy = stem(y);
    if (sx != sy)
        return sx < sy;
    if (x.size() != y.size())
        return x.size() < y.size();
    return x < y;
}

bool CanOpen(const CString& path)
{
    CSerial probe;
    const bool ok = probe.Open(path) == ERROR_SUCCESS;
    probe.Close();
    return ok;
}

}  // namespace

void CSerialPortEnumerator::SetRoots(const CString& classFolder, const CString& deviceFolder)
{
    std::lock_guard<std::mutex> lock(g_rootLock);
    g_classFolder = classFolder.IsEmpty() ? "/sys/class/tty" : classFolder.GetString();
    g_deviceFolder = deviceFolder.IsEmpty() ? "/dev" : deviceFolder.GetString();
}

bool CSerialPortEnumerator::IsSerialName(const CString& name)
{
    const std::string text = name.GetString();
    for (const char* stem : {"ttyS", "ttyUSB", "ttyACM"}) {
        const std::string s = stem;
        if (text.size() > s.size() && text.compare(0, s.size(), s) == 0 &&
            text.find_first_not_of("0123456789", s.size()) == std::string::npos)
            return true;
    }
    return false;
}

std::vector<SerialPortEntry> CSerialPortEnumerator::Enumerate()
{
    std::string classFolder, deviceFolder;
    {
        std::lock_guard<std::mutex> lock(g_rootLock);
        classFolder = g_classFolder;
        deviceFolder = g_deviceFolder;
    }
    std::vector<SerialPortEntry> ports;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(classFolder, error)) {
        const std::string name = entry.path().filename().string();
        const fs::path device = entry.path() / "device";
        if (!IsSerialName(name.c_str()) || !fs::exists(device, error))
            continue;
        SerialPortEntry port;
        port.devicePath = (fs::path(deviceFolder) / name).string().c_str();
        const std::string product = ProductName(device);
        port.description = (product.empty() ? DriverName(device) : product).c_str();
        port.friendlyName = product.empty() ? CString(name.c_str()) : CString((product + " (" + name + ")").c_str());
        const std::string real = fs::weakly_canonical(device, error).string();
        port.usb = real.find("/usb") != std::string::npos;
        if (CanOpen(port.devicePath))
            ports.push_back(port);
    }
    std::sort(ports.begin(), ports.end(), HoldsNaturalOrderBefore);
    return ports;
}
