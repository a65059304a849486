#include "FileReplacement.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kTempMark = ".kvtmp";
constexpr int kRandomLength = 6;
constexpr int kMaxNameLength = NAME_MAX;
constexpr int kMaxLinkDepth = 40;  // as the kernel's own limit
constexpr std::time_t kStaleAfterSeconds = 2;

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string RandomSuffix()
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kChars) - 2);
    std::string suffix;
    for (int i = 0; i < kRandomLength; ++i)
        suffix += kChars[pick(generator)];
    return suffix;
}

bool IsRandomSuffix(const char* text)
{
    if (std::strlen(text) != kRandomLength)
        return false;
    for (const char* c = text; *c; ++c) {
        if (!std::isalnum(static_cast<unsigned char>(*c)))
            return false;
    }
    return true;
}

int SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // Some file systems cannot sync a folder; the rename itself stands.
    const int err = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    close(fd);
    return err;
}

}  // namespace

CString CFileReplacement::TempPrefix(const CString& target)
{
    const std::string name = NameOf(target.GetString());
    const int room = kMaxNameLength - static_cast<int>(std::strlen(kTempMark)) - kRandomLength;
    if (static_cast<int>(name.size()) <= room)
        return CString(name.c_str()) + kTempMark;
    // Too long to carry a suffix: a shortened name made unique by a hash of the whole one.
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : name)
        hash = (hash ^ c) * 16777619u;
    char tail[16];
    std::snprintf(tail, sizeof tail, "~%08x", hash);
    const std::string shortened = name.substr(0, static_cast<size_t>(room) - std::strlen(tail));
    return CString((shortened + tail).c_str()) + kTempMark;
}

CString CFileReplacement::ResolveLinks(const CString& path)
{
    std::string current = path.GetString();
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat st {};
        if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        std::string link(PATH_MAX, '\0');
        const ssize_t length = readlink(current.c_str(), link.data(), link.size());
        if (length <= 0)
            break;
        link.resize(static_cast<size_t>(length));
        current = link[0] == '/' ? link : FolderOf(current) + "/" + link;
    }
    return CString(current.c_str());
}

int CFileReplacement::Begin(const char* path, bool ownerOnly)
{
    Discard();
    if (!path || !*path)
        return ENOENT;
    m_target = ResolveLinks(path);
    struct stat old {};
    const bool replacing = stat(m_target, &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        return EISDIR;
    const std::string folder = FolderOf(m_target.GetString());
    const std::string prefix = folder + "/" + TempPrefix(m_target).GetString();
    // The kernel applies the umask to a new file's mode; an old file's mode is copied.
    const mode_t createMode = ownerOnly ? 0600 : 0666;
    int err = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = prefix + RandomSuffix();
        m_fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, createMode);
        if (m_fd >= 0) {
            m_tempPath = candidate.c_str();
            break;
        }
        err = errno;
        if (err != EEXIST)
            return err;
    }
    if (m_fd < 0)
        return err;
    // Held until the rename, so a later save can tell a live writer's file from a dead one's.
    flock(m_fd, LOCK_EX);
    if (replacing) {
        // Another owner can only be kept by a privileged writer; the mode matters more.
        if (fchown(m_fd, old.st_uid, old.st_gid) != 0)
            (void)fchown(m_fd, static_cast<uid_t>(-1), old.st_gid);
        fchmod(m_fd, ownerOnly ? 0600 : (old.st_mode & 07777));
    }
    return 0;
}

int CFileReplacement::Commit()
{
    if (m_fd < 0)
        return EBADF;
    int err = fsync(m_fd) == 0 ? 0 : errno;
    if (err == 0 && std::rename(m_tempPath, m_target) != 0)
        err = errno;
    if (err != 0) {
        Discard();
        return err;
    }
    close(m_fd);
    m_fd = -1;
    m_tempPath.Empty();
    err = SyncFolder(FolderOf(m_target.GetString()));
    RemoveStaleTemporaries();
    return err;
}

int CFileReplacement::MoveOver(const CString& from, const char* path)
{
    if (!path || !*path)
        return ENOENT;
    const CString target = ResolveLinks(path);
    struct stat old {};
    const bool replacing = stat(target, &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        return EISDIR;
    const int fd = ::open(from, O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return errno;
    if (replacing) {
        if (fchown(fd, old.st_uid, old.st_gid) != 0)
            (void)fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        fchmod(fd, old.st_mode & 07777);
    }
    int err = fsync(fd) == 0 ? 0 : errno;
    close(fd);
    if (err == 0 && std::rename(from, target) != 0)
        err = errno;
    return err != 0 ? err : SyncFolder(FolderOf(target.GetString()));
}

void CFileReplacement::Discard()
{
    if (m_fd < 0)
        return;
    unlink(m_tempPath);
    close(m_fd);
    m_fd = -1;
    m_tempPath.Empty();
}

void CFileReplacement::RemoveStaleTemporaries() const
{
    const std::string folder = FolderOf(m_target.GetString());
    const std::string prefix = TempPrefix(m_target).GetString();
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, prefix.c_str(), prefix.size()) != 0 ||
            !IsRandomSuffix(entry->d_name + prefix.size()))
            continue;
        const std::string stale = folder + "/" + entry->d_name;
        const int fd = ::open(stale.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        // A writer still at work holds its lock: its file is left alone. So is a
        // file too new to tell, which its writer may not have locked yet.
        struct stat st {};
        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &st) == 0 &&
            std::time(nullptr) - st.st_mtime >= kStaleAfterSeconds)
            unlink(stale.c_str());
        close(fd);
    }
    closedir(dir);
}
