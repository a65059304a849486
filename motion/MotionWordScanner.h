// Tokens of a motion program line: runs of letters (words) and of number characters.
#pragma once

#include "platform/core/Map.h"
#include "platform/core/String.h"

using CMotionWordMap = CMap<CString, const CString&, double, double>;

class CMotionWordScanner {
public:
    static bool IsBlank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }
    // From pos: skips blanks and collects letters (word) or "1234567890.-+" (number).
    // pos moves past the token; it becomes -1 when nothing was collected.
    static CString NextToken(const CString& line, int& pos, bool wordMode);
    // pos moved past blanks; -1 at the end of the line.
    static int SkipBlanks(const CString& line, int pos);
    // Letters followed by a number, repeated to the end of the text; false on
    // anything else (a name without a number, stray characters).
    static bool ParseWords(const CString& text, CMotionWordMap& words, CString& error);
};
