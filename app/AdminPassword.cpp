#include "AdminPassword.h"

#include "Sha256.h"

namespace {
CString g_salt = "d2b75fc625fd584a96fc6fcbddd1b3d8";
CString g_digest = "fe95d7f89ab581e98cb65bfefdd5464b422e0d9b27353b215eee5d1a94fe9545";
}  // namespace

bool IsAdminPassword(const CString& typed)
{
    // The digests are compared whole, so the time taken tells nothing of where they differ.
    const CString digest = CSha256::HexDigest(g_salt + typed);
    if (digest.GetLength() != g_digest.GetLength())
        return false;
    int difference = 0;
    for (int i = 0; i < digest.GetLength(); ++i)
        difference |= digest[i] ^ g_digest[i];
    return difference == 0;
}

namespace kvtest {
void SetAdminPasswordDigest(const char* salt, const char* digest)
{
    g_salt = salt;
    g_digest = digest;
}
}  // namespace kvtest
