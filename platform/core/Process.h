// Running other programs through the shell.
#pragma once

#include "String.h"

// Runs "/bin/sh -c command" with no standard input and its standard output and
// error on outputFd (or discarded when outputFd < 0), and waits for it. The
// exit status, 128 + the signal number when a signal ended it, or -1 when it
// could not be started.
int AfxRunShellCommand(const char* command, int outputFd = -1);
// The text quoted for the shell, so it reaches a program as one argument whatever it holds.
CString AfxShellQuote(const char* text);
