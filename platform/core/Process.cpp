#include "Process.h"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

int AfxRunShellCommand(const char* command, int outputFd)
{
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return -1;
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outputFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
        posix_spawn_file_actions_adddup2(&actions, outputFd, 2);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    }
    char shell[] = "/bin/sh";
    char flag[] = "-c";
    CString script = command ? command : "";
    char* argv[] = {shell, flag, script.GetBuffer(0), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, shell, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

CString AfxShellQuote(const char* text)
{
    CString quoted = "'";
    for (const char* p = text ? text : ""; *p; ++p) {
        if (*p == '\'')
            quoted += "'\\''";
        else
            quoted += *p;
    }
    quoted += '\'';
    return quoted;
}
