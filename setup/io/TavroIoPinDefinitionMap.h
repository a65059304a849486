// CTavroIoPinDefinitionMap: the pins in table order; a pin's position is its
// number on the drive. Owns the definitions.
#pragma once

#include "platform/core/Array.h"
#include "setup/io/TavroIoPinDefinition.h"

class CTavroIoPinDefinitionMap : public CArray<CTavroIoPinDefinition*, CTavroIoPinDefinition*> {
public:
    CTavroIoPinDefinitionMap() = default;
    ~CTavroIoPinDefinitionMap() { DeleteAll(); }
    CTavroIoPinDefinitionMap(const CTavroIoPinDefinitionMap&) = delete;
    CTavroIoPinDefinitionMap& operator=(const CTavroIoPinDefinitionMap&) = delete;

    void DeleteAll();
    void Swap(CTavroIoPinDefinitionMap& other);
    CTavroIoPinDefinition* Pin(int position) const
    {
        return position >= 0 && position < GetSize() ? GetAt(position) : nullptr;
    }
};
