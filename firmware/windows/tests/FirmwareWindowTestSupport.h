// What the firmware windows' tests share: a fake tty tree whose one port leads
// to the simulated boot loader, boot images of three processors, update files
// made as the factory makes them, status lines read back with their format,
// and a stand-in for the frame's communications that records its calls.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "firmware/SerialFlashProgrammerScript.h"
#include "firmware/tests/FirmwareTestSupport.h"
#include "firmware/windows/FirmwareDlgBase.h"
#include "firmware/windows/FirmwareLinkControl.h"
#include "foundation/Scramblers.h"
#include "platform/core/MessageBox.h"
#include "platform/io/SerialPortEnum.h"
#include "testing/FakeTtyTree.h"
#include "testing/SimulatedBootLoader.h"
#include "testing/TempDir.h"
#include "testing/WaitFor.h"

namespace fwwin {

class RecordingLink : public CFirmwareLinkControl {
public:
    int CloseLinkForRun() override
    {
        calls.push_back(open ? "close" : "closed already");
        const int was = open;
        open = 0;
        return was;
    }
    void ReopenLinkAfterRun() override
    {
        calls.push_back("reopen");
        open = 1;
    }
    int open = 1;
    std::vector<std::string> calls;
};

struct StatusLine {
    std::string text;
    COLORREF colour;
    int style;
};

// The status lines with the colour and style of their first character.
inline std::vector<StatusLine> StatusLines(CDRichEditCtrl& box)
{
    CString all;
    box.GetWindowText(all);
    std::vector<StatusLine> lines;
    const std::string text = all.GetString();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start) {
            box.SetSel(static_cast<long>(start), static_cast<long>(start + 1));
            CHARFORMAT format{};
            format.cbSize = sizeof format;
            box.GetSelectionCharFormat(format);
            const int style = ((format.dwEffects & CFE_BOLD) ? 1 : 0) | ((format.dwEffects & CFE_ITALIC) ? 2 : 0) |
                              ((format.dwEffects & CFE_UNDERLINE) ? 4 : 0);
            lines.push_back({text.substr(start, end - start), format.crTextColor, style});
        }
        start = end + 1;
    }
    return lines;
}

inline std::vector<std::string> Texts(const std::vector<StatusLine>& lines)
{
    std::vector<std::string> texts;
    for (const StatusLine& line : lines)
        texts.push_back(line.text);
    return texts;
}

inline bool Contains(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

inline std::vector<std::string> Boxes()
{
    std::vector<std::string> boxes;
    for (const CString& box : AfxTakeScriptedMessageLog())
        if (box.Find("Image successfully exported") < 0)
            boxes.push_back(box.GetString());
    return boxes;
}

inline bool AnyBoxHas(const std::vector<std::string>& boxes, const std::string& text)
{
    for (const std::string& box : boxes)
        if (box.find(text) != std::string::npos)
            return true;
    return false;
}

struct Processor {
    int cpu;
    std::vector<uint8_t> kernel;
    std::vector<fwtest::Block> blocks;
};

class FirmwareWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.File("factory"));
        tree = std::make_unique<FakeTtyTree>(dir.File("tty"));
        tree->AddPort("ttyUSB0", boot.PortName(), "Drive Boot Port", true);
        CSerialPortEnumerator::SetRoots(tree->classFolder().c_str(), tree->deviceFolder().c_str());
        processors = {
            {1, fwtest::BootImage(1, {{0x8000, fwtest::Words(64, 0x1000)}}),
             {{0x080000, fwtest::Words(600, 0x0101)}, {0x0A0000, fwtest::Words(7, 9)}}},
            {2, fwtest::BootImage(2, {{0x8000, fwtest::Words(48, 0x2000)}}), {{0x080000, fwtest::Words(129, 0x0202)}}},
            {3, fwtest::BootImage(3, {{0x20000000, fwtest::Words(32, 0x3000)}}),
             {{0x00200000, fwtest::Words(200, 0x0303)}}},
        };
        AfxTakeScriptedMessageLog();
    }
    void TearDown() override { CSerialPortEnumerator::SetRoots("", ""); }

    std::string Factory(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        dir.Write("factory/" + name, fwtest::ImageText(bytes));
        return dir.File("factory/" + name);
    }
    std::string KernelFile(int cpu) { return Factory("kernel" + std::to_string(cpu) + ".txt", processors[cpu - 1].kernel); }
    std::string FirmwareFile(int cpu)
    {
        const Processor& p = processors[static_cast<size_t>(cpu - 1)];
        return Factory("firmware" + std::to_string(cpu) + ".txt", fwtest::BootImage(cpu, p.blocks));
    }

    // An update of CPU1 alone, scrambled as exported; constants left out on request.
    std::string MakeUpdateFile(const std::string& name, bool withPart = true, bool withTotal = true)
    {
        CSerialFlashProgrammerScript script;
        if (withPart)
            script.SetConstant("PartNum", "QX-100");
        script.SetConstant("Processor", "F28377:CPU1");
        script.SetConstantInt("Baudrate", 115200);
        script.AppendScript("OpenPort\n");
        script.AddSetCpu(1);
        script.AddLoadKernel(KernelFile(1).c_str(), 0);
        script.AppendScript("AutoBaudLock\n");
        script.AddLoadFirmware(FirmwareFile(1).c_str(), 0);
        if (withTotal)
            script.SetConstantInt("TotalFileSize", script.GetTotalFileSize());
        EXPECT_EQ(script.WriteUpdateFile(dir.File("plain.tmp").c_str()), 1) << script.GetErrorText().GetString();
        EXPECT_EQ(ScrambleFile(dir.File("plain.tmp").c_str(), dir.File(name).c_str(),
                               CSerialFlashProgrammerScript::kUpdateFileSeed, 1),
                  1);
        return dir.File(name);
    }

    void RelinkPort()
    {
        const std::string link = tree->deviceFolder() + "/ttyUSB0";
        std::filesystem::remove(link);
        std::filesystem::create_symlink(boot.PortName(), link);
    }

    void ExpectFlashed(int cpu)
    {
        const Processor& p = processors[static_cast<size_t>(cpu - 1)];
        EXPECT_TRUE(WaitFor([&] { return boot.Kernel(cpu) == p.kernel; })) << "cpu " << cpu;
        EXPECT_TRUE(WaitFor([&] { return boot.FlashOf(cpu) == fwtest::FlashOf(p.blocks); })) << "cpu " << cpu;
    }

    TempDir dir;
    SimulatedBootLoader boot;
    std::unique_ptr<FakeTtyTree> tree;
    std::vector<Processor> processors;
};

}  // namespace fwwin
