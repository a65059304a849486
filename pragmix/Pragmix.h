// Pragmix: the macro preprocessor and the expression solver, a shared library
// of its own. This is its one public header; everything else stays inside the
// library. Texts and containers pass by value, since the program and the
// library share the one platform library.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Collections.h"
#include "platform/core/String.h"

#if defined(PRAGMIX_BUILD)
#define PRAGMIX_API __attribute__((visibility("default")))
#else
#define PRAGMIX_API
#endif

class CArchive;
class CStdioFile;
class COperator;
class COpList;
class CMacroDefEntry;
class MacroTable;
class PendingText;

// The caller's functions and names inside an expression.
class PRAGMIX_API CExSolverCallBack {
public:
    // What both operations answer.
    enum Answer {
        answerSolved = 0,           // value holds the result
        answerUnknown = 1,          // not a name of the callback: the text is read as a number
        answerTakesArgument = 2,    // a function: the solver reads "(argument)" and asks again
    };

    CExSolverCallBack() = default;
    CExSolverCallBack(const CExSolverCallBack&) = default;
    CExSolverCallBack& operator=(const CExSolverCallBack&) = default;
    virtual ~CExSolverCallBack() = default;

    // A function called with its argument text; any answer but answerSolved fails.
    virtual int SolveExternalFunction(CString name, CString argument, double& value);
    // A bare name.
    virtual int SolveExternalFunction(CString name, double& value);
};

// Evaluates one infix expression into a double. One object serves one
// evaluation; construct a fresh one for each expression.
class PRAGMIX_API CExSolver {
public:
    enum Error {
        errNone = 0,
        errEmpty = 2,             // nothing but blanks
        errSyntax = 3,            // missing operand, unbalanced parentheses, bad number
        errNumeric = 4,           // a number out of range, or an operator failed
        errOperator = 5,          // no such operator
        errFunction = 6,          // the callback failed
        errOpenParen = 7,         // "(" missing after a function that takes an argument
        errCloseParen = 8,        // ")" missing in a function's argument
    };

    CExSolver();
    virtual ~CExSolver();
    CExSolver(const CExSolver&) = delete;
    CExSolver& operator=(const CExSolver&) = delete;

    // 1 with result set, or 0 with the error code set and result untouched.
    int Solve(const char* text, double& result, CExSolverCallBack* callback = nullptr);
    int Solve(CString text, double& result, CExSolverCallBack* callback = nullptr);
    int GetError() const { return m_error; }

    // Diagnostics: the stacks go to the debug log.
    void ShowOpStack();
    void ShowNumStack();
    void ShowStacks();

protected:
    // Each reads at the start of text and reports the characters it consumed.
    int ParseNum(const char* text, double& value, int& length);
    int ParseFunc(const char* text, const COperator*& op, int& length);
    int CheckCallbackFunction(const char* text, double& value, int& length);
    // Evaluates what the operator op (null for ")" or the end) closes, then stacks op.
    int ResolveOpStack(const COperator* op, int final);

private:
    int SolveText(std::string_view text, double& result);
    int Fail(int error);
    bool EvaluateTop();
    int ReadOperand(const char* text, int& length);

    std::vector<double> m_numStack;
    std::vector<const COperator*> m_opStack;  // null marks an open parenthesis
    const COpList* m_opList;                  // shared by every solver
    int m_error = errNone;
    CExSolverCallBack* m_callback = nullptr;
};

// The source, the output and the reports of a preprocessor run.
class PRAGMIX_API CMacroDefsCallBack {
public:
    // Answers of Include.
    enum IncludeAnswer { includeProcess = 0, includeHandled = 1, includeStop = 2 };

    virtual ~CMacroDefsCallBack() = default;

    virtual int WriteString(CString text);       // non-zero to go on
    virtual int ReadLine(CString& text);         // 0 at the end of the source
    virtual int Include(CString& fileName);      // an IncludeAnswer; may rewrite the name
    virtual int Pragma(CString text);            // non-zero to go on
    virtual void ReportMessage(CString text);
    virtual void ReportError(CString text);
    virtual void ReportError(CString text, int line);
    virtual int OpenSource();                    // non-zero when the source is ready
    virtual void CloseSource();
    virtual int Status(CString sourceName, int line, float percentDone);  // 0 aborts
};

// A line-oriented macro preprocessor: definitions, conditional blocks,
// includes, pragmas, messages and errors.
class PRAGMIX_API CMacroDefs : public CExSolverCallBack, public CMacroDefsCallBack {
public:
    // Line kinds, as ExtractDef classifies them.
    enum Directive {
        dirText = 0,
        dirDefine = 1,
        dirInclude = 2,
        dirUndef = 4,
        dirIf = 8,
        dirIfdef = 16,
        dirIfndef = 32,
        dirElse = 64,
        dirElif = 128,
        dirEndif = 256,
        dirPragma = 512,
        dirMsg = 1024,
        dirComment = 2048,
        dirError = 4096,
        dirUnknown = 32768,
        dirContinued = 0x10000,  // added when the line ends in a backslash
    };
    enum Error {
        errNone = 0,
        errInvalidIdentifier = 1,
        errMisplacedElse = 2,
        errMisplacedElif = 3,
        errEndifWithoutIf = 4,
        errUnknownDirective = 5,
        errQuoteExpected = 6,
        errRedefinition = 7,
        errParameterCount = 8,
        errInvalidDefinition = 9,
        errInvalidUse = 10,
        errRecursion = 11,
        errUnexpectedEnd = 12,
        errNumeric = 13,
        errInvalidExpression = 14,
        errSyntax = 15,
        errMemory = 16,
        errInvalidOperator = 17,
        errInvalidFunction = 18,
        errOpenParenExpected = 19,
        errCloseParenExpected = 20,
        errNestingTooDeep = 21,
        errIncludeRecursion = 22,
        errIncludeTooDeep = 23,
        errExpansionTooLong = 24,
    };
    // What ProcessString returns.
    enum Result {
        resultError = -1,
        resultText = 0,       // result holds the text to output
        resultNone = 1,       // nothing to output
        resultInclude = 2,    // result holds the file name
        resultPragma = 3,
        resultMessage = 4,
        resultErrorText = 5,  // an "error" directive; result holds its text
    };
    static constexpr int kLevels = 100;        // level 0 and up to 99 nested blocks
    static constexpr int kMaxIncludeDepth = 32;

    CMacroDefs();
    // Shares the parent's database and comment token, with its own conditional state.
    explicit CMacroDefs(CMacroDefs* parent);
    ~CMacroDefs() override;
    CMacroDefs(const CMacroDefs&) = delete;
    CMacroDefs& operator=(const CMacroDefs&) = delete;

    void Init();
    void ResetDatabase();
    int AddMacro(CString name, CString value);
    int RemoveMacro(CString name);
    int GetSubstitution(CString name, CString& result);
    int ProcessString(CString line, CString& result);
    int Process(CMacroDefsCallBack* callback, int init);
    int ProcessFile(CString inputName, CString outputName, CMacroDefsCallBack* callback);
    int GetMacroList(CMapStringToString& map);
    int GetError() const { return m_error; }
    CString GetErrorString() const { return GetErrorString(m_error); }
    static CString GetErrorString(int code);
    int TextBlocked() const { return m_blocked; }
    void SetCommentToken(char token) { m_commentToken = token; }
    void SetSolverCB(CExSolverCallBack* callback) { m_solverCallBack = callback; }
    // Throws CArchiveException on a malformed archive; the database is then unchanged.
    void Serialize(CArchive& ar);
    int Copy(const CMacroDefs& other);

    // The functions of conditions: DEFINED, DEF and NDEF, the rest to the solver callback.
    int SolveExternalFunction(CString name, CString argument, double& value) override;
    int SolveExternalFunction(CString name, double& value) override;

    // Running over its own files (ProcessFile).
    int WriteString(CString text) override;
    int ReadLine(CString& text) override;
    int Include(CString& fileName) override;
    int Pragma(CString text) override;
    void ReportMessage(CString text) override;
    void ReportError(CString text) override;
    void ReportError(CString text, int line) override;
    int OpenSource() override;
    void CloseSource() override;
    int Status(CString sourceName, int line, float percentDone) override;

protected:
    // Classifies a line; may drop a trailing backslash from it. rest gets the text after the directive.
    int ExtractDef(CString& line, CString& rest);
    int AddDef(CString text, int substitute);
    int RemoveDef(CString name);
    int IsDefined(const CString& name) const;
    CMacroDefEntry* FindDef(const CString& name) const;
    int Substitute(CString text, CString& result, int withFunctions);
    int BoolSolve(CString text, int& result);

    // The conditional-block level stack.
    void BlockIfdefLevel(int blocked);
    void BlockIgnoreToEndIfLevel(int blocked);
    void ClearIfdefLevel();
    int IfdefLevelBlocked(int level) const;
    int IfdefLevelActive() const;
    int IgnoreToEndIf() const;
    void SetExpected(int directives);
    int IsExpected(int directive) const;

    // An included file, run by a child preprocessor that shares the database.
    int ProcessFile(CString fileName, CMacroDefsCallBack* callback);

private:
    struct Level {
        unsigned char flags = 0;
        int expected = 0;
    };

    int Fail(int error);
    int OpenConditional(int directive, const CString& rest);
    int ElifDirective(const CString& rest);
    int ElseDirective();
    int EndifDirective();
    int EvaluateCondition(const CString& rest, int& taken);
    int IncludeName(const CString& rest, CString& result);
    struct Expansion;
    int SubstituteText(std::string_view text, std::string& result, int withFunctions);
    int ExpandPass(std::string_view text, std::string& out, Expansion& state);
    int SkipFunctionArgument(PendingText& pending, std::string& out);
    CMacroDefEntry* FindName(std::string_view name) const;
    int Classify(std::string_view line, std::string_view& rest, std::string_view& text) const;
    bool ReadWholeInput();
    int RunSource(CMacroDefsCallBack* callback);
    int IncludeFile(CMacroDefsCallBack* callback, CString& fileName, int line);
    void OpenLevel(int taken);
    int FailLevel();
    float PercentDone() const;
    void ReportToUser(const CString& text);
    bool IsOnIncludeChain(const CString& fileName) const;
    bool CloseStreams(bool commit);
    void DeleteEntries();

    Level m_levels[kLevels];
    int m_level = 0;
    int m_error = errNone;
    int m_continuing = 0;
    int m_blocked = 0;
    int m_sharedDatabase = 0;
    MacroTable* m_database = nullptr;
    CString m_continuation;
    char m_commentToken = ';';
    CExSolverCallBack* m_solverCallBack = nullptr;
    CStdioFile* m_input = nullptr;
    CStdioFile* m_output = nullptr;
    bool m_ownsOutput = false;
    bool m_sourceFailed = false;  // the run stopped: a written output is discarded
    CMacroDefsCallBack* m_callback = nullptr;
    CString m_inputName;
    CString m_outputName;
    long long m_inputLength = 0;
    long long m_inputRead = 0;  // bytes taken so far: the progress without asking the file each line
    std::string m_inputText;    // the whole input file, read at once
    bool m_inputLoaded = false;
    CMacroDefs* m_parent = nullptr;
    int m_includeDepth = 0;
    // The buffers of the last substitution, for the next (a nested one makes its own).
    std::unique_ptr<Expansion> m_spareExpansion;
};
