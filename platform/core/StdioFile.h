// CStdioFile: line access. In text mode (the default) lines are written with
// CR LF and read with either CR LF or LF, as on the original platform.
#pragma once

#include "File.h"

class CStdioFile : public CFile {
public:
    CStdioFile() = default;
    CStdioFile(const char* fileName, UINT openFlags);

    BOOL Open(const char* fileName, UINT openFlags, CFileException* error = nullptr) override;
    // The line without its line end; FALSE at end of file with nothing read.
    BOOL ReadString(CString& line);
    // Up to maxChars-1 characters, keeping the "\n"; null at end of file.
    char* ReadString(char* buffer, UINT maxChars);
    void WriteString(const char* text);
    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;

private:
    bool IsText() const { return !(OpenFlagsUsed() & typeBinary); }
    int NextChar();
};
