// CTFGAbstractBaseMode: one loop the function generator steps: its base and
// target in engineering units, their labels, and their drive units.
#pragma once

#include "setup/tuning/TuningSettings.h"

class CTFGAbstractBaseMode {
public:
    explicit CTFGAbstractBaseMode(TuningStepSettings* settings, int decimals) : m_settings(settings), m_decimals(decimals) {}
    virtual ~CTFGAbstractBaseMode() = default;

    virtual CString GetBaseLabel(int motorType) = 0;
    virtual CString GetTargetLabel(int motorType) = 0;
    virtual double ToDriveUnits(double value, const TuningContext& context) = 0;
    // False with the range message in `error` when the value is outside the loop's range.
    virtual bool Validate(double value, const char* name, const TuningContext& context, CString& error) = 0;

    // Base and base ± target, the values a test commands, all within range.
    bool ValidateStep(const TuningContext& context, CString& error);
    // A drive value held within the register, never wrapped.
    int ToDriveValue(double value, const TuningContext& context);
    CString FormatValue(double value) const;

    TuningStepSettings* m_settings;
    int m_decimals;
    CString m_baseLabel;
    CString m_targetLabel;
    double m_base = 0;
    double m_target = 0;

protected:
    virtual double RegisterMin() const { return -32767; }
    virtual double RegisterMax() const { return 32767; }
    static CString RangeMessage(const char* format, const char* name, double low, double high);
};
