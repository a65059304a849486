#include "DateTime.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Days from 1 January 1970 to a civil date (proleptic Gregorian).
long long DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const long long kDay0 = DaysFromCivil(1899, 12, 30);

int DaysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

// The whole seconds of the value, rounded, split into day and second of day.
void Split(double dt, long long& day, int& second)
{
    const long long total = std::llround(dt * 86400.0);
    day = total >= 0 ? total / 86400 : -((-total + 86399) / 86400);
    second = static_cast<int>(total - day * 86400);
}

struct Reader {
    const char* p;
    void SkipSpaces() { while (*p == ' ' || *p == '\t') ++p; }
    bool Number(int& value, int maxDigits)
    {
        int digits = 0;
        value = 0;
        while (std::isdigit(static_cast<unsigned char>(*p)) && digits < maxDigits) {
            value = value * 10 + (*p++ - '0');
            ++digits;
        }
        return digits > 0 && !std::isdigit(static_cast<unsigned char>(*p));
    }
    bool Char(char c)
    {
        if (*p != c)
            return false;
        ++p;
        return true;
    }
};

bool ReadDate(Reader& r, int& y, int& m, int& d)
{
    const char* start = r.p;
    int a = 0, b = 0, c = 0;
    if (!r.Number(a, 4)) {
        r.p = start;
        return false;
    }
    const bool yearFirst = r.p - start == 4;
    const char separator = *r.p;
    if ((separator != '-' && separator != '/') || !r.Char(separator) || !r.Number(b, 2) || !r.Char(separator)) {
        r.p = start;
        return false;
    }
    const char* third = r.p;
    if (!r.Number(c, 4) || (!yearFirst && r.p - third != 4)) {
        r.p = start;
        return false;
    }
    if (yearFirst) { y = a; m = b; d = c; }
    else { m = a; d = b; y = c; }
    return true;
}

bool ReadTime(Reader& r, int& h, int& mi, int& s)
{
    const char* start = r.p;
    s = 0;
    if (!r.Number(h, 2) || !r.Char(':') || !r.Number(mi, 2)) {
        r.p = start;
        return false;
    }
    if (r.Char(':') && !r.Number(s, 2)) {
        r.p = start;
        return false;
    }
    r.SkipSpaces();
    if (std::toupper(static_cast<unsigned char>(r.p[0])) == 'A' || std::toupper(static_cast<unsigned char>(r.p[0])) == 'P') {
        if (std::toupper(static_cast<unsigned char>(r.p[1])) != 'M' || h < 1 || h > 12) {
            r.p = start;
            return false;
        }
        const bool pm = std::toupper(static_cast<unsigned char>(r.p[0])) == 'P';
        h = (h % 12) + (pm ? 12 : 0);
        r.p += 2;
    }
    return true;
}

}  // namespace

COleDateTime::COleDateTime(int year, int month, int day, int hour, int minute, int second)
{
    SetDateTime(year, month, day, hour, minute, second);
}

BOOL COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        m_dt = 0;
        m_status = invalid;
        return FALSE;
    }
    const long long days = DaysFromCivil(year, month, day) - kDay0;
    const double time = (hour * 3600 + minute * 60 + second) / 86400.0;
    // Before day 0 the time still counts forward, as the original's days did.
    m_dt = days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
    m_status = valid;
    return TRUE;
}

bool COleDateTime::ParseDateTime(const char* text)
{
    Reader r{text ? text : ""};
    r.SkipSpaces();
    int y = 1899, m = 12, d = 30, h = 0, mi = 0, s = 0;
    const bool hasDate = ReadDate(r, y, m, d);
    if (hasDate)
        r.SkipSpaces();
    const bool hasTime = ReadTime(r, h, mi, s);
    r.SkipSpaces();
    if ((!hasDate && !hasTime) || *r.p != '\0' || !SetDateTime(y, m, d, h, mi, s)) {
        m_dt = 0;
        m_status = invalid;
        return false;
    }
    return true;
}

int COleDateTime::GetYear() const { long long day; int sec; Split(m_dt, day, sec); int y, m, d; CivilFromDays(day + kDay0, y, m, d); return y; }
int COleDateTime::GetMonth() const { long long day; int sec; Split(m_dt, day, sec); int y, m, d; CivilFromDays(day + kDay0, y, m, d); return m; }
int COleDateTime::GetDay() const { long long day; int sec; Split(m_dt, day, sec); int y, m, d; CivilFromDays(day + kDay0, y, m, d); return d; }
int COleDateTime::GetHour() const { long long day; int sec; Split(m_dt, day, sec); return sec / 3600; }
int COleDateTime::GetMinute() const { long long day; int sec; Split(m_dt, day, sec); return sec / 60 % 60; }
int COleDateTime::GetSecond() const { long long day; int sec; Split(m_dt, day, sec); return sec % 60; }

CString COleDateTime::Format() const
{
    if (m_status != valid)
        return CString();
    long long day = 0;
    int second = 0;
    Split(m_dt, day, second);
    CString date, time;
    if (day != 0) {
        int y, m, d;
        CivilFromDays(day + kDay0, y, m, d);
        date.Format("%d/%d/%d", m, d, y);
    }
    if (second != 0 || day == 0) {
        const int h = second / 3600;
        time.Format("%d:%02d:%02d %s", h % 12 == 0 ? 12 : h % 12, second / 60 % 60, second % 60, h < 12 ? "AM" : "PM");
    }
    if (date.IsEmpty())
        return time;
    return time.IsEmpty() ? date : date + " " + time;
}
