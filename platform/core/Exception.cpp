#include "Exception.h"

#include <cerrno>
#include <cstring>

namespace {

CString DescribeFileError(int cause, int osError, const CString& fileName)
{
    CString text;
    if (osError != 0)
        text.Format("%s: %s", fileName.GetString(), std::strerror(osError));
    else if (cause == CFileException::endOfFile)
        text.Format("%s: unexpected end of file", fileName.GetString());
    else
        text.Format("%s: file error %d", fileName.GetString(), cause);
    return text;
}

CString DescribeArchiveError(int cause, const CString& fileName)
{
    static const char* const kCauses[] = {"no error", "archive error", "archive is read-only",
                                          "unexpected end of archive", "archive is write-only",
                                          "bad object index in archive", "unknown class in archive",
                                          "unsupported object version in archive"};
    const char* reason = (cause >= 0 && cause < static_cast<int>(_countof(kCauses))) ? kCauses[cause] : "archive error";
    CString text;
    if (fileName.IsEmpty())
        text = reason;
    else
        text.Format("%s: %s", fileName.GetString(), reason);
    return text;
}

}  // namespace

CFileException::CFileException(int cause, int osError, CString fileName)
    : CException(DescribeFileError(cause, osError, fileName)),
      m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName))
{
}

int CFileException::CauseFromErrno(int osError)
{
    switch (osError) {
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return accessDenied;
    case ENOSPC:
    case EDQUOT: return diskFull;
    case EIO: return hardIO;
    case EBUSY:
    case ETXTBSY: return sharingViolation;
    default: return genericException;
    }
}

CArchiveException::CArchiveException(int cause, CString fileName)
    : CException(DescribeArchiveError(cause, fileName)), m_cause(cause), m_strFileName(std::move(fileName))
{
}
