// Which program axes make up each drive's position, and the inverse relation.
// Keys are (axis index << 8) | drive number.
#pragma once

#include "AxisVectorMap.h"
#include "platform/core/List.h"

class CCoordSysMap {
public:
    CMap<int, int, double, double> Forward;
    CMap<int, int, double, double> Inverse;

    static int Key(int axis, int drive) { return (axis << 8) | drive; }
    static int AxisOf(int key) { return key >> 8; }
    static int DriveOf(int key) { return key & 0xFF; }

    void Assign(int drive, int axis, double coefficient);
    // Appends the axis of every removed entry; TRUE when any was removed.
    BOOL UnassignDrive(int drive, CList<int, int>& removedAxes);
    void RemoveAll();
    void ToDrivePositions(const CAxisVectorMap& axisPositions, CAxisVectorMap& out) const;
    double GetAxisValue(int axis, const CAxisVectorMap& drivePositions) const;
    // Kept as it was when axes and drives do not pair up or do not invert.
    void RebuildInverse();
};
