// Reads a motion program line by line and feeds its moves to the planner; a
// test run writes the axis definitions and planned blocks ("<program>.txt")
// and the sampled path of drives 1 and 2 ("<program>.csv").
#pragma once

#include "CodeLineData.h"
#include "CoordSysMap.h"
#include "RotationMap.h"
#include "TrajectoryPlanner.h"
#include "platform/core/StdioFile.h"

class CMotionPlayback : public CTrajectoryPlannerCB {
public:
    enum Mode { modeLinear = 0, modeRapid = 1, modeSpline = 2, modePVT = 3, modeCircleCW = 4, modeCircleCCW = 5 };

    // A program that has not ended after this many lines is taken to loop forever.
    static constexpr int kMaxLinesExecuted = 100000;
    // The test run samples at most this much path time (seconds).
    static constexpr double kMaxPathTime = 3600.0;
    static constexpr int kMaxLineLength = 998;

    CAxisVectorMap DrivePositions;
    CAxisVectorMap LastTargets;
    CTrajectoryPlanner Planner;
    CAxisIndexMap AxisIndexByName;
    CAxisNameMap AxisNameByIndex;
    CCoordSysMap CoordSys;
    CRotationMap Rotation;
    CCodeBlockMap Labels;
    CCodeLineQ ReturnStack;
    CMotionWordMap CircleWords;
    CAxisSettingsMap AxisSettings;
    CAxisVectorList PositionSamples;
    CAxisVectorList VelocitySamples;
    int Mode = modeRapid;
    int CurrentLine = 0;
    int Incremental = 0;
    CStdioFile File;
    int LineCount = 0;

    CMotionPlayback();
    ~CMotionPlayback() override = default;

    // 1 after a complete run with its output written; 0 otherwise.
    BOOL TestProgram(const char* path);
    // 0 at the end of the file, else what ExecuteLine gives.
    int ExecuteNextLine();
    // 1 to go on, 0 after END, -1 on an error (see GetLastError).
    int ExecuteLine(const CString& text);
    void IndexLabels();
    BOOL JumpToLabel(int label);
    BOOL GetAxisValue(int axis, double* out) override;
    const CString& GetLastError() const { return m_lastError; }

private:
    struct LineMoves {
        CAxisVectorMap targets;
        CAxisVectorMap endVelocities;
        CMotionWordMap circleWords;
        bool any = false;
    };
    enum { kGoOn = 2 };  // a keyword's result when the line's parsing goes on

    int Error(const char* format, ...) KV_PRINTF(2, 3);
    int ExecuteWord(const CString& word, const CString& line, int& pos, LineMoves& moves);
    int ExecuteAxisWord(int axis, const CString& word, const CString& line, int& pos, LineMoves& moves);
    int ExecuteJump(const CString& word, const CString& line, int& pos, LineMoves& moves);
    int Assign(const CString& line, int& pos);
    int Unassign(const CString& line, int& pos);
    int AxisIndexFor(const CString& name);
    int ChangeMode(int mode, bool dwellFirst);
    // Plans the targets read so far on the line; 1 or -1.
    int PlanMoves(LineMoves& moves);
    bool ReadNumber(const CString& line, int& pos, double& value);
    bool ReadInteger(const CString& line, int& pos, int& value);
    bool IsLabelLine(const CString& line) const;
    static bool LabelNumber(const CString& trimmedUpper, int& label);

    enum LineRead { lineEnd = 0, lineRead = 1, lineTooLong = -1, lineHasNul = -2 };
    // Reads one whole line; a line too long or holding a NUL byte is read to its end and refused.
    int ReadProgramLine(CString& line);
    void RunProgram(int& result);
    bool WriteOutputs(const CString& path);
    void WriteDefinitions(CStdioFile& text);
    bool WriteSamples(CStdioFile& csv);

    CString m_lastError;
    int m_linesExecuted = 0;
};
