// CFirmwareProgress: the arithmetic of a run's two progress bars. A run is a
// row of stages (kernels, firmware images); the overall figure counts the
// stages already finished plus the position within the current one, and
// stays below 100 until a stage has really ended.
#pragma once

class CFirmwareProgress {
public:
    void Reset()
    {
        m_stageSize = 0;
        m_finished = 0;
    }
    void SetTotal(int total) { m_total = total; }
    int GetTotal() const { return m_total; }
    int GetFinished() const { return m_finished; }
    int GetStageSize() const { return m_stageSize; }
    // A new stage; with `accumulate` the previous stage counts as finished.
    void BeginStage(int size, bool accumulate)
    {
        if (accumulate)
            m_finished += m_stageSize;
        m_stageSize = size;
    }
    void AddFinished(int bytes) { m_finished += bytes; }
    double StagePercent(int position) const
    {
        return m_stageSize < 1 ? 0.0 : static_cast<double>(position) * 100.0 / m_stageSize;
    }
    double OverallPercent(int position) const
    {
        if (m_total < 1)
            return 0.0;
        const double overall = (static_cast<double>(m_finished) + position) * 100.0 / m_total;
        if (overall >= 99.0 && StagePercent(position) < 100.0)
            return 99.0;
        // Without a true total (a file without one counts 1) the figure would run far past the end.
        return overall > 100.0 ? 100.0 : overall;
    }

private:
    int m_stageSize = 0;
    int m_total = 0;
    int m_finished = 0;
};
