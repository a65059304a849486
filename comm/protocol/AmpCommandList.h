// CAmpCommandList: the sub-commands of a compound message, by value, in sending order.
#pragma once

#include "comm/protocol/AmpCommand.h"
#include "platform/core/List.h"

class CAmpCommandList : public CList<CAmpCommand> {
public:
    // Same count and, pair by pair, the same code, value presence and value.
    bool IsEqual(const CAmpCommandList& other) const;
    void Copy(const CAmpCommandList& other);
};
