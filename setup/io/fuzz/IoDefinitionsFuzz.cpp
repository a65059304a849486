// libFuzzer target for the I/O definitions and analog signal lists of the
// factory settings file: any bytes read as that file, the input and output
// definitions of each variant loaded and every pin offered its functions and
// connected, and every analog signal list read. Checked: no crash, no hang.
#include <cstdint>

#include "setup/io/AnalogSignalLists.h"
#include "setup/io/TavroDigitalInputDefinitions.h"
#include "setup/io/TavroDigitalOutputDefinitions.h"
#include "testing/FuzzInputFile.h"

namespace {

constexpr int kPinsTried = 40;

void Exercise(CTavroIoDefinitions& definitions)
{
    for (int pin = 0; pin < kPinsTried; ++pin) {
        CList<CFunctionAndBit> functions;
        definitions.GetAvailableFunctions(pin, -1, functions);
        for (POSITION pos = functions.GetHeadPosition(); pos;) {
            const CFunctionAndBit& function = functions.GetNext(pos);
            if (definitions.CanConnect(pin, function.m_function, function.m_bit))
                definitions.AddConnection(pin, function.m_bit, function.m_function);
        }
        CList<CFunctionAndBit> connected;
        definitions.GetPinFunctions(pin, connected);
    }
    for (int pin = 0; pin < kPinsTried; ++pin)
        definitions.RemovePinConnections(pin);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    const CString path = input.Put(data, size);
    for (int variant = 0; variant < 2; ++variant) {
        CTavroDigitalInputDefinitions inputs;
        if (inputs.LoadDefinitions(variant, path))
            Exercise(inputs);
        CTavroDigitalOutputDefinitions outputs;
        if (outputs.LoadDefinitions(variant, path))
            Exercise(outputs);
    }
    for (int ch : {1, 9, 13, 16}) {
        for (int param7 : {0, 1}) {
            const AnalogListSections sections = CAnalogSignalLists::SectionsFor(ch, param7);
            CStringArray entries;
            if (!sections.output.IsEmpty())
                CAnalogSignalLists::ReadList(path, sections.output, entries);
            if (!sections.aux.IsEmpty())
                CAnalogSignalLists::ReadList(path, sections.aux, entries);
        }
    }
    return 0;
}
