// Rotates programmed targets in the X-Y plane about a centre.
#pragma once

#include "AxisVectorMap.h"
#include "platform/core/String.h"

class CRotationMap {
public:
    int Plane = 0;
    int AngleInRadians = 0;
    int AxisU = -1;
    int AxisV = -1;
    const CMap<CString, const CString&, int, int>* AxisNames = nullptr;
    double Angle = 0.0;
    CAxisVectorMap Centre;

    // "R<angle>" and the centre as the plane's axis words; FALSE (see GetLastError) on a bad word.
    BOOL SetFromWords(const CString& text);
    // Only a positive angle (modulo a full turn) rotates.
    bool IsActive() const;
    BOOL Rotate(CAxisVectorMap& targets) const;
    void Clear();
    const CString& GetLastError() const { return m_error; }

private:
    CString m_error;
};
