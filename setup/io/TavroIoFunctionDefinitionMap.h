// CTavroIoFunctionDefinitionMap: the functions by number, and in file order.
// Owns the definitions.
#pragma once

#include "platform/core/List.h"
#include "platform/core/Map.h"
#include "setup/io/TavroIoFunctionDefinition.h"

class CTavroIoFunctionDefinitionMap : public CMap<int, int, CTavroIoFunctionDefinition*, CTavroIoFunctionDefinition*> {
public:
    CTavroIoFunctionDefinitionMap() = default;
    ~CTavroIoFunctionDefinitionMap() override { DeleteAll(); }
    CTavroIoFunctionDefinitionMap(const CTavroIoFunctionDefinitionMap&) = delete;
    CTavroIoFunctionDefinitionMap& operator=(const CTavroIoFunctionDefinitionMap&) = delete;

    // False, and the definition not taken, when its number is defined already.
    bool Add(CTavroIoFunctionDefinition* definition);
    CTavroIoFunctionDefinition* Find(int number) const;
    void DeleteAll();
    void Swap(CTavroIoFunctionDefinitionMap& other);

    CList<CTavroIoFunctionDefinition*> m_order;
};
