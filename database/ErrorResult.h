// The database's way of failing: the reason goes to the caller's error text,
// when it asked for one.
#pragma once

#include "platform/core/String.h"

namespace dberror {
inline bool Fail(CString* error, const CString& message)
{
    if (error)
        *error = message;
    return false;
}

inline bool Succeed(CString* error)
{
    if (error)
        error->Empty();
    return true;
}
}  // namespace dberror
