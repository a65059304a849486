// The administrator password of the cloud database management window. Only
// a salted one-way digest of it is kept (here, in one place); the typed text
// is compared by digest, exactly and case-sensitively.
#pragma once

#include "platform/core/String.h"

bool IsAdminPassword(const CString& typed);

namespace kvtest {
// Replaces the stored salt and digest (64 hexadecimal digits of SHA-256(salt + password)).
void SetAdminPasswordDigest(const char* salt, const char* digest);
}  // namespace kvtest
