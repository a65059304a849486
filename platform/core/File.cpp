#include "File.h"

#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WantsReplacement(UINT flags)
{
    return (flags & CFile::modeCreate) && !(flags & CFile::modeNoTruncate) &&
           (flags & (CFile::modeWrite | CFile::modeReadWrite));
}

const char* StdioMode(UINT flags)
{
    const bool readWrite = flags & CFile::modeReadWrite;
    const bool write = flags & CFile::modeWrite;
    if (flags & CFile::modeCreate) {
        if (flags & CFile::modeNoTruncate)
            return readWrite ? "r+b" : (write ? "r+b" : "rb");
        return readWrite ? "w+b" : "wb";
    }
    return readWrite || write ? "r+b" : "rb";
}

}  // namespace

CFile::CFile(const char* fileName, UINT openFlags)
{
    CFileException error;
    if (!Open(fileName, openFlags, &error))
        throw error;
}

CFile::~CFile()
{
    if (!m_file)
        return;
    // Unwinding from an exception means the write did not finish: keep the old file.
    if (std::uncaught_exceptions() > m_uncaughtAtOpen) {
        Abort();
        return;
    }
    try {
        Close();
    } catch (const CFileException&) {
    }
}

BOOL CFile::Open(const char* fileName, UINT openFlags, CFileException* error)
{
    if (m_file)
        Abort();
    m_path = fileName ? fileName : "";
    m_flags = openFlags;
    m_uncaughtAtOpen = std::uncaught_exceptions();
    auto fail = [&](int osError) {
        if (error)
            *error = CFileException(CFileException::CauseFromErrno(osError), osError, m_path);
        m_path.Empty();
        return FALSE;
    };
    if (m_path.IsEmpty())
        return fail(ENOENT);

    if (WantsReplacement(openFlags)) {
        if (const int err = m_replacement.Begin(m_path, (openFlags & modeOwnerOnly) != 0))
            return fail(err);
        const int fd = dup(m_replacement.GetFd());
        m_file = fd < 0 ? nullptr : fdopen(fd, (openFlags & modeReadWrite) ? "w+b" : "wb");
        if (!m_file) {
            const int err = errno;
            if (fd >= 0)
                close(fd);
            m_replacement.Discard();
            return fail(err);
        }
        return TRUE;
    }

    if ((openFlags & modeCreate) && (openFlags & modeNoTruncate)) {
        const int fd = ::open(m_path, O_CREAT | O_RDWR, 0666);
        if (fd < 0)
            return fail(errno);
        close(fd);
    }
    m_file = std::fopen(m_path, StdioMode(openFlags));
    if (!m_file)
        return fail(errno);
    return TRUE;
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (!m_file)
        ThrowError(EBADF);
    const size_t got = std::fread(buffer, 1, count, m_file);
    if (got < count && std::ferror(m_file))
        ThrowError(errno, CFileException::hardIO);
    return static_cast<UINT>(got);
}

void CFile::Write(const void* buffer, UINT count)
{
    if (!m_file)
        ThrowError(EBADF);
    if (count && std::fwrite(buffer, 1, count, m_file) != count)
        ThrowError(errno ? errno : ENOSPC);
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from)
{
    if (!m_file)
        ThrowError(EBADF);
    const int whence = from == end ? SEEK_END : (from == current ? SEEK_CUR : SEEK_SET);
    if (fseeko(m_file, offset, whence) != 0)
        ThrowError(errno, CFileException::badSeek);
    return GetPosition();
}

ULONGLONG CFile::GetLength() const
{
    if (!m_file)
        ThrowError(EBADF);
    std::fflush(m_file);
    struct stat st {};
    if (fstat(fileno(m_file), &st) != 0)
        ThrowError(errno);
    return static_cast<ULONGLONG>(st.st_size);
}

void CFile::SetLength(ULONGLONG length)
{
    if (!m_file)
        ThrowError(EBADF);
    std::fflush(m_file);
    if (ftruncate(fileno(m_file), static_cast<off_t>(length)) != 0)
        ThrowError(errno);
}

ULONGLONG CFile::GetPosition() const
{
    if (!m_file)
        ThrowError(EBADF);
    const off_t pos = ftello(m_file);
    if (pos < 0)
        ThrowError(errno);
    return static_cast<ULONGLONG>(pos);
}

BOOL CFile::GetStatus(CFileStatus& status) const
{
    if (!m_file)
        return FALSE;
    std::fflush(m_file);
    struct stat st {};
    if (fstat(fileno(m_file), &st) != 0)
        return FALSE;
    status.m_ctime = st.st_ctime;
    status.m_mtime = st.st_mtime;
    status.m_atime = st.st_atime;
    status.m_size = static_cast<ULONGLONG>(st.st_size);
    status.m_attribute = static_cast<BYTE>((S_ISDIR(st.st_mode) ? 0x10 : 0) | ((st.st_mode & S_IWUSR) ? 0 : 0x01));
    status.m_szFullName = m_path;
    return TRUE;
}

void CFile::Flush()
{
    if (m_file && std::fflush(m_file) != 0)
        ThrowError(errno);
}

void CFile::Close()
{
    if (!m_file)
        return;
    const bool flushed = std::fflush(m_file) == 0 && !std::ferror(m_file);
    int err = flushed ? 0 : (errno ? errno : EIO);
    if (std::fclose(m_file) != 0 && err == 0)
        err = errno ? errno : EIO;
    m_file = nullptr;
    if (m_replacement.IsActive()) {
        if (err == 0)
            err = m_replacement.Commit();
        else
            m_replacement.Discard();
    }
    if (err != 0)
        ThrowError(err);
}

void CFile::Abort()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    Discard();
}

void CFile::Discard()
{
    m_replacement.Discard();
}

CString CFile::GetFileName() const
{
    const int slash = m_path.ReverseFind('/');
    return slash < 0 ? m_path : m_path.Mid(slash + 1);
}

void CFile::Remove(const char* fileName)
{
    if (std::remove(fileName) != 0) {
        const int err = errno;
        throw CFileException(CFileException::CauseFromErrno(err), err, fileName);
    }
}

void CFile::Rename(const char* oldName, const char* newName)
{
    if (std::rename(oldName, newName) != 0) {
        const int err = errno;
        throw CFileException(CFileException::CauseFromErrno(err), err, oldName);
    }
}

bool CFile::Exists(const char* fileName)
{
    struct stat st {};
    return fileName && stat(fileName, &st) == 0;
}

void CFile::ThrowError(int osError, int cause) const
{
    if (cause == CFileException::none)
        cause = CFileException::CauseFromErrno(osError);
    throw CFileException(cause, osError, m_path);
}
