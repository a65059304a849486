// Where the factory programmer's flash-update library lies. The parts list names
// it by bare file name; the build puts it in lib/ beside bin/, an install beside
// the program, so it is looked for relative to the program.
#pragma once

#include "platform/core/String.h"

// The path of the library: a name with a folder is taken as it is; a bare name is
// looked for beside the program, then in lib/ next to the program's folder. "" when none of them holds it.
CString LocateFlashUpdateLibrary(const CString& name, const CString& programFolder);
// The folders a bare name is looked for in, for the message when it is missing.
CString FlashUpdateLibraryFolders(const CString& programFolder);
