// The documents folder, running commands, reachability by ping and showing a
// text file in the user's editor.
#pragma once

#include "platform/core/String.h"

int GetDocumentsFolder(CString& folder);
// The newest version code the program knows (10.0 and later).
int GetWindowsVersionCode();
// Runs the command line through the shell, its output and errors captured in
// "__DExecShellTemp.txt" in the documents folder and appended to output; 1
// when the output was read. One command runs at a time.
int RunProcessCaptured(const char* commandLine, CString& output, int& exitCode);
// One ping with a 2 s wait; 1 when it answered.
int PingHost(const char* host);
// Opens the file in $VISUAL, else $EDITOR, else the desktop's viewer, without waiting; always 1.
int OpenInNotepad(const char* path);
