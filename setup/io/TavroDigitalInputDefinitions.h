// CTavroDigitalInputDefinitions: the input side: pin words carry the function
// in bits 8-15 and the active level in bit 0.
#pragma once

#include "setup/io/TavroIoDefinitions.h"

class CTavroDigitalInputDefinitions : public CTavroIoDefinitions {
public:
    static constexpr WORD kPinValueParameter = 4387;
    static constexpr WORD kAddressParameter = 4393;

    // Variant 0: the series pins; 1: the model-specific ones. 0 for another variant.
    int LoadDefinitions(int variant, const CString& factoryFile);

protected:
    WORD PinValueParameter() const override { return kPinValueParameter; }
    WORD AddressParameter() const override { return kAddressParameter; }
    bool IsInputSide() const override { return true; }
    WORD EncodePin(int function, int, int level) const override
    {
        return static_cast<WORD>(((function & 0xFF) << 8) | (level & 1));
    }
    int DecodeBit(DWORD) const override { return 0; }
};
