#include "setup/io/TavroIoPinDefinitionMap.h"

#include <utility>

void CTavroIoPinDefinitionMap::DeleteAll()
{
    for (CTavroIoPinDefinition* pin : *this)
        delete pin;
    RemoveAll();
}

void CTavroIoPinDefinitionMap::Swap(CTavroIoPinDefinitionMap& other)
{
    CArray<CTavroIoPinDefinition*, CTavroIoPinDefinition*> mine;
    mine.Append(*this);
    RemoveAll();
    Append(other);
    other.RemoveAll();
    other.Append(mine);
}
