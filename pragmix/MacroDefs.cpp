#include "Pragmix.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <strings.h>
#include <utility>

#include "MacroDefEntry.h"
#include "MacroTable.h"
#include "PendingText.h"
#include "platform/core/Archive.h"
#include "platform/core/StdioFile.h"

namespace {

constexpr unsigned char kActive = 1;
constexpr unsigned char kBlocked = 2;
constexpr unsigned char kIgnoreToEndif = 4;

// Directives a level admits: everything but if/ifdef/ifndef (which always
// open a level), with and without else and elif.
constexpr int kExpectNoElse = CMacroDefs::dirDefine | CMacroDefs::dirInclude | CMacroDefs::dirUndef |
                              CMacroDefs::dirEndif | CMacroDefs::dirPragma | CMacroDefs::dirMsg |
                              CMacroDefs::dirError;
constexpr int kExpectAll = kExpectNoElse | CMacroDefs::dirElse | CMacroDefs::dirElif;

// What one line's substitution may do before it is taken for runaway
// recursion: uses of macros with parameters (whose replacement is read again;
// a line holds fewer uses than characters, so the allowance grows with it) and
// growth of the line.
constexpr int kRescanAllowance = 256;
constexpr int kMaxGrowth = 64 * 1024;

struct DirectiveName {
    const char* name;
    int code;
};

// "ifdef" and "ifndef" stand before their prefix "if".
constexpr DirectiveName kDirectiveNames[] = {
    {"define", CMacroDefs::dirDefine}, {"include", CMacroDefs::dirInclude}, {"undef", CMacroDefs::dirUndef},
    {"ifdef", CMacroDefs::dirIfdef},   {"ifndef", CMacroDefs::dirIfndef},   {"if", CMacroDefs::dirIf},
    {"else", CMacroDefs::dirElse},     {"elif", CMacroDefs::dirElif},       {"endif", CMacroDefs::dirEndif},
    {"pragma", CMacroDefs::dirPragma}, {"msg", CMacroDefs::dirMsg},         {"error", CMacroDefs::dirError},
};

constexpr const char* kErrorTexts[] = {
    "No error",
    "Invalid identifier",
    "Mis-placed #else",
    "Mis-placed #elif",
    "#endif without matching #if",
    "Unknown directive",
    "Quote expected",
    "Re-definition different from previous definition",
    "Invalid parameter count in macro use",
    "Invalid macro definition",
    "Invalid macro use",
    "Macro recursion not allowed",
    "Unexpected end of source",
    "Numeric error in expression",
    "Invalid expression",
    "Syntax error in expression",
    "Memory error",
    "Invalid operator in expression",
    "Invalid function in expression",
    "'(' expected in expression",
    "')' expected in expression",
    "Conditional blocks nested too deeply",
    "Recursive include not allowed",
    "Includes nested too deeply",
    "Macro expansion too long",
};

// Solver errors in preprocessor terms, indexed by the solver's code.
constexpr int kSolverErrors[] = {0, 16, 14, 15, 13, 17, 18, 19, 20};

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsNameChar(char c) { return CMacroDefEntry::IsNameChar(c); }

CString FirstIdentifier(const CString& text)
{
    int start = 0;
    while (start < text.GetLength() && IsBlank(text[start]))
        ++start;
    int end = start;
    while (end < text.GetLength() && IsNameChar(text[end]))
        ++end;
    return text.Mid(start, end - start);
}

bool IsDefinedFunction(const CString& name)
{
    return name.CompareNoCase("DEFINED") == 0 || name.CompareNoCase("DEF") == 0 || name.CompareNoCase("NDEF") == 0;
}

CString CanonicalPath(const CString& name)
{
    char* resolved = realpath(name.GetString(), nullptr);
    if (!resolved)
        return name;
    CString path(resolved);
    std::free(resolved);
    return path;
}

// The class tag of the class library's object archives: a new class once, then its index.
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kEntryClassIndex = 1;

void WriteEntryObject(CArchive& ar, CMacroDefEntry& entry, bool& classWritten)
{
    if (classWritten) {
        ar << static_cast<WORD>(kClassTag | kEntryClassIndex);
    } else {
        const WORD nameLength = static_cast<WORD>(std::strlen(CMacroDefEntry::kClassName));
        ar << kNewClassTag << CMacroDefEntry::kSchema << nameLength;
        ar.Write(CMacroDefEntry::kClassName, nameLength);
        classWritten = true;
    }
    entry.Serialize(ar);
}

std::unique_ptr<CMacroDefEntry> ReadEntryObject(CArchive& ar, bool& classKnown)
{
    WORD tag = 0;
    ar >> tag;
    if (tag == kNewClassTag) {
        WORD schema = 0;
        WORD nameLength = 0;
        ar >> schema >> nameLength;
        std::string name(nameLength, '\0');
        ar.ReadExact(name.data(), nameLength);
        if (name != CMacroDefEntry::kClassName)
            ar.ThrowArchive(CArchiveException::badClass);
        if (schema != CMacroDefEntry::kSchema)
            ar.ThrowArchive(CArchiveException::badSchema);
        classKnown = true;
    } else if (tag != (kClassTag | kEntryClassIndex) || !classKnown) {
        ar.ThrowArchive(CArchiveException::badIndex);
    }
    auto entry = std::make_unique<CMacroDefEntry>();
    entry->Serialize(ar);
    return entry;
}

bool IsSoundEntry(const CString& key, const CMacroDefEntry& entry)
{
    if (key.IsEmpty() || key != entry.m_name)
        return false;
    for (int i = 0; i < key.GetLength(); ++i)
        if (!IsNameChar(key[i]))
            return false;
    switch (entry.m_kind) {
    case CMacroDefEntry::kindName:
    case CMacroDefEntry::kindValue:
        return entry.m_params.GetSize() == 0;
    case CMacroDefEntry::kindParams:
        return true;
    default:
        return false;
    }
}

}  // namespace

CMacroDefs::CMacroDefs() : m_database(new MacroTable)
{
    Init();
}

CMacroDefs::CMacroDefs(CMacroDefs* parent) : m_parent(parent)
{
    if (parent) {
        m_database = parent->m_database;
        m_sharedDatabase = 1;
        m_commentToken = parent->m_commentToken;
        m_includeDepth = parent->m_includeDepth + 1;
    } else {
        m_database = new MacroTable;  // nothing to share
    }
    Init();
}

CMacroDefs::~CMacroDefs()
{
    CloseStreams(false);
    if (!m_sharedDatabase)
        delete m_database;
}

void CMacroDefs::Init()
{
    for (Level& level : m_levels)
        level = Level{};
    m_levels[0].flags = kActive;
    m_levels[0].expected = kExpectNoElse;
    m_level = 0;
    m_error = errNone;
    m_continuing = 0;
    m_continuation.Empty();
    m_blocked = 0;
    m_sourceFailed = false;
}

void CMacroDefs::DeleteEntries()
{
    m_database->Clear();
}

void CMacroDefs::ResetDatabase()
{
    DeleteEntries();
}

int CMacroDefs::Fail(int error)
{
    m_error = error;
    return resultError;
}

CString CMacroDefs::GetErrorString(int code)
{
    if (code < 0 || code >= static_cast<int>(std::size(kErrorTexts)))
        return "Unknown error";
    return kErrorTexts[code];
}

// ---- the database

CMacroDefEntry* CMacroDefs::FindDef(const CString& name) const
{
    return m_database->Find(name.str());
}

CMacroDefEntry* CMacroDefs::FindName(std::string_view name) const
{
    return m_database->Find(name);
}

int CMacroDefs::IsDefined(const CString& name) const
{
    return FindDef(name) != nullptr;
}

int CMacroDefs::AddDef(CString text, int substitute)
{
    m_error = errNone;
    auto entry = std::make_unique<CMacroDefEntry>();
    if (!entry->Parse(text)) {
        m_error = entry->m_error;
        return 0;
    }
    if (CMacroDefEntry* old = FindDef(entry->m_name)) {
        if (old->SameDefinition(*entry))
            return 1;
        m_error = errRedefinition;
        return 0;
    }
    if (substitute) {
        CString body;
        if (!Substitute(entry->m_body, body, 0))
            return 0;
        entry->m_body = body;
    }
    m_database->Store(entry.release());
    return 1;
}

int CMacroDefs::RemoveDef(CString name)
{
    return m_database->Remove(name.str()) ? 1 : 0;
}

int CMacroDefs::AddMacro(CString name, CString value)
{
    CString text;
    text.Format("%s %s", name.GetString(), value.GetString());
    return AddDef(text, 0);
}

int CMacroDefs::RemoveMacro(CString name)
{
    return RemoveDef(name);
}

int CMacroDefs::GetSubstitution(CString name, CString& result)
{
    if (!IsDefined(name))
        return 0;
    // A defined name answers 1 even when its substitution fails, so a caller can
    // tell "not defined" from "failed"; the failure is left in GetError.
    m_error = errNone;
    Substitute(name, result, 0);
    return 1;
}

int CMacroDefs::GetMacroList(CMapStringToString& map)
{
    for (auto [name, object] : m_database->Entries()) {
        const auto* entry = static_cast<CMacroDefEntry*>(object);
        map[entry->m_head] = entry->m_rest;
    }
    return map.GetCount();
}

// ---- substitution

// What one substitution carries from pass to pass and from use to use.
struct CMacroDefs::Expansion {
    // Macros expanded in earlier passes, left alone from then on, and those of
    // the running pass. A line uses few macros: a list is searched quickest.
    std::vector<const CMacroDefEntry*> skip;
    std::vector<const CMacroDefEntry*> noted;
    std::vector<std::string_view> args;  // the arguments of one use
    std::string replacement;
    std::string pending;                 // the storage of the pass's pending text
    std::string line;
    std::string expanded;
    int withFunctions = 0;
    int expansions = 0;
    int rescansLeft = 0;
    size_t limit = 0;
};

int CMacroDefs::Substitute(CString text, CString& result, int withFunctions)
{
    std::string expanded;
    if (!SubstituteText(text.str(), expanded, withFunctions))
        return 0;
    result = CString(std::move(expanded));
    return 1;
}

int CMacroDefs::SubstituteText(std::string_view text, std::string& result, int withFunctions)
{
    std::unique_ptr<Expansion> state = std::move(m_spareExpansion);
    if (!state)
        state = std::make_unique<Expansion>();
    state->skip.clear();
    state->noted.clear();
    state->withFunctions = withFunctions;
    state->expansions = 0;
    state->rescansLeft = kRescanAllowance + static_cast<int>(text.size());
    state->limit = text.size() + kMaxGrowth;
    std::string& line = state->line;
    std::string& expanded = state->expanded;
    std::string_view scan = text;
    bool done = true;
    for (;;) {
        const int before = state->expansions;
        expanded.clear();
        if (!ExpandPass(scan, expanded, *state)) {
            done = false;
            break;
        }
        line.swap(expanded);
        scan = line;
        if (state->expansions == before)
            break;
        // Each name is replaced in one pass only: a later pass leaves it alone.
        state->skip.insert(state->skip.end(), state->noted.begin(), state->noted.end());
        state->noted.clear();
    }
    if (done)
        result.swap(line);
    m_spareExpansion = std::move(state);
    return done ? 1 : 0;
}

int CMacroDefs::ExpandPass(std::string_view text, std::string& out, Expansion& state)
{
    PendingText pending(state.pending, text);
    out.reserve(text.size());
    while (!pending.Empty()) {
        const char c = pending.Peek();
        if (c == CMacroDefEntry::kParamMark) {
            pending.MoveTo(out, 2);  // a parameter mark and its index, never part of a name
            continue;
        }
        const size_t nameLength = pending.NameLength();
        if (nameLength == 0) {
            pending.MoveTo(out, pending.PlainLength());
            continue;
        }
        const std::string_view name = pending.Ahead(nameLength);
        CMacroDefEntry* entry = FindName(name);
        if (entry && std::find(state.skip.begin(), state.skip.end(), entry) != state.skip.end()) {
            pending.MoveTo(out, nameLength);
            continue;
        }
        double unused = 0.0;
        if (state.withFunctions && SolveExternalFunction(CString(name), unused) == answerTakesArgument) {
            // The names in DEFINED(...) and the like are asked about, not replaced.
            pending.MoveTo(out, nameLength);
            if (!SkipFunctionArgument(pending, out))
                return 0;
            continue;
        }
        if (!entry) {
            pending.MoveTo(out, nameLength);
            continue;
        }
        // A macro that keeps producing uses of itself never runs out of work.
        const bool rescan = entry->m_kind == CMacroDefEntry::kindParams;
        if (rescan && --state.rescansLeft < 0) {
            entry->m_error = errRecursion;
            m_error = errRecursion;
            return 0;
        }
        pending.Drop(nameLength);
        size_t callLength = 0;
        if (rescan)
            pending.FindCall(callLength);
        int consumed = 0;
        // A replacement with parameters is read again; a plain value is not.
        std::string& replacement = rescan ? state.replacement : out;
        if (rescan)
            replacement.clear();
        if (!entry->Expand(pending.Ahead(callLength), replacement, consumed, state.args)) {
            m_error = entry->m_error;
            return 0;
        }
        pending.Drop(static_cast<size_t>(consumed));
        if (rescan)
            pending.PushFront(replacement);
        if (out.size() + pending.Size() > state.limit) {
            entry->m_error = errExpansionTooLong;
            m_error = errExpansionTooLong;
            return 0;
        }
        ++state.expansions;
        if (std::find(state.noted.begin(), state.noted.end(), entry) == state.noted.end())
            state.noted.push_back(entry);
    }
    return 1;
}

int CMacroDefs::SkipFunctionArgument(PendingText& pending, std::string& out)
{
    size_t blanks = 0;
    while (IsBlank(pending.Peek(blanks)) && blanks < pending.Size())
        ++blanks;
    if (pending.Peek(blanks) != '(') {
        m_error = errOpenParenExpected;
        return 0;
    }
    size_t length = 0;
    if (!pending.FindCall(length)) {
        m_error = errCloseParenExpected;
        return 0;
    }
    pending.MoveTo(out, length);
    return 1;
}

// ---- conditions

int CMacroDefs::BoolSolve(CString text, int& result)
{
    text.Trim();
    CExSolver solver;
    double value = 0.0;
    if (!solver.Solve(text, value, this)) {
        const int code = solver.GetError();
        m_error = code > 0 && code < static_cast<int>(std::size(kSolverErrors)) ? kSolverErrors[code]
                                                                                : static_cast<int>(errInvalidExpression);
        return 0;
    }
    result = value != 0.0 ? 1 : 0;
    return 1;
}

int CMacroDefs::EvaluateCondition(const CString& rest, int& taken)
{
    CString expression;
    return Substitute(rest, expression, 1) && BoolSolve(expression, taken);
}

int CMacroDefs::SolveExternalFunction(CString name, double& value)
{
    if (IsDefinedFunction(name))
        return answerTakesArgument;
    return m_solverCallBack ? m_solverCallBack->SolveExternalFunction(name, value) : answerUnknown;
}

int CMacroDefs::SolveExternalFunction(CString name, CString argument, double& value)
{
    argument.Trim();
    if (name.CompareNoCase("DEFINED") == 0 || name.CompareNoCase("DEF") == 0) {
        value = IsDefined(argument) ? 1.0 : 0.0;
        return answerSolved;
    }
    if (name.CompareNoCase("NDEF") == 0) {
        value = IsDefined(argument) ? 0.0 : 1.0;
        return answerSolved;
    }
    return m_solverCallBack ? m_solverCallBack->SolveExternalFunction(name, argument, value) : answerUnknown;
}

// ---- the level stack

void CMacroDefs::BlockIfdefLevel(int blocked)
{
    unsigned char& flags = m_levels[m_level].flags;
    flags = static_cast<unsigned char>((flags & ~kBlocked) | kActive | (blocked ? kBlocked : 0));
}

void CMacroDefs::BlockIgnoreToEndIfLevel(int blocked)
{
    BlockIfdefLevel(blocked);
    if (!blocked)
        m_levels[m_level].flags |= kIgnoreToEndif;
}

void CMacroDefs::ClearIfdefLevel()
{
    m_levels[m_level].flags = 0;
}

int CMacroDefs::IfdefLevelBlocked(int level) const
{
    return (m_levels[level].flags & kBlocked) != 0;
}

int CMacroDefs::IfdefLevelActive() const
{
    return (m_levels[m_level].flags & kActive) != 0;
}

int CMacroDefs::IgnoreToEndIf() const
{
    return (m_levels[m_level].flags & kIgnoreToEndif) != 0;
}

void CMacroDefs::SetExpected(int directives)
{
    m_levels[m_level].expected = directives;
}

int CMacroDefs::IsExpected(int directive) const
{
    return (m_levels[m_level].expected & directive) != 0;
}

void CMacroDefs::OpenLevel(int taken)
{
    m_blocked = taken ? 0 : 1;
    BlockIgnoreToEndIfLevel(m_blocked);
}

// A condition that could not be judged: nothing of its block is taken.
int CMacroDefs::FailLevel()
{
    m_blocked = 1;
    m_levels[m_level].flags = kActive | kBlocked | kIgnoreToEndif;
    return resultError;
}

int CMacroDefs::OpenConditional(int directive, const CString& rest)
{
    if (m_level + 1 >= kLevels)
        return Fail(errNestingTooDeep);
    ++m_level;
    m_levels[m_level] = Level{};
    SetExpected(kExpectAll);
    if (m_blocked) {
        ClearIfdefLevel();
        return resultNone;
    }
    int taken = 0;
    if (directive == dirIf) {
        if (!EvaluateCondition(rest, taken))
            return FailLevel();
    } else {
        const CString name = FirstIdentifier(rest);
        if (name.IsEmpty()) {
            m_error = errInvalidIdentifier;
            return FailLevel();
        }
        taken = IsDefined(name) == (directive == dirIfdef);
    }
    OpenLevel(taken);
    return resultNone;
}

int CMacroDefs::ElifDirective(const CString& rest)
{
    if (m_level == 0 || !IsExpected(dirElif))
        return Fail(errMisplacedElif);
    SetExpected(kExpectAll);
    if (!IfdefLevelActive())
        return resultNone;
    if (IgnoreToEndIf()) {
        m_blocked = 1;
        BlockIfdefLevel(1);
        return resultNone;
    }
    if (m_blocked) {
        int taken = 0;
        if (!EvaluateCondition(rest, taken))
            return FailLevel();
        OpenLevel(taken);
    }
    return resultNone;
}

int CMacroDefs::ElseDirective()
{
    if (m_level == 0 || !IsExpected(dirElse))
        return Fail(errMisplacedElse);
    SetExpected(kExpectNoElse);
    if (IfdefLevelActive()) {
        m_blocked = IgnoreToEndIf() ? 1 : !m_blocked;
        BlockIfdefLevel(m_blocked);
    }
    return resultNone;
}

int CMacroDefs::EndifDirective()
{
    if (m_level == 0)
        return Fail(errEndifWithoutIf);
    m_levels[m_level] = Level{};
    --m_level;
    m_blocked = 0;
    for (int level = m_level; level >= 1 && !m_blocked; --level)
        m_blocked = IfdefLevelBlocked(level);
    return resultNone;
}

// ---- lines

int CMacroDefs::ExtractDef(CString& line, CString& rest)
{
    std::string_view restView;
    std::string_view lineView;
    const int code = Classify(line.str(), restView, lineView);
    CString restText(restView);
    if (code & dirContinued)
        line = CString(lineView);
    rest = std::move(restText);
    return code;
}

// ExtractDef over views into line: text gets the line as it is to be read
// (without a trailing backslash), rest the text after the directive.
int CMacroDefs::Classify(std::string_view line, std::string_view& rest, std::string_view& text) const
{
    size_t first = 0;
    size_t last = line.size();
    while (first < last && IsBlank(line[first]))
        ++first;
    while (last > first && IsBlank(line[last - 1]))
        --last;
    text = line;
    rest = line;
    if (first == last)
        return dirText;
    std::string_view trimmed = line.substr(first, last - first);
    int flags = 0;
    if (trimmed.back() == '\\') {
        trimmed.remove_suffix(1);
        text = trimmed;
        rest = text;
        flags = dirContinued;
        if (trimmed.empty())
            return dirText | flags;
    }
    if (trimmed[0] == m_commentToken)
        return dirComment | flags;
    if (trimmed[0] == '#') {
        const std::string_view after = trimmed.substr(1);
        for (const DirectiveName& directive : kDirectiveNames) {
            const size_t length = std::strlen(directive.name);
            if (after.size() >= length && strncasecmp(after.data(), directive.name, length) == 0) {
                rest = after.substr(length);
                return directive.code | flags;
            }
        }
        rest = after;
        return dirUnknown | flags;
    }
    return dirText | flags;
}

int CMacroDefs::IncludeName(const CString& rest, CString& result)
{
    int open = rest.Find('"');
    if (open < 0)
        open = rest.Find('<');
    if (open < 0)
        return Fail(errQuoteExpected);
    const CString after = rest.Mid(open + 1);
    int close = after.Find('"');
    if (close < 0)
        close = after.Find('>');
    if (close < 0)
        return Fail(errQuoteExpected);
    result = after.Left(close);
    result.Trim();
    return resultInclude;
}

int CMacroDefs::ProcessString(CString line, CString& result)
{
    m_error = errNone;
    std::string_view restView;
    std::string_view text;
    int code = Classify(line.str(), restView, text);
    const bool continued = (code & dirContinued) != 0;
    code &= ~dirContinued;

    // Conditional directives count even inside false blocks, to keep the nesting.
    switch (code) {
    case dirIf:
    case dirIfdef:
    case dirIfndef:
        return OpenConditional(code, CString(restView));
    case dirElif:
        return ElifDirective(CString(restView));
    case dirElse:
        return ElseDirective();
    case dirEndif:
        return EndifDirective();
    case dirUnknown:
        return Fail(errUnknownDirective);
    default:
        break;
    }
    if (m_blocked)
        return resultNone;

    if (m_continuing) {
        m_continuation.str().append(restView);
        m_continuation += "\n";
        if (continued)
            return resultNone;
        const CString definition = m_continuation;
        m_continuation.Empty();
        m_continuing = 0;
        return AddDef(definition, 1) ? resultNone : resultError;
    }

    if (code == dirText)
        return SubstituteText(text, result.str(), 0) ? resultText : resultError;
    if (code == dirComment)
        return resultNone;
    const CString rest(restView);
    switch (code) {
    case dirDefine:
        if (continued) {
            m_continuation = rest + "\n";
            m_continuing = 1;
            return resultNone;
        }
        return AddDef(rest, 1) ? resultNone : resultError;
    case dirUndef: {
        const CString name = FirstIdentifier(rest);
        if (name.IsEmpty())
            return Fail(errInvalidIdentifier);
        RemoveDef(name);
        return resultNone;
    }
    case dirInclude:
        return IncludeName(rest, result);
    case dirPragma:
        result = rest;
        return resultPragma;
    case dirMsg:
        result = rest;
        return resultMessage;
    case dirError:
        result = rest;
        return resultErrorText;
    default:
        return resultNone;
    }
}

// ---- whole sources

int CMacroDefs::Process(CMacroDefsCallBack* callback, int init)
{
    if (init)
        Init();
    if (!callback)
        return 0;
    m_sourceFailed = false;
    if (!callback->OpenSource())
        return 0;
    const int result = RunSource(callback);
    if (!result)
        m_sourceFailed = true;
    callback->CloseSource();
    return m_sourceFailed ? 0 : result;
}

int CMacroDefs::RunSource(CMacroDefsCallBack* callback)
{
    for (int line = 1;; ++line) {
        if (!callback->Status(m_inputName, line, PercentDone())) {
            callback->ReportMessage("Load aborted.");
            m_level = 0;
            return 0;
        }
        CString text;
        if (!callback->ReadLine(text)) {
            if (m_sourceFailed)
                return 0;
            // An open block or definition at the end means the source was cut short.
            if (m_level > 0 || m_continuing) {
                m_error = errUnexpectedEnd;
                callback->ReportError(GetErrorString(), line);
                return 0;
            }
            return 1;
        }
        CString result;
        const int answer = ProcessString(std::move(text), result);
        switch (answer) {
        case resultText:
            if (!callback->WriteString(std::move(result)))
                return 0;
            break;
        case resultInclude:
            if (!IncludeFile(callback, result, line))
                return 0;
            break;
        case resultPragma:
            result.Trim();
            if (!callback->Pragma(result))
                return 0;
            break;
        case resultMessage:
        case resultErrorText:
            result.Trim();
            result.Remove('"');
            if (answer == resultErrorText)
                callback->ReportError(result);
            else
                callback->ReportMessage(result);
            break;
        case resultError:
            callback->ReportError(GetErrorString(), line);
            return 0;
        default:
            break;
        }
    }
}

int CMacroDefs::IncludeFile(CMacroDefsCallBack* callback, CString& fileName, int line)
{
    const int answer = callback->Include(fileName);
    if (answer == includeStop)
        return 0;
    if (answer != includeProcess)
        return 1;
    m_error = errNone;
    if (ProcessFile(fileName, callback))
        return 1;
    // The child reports its own failures; this level reports why it could not start one.
    if (m_error != errNone)
        callback->ReportError(GetErrorString(), line);
    return 0;
}

int CMacroDefs::ProcessFile(CString fileName, CMacroDefsCallBack* callback)
{
    if (!m_callback && callback != this)
        m_callback = callback;
    if (m_includeDepth + 1 >= kMaxIncludeDepth) {
        m_error = errIncludeTooDeep;
        return 0;
    }
    if (IsOnIncludeChain(fileName)) {
        m_error = errIncludeRecursion;
        return 0;
    }
    CMacroDefs child(this);
    // The child reads the file itself; its lines go where this source's lines go.
    child.m_callback = callback == this ? m_callback : callback;
    child.m_inputName = fileName;
    if (callback == this && m_output) {
        child.m_output = m_output;
        child.m_ownsOutput = false;
    }
    return child.Process(&child, 0);
}

bool CMacroDefs::IsOnIncludeChain(const CString& fileName) const
{
    const CString path = CanonicalPath(fileName);
    for (const CMacroDefs* source = this; source; source = source->m_parent)
        if (!source->m_inputName.IsEmpty() && CanonicalPath(source->m_inputName) == path)
            return true;
    return false;
}

int CMacroDefs::ProcessFile(CString inputName, CString outputName, CMacroDefsCallBack* callback)
{
    Init();
    if (!m_callback && callback != this)
        m_callback = callback;
    m_inputName = inputName;
    m_outputName = outputName;
    return Process(this, 1);
}

float CMacroDefs::PercentDone() const
{
    if (!m_input || m_inputLength <= 0)
        return 0.0f;
    return static_cast<float>(100.0 * static_cast<double>(m_inputRead) / static_cast<double>(m_inputLength));
}

// ---- the object's own files

void CMacroDefs::ReportToUser(const CString& text)
{
    if (m_callback)
        m_callback->ReportError(text);
}

int CMacroDefs::OpenSource()
{
    if (!m_input) {
        auto input = std::make_unique<CStdioFile>();
        if (!input->Open(m_inputName, CFile::modeRead | CFile::typeText)) {
            CString message;
            message.Format("ERROR: Could not open input file: \"%s\".", m_inputName.GetString());
            ReportToUser(message);
            return 0;
        }
        m_inputLength = static_cast<long long>(input->GetLength());
        m_inputRead = 0;
        m_inputText.clear();
        m_inputLoaded = false;
        m_input = input.release();
    }
    if (!m_outputName.IsEmpty() && !m_output) {
        auto output = std::make_unique<CStdioFile>();
        if (!output->Open(m_outputName, CFile::modeCreate | CFile::modeWrite | CFile::typeText)) {
            CString message;
            message.Format("ERROR: Could not open output file: \"%s\".", m_outputName.GetString());
            ReportToUser(message);
            CloseStreams(false);
            return 0;
        }
        m_output = output.release();
        m_ownsOutput = true;
    }
    return 1;
}

int CMacroDefs::ReadLine(CString& text)
{
    if (!m_input)
        return m_callback ? m_callback->ReadLine(text) : 0;
    if (!m_inputLoaded && !ReadWholeInput()) {
        CString message;
        message.Format("ERROR: Could not read input file: \"%s\".", m_inputName.GetString());
        ReportToUser(message);
        m_sourceFailed = true;
        return 0;
    }
    // The whole line however long, with its line end; "\r\n" ends it as "\n".
    const size_t start = static_cast<size_t>(m_inputRead);
    if (start >= m_inputText.size())
        return 0;
    const size_t newline = m_inputText.find('\n', start);
    const size_t end = newline == std::string::npos ? m_inputText.size() : newline + 1;
    m_inputRead = static_cast<long long>(end);
    std::string& line = text.str();
    line.assign(m_inputText, start, end - start);
    if (line.size() >= 2 && line[line.size() - 1] == '\n' && line[line.size() - 2] == '\r')
        line.erase(line.size() - 2, 1);
    return 1;
}

bool CMacroDefs::ReadWholeInput()
{
    m_inputLoaded = true;
    m_inputText.clear();
    if (m_inputLength > 0)
        m_inputText.reserve(static_cast<size_t>(m_inputLength));
    FILE* stream = m_input->GetStream();
    char chunk[65536];
    size_t count = 0;
    while ((count = std::fread(chunk, 1, sizeof chunk, stream)) > 0)
        m_inputText.append(chunk, count);
    return !std::ferror(stream);
}

int CMacroDefs::WriteString(CString text)
{
    if (!m_output)
        return m_callback ? m_callback->WriteString(std::move(text)) : 1;
    try {
        m_output->Write(text.GetString(), static_cast<UINT>(text.GetLength()));
        return 1;
    } catch (const CFileException&) {
        CString message;
        message.Format("ERROR: Could not write output file: \"%s\".", m_outputName.GetString());
        ReportToUser(message);
        m_sourceFailed = true;
        return 0;
    }
}

int CMacroDefs::Include(CString& fileName)
{
    return m_callback ? m_callback->Include(fileName) : includeHandled;
}

int CMacroDefs::Pragma(CString text)
{
    return m_callback ? m_callback->Pragma(text) : 1;
}

void CMacroDefs::ReportMessage(CString text)
{
    if (m_callback)
        m_callback->ReportMessage(text);
}

void CMacroDefs::ReportError(CString text)
{
    // An "error" directive in a file read here still reaches the user.
    ReportToUser(text);
}

void CMacroDefs::ReportError(CString text, int line)
{
    CString message;
    message.Format("ERROR in file \"%s\", line %d: %s.", m_inputName.GetString(), line, text.GetString());
    ReportToUser(message);
}

int CMacroDefs::Status(CString sourceName, int line, float percentDone)
{
    return m_callback ? m_callback->Status(std::move(sourceName), line, percentDone) : 1;
}

void CMacroDefs::CloseSource()
{
    if (!CloseStreams(!m_sourceFailed)) {
        CString message;
        message.Format("ERROR: Could not write output file: \"%s\".", m_outputName.GetString());
        ReportToUser(message);
        m_sourceFailed = true;
    }
}

bool CMacroDefs::CloseStreams(bool commit)
{
    bool written = true;
    if (m_input) {
        m_input->Abort();
        delete m_input;
        m_input = nullptr;
        std::string().swap(m_inputText);
        m_inputLoaded = false;
    }
    if (m_output) {
        if (m_ownsOutput) {
            // A run that failed keeps the old output file rather than a partial one.
            if (commit) {
                try {
                    m_output->Close();
                } catch (const CFileException&) {
                    written = false;
                }
            } else {
                m_output->Abort();
            }
            delete m_output;
        }
        m_output = nullptr;
        m_ownsOutput = false;
    }
    return written;
}

// ---- archive and copy

void CMacroDefs::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteCount(static_cast<ULONGLONG>(m_database->Count()));
        bool classWritten = false;
        for (auto [name, entry] : m_database->Entries()) {
            ar << name;
            WriteEntryObject(ar, *static_cast<CMacroDefEntry*>(entry), classWritten);
        }
        ar << m_commentToken;
        return;
    }
    // Everything is read before anything changes, so a bad archive leaves the database as it was.
    std::vector<std::pair<CString, std::unique_ptr<CMacroDefEntry>>> loaded;
    const ULONGLONG count = ar.ReadCount();
    bool classKnown = false;
    for (ULONGLONG i = 0; i < count; ++i) {
        CString name;
        ar >> name;
        std::unique_ptr<CMacroDefEntry> entry = ReadEntryObject(ar, classKnown);
        if (!IsSoundEntry(name, *entry))
            ar.ThrowArchive(CArchiveException::badClass);
        loaded.emplace_back(name, std::move(entry));
    }
    char token = 0;
    ar >> token;
    for (auto& [name, entry] : loaded)
        m_database->Store(entry.release());
    m_commentToken = token;
}

int CMacroDefs::Copy(const CMacroDefs& other)
{
    if (other.m_database == m_database) {
        m_commentToken = other.m_commentToken;
        return 1;
    }
    try {
        std::vector<std::unique_ptr<CMacroDefEntry>> copies;
        for (auto [name, entry] : other.m_database->Entries())
            copies.push_back(std::make_unique<CMacroDefEntry>(*static_cast<const CMacroDefEntry*>(entry)));
        for (auto& copy : copies)
            m_database->Store(copy.release());
    } catch (const std::bad_alloc&) {
        return 0;
    }
    m_commentToken = other.m_commentToken;
    return 1;
}
