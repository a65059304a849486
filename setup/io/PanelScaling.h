// CPanelScaling: the control panel's snapshot of the drive's command mode and
// conversion parameters, and the conversions between drive units and the
// engineering units the panel shows.
#pragma once

#include "platform/core/WinTypes.h"

enum PanelCommandMode : int { kPanelModeCurrent = 0, kPanelModeVelocity = 1, kPanelModePosition = 2 };

class CPanelScaling {
public:
    // The panel's mode from a command mode register value: bit 2 position,
    // else bit 1 velocity, else current.
    static int ModeOf(int modeValue);
    // The mode list entry of a mode (1 velocity, 2 current, 3 position).
    static int EntryOf(int mode);

    int Mode() const { return ModeOf(m_modeValue); }
    // The velocity factor: the tach gain on a drive with a tach, else the velocity gain.
    double VelocityFactor() const;
    double EngineeringFromDrive(double reading) const;
    // Saturates at the limits of a 32-bit integer; never divides by zero.
    LONG DriveFromEngineering(double value) const;
    // One drive unit of the present mode in engineering units, for the fine jog.
    double FineIncrement() const;

    int m_modeValue = -1;
    double m_cs = 0.0;          // conversion parameter 6
    double m_velInduction = 0.0;  // 1
    double m_currentGain = 0.0;   // 9
    double m_velGain = 0.0;       // 0
    double m_tachGain = 0.0;      // 2
    double m_etf = 0.0;           // 10
};

// A command register's value: the current and velocity command registers take
// at most +-32767; the position command is sent as it is.
LONG PanelRegisterValue(WORD reg, LONG driveValue);
// The round half away from zero, saturated to the 32-bit range.
LONG PanelSaturate(double value);
