// The thirteen check boxes of the command mode window: what each shows, when
// it is enabled, and what a click writes. Boxes 1 .. 13 are the window's
// custom ids.
#pragma once

#include <optional>

struct CommandModeState {
    int mode = 0;        // 13796
    int inputType = 0;   // 16589
    int cim = 0;         // 3373
    double cs = 0;       // GPD_CS
    double mdl14 = 0;    // GPD_MDL14
    double version = 0;  // GPD_VER
};

struct CommandModeClick {
    std::optional<int> mode;       // written to 13796 first
    std::optional<int> inputType;  // then to 16589
    bool recheck = false;          // the box may not be unchecked by a click
    bool uncheckOtherTypes = false;
};

class CCommandModeBoxes {
public:
    static constexpr int kCount = 13;

    explicit CCommandModeBoxes(const CommandModeState& state) : m_s(state) {}

    bool Checked(int id) const;
    bool Enabled(int id) const;
    // The click on box id leaving it in the state checked; lastMode and
    // lastType are the last replies.
    static CommandModeClick Click(int id, bool checked, int lastMode, int lastType);

private:
    int Cs() const { return static_cast<int>(m_s.cs); }
    bool Cs16() const { return (Cs() & 16) != 0; }
    bool TwoPhaseHardware() const;
    bool Velocity() const { return (m_s.mode & 2) != 0; }
    bool Position() const { return (m_s.mode & 4) != 0; }
    bool Pulse() const { return (m_s.mode & 8) != 0; }
    bool TwoPhase() const { return (m_s.mode & 16) != 0; }
    int Type() const { return m_s.inputType & 3; }

    CommandModeState m_s;
};
