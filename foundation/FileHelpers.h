// Path, file and folder helpers. Paths use "/"; a "\" from a file or a script
// is taken as a separator too.
#pragma once

#include <cstdio>

#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/String.h"

CString GetFileNameFromPath(const CString& path, BOOL withExtension);
// The folder part with its trailing separator.
CString GetFolderFromPath(const CString& path);
// The extension with its dot.
CString GetFileExtension(const CString& path);

// Appends the file's text (CR LF read as LF); 0 when it cannot be opened or read.
int ReadTextFile(const char* path, CString& text);
// Replaces the file with the text, written with CR LF; 0 when it cannot be written.
int WriteTextFile(const char* path, const CString& text);

// Storing: the file's name, its length (64-bit) and its bytes. Loading: the
// file is made in folder (name appended when asked, stripped of any folder
// part) when its length is within the limit; a longer one is skipped and the
// result is 0. A truncated archive throws CArchiveException and leaves no file.
int SerializeFileInArchive(CArchive& ar, const CString& path, BOOL appendName, CString* outputName,
                           ULONGLONG limit);

int FileExists(const char* path);
int GetFileStatus(const char* path, CFileStatus& status);
// The stream's length, its position kept; -1 on failure or above 2 GiB.
int GetStreamSize(FILE* stream);
int GetFileSizeByName(const char* path);
// Deletes the folder with everything in it; symbolic links are removed, not followed.
void DeleteFolderTree(const CString& folder);
