#include "MotionWordScanner.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

int CMotionWordScanner::SkipBlanks(const CString& line, int pos)
{
    if (pos < 0)
        return -1;
    while (pos < line.GetLength() && IsBlank(line[pos]))
        ++pos;
    return pos < line.GetLength() ? pos : -1;
}

CString CMotionWordScanner::NextToken(const CString& line, int& pos, bool wordMode)
{
    pos = SkipBlanks(line, pos);
    if (pos < 0)
        return CString();
    int end = pos;
    while (end < line.GetLength()) {
        const char ch = line[end];
        const bool fits = wordMode ? std::isalpha(static_cast<unsigned char>(ch)) != 0
                                   : std::strchr("1234567890.-+", ch) != nullptr;
        if (!fits)
            break;
        ++end;
    }
    if (end == pos) {
        pos = -1;
        return CString();
    }
    CString token = line.Mid(pos, end - pos);
    pos = end;
    return token;
}

bool CMotionWordScanner::ParseWords(const CString& text, CMotionWordMap& words, CString& error)
{
    int pos = 0;
    while ((pos = SkipBlanks(text, pos)) >= 0) {
        const int start = pos;
        CString name = NextToken(text, pos, true);
        if (pos < 0) {
            error.Format("unexpected \"%s\"", text.Mid(start).GetString());
            return false;
        }
        CString number = NextToken(text, pos, false);
        if (pos < 0) {
            error.Format("\"%s\" needs a number", name.GetString());
            return false;
        }
        words[name] = std::atof(number);
    }
    return true;
}
