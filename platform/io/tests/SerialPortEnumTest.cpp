#include <gtest/gtest.h>

#include "platform/io/Serial.h"
#include "platform/io/SerialPortEnum.h"
#include "testing/FakeTtyTree.h"
#include "testing/PtyPair.h"
#include "testing/TempDir.h"

namespace {

class SerialPortEnumTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CSerialPortEnumerator::SetRoots(tree.classFolder().c_str(), tree.deviceFolder().c_str());
        for (PtyPair* pty : {&a, &b, &c}) {
            ASSERT_TRUE(pty->ok());
            pty->ReleaseSlave();
        }
    }
    void TearDown() override { CSerialPortEnumerator::SetRoots("", ""); }

    TempDir dir;
    FakeTtyTree tree{dir.path()};
    PtyPair a, b, c;
};

}  // namespace

TEST_F(SerialPortEnumTest, ListsOpenableSerialDevicesInNameOrderWithTheirNames)
{
    tree.AddPort("ttyUSB10", a.slavePath(), "FT232R USB UART", true, "ftdi_sio");
    tree.AddPort("ttyUSB2", b.slavePath(), "", true, "ftdi_sio");
    tree.AddPort("ttyS0", c.slavePath());
    tree.AddVirtual("tty1");
    tree.AddVirtual("ttyS7");  // no device: not a port
    tree.AddPort("console", a.slavePath());

    const auto ports = CSerialPortEnumerator::Enumerate();
    ASSERT_EQ(ports.size(), 3u);
    EXPECT_EQ(ports[0].devicePath, (tree.deviceFolder() + "/ttyS0").c_str());
    EXPECT_EQ(ports[0].friendlyName, "ttyS0");
    EXPECT_EQ(ports[0].description, "");
    EXPECT_FALSE(ports[0].usb);
    EXPECT_EQ(ports[1].friendlyName, "ttyUSB2");
    EXPECT_EQ(ports[1].description, "ftdi_sio") << "the driver when sysfs has no product";
    EXPECT_TRUE(ports[1].usb);
    EXPECT_EQ(ports[2].friendlyName, "FT232R USB UART (ttyUSB10)");
    EXPECT_EQ(ports[2].description, "FT232R USB UART");
}

TEST_F(SerialPortEnumTest, PortHeldByAnotherProgramIsLeftOut)
{
    tree.AddPort("ttyACM0", a.slavePath());
    tree.AddPort("ttyACM1", b.slavePath());
    CSerial holder;
    ASSERT_EQ(holder.Open(b.slavePath().c_str()), ERROR_SUCCESS);
    const auto ports = CSerialPortEnumerator::Enumerate();
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].friendlyName, "ttyACM0");
}

TEST(SerialPortEnumNames, OnlySerialDeviceNamesCount)
{
    for (const char* name : {"ttyS0", "ttyUSB12", "ttyACM3"})
        EXPECT_TRUE(CSerialPortEnumerator::IsSerialName(name)) << name;
    for (const char* name : {"tty1", "ttyS", "ttyUSBx", "ttySx1", "ptmx", "console", ""})
        EXPECT_FALSE(CSerialPortEnumerator::IsSerialName(name)) << name;
}

TEST(SerialPortEnumNames, MissingClassFolderGivesNoPorts)
{
    CSerialPortEnumerator::SetRoots("/nonexistent/kv/class", "/nonexistent/kv/dev");
    EXPECT_TRUE(CSerialPortEnumerator::Enumerate().empty());
    CSerialPortEnumerator::SetRoots("", "");
}
