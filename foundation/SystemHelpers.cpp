#include "SystemHelpers.h"

#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

#include "FileHelpers.h"
#include "platform/core/Process.h"
#include "platform/io/NetworkStatus.h"
#include "platform/core/SpecialFolders.h"

namespace {

constexpr const char* kCaptureFileName = "__DExecShellTemp.txt";

std::mutex& CaptureFileLock()
{
    static std::mutex lock;
    return lock;
}

}  // namespace

int GetDocumentsFolder(CString& folder)
{
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPath(nullptr, path, CSIDL_PERSONAL, TRUE))
        return 0;
    folder = path;
    return 1;
}

int GetWindowsVersionCode()
{
    return 8;
}

int RunProcessCaptured(const char* commandLine, CString& output, int& exitCode)
{
    CString folder;
    if (!GetDocumentsFolder(folder))
        return 0;
    CString capturePath;
    capturePath.Format("%s/%s", folder.GetString(), kCaptureFileName);

    // The capture file is shared; a second command would mix its output into the first's.
    std::lock_guard<std::mutex> guard(CaptureFileLock());
    // Truncated, so a longer output left by an earlier run never trails this one.
    const int fd = open(capturePath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return 0;
    const int status = AfxRunShellCommand(commandLine, fd);
    close(fd);
    if (status < 0 || !ReadTextFile(capturePath, output)) {
        unlink(capturePath);
        return 0;
    }
    unlink(capturePath);
    exitCode = status;
    return 1;
}

int PingHost(const char* host)
{
    if (CNetworkStatusHook* hook = AfxGetNetworkStatusHook())
        return hook->PingHost(host);
    const CString command = "ping -c 1 -W 2 " + AfxShellQuote(host);
    CString output;
    int exitCode = -1;
    if (!RunProcessCaptured(command, output, exitCode) || exitCode != 0)
        return 0;
    for (const char* failure : {"not find", "unreachable", "timed out"}) {
        if (output.Find(failure) >= 0)
            return 0;
    }
    return 1;
}

int OpenInNotepad(const char* path)
{
    const char* editor = std::getenv("VISUAL");
    if (!editor || !*editor)
        editor = std::getenv("EDITOR");
    if (!editor || !*editor)
        editor = "xdg-open";
    // The editor setting may carry its own arguments, so it is left to the shell to split.
    const CString command = CString(editor) + " " + AfxShellQuote(path) + " </dev/null >/dev/null 2>&1 &";
    AfxRunShellCommand(command);
    return 1;
}
