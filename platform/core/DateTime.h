// COleDateTime: a date and time as days since 30 December 1899 (the fraction
// is the time of day), with a validity status, the default text form and a
// parser for the forms people type.
#pragma once

#include "String.h"
#include "WinTypes.h"

class COleDateTime {
public:
    enum DateTimeStatus { error = -1, valid = 0, invalid = 1, null = 2 };

    COleDateTime() = default;
    COleDateTime(int year, int month, int day, int hour, int minute, int second);

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }
    // Invalid (and FALSE) for a day or time that does not exist.
    BOOL SetDateTime(int year, int month, int day, int hour, int minute, int second);
    // Reads "M/D/YYYY", "YYYY-MM-DD" or "YYYY/M/D", a time "H:MM[:SS] [AM|PM]", or both;
    // the whole text must be used. Invalid (and false) otherwise.
    bool ParseDateTime(const char* text);
    // The default text form: the date alone when the time is midnight, the time
    // alone on day 0, else both ("12/10/2026 1:05:09 PM").
    CString Format() const;

    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;

    bool operator<(const COleDateTime& other) const { return m_dt < other.m_dt; }
    bool operator==(const COleDateTime& other) const { return m_dt == other.m_dt && m_status == other.m_status; }

    double m_dt = 0.0;
    DateTimeStatus m_status = valid;
};
