// A fuzz target's input as a file that readers open by name: a file in memory,
// rewritten for each input, so the fuzzer never touches the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/core/Archive.h"
#include "platform/core/File.h"

class FuzzInputFile {
public:
    FuzzInputFile() : m_fd(memfd_create("fuzz-input", MFD_CLOEXEC))
    {
        if (m_fd < 0)
            std::abort();
        m_path = "/proc/self/fd/" + std::to_string(m_fd);
    }
    ~FuzzInputFile() { close(m_fd); }
    FuzzInputFile(const FuzzInputFile&) = delete;
    FuzzInputFile& operator=(const FuzzInputFile&) = delete;

    const char* Path() const { return m_path.c_str(); }
    // The path under which the bytes can be opened, until the next Put.
    const char* Put(const uint8_t* data, size_t size)
    {
        if (ftruncate(m_fd, 0) != 0 || (size && pwrite(m_fd, data, size, 0) != static_cast<ssize_t>(size)))
            std::abort();
        return m_path.c_str();
    }

private:
    int m_fd;
    std::string m_path;
};

// A real file in memory-backed /dev/shm for writers that replace their file by
// a rename (which a file held in memory cannot take); removed at exit.
class FuzzScratchFile {
public:
    explicit FuzzScratchFile(const char* name)
        : m_path("/dev/shm/" + std::string(name) + "." + std::to_string(getpid()))
    {
    }
    ~FuzzScratchFile() { unlink(m_path.c_str()); }
    FuzzScratchFile(const FuzzScratchFile&) = delete;
    FuzzScratchFile& operator=(const FuzzScratchFile&) = delete;

    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Opens the file for reading or, emptied first, for writing in place (a file
// in memory cannot be replaced by a rename).
inline bool OpenFuzzFile(CFile& file, FuzzInputFile& input, bool forWriting)
{
    const char* path = forWriting ? input.Put(nullptr, 0) : input.Path();
    return file.Open(path, forWriting ? CFile::modeReadWrite : CFile::modeRead) != FALSE;
}

// Reads the file through serialize(CArchive&) as an archive being loaded; false
// when the archive is refused with an exception.
template <class Serialize>
bool LoadFuzzArchive(FuzzInputFile& input, Serialize serialize)
{
    CFile in;
    if (!OpenFuzzFile(in, input, false))
        std::abort();
    try {
        CArchive ar(&in, CArchive::load);
        serialize(ar);
        return true;
    } catch (const CException&) {
        return false;
    }
}

// Empties the file and writes it through serialize(CArchive&) as an archive
// being stored.
template <class Serialize>
void StoreFuzzArchive(FuzzInputFile& output, Serialize serialize)
{
    CFile out;
    if (!OpenFuzzFile(out, output, true))
        std::abort();
    CArchive ar(&out, CArchive::store);
    serialize(ar);
    ar.Close();
}
