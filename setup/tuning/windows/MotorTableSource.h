// CMotorTableSource: the motor table as the motor parameters window reads it
// (the recordsets "MotorByPartNum" and "MotorByModelNum" of the motor
// database); the program installs its database's, a test a fixture.
#pragma once

#include <vector>

#include "platform/core/String.h"

struct MotorTableRow {
    CString partNum;
    CString modelNum;
    double resistance = 0;  // ohms
    double inductance = 0;  // mH
};

class CMotorTableSource {
public:
    virtual ~CMotorTableSource() = default;
    virtual std::vector<MotorTableRow> Rows() = 0;

    static void Install(CMotorTableSource* source);
    static CMotorTableSource* Get();
};
