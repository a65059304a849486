// CBackupOutputFile: a backup or report being written. The lines go to a
// temporary file beside the target; the result is put in place only when the
// run decides to keep it, so a cancelled or failed run leaves the old file.
#pragma once

#include <cstdio>

#include "platform/core/String.h"

class CBackupOutputFile {
public:
    CBackupOutputFile() = default;
    ~CBackupOutputFile();
    CBackupOutputFile(const CBackupOutputFile&) = delete;
    CBackupOutputFile& operator=(const CBackupOutputFile&) = delete;

    // Creates the temporary file for the target; false when it cannot be made.
    bool Open(const CString& target);
    bool IsOpen() const { return m_file != nullptr; }
    // Writes the text and a line end (CR LF, as text files are written).
    bool WriteLine(const CString& text);
    // Closes the temporary file, keeping it for Commit or Discard.
    bool Close();
    // Puts what was written in place under the path (the target or another name).
    bool Commit(const CString& path);
    void Discard();
    bool HasPending() const { return !m_tempPath.IsEmpty(); }

    static CString TempPathFor(const CString& target);

private:
    FILE* m_file = nullptr;
    bool m_failed = false;
    CString m_tempPath;
};

// What makes a line unusable as a whole; such a line is read to its end, and
// never run in part.
enum class TemplateLineFault { kNone, kTooLong, kNulByte };
// The error detail for a faulty line (empty for none).
const char* TemplateLineFaultText(TemplateLineFault fault);

// Reads one line of a text file without its line end. Lines longer than
// maxChars or holding a NUL byte are flagged. false at the end of the file.
bool ReadTemplateLine(FILE* file, CString& line, TemplateLineFault& fault, int maxChars = 999);
