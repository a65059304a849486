// libFuzzer target for the typed text form of drive commands: any text parsed
// into a message that already holds a command. Checked: no crash, no hang, a
// refused text leaves the message as it was, and a parsed one adds at most
// one sub-command, every command with a width a link frame can carry.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "distribution/AmpCommandText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CCompoundAmpMsg message(3, 0x4142, -7, 2);
    message.AddCommand(0x4344, 9);
    const int result = ParseAmpCommandText(message, text.c_str());
    if (!result) {
        if (message.m_address != 3 || message.m_code != 0x4142 || message.m_value != -7 || message.m_width != 2 ||
            message.m_subCommands.GetCount() != 1)
            std::abort();
        return 0;
    }
    if (message.m_address != 3 || message.m_subCommands.GetCount() > 2)
        std::abort();
    auto widthFits = [](const CAmpCommand& command) {
        return command.m_width == 0 || command.m_width == 1 || command.m_width == 2 || command.m_width == 4;
    };
    if (!widthFits(message))
        std::abort();
    for (POSITION pos = message.m_subCommands.GetHeadPosition(); pos;) {
        if (!widthFits(message.m_subCommands.GetNext(pos)))
            std::abort();
    }
    (void)message.ToString();
    return 0;
}
