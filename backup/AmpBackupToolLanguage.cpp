// The template language of CAmpBackupTool: line interpretation, directives,
// {expression} fields and the names an expression may use.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "backup/AmpBackupTool.h"
#include "backup/AmpBackupToolComputations.h"
#include "backup/AmpBackupToolHost.h"
#include "distribution/parameters/GlobalParameterTable.h"
#include "foundation/FileHelpers.h"
#include "foundation/ParamParse.h"
#include "platform/core/Clock.h"
#include "platform/core/SingleLock.h"

namespace {

bool StartsWithNoCase(const CString& text, const char* prefix)
{
    const int length = static_cast<int>(strlen(prefix));
    return text.GetLength() >= length && text.Left(length).CompareNoCase(prefix) == 0;
}

int FindNoCase(const CString& text, const char* what)
{
    CString upper = text;
    upper.MakeUpper();
    CString needle = what;
    needle.MakeUpper();
    return upper.Find(needle);
}

// A whole number of the text, saturated to 32 bits (atoi's reading, without its overflow).
long long ReadInteger(const char* text)
{
    errno = 0;
    long long value = strtoll(text, nullptr, 10);
    return std::clamp<long long>(value, INT_MIN, INT_MAX);
}

LONG Saturate(long long value)
{
    return static_cast<LONG>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool IsMnemonic(const CString& name)
{
    const int length = name.GetLength();
    if (length < 1 || length > 3)
        return false;
    for (int i = 0; i < length; ++i) {
        if (!std::isalpha(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}

}  // namespace

int CAmpBackupTool::SolveExternalFunction(CString name, CString argument, double& value)
{
    return SolveExternalFunctionArgs(name, argument, value);
}

int CAmpBackupTool::SolveExternalFunction(CString name, double& value)
{
    return SolveExternalFunctionValue(name, value);
}

int CAmpBackupTool::SolveExternalFunctionArgs(const CString&, const CString&, double&)
{
    return 1;
}

int CAmpBackupTool::InterpretLine(const CString& line, CString& out)
{
    CString text = line;
    text.Trim();
    const int semicolon = text.Find(';');
    if (semicolon >= 0) {
        const int log = FindNoCase(text, "!LOG:");
        if (log < 0 || semicolon < log) {
            text = text.Left(semicolon);
            text.TrimRight();
        }
    }
    if (text.IsEmpty() || text[0] == ';')
        return kWriteNothing;

    if (text[0] == '#') {
        CString expanded;
        const bool blocked = m_macros.TextBlocked() != 0;
        // An "#elif" in a block not taken decides whether its branch is: its fields count too.
        if (!blocked || StartsWithNoCase(text, "#elif")) {
            const CString savedLog = m_errorLog, savedError = m_lastError;
            const int savedErrors = m_errors;
            if (ExpandFields(text, expanded)) {
                text = expanded;
            } else if (!blocked) {
                out = m_lastError;
                return kLineFailed;
            } else {
                // Inside a block not taken the line may never count: leave it to the preprocessor.
                m_errorLog = savedLog;
                m_lastError = savedError;
                m_errors = savedErrors;
            }
        }
    }

    const int preprocessed = PreprocessLine(text);
    if (preprocessed == 0)
        return kWriteNothing;
    if (preprocessed == 2)
        return OpenInclude(text, out);
    if (preprocessed < 0) {
        out = text;
        return kLineFailed;
    }

    if (StartsWithNoCase(text, "!ENDIF")) {
        m_skip = 0;
        return kWriteNothing;
    }
    if (m_skip)
        return kWriteNothing;
    if (text.IsEmpty()) {
        out.Empty();
        return kWriteOutput;
    }
    if (text.Find("*** ERROR") >= 0) {
        ReportError(" Encountered error from previous backup", 0);
        out = m_lastError;
        return kLineFailed;
    }
    if (text[0] == '!')
        return InterpretDirective(text, out);
    if (!SendDriveCommand(nullptr, text)) {
        out = m_lastError;
        return kLineFailed;
    }
    return kWriteNothing;
}

int CAmpBackupTool::OpenInclude(const CString& name, CString& out)
{
    CString file = name;
    file.Replace('\\', '/');
    file.Trim();
    CString path = file;
    if (file.Left(1) != "/") {
        CString folder = GetFolderFromPath(m_templatePath);
        folder.Replace('\\', '/');
        path = folder.IsEmpty() ? file : folder + "/" + file;
    }
    if (!m_templates.Push(path)) {
        CString error;
        error.Format("Could not open template file \"%s\"", file.GetString());
        ReportError(error, 0);
        out = m_lastError;
        return kLineFailed;
    }
    return kWriteNothing;
}

int CAmpBackupTool::InterpretDirective(const CString& text, CString& out)
{
    if (StartsWithNoCase(text, "!IF"))
        return DirectiveIf(text.Mid(3), out);
    if (StartsWithNoCase(text, "!EXTPROC:"))
        return DirectiveExtProc(text.Mid(9), out);
    if (StartsWithNoCase(text, "!LOG:")) {
        if (ExpandFields(text.Mid(5), out))
            return kWriteOutput;
        out = m_lastError;
        return kLineFailed;
    }
    if (StartsWithNoCase(text, "!DIGITS:")) {
        CString rest = text.Mid(8);
        rest.Trim();
        m_digits = static_cast<int>(ReadInteger(rest));
        return kWriteNothing;
    }
    if (text.GetLength() == 7 && text.CompareNoCase("!SIGNED") == 0) {
        m_signed = 1;
        return kWriteNothing;
    }
    if (StartsWithNoCase(text, "!SOLVEFILTER:")) {
        DirectiveSolveFilter(text.Mid(13));
        return kWriteNothing;
    }
    if (StartsWithNoCase(text, "!CALCCURRLOOPBW:")) {
        DirectiveCalcCurrentLoopBw(text.Mid(16));
        return kWriteNothing;
    }
    if (StartsWithNoCase(text, "!UNSIGNED")) {
        m_signed = 0;
        return kWriteNothing;
    }
    if (StartsWithNoCase(text, "!BUILDTAVROIOLIST")) {
        DirectiveBuildTavroIoList();
        return kWriteNothing;
    }
    ReportError("Unknown command or syntax error", 0);
    out = m_lastError;
    return kLineFailed;
}

int CAmpBackupTool::PreprocessLine(CString& line)
{
    CString result;
    const int code = m_macros.ProcessString(line, result);
    switch (code) {
    case CMacroDefs::resultText:
        line = result;
        return 1;
    case CMacroDefs::resultNone:
    case CMacroDefs::resultPragma:
    case CMacroDefs::resultMessage:
        return 0;
    case CMacroDefs::resultInclude:
        line = result;
        return 2;
    case CMacroDefs::resultErrorText:
        ReportError(result, 0);
        line = result;
        return -1;
    case CMacroDefs::resultError:
        line = m_macros.GetErrorString();
        ReportError(line, 0);
        return -1;
    default:
        return -1;
    }
}

int CAmpBackupTool::DirectiveIf(const CString& rest, CString& out)
{
    int result = 0;
    if (!EvaluateIfCondition(rest, result)) {
        if (!m_fatal)
            ReportError(" Invalid !IF expression", 0);
        out = m_lastError;
        return kLineFailed;
    }
    if (!result)
        m_skip = 1;
    return kWriteNothing;
}

int CAmpBackupTool::DirectiveExtProc(const CString& rest, CString& out)
{
    if (!m_extProcessor) {
        out = " No external line processor";
        return kLineFailed;
    }
    if (!m_extProcessor->ProcessExtLine(rest)) {
        out = m_extProcessor->GetErrorString();
        return kLineFailed;
    }
    return kWriteNothing;
}

bool CAmpBackupTool::EnsureDriveIdentity()
{
    if (m_identityRead)
        return true;
    if (ReadDriveIdentity())
        return true;
    ReportError("Communications fault", 1);
    return false;
}

int CAmpBackupTool::EvaluateIfCondition(const CString& text, int& result)
{
    CString condition = text;
    condition.Trim();
    if (condition.GetLength() <= 2 || condition[0] != '(')
        return 0;
    condition = condition.Mid(1);
    static const char* const operators[] = {">=", "<=", "!=", "=", ">", "<"};
    int position = -1;
    const char* op = nullptr;
    for (const char* candidate : operators) {
        position = condition.Find(candidate);
        if (position >= 0) {
            op = candidate;
            break;
        }
    }
    const int opLength = op ? static_cast<int>(strlen(op)) : 0;
    if (!op || position == 0 || position + opLength >= condition.GetLength())
        return 0;
    CString left = condition.Left(position);
    CString right = condition.Mid(position + opLength);
    left.Trim();
    right.Trim();

    LONG literal = 0;
    LONG driveValue = 0;
    if (left.CompareNoCase("FW") == 0) {
        // 1.15 is 115: the version is written with two decimals, and 1.15 * 100 lies just below 115.
        const double scaled = std::round(atof(right) * 100.0);
        literal = std::isfinite(scaled) ? Saturate(static_cast<long long>(std::clamp(scaled, -1e12, 1e12))) : 0;
        if (!EnsureDriveIdentity())
            return 0;
        driveValue = m_firmwareVersion;
    } else if (left.CompareNoCase("PN") == 0) {
        const int dash = right.Find('-');
        if (dash < 0)
            return 0;
        literal = Saturate(ReadInteger(right.Left(dash)) * 10000 + ReadInteger(right.Mid(dash + 1)));
        if (!EnsureDriveIdentity())
            return 0;
        driveValue = m_partNumber;
    } else if (left.CompareNoCase("CS") == 0) {
        literal = static_cast<LONG>(ReadInteger(right));
        if (!EnsureDriveIdentity())
            return 0;
        driveValue = m_configuration;
    } else {
        return 0;
    }
    const std::string o = op;
    if (o == "=")
        result = driveValue == literal;
    else if (o == "!=")
        result = driveValue != literal;
    else if (o == ">")
        result = driveValue > literal;
    else if (o == "<")
        result = driveValue < literal;
    else if (o == ">=")
        result = driveValue >= literal;
    else
        result = driveValue <= literal;
    return 1;
}

int CAmpBackupTool::FormatValue(double value, CString& text) const
{
    // Beyond 20 decimals a double has nothing more to say; the cap keeps lines bounded.
    const int digits = std::clamp(m_digits, -20, 20);
    if (digits >= 0)
        text.Format("%.*f", digits, value);
    else
        text.Format("%.*g", -digits, value);
    return 1;
}

int CAmpBackupTool::ExpandFields(const CString& text, CString& out)
{
    CString work = text;
    for (;;) {
        const int open = work.Find('{');
        if (open < 0)
            break;
        const int close = work.Find('}', open);
        if (close < 0) {
            ReportError(" Syntax error - Missing '}'", 0);
            return 0;
        }
        const CString field = work.Mid(open, close - open + 1);
        CString expression = work.Mid(open + 1, close - open - 1);
        expression.Trim();
        double value = 0;
        CExSolver solver;
        if (!solver.Solve(expression, value, this)) {
            // After a failed read's own error: the line's last error names the expression.
            ReportError(solver.GetError() == CExSolver::errNumeric ? " Numeric error" : " Syntax error in expression", 0);
            return 0;
        }
        CString formatted;
        FormatValue(value, formatted);
        work.Replace(field, formatted);
    }
    out = work;
    return 1;
}

int CAmpBackupTool::SolveExternalFunctionValue(const CString& name, double& value)
{
    if (m_variables.Lookup(name, value))
        return 0;
    if (name.Left(4).CompareNoCase("GPD_") == 0) {
        CGlobalParameterTable* table = m_host ? m_host->GetParameterTable() : nullptr;
        const int id = table ? table->GetParameterId(m_drive, name) : -1;
        if (id >= 0)
            return WaitForParameter(*table, id, name, value) ? 0 : 1;
    }
    CString substitution;
    if (m_macros.GetSubstitution(name, substitution)) {
        value = atof(substitution);
        return 0;
    }
    if (IsMnemonic(name)) {
        CAmpResponseToGui response;
        if (SendDriveCommand(&response, name)) {
            value = m_signed ? static_cast<double>(response.GetValue())
                             : static_cast<double>(static_cast<DWORD>(response.m_value));
            return 0;
        }
    }
    if (m_expanding && m_extProcessor && m_extProcessor->GetNamedValue(name, value))
        return 0;
    return 1;
}

bool CAmpBackupTool::IsCancelRequested()
{
    // The engine being destroyed stops its thread: a wait must not hold that up.
    return GetOperationStatus() == kCancelRequested || GetState() == kStopRequested;
}

bool CAmpBackupTool::WaitForParameter(CGlobalParameterTable& table, int id, const CString& name, double& value)
{
    if (m_expanding)
        return table.GetParameterValue(m_drive, id, value);
    // The value arrives through the normal distribution path: give the link back meanwhile.
    const bool held = m_synchronousHeld != 0;
    if (held)
        EndSynchronousDriveAccess();
    const ULONGLONG deadline = GetTickCount64() + kWaitLimitMs;
    bool found = table.GetParameterValue(m_drive, id, value);
    while (!found && GetTickCount64() < deadline && !IsCancelRequested()) {
        Sleep(1);
        found = table.IsParameterValid(m_drive, id) && table.GetParameterValue(m_drive, id, value);
    }
    if (held)
        BeginSynchronousDriveAccess();
    if (!found) {
        CString error;
        error.Format(" No value for conversion parameter %s", name.GetString());
        ReportError(error, 0);
    }
    return found;
}

bool CAmpBackupTool::WaitForIoList(int state, const char* what)
{
    // Only a run's own thread may wait: the GUI thread's service answers it.
    const int status = GetOperationStatus();
    if (m_expanding || status < kBackupRunning || status > kReportRunning)
        return false;
    {
        CSingleLock lock(&m_ioListLock, TRUE);
        m_ioListState = state;
    }
    const ULONGLONG deadline = GetTickCount64() + kWaitLimitMs;
    for (;;) {
        {
            CSingleLock lock(&m_ioListLock, TRUE);
            if (m_ioListState == kIoReceived)
                return true;
            if (m_ioListState == kIoFailed)
                return false;
        }
        if (GetTickCount64() >= deadline || IsCancelRequested()) {
            CString error;
            error.Format(" No %s from the drive", what);
            ReportError(error, 0);
            return false;
        }
        Sleep(1);
    }
}

void CAmpBackupTool::DirectiveBuildTavroIoList()
{
    const bool held = m_synchronousHeld != 0;
    if (held)
        EndSynchronousDriveAccess();
    CString inputs = "ERROR: Could not build input list";
    CString outputs = "ERROR: Could not build output list";
    if (WaitForIoList(kIoInputsWanted, "input assignments") && m_computations)
        inputs = m_computations->BuildIoFunctionList(CAmpBackupToolComputations::kInputs);
    if (WaitForIoList(kIoOutputsWanted, "output assignments") && m_computations)
        outputs = m_computations->BuildIoFunctionList(CAmpBackupToolComputations::kOutputs);
    {
        CSingleLock lock(&m_ioListLock, TRUE);
        m_ioListState = kIoIdle;
    }
    if (held)
        BeginSynchronousDriveAccess();
    m_macros.RemoveMacro("TAVROINPUTDEFS");
    m_macros.AddMacro("TAVROINPUTDEFS", inputs);
    m_macros.RemoveMacro("TAVROOUTPUTDEFS");
    m_macros.AddMacro("TAVROOUTPUTDEFS", outputs);
}

bool CAmpBackupTool::ExpandArguments(const CString& rest, CString& out)
{
    const int savedDigits = m_digits;
    m_digits = 10;
    const int ok = ExpandFields(rest, out);
    m_digits = savedDigits;
    out = "(" + out + ")";
    return ok != 0;
}

void CAmpBackupTool::DirectiveSolveFilter(const CString& rest)
{
    CString arguments;
    if (!ExpandArguments(rest, arguments))
        return;
    int coefficients[6] = {0, 0, 0, 0, 0, 0};
    double fs = 0;
    int filter = 0;
    const int parsed = CParamParse::ParseParams(
        arguments, {coefficients[0], coefficients[1], coefficients[2], coefficients[3], coefficients[4],
                    coefficients[5], fs, filter});
    if (parsed != CParamParse::ok) {
        ReportError(CParamParse::GetErrorString(parsed), 0);
        return;
    }
    FilterArguments result;
    bool solved = false;
    if (m_computations && filter >= 1 && filter <= 4) {
        int type = 0;
        const bool known = m_computations->GetDriveFilterType(m_drive, filter - 1, type);
        solved = m_computations->CalcFilterArgsFromCoefficients(type, coefficients, known ? 0 : 1, fs, result);
    }
    m_macros.RemoveMacro("FILTERTYPE");
    m_macros.RemoveMacro("FILTERTYPENUM");
    if (solved) {
        CString number;
        number.Format("%d", result.type);
        m_macros.AddMacro("FILTERTYPE", m_computations->GetFilterTypeCode(result.type));
        m_macros.AddMacro("FILTERTYPENUM", number);
    } else {
        m_macros.AddMacro("FILTERTYPE", "Invalid filter coefficients");
        m_macros.AddMacro("FILTERTYPENUM", "0");
    }
    static const char* const names[] = {"FILTERARG1", "FILTERARG2", "FILTERARG3", "FILTERARG4"};
    for (int i = 0; i < 4; ++i)
        m_variables.SetAt(names[i], solved ? result.args[i] : 0.0);
    if (!solved)
        ReportError("Could not calculate filter arguments", 0);
}

void CAmpBackupTool::DirectiveCalcCurrentLoopBw(const CString& rest)
{
    CString arguments;
    if (!ExpandArguments(rest, arguments))
        return;
    double currentGain = 0;
    int masterGain = 0, proportionalGain = 0, inductance = 0, resistance = 0, busVolts = 0;
    const int parsed = CParamParse::ParseParams(
        arguments, {currentGain, masterGain, proportionalGain, inductance, resistance, busVolts});
    if (parsed != CParamParse::ok) {
        ReportError(CParamParse::GetErrorString(parsed), 0);
        return;
    }
    if (!m_computations) {
        m_variables.SetAt("CURRLOOPBW", 0.0);
        ReportError("Could not calculate current loop bandwidth", 0);
        return;
    }
    m_variables.SetAt("CURRLOOPBW", m_computations->CalcCurrentLoopBandwidth(masterGain, resistance, inductance,
                                                                             proportionalGain, busVolts, currentGain));
}
