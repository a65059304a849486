// One pair of motor magnetics and feedback numbers: poles (or pole pitch)
// and encoder lines (or resolution).
#pragma once

class CPolesLinesHelper {
public:
    CPolesLinesHelper(int poleValue, double lineValue) : m_poleValue(poleValue), m_lineValue(lineValue) {}

    int m_poleValue;
    double m_lineValue;
};
