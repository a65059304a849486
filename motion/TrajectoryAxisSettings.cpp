#include "TrajectoryAxisSettings.h"

CTrajectoryAxisSettings CTrajectoryAxisSettings::Preset(int axis)
{
    if (axis == 1)
        return {5000.0, 600.0, 1.0, 500.0, 800.0};
    return {5000.0, 500.0, 1.0, 2000.0, 500.0};
}
