// CTavroDigitalOutputDefinitions: the output side: pin words carry the
// function in bits 8-15, the function's bit in bits 1-6 and the level in bit 0.
#pragma once

#include "setup/io/TavroIoDefinitions.h"

class CTavroDigitalOutputDefinitions : public CTavroIoDefinitions {
public:
    static constexpr WORD kPinValueParameter = 4579;
    static constexpr WORD kAddressParameter = 4585;

    int LoadDefinitions(int variant, const CString& factoryFile);

protected:
    WORD PinValueParameter() const override { return kPinValueParameter; }
    WORD AddressParameter() const override { return kAddressParameter; }
    bool IsInputSide() const override { return false; }
    WORD EncodePin(int function, int bit, int level) const override
    {
        return static_cast<WORD>(((function & 0xFF) << 8) | ((bit & 0x3F) << 1) | (level & 1));
    }
    int DecodeBit(DWORD value) const override { return static_cast<int>((value >> 1) & 0x3F); }
};
