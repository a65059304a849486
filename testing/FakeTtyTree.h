// A fake tty class folder and device folder naming pseudo-terminals, so the
// serial port enumeration can be tested without real ports: each port is a
// class entry with a device (and optionally a product name and a USB path)
// and a device-folder link to a pty slave.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

class FakeTtyTree {
public:
    explicit FakeTtyTree(const std::string& root) : m_class(root + "/class"), m_dev(root + "/dev"), m_bus(root + "/bus")
    {
        std::filesystem::create_directories(m_class);
        std::filesystem::create_directories(m_dev);
        std::filesystem::create_directories(m_bus);
    }

    // A port named `name` (ttyUSB0...) opened through `target`; product empty: none in sysfs.
    void AddPort(const std::string& name, const std::string& target, const std::string& product = "",
                 bool usb = false, const std::string& driver = "")
    {
        const std::string device = m_bus + (usb ? "/usb1/1-1/" : "/platform/") + name;
        std::filesystem::create_directories(device);
        if (!product.empty())
            std::ofstream(device + "/product") << product << "\n";
        if (!driver.empty()) {
            std::filesystem::create_directories(m_bus + "/drivers/" + driver);
            std::filesystem::create_directory_symlink(m_bus + "/drivers/" + driver, device + "/driver");
        }
        std::filesystem::create_directories(m_class + "/" + name);
        std::filesystem::create_directory_symlink(device, m_class + "/" + name + "/device");
        std::filesystem::create_symlink(target, m_dev + "/" + name);
    }
    // A class entry without a device (a virtual terminal).
    void AddVirtual(const std::string& name) { std::filesystem::create_directories(m_class + "/" + name); }

    const std::string& classFolder() const { return m_class; }
    const std::string& deviceFolder() const { return m_dev; }

private:
    std::string m_class, m_dev, m_bus;
};
