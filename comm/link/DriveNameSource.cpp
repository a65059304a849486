#include "comm/link/DriveNameSource.h"

#include <atomic>

namespace {
std::atomic<const CDriveNameSource*> g_source{nullptr};
}

void CDriveNameSource::Install(const CDriveNameSource* source) { g_source = source; }

void CDriveNameSource::Uninstall(const CDriveNameSource* source)
{
    const CDriveNameSource* expected = source;
    g_source.compare_exchange_strong(expected, nullptr);
}

bool CDriveNameSource::Lookup(int address, CString& name)
{
    const CDriveNameSource* source = g_source.load();
    return source && source->FindDriveName(address, name);
}
