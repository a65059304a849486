// CQvxTableReader: reads a table file character by character, counting lines
// (CR LF, LF and CR each end one line), and reads the tags of its definition
// section.
#pragma once

#include <string>

#include "platform/core/Collections.h"
#include "platform/core/String.h"

class CQvxTableReader {
public:
    enum TagResult { tagError = -1, tagEndOfFile = 0, tagRead = 1, tagStrayChar = 2 };
    static constexpr int kEndOfFile = -1;

    CQvxTableReader() = default;
    explicit CQvxTableReader(std::string text) : m_text(std::move(text)) {}

    // Reads the whole file; FALSE when it cannot be opened or read.
    BOOL Open(const char* path);

    int GetChar();
    int PeekChar() const;
    int GetLine() const { return m_line; }

    // One tag from "<" to ">" into attributes (emptied first). A character met
    // outside a tag, other than a line end, comes back through stray.
    int ReadTag(CMapStringToString& attributes, CString* error, char* stray);

private:
    std::string m_text;
    size_t m_pos = 0;
    int m_line = 1;
    bool m_afterCr = false;
};
