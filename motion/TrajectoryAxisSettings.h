// The limits of one program axis that the planner plans against.
#pragma once

struct CTrajectoryAxisSettings {
    double MaxVelocity = 5000.0;      // limit of a linear move's feed along the axis
    double MaxAcceleration = 500.0;   // limit of a linear move's blends
    double Scale = 1.0;               // kept with the row; no planning step reads it
    double RapidVelocity = 2000.0;    // a rapid move runs at the smaller velocity limit
    double RapidAcceleration = 500.0; // ... and the smaller acceleration limit

    // The rows the player starts with (axes 0 and 1); other axes get the row of axis 0.
    static CTrajectoryAxisSettings Preset(int axis);
};
