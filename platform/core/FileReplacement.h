// CFileReplacement: the one way a whole file is replaced. The new contents go
// to a temporary file beside the target, which is renamed over the target once
// complete. The target keeps its mode and owner, a symbolic link is followed to
// the file it names, file and folder are synced around the rename, and the
// temporary files of the same target left by a writer that died are removed by
// the next save that succeeds. Every writer of whole files goes through here,
// so they all share one temporary-name scheme.
#pragma once

#include "String.h"

class CFileReplacement {
public:
    CFileReplacement() = default;
    ~CFileReplacement() { Discard(); }
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // Creates the temporary file for path; 0, or the errno value of the failure.
    // An owner-only file is created with mode 0600 whatever the old file's mode.
    int Begin(const char* path, bool ownerOnly = false);
    // The temporary file's descriptor; it stays owned by this object.
    int GetFd() const { return m_fd; }
    const CString& GetTempPath() const { return m_tempPath; }
    // The file that the rename replaces: path with its symbolic links followed.
    const CString& GetTarget() const { return m_target; }
    bool IsActive() const { return m_fd >= 0; }

    // Syncs the temporary file, renames it over the target and syncs the folder;
    // 0, or the errno value of the failure (the temporary is removed then).
    int Commit();
    // Drops the temporary file; the target stays as it was.
    void Discard();

    // Puts a finished file in place of path as Commit would (links followed, the
    // old file's mode and owner kept, synced); 0, or the errno value of the
    // failure (EXDEV: another file system), when from is left as it was.
    static int MoveOver(const CString& from, const char* path);

    // The name that the temporary files of target start with, without folder.
    static CString TempPrefix(const CString& target);
    // path with its symbolic links followed, also to a file that does not exist yet.
    static CString ResolveLinks(const CString& path);

private:
    void RemoveStaleTemporaries() const;

    int m_fd = -1;
    CString m_target;
    CString m_tempPath;
};
