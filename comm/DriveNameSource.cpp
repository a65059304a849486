#include "DriveNameSource.h"

#include <atomic>

namespace {
std::atomic<const CDriveNameSource*> g_source{nullptr};
}

void CDriveNameSource::Install(const CDriveNameSource* source) { g_source = source; }

bool CDriveNameSource::Lookup(int address, CString& name)
{
    const CDriveNameSource* source = g_source.load();
    return source && source->FindDriveName(address, name);
}
