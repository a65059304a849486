#include "MotionPlayback.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/core/DebugLog.h"
#include "platform/core/MessageBox.h"

namespace {

constexpr double kSampleStep = 0.01;
constexpr const char* kCaption = "Motion Program";

CString Rest(const CString& line, int pos)
{
    return pos < 0 ? CString() : line.Mid(pos);
}

bool IsNumberChar(char ch)
{
    return std::strchr("1234567890.-+", ch) != nullptr && ch != '\0';
}

// The whole number when the word at start is the "E" of one written with an
// exponent ("1E3"); empty otherwise.
CString ExponentNumber(const CString& line, int start, const CString& word)
{
    const int after = start + 1;
    if (word != "E" || start <= 0 || after >= line.GetLength())
        return CString();
    const char before = line[start - 1];
    if (!(std::isdigit(static_cast<unsigned char>(before)) || before == '.') || !IsNumberChar(line[after]))
        return CString();
    int first = start;
    while (first > 0 && IsNumberChar(line[first - 1]))
        --first;
    int end = after;
    while (end < line.GetLength() && IsNumberChar(line[end]))
        ++end;
    return line.Mid(first, end - first);
}

}  // namespace

CMotionPlayback::CMotionPlayback()
{
    AxisSettings[0] = CTrajectoryAxisSettings::Preset(0);
    AxisSettings[1] = CTrajectoryAxisSettings::Preset(1);
    Planner.AxisSettings = &AxisSettings;
    Planner.AxisNames = &AxisIndexByName;
}

int CMotionPlayback::Error(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    CString why;
    why.FormatV(format, args);
    va_end(args);
    m_lastError.Format("line %d: %s", LineCount, why.GetString());
    AfxDebugLog("Motion program %s", m_lastError.GetString());
    return -1;
}

BOOL CMotionPlayback::GetAxisValue(int axis, double* out)
{
    *out = CoordSys.GetAxisValue(axis, DrivePositions);
    return TRUE;
}

bool CMotionPlayback::LabelNumber(const CString& text, int& label)
{
    if (text.GetLength() <= 1 || text[0] != 'N')
        return false;
    CString rest = text.Mid(1);
    rest.TrimLeft();
    if (rest.IsEmpty() || !std::isdigit(static_cast<unsigned char>(rest[0])))
        return false;
    label = std::atoi(rest);
    return true;
}

bool CMotionPlayback::IsLabelLine(const CString& line) const
{
    int ignored;
    if (AxisIndexByName.Lookup(CString("N"), ignored))
        return false;
    CString text = line;
    text.Trim(" \t\r\n");
    if (!LabelNumber(text, ignored))
        return false;
    // Only "N", blanks and digits: a label with more on its line is not a label line here.
    CString digits = text.Mid(1);
    digits.Trim(" \t");
    return digits.SpanIncluding("0123456789") == digits;
}

void CMotionPlayback::IndexLabels()
{
    Labels.RemoveAll();
    File.SeekToBegin();
    CString text;
    int line = 0;
    int read;
    while ((read = ReadProgramLine(text)) != lineEnd) {
        ++line;
        if (read != lineRead)
            continue;
        text.Trim(" \t\r\n");
        text.MakeUpper();
        int label;
        if (LabelNumber(text, label))
            Labels[label] = CODELINE_DATA{line, File.GetPosition()};
    }
    File.SeekToBegin();
}

BOOL CMotionPlayback::JumpToLabel(int label)
{
    CODELINE_DATA target;
    if (!Labels.Lookup(label, target))
        return FALSE;
    File.Seek(static_cast<LONGLONG>(target.Position), CFile::begin);
    CurrentLine = LineCount = target.Line;
    return TRUE;
}

namespace {
// The length of what ReadString put in a buffer filled with 1s beforehand: its
// terminator is the last 0, wherever a NUL byte read from the file cut the text.
size_t ReadLength(const char* buffer, size_t size)
{
    size_t n = size - 1;
    while (n > 0 && buffer[n] != '\0')
        --n;
    return n;
}
}  // namespace

int CMotionPlayback::ReadProgramLine(CString& line)
{
    // Room for the longest line and its line end.
    char buffer[kMaxLineLength + 2];
    bool nul = false;
    for (bool first = true;; first = false) {
        std::memset(buffer, 1, sizeof buffer);
        if (!File.ReadString(buffer, sizeof buffer))
            return first ? lineEnd : (nul ? lineHasNul : lineTooLong);
        const size_t length = ReadLength(buffer, sizeof buffer);
        nul = nul || std::strlen(buffer) < length;
        const bool ended = length < sizeof buffer - 1 || buffer[length - 1] == '\n';
        if (first && ended && !nul) {
            line = buffer;
            return lineRead;
        }
        // Never execute part of a line: the rest is passed over and the line refused.
        if (ended)
            return nul ? lineHasNul : lineTooLong;
    }
}

int CMotionPlayback::ExecuteNextLine()
{
    CString line;
    const int read = ReadProgramLine(line);
    if (read == lineEnd)
        return 0;
    ++LineCount;
    if (read == lineTooLong)
        return Error("the line is longer than %d characters", kMaxLineLength);
    if (read == lineHasNul)
        return Error("the line holds a NUL byte");
    if (++m_linesExecuted > kMaxLinesExecuted)
        return Error("the program ran %d lines without ending; does it jump in a loop?", kMaxLinesExecuted);
    return ExecuteLine(line);
}

bool CMotionPlayback::ReadNumber(const CString& line, int& pos, double& value)
{
    int at = pos;
    const CString number = CMotionWordScanner::NextToken(line, at, false);
    if (at < 0)
        return false;
    pos = at;
    value = std::atof(number);
    return true;
}

bool CMotionPlayback::ReadInteger(const CString& line, int& pos, int& value)
{
    int at = pos;
    const CString number = CMotionWordScanner::NextToken(line, at, false);
    if (at < 0)
        return false;
    pos = at;
    value = std::atoi(number);
    return true;
}

int CMotionPlayback::ExecuteLine(const CString& text)
{
    CString line = text;
    line.MakeUpper();
    const int comment = line.Find(';');
    if (comment >= 0)
        line = line.Left(comment);
    if (CMotionWordScanner::SkipBlanks(line, 0) < 0 || IsLabelLine(line))
        return 1;
    LineMoves moves;
    int pos = 0;
    while ((pos = CMotionWordScanner::SkipBlanks(line, pos)) >= 0) {
        const int start = pos;
        const CString word = CMotionWordScanner::NextToken(line, pos, true);
        if (pos < 0)
            return Error("unexpected \"%s\"", line.Mid(start).Trim().GetString());
        const int result = ExecuteWord(word, line, pos, moves);
        if (result != kGoOn)
            return result;
    }
    return PlanMoves(moves);
}

int CMotionPlayback::ExecuteWord(const CString& word, const CString& line, int& pos, LineMoves& moves)
{
    double value = 0.0;
    if (word == "ASSIGN")
        return Assign(line, pos);
    if (word == "UNASSIGN")
        return Unassign(line, pos);
    if (word == "UNASSIGNALL") {
        CoordSys.RemoveAll();
        AxisIndexByName.RemoveAll();
        AxisNameByIndex.RemoveAll();
        return kGoOn;
    }
    if (word == "F" || word == "TM" || word == "TA") {
        if (!ReadNumber(line, pos, value))
            return Error("%s needs a number", word.GetString());
        if (word != "TA" && !(value > 0.0))
            return Error("%s needs a value above 0", word.GetString());
        if (word == "F") {
            Planner.FeedRate = value;
            Planner.TimeMode = 0;
        } else if (word == "TM") {
            Planner.MoveTime = value;
            Planner.TimeMode = 1;
        } else {
            if (!(value > 0.0))
                return Error("TA needs a time above 0");
            Planner.AccelTime = value;
        }
        return kGoOn;
    }
    if (word == "SETLINEAR")
        return ChangeMode(modeLinear, true);
    if (word == "SETSPLINE")
        return ChangeMode(modeSpline, true);
    if (word == "SETPVT")
        return ChangeMode(modePVT, true);
    if (word == "SETRAPID")
        return ChangeMode(modeRapid, true);
    if (word == "SETCIRCLECW")
        return ChangeMode(modeCircleCW, false);
    if (word == "SETCIRCLECCW")
        return ChangeMode(modeCircleCCW, false);
    if (word == "DWELL") {
        ReadNumber(line, pos, value);
        if (!(value >= 0.0))
            return Error("DWELL needs a time of 0 or more");
        if (Planner.AddDwell(value) < 0)
            return Error("%s", Planner.GetLastError().GetString());
        return kGoOn;
    }
    if (word == "GOTO" || word == "GOSUB" || word == "RETURN" || word == "END")
        return ExecuteJump(word, line, pos, moves);
    if (word == "INC" || word == "ABS") {
        Incremental = word == "INC";
        return kGoOn;
    }
    if (word == "ROT") {
        if (PlanMoves(moves) < 0)
            return -1;
        if (!Rotation.SetFromWords(Rest(line, pos)))
            return Error("%s", Rotation.GetLastError().GetString());
        return 1;
    }
    if (word == "CLEARROT") {
        Rotation.Clear();
        return kGoOn;
    }
    if (word == "SETPLANE") {
        int plane;
        if (!ReadInteger(line, pos, plane))
            return Error("SETPLANE needs a number");
        if (plane < 0 || plane > 2)
            return Error("SETPLANE takes 0 (X-Y), 1 (X-Z) or 2 (Y-Z)");
        Planner.Plane = plane;
        return kGoOn;
    }
    int axis;
    if (AxisIndexByName.Lookup(word, axis))
        return ExecuteAxisWord(axis, word, line, pos, moves);
    const bool circleWord = word == "R" || word == "I" || word == "J" || word == "K";
    if (circleWord && (Mode == modeCircleCW || Mode == modeCircleCCW)) {
        if (!ReadNumber(line, pos, value))
            return Error("%s needs a number", word.GetString());
        CircleWords[word] = value;
        moves.circleWords[word] = value;
        return kGoOn;
    }
    const CString number = ExponentNumber(line, pos - word.GetLength(), word);
    if (!number.IsEmpty())
        return Error("number \"%s\": numbers are written without an exponent", number.GetString());
    return Error("unknown word \"%s\"", word.GetString());
}

int CMotionPlayback::ExecuteAxisWord(int axis, const CString& word, const CString& line, int& pos,
                                     LineMoves& moves)
{
    double value;
    if (!ReadNumber(line, pos, value))
        return Error("axis %s needs a number", word.GetString());
    moves.targets[axis] = value;
    moves.any = true;
    // An end velocity follows its own axis word: "X10:2".
    const int colon = CMotionWordScanner::SkipBlanks(line, pos);
    if (colon < 0 || line[colon] != ':')
        return kGoOn;
    if (Mode != modePVT)
        return Error("\":\" (an end velocity) is only taken in PVT mode");
    pos = colon + 1;
    if (!ReadNumber(line, pos, value))
        return Error("\":\" after axis %s needs an end velocity", word.GetString());
    moves.endVelocities[axis] = value;
    return kGoOn;
}

int CMotionPlayback::ExecuteJump(const CString& word, const CString& line, int& pos, LineMoves& moves)
{
    // Moves read before the jump on the same line are planned first.
    if (PlanMoves(moves) < 0)
        return -1;
    if (word == "END") {
        if (Planner.AddDwell(0.0) < 0)
            return Error("%s", Planner.GetLastError().GetString());
        return 0;
    }
    if (word == "RETURN") {
        if (ReturnStack.IsEmpty())
            return Error("RETURN without GOSUB");
        const CODELINE_DATA back = ReturnStack.RemoveTail();
        File.Seek(static_cast<LONGLONG>(back.Position), CFile::begin);
        CurrentLine = LineCount = back.Line;
        return 1;
    }
    int label;
    if (!ReadInteger(line, pos, label))
        return Error("%s needs a label number", word.GetString());
    if (!Labels.PLookup(label))
        return Error("%s %d: there is no label N%d", word.GetString(), label, label);
    if (word == "GOSUB")
        ReturnStack.AddTail(CODELINE_DATA{LineCount, File.GetPosition()});
    JumpToLabel(label);
    return 1;
}

int CMotionPlayback::AxisIndexFor(const CString& name)
{
    int index;
    if (AxisIndexByName.Lookup(name, index))
        return index;
    // The lowest index not in use, so that axes count from 0 in order of first use.
    index = 0;
    CString ignored;
    while (AxisNameByIndex.Lookup(index, ignored))
        ++index;
    AxisIndexByName[name] = index;
    AxisNameByIndex[index] = name;
    return index;
}

int CMotionPlayback::Assign(const CString& line, int& pos)
{
    int drive;
    if (!ReadInteger(line, pos, drive))
        return Error("ASSIGN needs a drive number");
    if (drive < 0 || drive > 255)
        return Error("ASSIGN takes drives 0 to 255, not %d", drive);
    pos = CMotionWordScanner::SkipBlanks(line, pos);
    if (pos < 0 || line[pos] != '=')
        return Error("ASSIGN %d needs \"=\"", drive);
    if (CMotionWordScanner::SkipBlanks(line, ++pos) < 0)
        return Error("ASSIGN %d = needs terms", drive);
    double sign = 1.0;
    double coefficient = 1.0;
    bool signGiven = false;
    char last = 0;
    while (pos < line.GetLength()) {
        const char ch = line[pos];
        if (CMotionWordScanner::IsBlank(ch)) {
            ++pos;
        } else if (ch == '-' || ch == '+') {
            if (signGiven)
                return Error("ASSIGN %d: two signs in a row", drive);
            sign = ch == '-' ? -1.0 : 1.0;
            signGiven = true;
            last = ch;
            ++pos;
        } else if (std::isdigit(static_cast<unsigned char>(ch))) {
            coefficient = std::atof(CMotionWordScanner::NextToken(line, pos, false));
            last = '0';
        } else if (std::isalpha(static_cast<unsigned char>(ch))) {
            const int axis = AxisIndexFor(CString(ch));
            CoordSys.Assign(drive, axis, sign * coefficient);
            sign = coefficient = 1.0;
            signGiven = false;
            last = ch;
            ++pos;
        } else {
            return Error("ASSIGN %d: unexpected \"%c\"", drive, ch);
        }
    }
    if (!std::isalpha(static_cast<unsigned char>(last)))
        return Error("ASSIGN %d must end with an axis name", drive);
    pos = -1;
    return kGoOn;
}

int CMotionPlayback::Unassign(const CString& line, int& pos)
{
    int drive;
    if (!ReadInteger(line, pos, drive))
        return Error("UNASSIGN needs a drive number");
    CList<int, int> removed;
    CoordSys.UnassignDrive(drive, removed);
    for (POSITION at = removed.GetHeadPosition(); at;) {
        const int axis = removed.GetNext(at);
        CString name;
        if (AxisNameByIndex.Lookup(axis, name)) {
            AxisIndexByName.RemoveKey(name);
            AxisNameByIndex.RemoveKey(axis);
        }
    }
    return kGoOn;
}

int CMotionPlayback::ChangeMode(int mode, bool dwellFirst)
{
    if (dwellFirst && mode != Mode && Planner.AddDwell(0.0) < 0)
        return Error("%s", Planner.GetLastError().GetString());
    Mode = mode;
    return kGoOn;
}

int CMotionPlayback::PlanMoves(LineMoves& moves)
{
    if (!moves.any)
        return 1;
    moves.any = false;
    if (Incremental && !LastTargets.IsEmpty()) {
        // Only axes that already have a target move by an increment.
        int axis;
        double value;
        for (POSITION pos = LastTargets.GetStartPosition(); pos;) {
            LastTargets.GetNextAssoc(pos, axis, value);
            LastTargets[axis] = value + moves.targets.Get(axis);
        }
    } else {
        LastTargets = moves.targets;
    }
    CAxisVectorMap targets = LastTargets;
    if (Rotation.IsActive() && !Rotation.Rotate(targets))
        return Error("a rotated move needs targets for both axes of the rotation");
    int id;
    switch (Mode) {
    case modeRapid:
        id = Planner.AddRapid(targets);
        break;
    case modeSpline:
        id = Planner.AddSpline(targets);
        break;
    case modePVT:
        id = Planner.AddPVT(targets, moves.endVelocities);
        break;
    case modeCircleCW:
    case modeCircleCCW:
        id = Planner.AddCircular(targets, moves.circleWords, Mode == modeCircleCW, -1);
        break;
    default:
        id = Planner.AddLinear(targets, -1);
        break;
    }
    moves.targets.RemoveAll();
    moves.endVelocities.RemoveAll();
    moves.circleWords.RemoveAll();
    if (id < 0)
        return Error("%s", Planner.GetLastError().GetString());
    return 1;
}

void CMotionPlayback::RunProgram(int& result)
{
    Rotation.AxisNames = &AxisIndexByName;
    Planner.Callback = this;
    Planner.AxisNames = &AxisIndexByName;
    LineCount = 0;
    CurrentLine = 0;
    m_linesExecuted = 0;
    IndexLabels();
    while ((result = ExecuteNextLine()) == 1) {
    }
}

BOOL CMotionPlayback::TestProgram(const char* path)
{
    m_lastError.Empty();
    if (!File.Open(path, CFile::modeRead | CFile::typeText))
        return FALSE;
    int result = -1;
    try {
        RunProgram(result);
    } catch (const CFileException&) {
        result = Error("the program file could not be read");
    }
    File.Abort();
    if (result == -1 || !WriteOutputs(path)) {
        AfxEngineMessageBox("ERROR: Test failed", kCaption, MB_OK | MB_ICONERROR);
        return FALSE;
    }
    AfxEngineMessageBox("Test Complete.", kCaption, MB_OK | MB_ICONINFORMATION);
    return TRUE;
}

// Both files are written beside their final names and only take their place
// once the whole run has been sampled.
bool CMotionPlayback::WriteOutputs(const CString& path)
{
    const UINT flags = CFile::modeCreate | CFile::modeWrite | CFile::typeText;
    CStdioFile text;
    CStdioFile csv;
    const bool haveText = text.Open(path + ".txt", flags);
    const bool haveCsv = csv.Open(path + ".csv", flags);
    try {
        if (haveText)
            WriteDefinitions(text);
        if (haveCsv && !WriteSamples(csv)) {
            text.Abort();
            csv.Abort();
            return false;
        }
        if (haveText)
            text.Close();
        if (haveCsv)
            csv.Close();
    } catch (const CFileException&) {
        text.Abort();
        csv.Abort();
        m_lastError.Format("the output files could not be written");
        return false;
    }
    return true;
}

void CMotionPlayback::WriteDefinitions(CStdioFile& text)
{
    text.WriteString("Axis Definitions:\n");
    int key;
    double coefficient;
    for (POSITION pos = CoordSys.Forward.GetStartPosition(); pos;) {
        CoordSys.Forward.GetNextAssoc(pos, key, coefficient);
        CString name;
        if (!AxisNameByIndex.Lookup(CCoordSysMap::AxisOf(key), name))
            name = "<unknown>";
        CString entry;
        entry.Format("Drive %u = %0.1f%s\n", static_cast<unsigned>(CCoordSysMap::DriveOf(key)), coefficient,
                     name.GetString());
        text.WriteString(entry);
    }
    text.WriteString("\nBlended Moves:\n");
    for (POSITION pos = Planner.Blocks.GetHeadPosition(); pos;) {
        text.WriteString(Planner.Blocks.GetNext(pos)->ToString(AxisNameByIndex));
        text.WriteString("\n");
    }
}

bool CMotionPlayback::WriteSamples(CStdioFile& csv)
{
    while (Planner.Sample(PositionSamples, &VelocitySamples, kSampleStep)) {
        POSITION velocityAt = VelocitySamples.GetHeadPosition();
        for (POSITION pos = PositionSamples.GetHeadPosition(); pos;) {
            const CAxisVectorMap& sample = PositionSamples.GetNext(pos);
            CAxisVectorMap velocity;
            if (velocityAt)
                velocity = VelocitySamples.GetNext(velocityAt);
            CAxisVectorMap drives;
            CAxisVectorMap driveVelocities;
            CoordSys.ToDrivePositions(sample, drives);
            CoordSys.ToDrivePositions(velocity, driveVelocities);
            CString row;
            row.Format("%0.3f,     %0.3f,     %0.3f,     %0.3f,     %0.3f\n", sample.Time, drives.Get(1),
                       drives.Get(2), driveVelocities.Get(1), driveVelocities.Get(2));
            csv.WriteString(row);
        }
        PositionSamples.RemoveAll();
        VelocitySamples.RemoveAll();
        if (Planner.SampleTime > kMaxPathTime) {
            m_lastError.Format("the planned path runs longer than %0.0f s", kMaxPathTime);
            AfxDebugLog("Motion program: %s", m_lastError.GetString());
            return false;
        }
    }
    return true;
}
