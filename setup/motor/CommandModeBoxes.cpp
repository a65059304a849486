#include "setup/motor/CommandModeBoxes.h"

bool CCommandModeBoxes::TwoPhaseHardware() const
{
    return Cs16() && m_s.cim == 4 && (static_cast<int>(m_s.mdl14) & 8);
}

bool CCommandModeBoxes::Checked(int id) const
{
    switch (id) {
    case 1: return true;
    case 2: return Velocity();
    case 3: return Position();
    case 4: return (Cs() == 9 && (Velocity() || Position())) || TwoPhaseHardware() || TwoPhase();
    case 5: return (!Pulse() && !Position()) || Cs16();
    // The version register's hundredths can land just below the decimal value.
    case 6: return Pulse() && m_s.version + 1e-9 >= 3.04 && !Cs16();
    case 7: return Position() && !Pulse();
    case 8: return Pulse() && Type() != 3;
    case 9: return Type() == 0;
    case 10: return !Cs16() && Type() == 1;
    case 11: return Type() == 2;
    case 12: return (m_s.inputType & 8) != 0;
    case 13: return (m_s.inputType & 16) != 0;
    default: return false;
    }
}

bool CCommandModeBoxes::Enabled(int id) const
{
    const int cs = Cs();
    const bool fullCs = cs == 5 || Cs16();
    const bool pulseInput = Pulse() && Type() != 3;
    const bool pwmInput = !Cs16() && Pulse() && Type() == 3;
    switch (id) {
    case 2: return cs != 1 && cs != 9 && cs != 10 && cs != 11 && !TwoPhaseHardware();
    case 3: return fullCs && !TwoPhaseHardware();
    case 5: return fullCs && !Position();
    case 6: return cs == 5 && !Position() && !Cs16();
    case 7: return Position();
    case 8: return fullCs && Position();
    case 9: return pulseInput && Position();
    case 10: return !Cs16() && pulseInput;
    case 11: return pulseInput && Position();
    case 12:
    case 13: return pwmInput;
    default: return false;
    }
}

CommandModeClick CCommandModeBoxes::Click(int id, bool checked, int lastMode, int lastType)
{
    CommandModeClick click;
    const bool oneWay = id >= 5 && id <= 11;
    if (oneWay && !checked) {
        click.recheck = true;
        return click;
    }
    const int otherTypeBits = lastType & ~3;
    switch (id) {
    case 2: click.mode = checked ? ((lastMode & ~16) | 2) : (lastMode & ~2); break;
    case 3: click.mode = checked ? ((lastMode & ~16) | 4) : (lastMode & ~4); break;
    case 4: click.mode = lastMode | 1 | 16; break;
    case 5:
    case 7: click.mode = lastMode & ~8; break;
    case 6:
        click.mode = (lastMode & ~16) | 8;
        click.inputType = 3 | otherTypeBits;
        break;
    case 8:
        click.mode = lastMode | 8;
        click.inputType = otherTypeBits;
        break;
    case 9:
    case 10:
    case 11:
        click.uncheckOtherTypes = true;
        click.inputType = (id - 9) | otherTypeBits;
        break;
    default: break;
    }
    return click;
}
