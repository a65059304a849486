// Helpers of the firmware tests: boot-format images, a programmer without the
// protocol's long pauses, and a report callback that keeps what it heard.
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "firmware/SerialFlashProgrammer.h"
#include "firmware/SerialFlashProgrammerReportCB.h"

namespace fwtest {

struct Block {
    uint32_t address;
    std::vector<uint16_t> words;
};

// An image in the boot format: 22 header bytes, blocks of size, address and
// words, a zero size at the end. The CM counts its block sizes in bytes, high byte first.
inline std::vector<uint8_t> BootImage(int cpu, const std::vector<Block>& blocks)
{
    std::vector<uint8_t> bytes = {0xAA, 0x08};
    bytes.resize(22, 0);
    for (const Block& block : blocks) {
        const size_t size = cpu == 3 ? block.words.size() * 2 : block.words.size();
        if (cpu == 3) {
            bytes.push_back(static_cast<uint8_t>(size >> 8));
            bytes.push_back(static_cast<uint8_t>(size & 0xFF));
        } else {
            bytes.push_back(static_cast<uint8_t>(size & 0xFF));
            bytes.push_back(static_cast<uint8_t>(size >> 8));
        }
        const uint32_t a = block.address;
        for (uint32_t part : {a >> 16 & 0xFF, a >> 24, a & 0xFF, a >> 8 & 0xFF})
            bytes.push_back(static_cast<uint8_t>(part));
        for (uint16_t word : block.words) {
            bytes.push_back(static_cast<uint8_t>(word & 0xFF));
            bytes.push_back(static_cast<uint8_t>(word >> 8));
        }
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// The text form of an image: three leading characters, then hexadecimal values.
inline std::string ImageText(const std::vector<uint8_t>& bytes)
{
    std::string text = "\x02$A";
    for (size_t i = 0; i < bytes.size(); ++i) {
        char value[8];
        std::snprintf(value, sizeof value, "%02X", bytes[i]);
        text += value;
        text += (i % 16 == 15) ? "\r\n" : " ";
    }
    return text + "\x03\r\n";
}

inline std::vector<uint16_t> Words(size_t count, uint16_t seed)
{
    std::vector<uint16_t> words;
    for (size_t i = 0; i < count; ++i)
        words.push_back(static_cast<uint16_t>(seed + i * 0x0101));
    return words;
}

inline std::map<uint32_t, uint16_t> FlashOf(const std::vector<Block>& blocks)
{
    std::map<uint32_t, uint16_t> flash;
    for (const Block& block : blocks)
        for (size_t i = 0; i < block.words.size(); ++i)
            flash[block.address + static_cast<uint32_t>(i)] = block.words[i];
    return flash;
}

class FastProgrammer : public CSerialFlashProgrammer {
protected:
    void Pause(DWORD /*milliseconds*/) override {}
};

class ReportRecorder : public CSerialFlashProgrammerReportCB {
public:
    void ReportAction(CString text) override { Add("Action", text); }
    void ReportStatus(CString text) override { Add("Status", text); }
    void BeginProgress(int total, CString text) override { Add("Begin", text, total); }
    void ReportProgress(int position, CString text) override
    {
        ++progressCount;
        lastPosition = position;
        (void)text;
    }
    void ReportError(CString text) override { Add("Error", text); }
    void ReportDebug(CString text) override { Add("Debug", text); }

    std::vector<std::string> Of(const std::string& kind) const
    {
        std::vector<std::string> texts;
        for (const auto& [eventKind, text] : events)
            if (eventKind == kind)
                texts.push_back(text);
        return texts;
    }

    std::vector<std::pair<std::string, std::string>> events;
    std::vector<int> totals;
    int progressCount = 0;
    int lastPosition = -1;

private:
    void Add(const char* kind, const CString& text, int total = -1)
    {
        events.emplace_back(kind, text.GetString());
        if (total >= 0)
            totals.push_back(total);
    }
};

}  // namespace fwtest
