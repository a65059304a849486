// CAmpBackupEditor: what the backup engine needs of the program editor for a
// download, upload or report to the editor.
#pragma once

class CAmpBackupEditor {
public:
    virtual ~CAmpBackupEditor() = default;

    // Reads a text file into the editor, replacing its text or appending to it.
    virtual int LoadTextFile(const char* path, int replace) = 0;
    // Writes the editor's text to a file; non-zero on success.
    virtual int SaveTextFile(const char* path) = 0;
    virtual void SetTransferBusy(int busy) = 0;
};
