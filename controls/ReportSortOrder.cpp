#include "ReportSortOrder.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/core/DateTime.h"

namespace {
template <class T>
int Sign(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}
}  // namespace

bool CReportSortOrder::ParseNumber(const char* text, double& value)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    value = std::strtod(text, &end);
    if (end == text || std::isnan(value))
        return false;
    return *end == '\0' || (end[0] == '%' && end[1] == '\0');
}

bool CReportSortOrder::ParseHexadecimal(const char* text, unsigned& value)
{
    if (!text || !*text)
        return false;
    // A sign would wrap to a huge unsigned value; a number past 32 bits would saturate.
    for (const char* p = text; *p; ++p)
        if (*p == '-' || *p == '+')
            return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(text, &end, 16);
    if (end == text || *end != '\0' || errno == ERANGE || parsed > 0xFFFFFFFFull)
        return false;
    value = static_cast<unsigned>(parsed);
    return true;
}

CReportSortOrder::CReportSortOrder(const std::vector<CString>& cells) : m_cells(cells), m_keys(cells.size())
{
    for (size_t i = 0; i < cells.size(); ++i)
        m_keys[i] = Key{cells[i].IsEmpty(), 0.0, 0};
    auto all = [&](auto parse) {
        for (size_t i = 0; i < cells.size(); ++i)
            if (!m_keys[i].empty && !parse(cells[i], m_keys[i]))
                return false;
        return true;
    };
    if (all([](const CString& text, Key& key) { return ParseNumber(text, key.number); })) {
        m_kind = Number;
    } else if (all([](const CString& text, Key& key) { return ParseHexadecimal(text, key.hex); })) {
        m_kind = Hexadecimal;
    } else if (all([](const CString& text, Key& key) {
                   COleDateTime date;
                   if (!date.ParseDateTime(text))
                       return false;
                   key.number = date.m_dt;
                   return true;
               })) {
        m_kind = Date;
    } else {
        m_kind = Text;
    }
}

int CReportSortOrder::Compare(size_t a, size_t b) const
{
    const Key& ka = m_keys[a];
    const Key& kb = m_keys[b];
    if (ka.empty || kb.empty || m_kind == Text) {
        const int c = std::strcmp(m_cells[a], m_cells[b]);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (m_kind == Hexadecimal)
        return Sign(ka.hex, kb.hex);
    return Sign(ka.number, kb.number);
}
