#include "FileHelpers.h"

#include <climits>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/core/StdioFile.h"

namespace {

constexpr UINT kArchiveChunk = 1000000;

struct PathParts {
    CString folder;
    CString title;
    CString extension;
};

PathParts SplitPath(const CString& path)
{
    PathParts parts;
    const int slash = std::max(path.ReverseFind('/'), path.ReverseFind('\\'));
    parts.folder = path.Left(slash + 1);
    const CString name = path.Mid(slash + 1);
    const int dot = name.ReverseFind('.');
    parts.title = dot < 0 ? name : name.Left(dot);
    parts.extension = dot < 0 ? CString() : name.Mid(dot);
    return parts;
}

void CopyArchiveToFile(CArchive& ar, CFile& file, ULONGLONG length)
{
    std::vector<char> chunk(static_cast<size_t>(std::min<ULONGLONG>(length, kArchiveChunk)));
    while (length > 0) {
        const UINT part = static_cast<UINT>(std::min<ULONGLONG>(length, kArchiveChunk));
        ar.ReadExact(chunk.data(), part);
        file.Write(chunk.data(), part);
        length -= part;
    }
}

int StoreFileInArchive(CArchive& ar, const CString& path)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::typeBinary))
        return 0;
    CFileStatus status;
    if (!file.GetStatus(status))
        return 0;
    ar << GetFileNameFromPath(path, TRUE) << static_cast<ULONGLONG>(status.m_size);
    std::vector<char> chunk(kArchiveChunk);
    for (ULONGLONG left = status.m_size; left > 0;) {
        const UINT part = static_cast<UINT>(std::min<ULONGLONG>(left, kArchiveChunk));
        // A file that shrank while being stored would leave the archive unreadable.
        if (file.Read(chunk.data(), part) != part)
            ar.ThrowArchive(CArchiveException::genericException);
        ar.Write(chunk.data(), part);
        left -= part;
    }
    return 1;
}

int LoadFileFromArchive(CArchive& ar, const CString& path, BOOL appendName, CString* outputName,
                        ULONGLONG limit)
{
    CString name;
    ULONGLONG length = 0;
    ar >> name >> length;
    CFile* source = ar.GetFile();
    if (!source || length > source->GetLength() - source->GetPosition())
        ar.ThrowArchive(CArchiveException::endOfFile);
    auto skip = [&] {
        source->Seek(static_cast<LONGLONG>(length), CFile::current);
        return 0;
    };
    if (length > limit)
        return skip();
    CString target = path;
    if (appendName) {
        // Only the name counts: a stored "../x" must not write outside the folder.
        const CString bare = GetFileNameFromPath(name, TRUE);
        if (bare.IsEmpty() || bare == "." || bare == "..")
            ar.ThrowArchive(CArchiveException::genericException);
        if (!target.IsEmpty() && target.Right(1) != "/")
            target += '/';
        target += bare;
    }
    CFile file;
    if (!file.Open(target, CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary))
        return skip();
    CopyArchiveToFile(ar, file, length);
    file.Close();
    if (outputName)
        *outputName = target;
    return 1;
}

}  // namespace

CString GetFileNameFromPath(const CString& path, BOOL withExtension)
{
    const PathParts parts = SplitPath(path);
    return withExtension ? parts.title + parts.extension : parts.title;
}

CString GetFolderFromPath(const CString& path)
{
    return SplitPath(path).folder;
}

CString GetFileExtension(const CString& path)
{
    return SplitPath(path).extension;
}

int ReadTextFile(const char* path, CString& text)
{
    try {
        CStdioFile file;
        if (!file.Open(path, CFile::modeRead | CFile::typeText))
            return 0;
        char chunk[9999];
        for (UINT got; (got = file.Read(chunk, sizeof chunk)) > 0;)
            text.Append(chunk, static_cast<int>(got));
        return 1;
    } catch (const CFileException&) {
        return 0;
    }
}

int WriteTextFile(const char* path, const CString& text)
{
    try {
        CStdioFile file;
        if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText))
            return 0;
        file.WriteString(text);
        file.Close();
        return 1;
    } catch (const CFileException&) {
        return 0;
    }
}

int SerializeFileInArchive(CArchive& ar, const CString& path, BOOL appendName, CString* outputName,
                           ULONGLONG limit)
{
    if (ar.IsStoring())
        return StoreFileInArchive(ar, path);
    return LoadFileFromArchive(ar, path, appendName, outputName, limit);
}

int FileExists(const char* path)
{
    struct stat st {};
    return path && stat(path, &st) == 0 ? 1 : 0;
}

int GetFileStatus(const char* path, CFileStatus& status)
{
    CFile file;
    if (!file.Open(path, CFile::modeRead))
        return 0;
    return file.GetStatus(status);
}

int GetStreamSize(FILE* stream)
{
    if (!stream)
        return -1;
    const off_t here = ftello(stream);
    if (here < 0 || fseeko(stream, 0, SEEK_END) != 0)
        return -1;
    const off_t size = ftello(stream);
    if (fseeko(stream, here, SEEK_SET) != 0 || size < 0 || size > INT_MAX)
        return -1;
    return static_cast<int>(size);
}

int GetFileSizeByName(const char* path)
{
    std::unique_ptr<FILE, int (*)(FILE*)> stream(std::fopen(path, "rb"), &std::fclose);
    if (!stream)
        return -1;
    return GetStreamSize(stream.get());
}

void DeleteFolderTree(const CString& folder)
{
    CString base = folder;
    if (base.IsEmpty())
        return;
    if (base.Right(1) != "/")
        base += '/';
    if (DIR* dir = opendir(base)) {
        std::vector<CString> entries;
        while (const dirent* entry = readdir(dir)) {
            const CString name = entry->d_name;
            if (name != "." && name != "..")
                entries.push_back(base + name);
        }
        closedir(dir);
        for (const CString& entry : entries) {
            struct stat st {};
            if (lstat(entry, &st) == 0 && S_ISDIR(st.st_mode))
                DeleteFolderTree(entry);
            else
                unlink(entry);
        }
    }
    rmdir(base);
}
