#include "setup/io/WatchQueryCheck.h"

#include "comm/protocol/CompoundAmpMsg.h"
#include "distribution/AmpCommandText.h"
#include "foundation/TextHelpers.h"

namespace {

constexpr const char* kInvalid = "Invalid register query entered.";
constexpr const char* kHasValue = "Cannot set register value here.";
// A range larger than this is a typing slip, not a list of watches to add.
constexpr int kMaxRange = 1000;

// 0 parse error, 1 a plain query, 2 a command with a value.
int Classify(const char* text)
{
    CCompoundAmpMsg message;
    if (!ParseAmpCommandText(message, text))
        return 0;
    if (message.HasValue())
        return 2;
    for (POSITION pos = message.m_subCommands.GetHeadPosition(); pos;)
        if (message.m_subCommands.GetNext(pos).HasValue())
            return 2;
    return 1;
}

int CheckPart(const CString& text, CString& error)
{
    const int kind = Classify(text);
    if (kind == 1)
        return 1;
    error = kind == 0 ? kInvalid : kHasValue;
    return 0;
}

}  // namespace

int CWatchQueryCheck::IsPlainQuery(const char* text) { return Classify(text) == 1; }

int CWatchQueryCheck::Check(const char* text, int addMode, CStringArray& expressions, CString& error)
{
    const CString query(text);
    expressions.RemoveAll();
    const int open = query.Find('[');
    const int close = query.Find(']');
    if (open < 0 && close < 0) {
        if (!CheckPart(query, error))
            return 0;
        expressions.Add(query);
        return 1;
    }
    if (open <= 0 || close < 0 || close < open) {
        error = kInvalid;
        return 0;
    }
    if (!addMode) {
        error = "Cannot use ranges here.";
        return 0;
    }
    const CString prefix = query.Left(open);
    const CString inside = query.Mid(open + 1, close - open - 1);
    const CString suffix = query.Mid(close + 1);
    if (!CheckPart(prefix, error) || (!suffix.IsEmpty() && !CheckPart(suffix, error)))
        return 0;
    CList<int, int> numbers;
    if (!ParseIntegerList(inside, numbers) || numbers.IsEmpty()) {
        error = kInvalid;
        return 0;
    }
    if (numbers.GetCount() > kMaxRange) {
        error.Format("A range may name at most %d registers.", kMaxRange);
        return 0;
    }
    for (POSITION pos = numbers.GetHeadPosition(); pos;) {
        CString expression;
        expression.Format("%s%d%s", static_cast<const char*>(prefix), numbers.GetNext(pos),
                          static_cast<const char*>(suffix));
        expressions.Add(expression);
    }
    return 1;
}
