#include "setup/io/WatchRegisterList.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "comm/protocol/AmpErrors.h"
#include "distribution/AmpResponseToGui.h"
#include "foundation/DPropertyList.h"
#include "foundation/TextHelpers.h"
#include "platform/core/Profile.h"

const char* const kWatchWindowSection = "WATCHWINDOW";
const char* const kWatchListSection = "WATCHWINDOW_LIST";

namespace {

// Far more than a window can show; a larger count is a damaged file, not a list.
constexpr int kMaxWatches = 65535;

const char* const kIntNames[] = {"nEnabled", "nDisplayAs", "nAmp", "nPadAs", "colRow", "colText"};

CString Indexed(const char* name, int index)
{
    CString text;
    text.Format("%s%d", name, index);
    return text;
}

int* IntField(CWatchRegisterItem& item, int which)
{
    int* fields[] = {&item.m_enabled, &item.m_displayAs, &item.m_drive,
                     &item.m_padAs,   &item.m_rowColour, &item.m_textColour};
    return fields[which];
}

int IntDefault(int which)
{
    const CWatchRegisterItem defaults;
    return *IntField(const_cast<CWatchRegisterItem&>(defaults), which);
}

bool PeriodInRange(double secs)
{
    if (!std::isfinite(secs))
        return false;
    const double ms = std::trunc(secs * 1000.0 + 1e-9);
    return ms >= 1.0 && ms <= 99999.0;
}

CString CheckRanges(const CWatchRegisterItem& item, int index)
{
    CString error;
    if (item.m_displayAs < kWatchSigned || item.m_displayAs > kWatchHighBits)
        error.Format("Watch %d: display form %d is not one of 0 to 4.", index + 1, item.m_displayAs);
    else if (item.m_padAs < 0 || item.m_padAs > 2)
        error.Format("Watch %d: padding %d is not one of 0 to 2.", index + 1, item.m_padAs);
    else if (!PeriodInRange(item.m_updateSecs))
        error.Format("Watch %d: update period %g s is not within 0.001 to 99.999 s.", index + 1, item.m_updateSecs);
    return error;
}

}  // namespace

CWatchRegisterList::CWatchRegisterList(const CWatchRegisterList& other) { *this = other; }

CWatchRegisterList& CWatchRegisterList::operator=(const CWatchRegisterList& other)
{
    if (this == &other)
        return *this;
    RemoveAll();
    for (const auto& item : other.m_items) {
        CWatchRegisterItem* copy = Add(*item);
        if (copy->m_jobId)
            m_jobs[copy->m_jobId] = copy;
    }
    return *this;
}

CWatchRegisterItem* CWatchRegisterList::Add(const CWatchRegisterItem& item)
{
    m_items.push_back(std::make_unique<CWatchRegisterItem>(item));
    return m_items.back().get();
}

void CWatchRegisterList::Remove(CWatchRegisterItem* item)
{
    if (!item)
        return;
    SetJob(item, 0);
    const int index = IndexOf(item);
    if (index >= 0)
        m_items.erase(m_items.begin() + index);
}

void CWatchRegisterList::RemoveAll()
{
    m_jobs.clear();
    m_items.clear();
}

int CWatchRegisterList::IndexOf(const CWatchRegisterItem* item) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

void CWatchRegisterList::MoveTo(const std::vector<int>& indexes, int target)
{
    std::vector<std::unique_ptr<CWatchRegisterItem>> moved;
    std::vector<bool> taken(m_items.size(), false);
    int before = 0;
    for (int index : indexes) {
        if (index < 0 || index >= GetCount() || taken[static_cast<size_t>(index)])
            continue;
        taken[static_cast<size_t>(index)] = true;
        if (index < target)
            ++before;
    }
    std::vector<std::unique_ptr<CWatchRegisterItem>> rest;
    for (int index : indexes)
        if (index >= 0 && index < GetCount() && m_items[static_cast<size_t>(index)])
            moved.push_back(std::move(m_items[static_cast<size_t>(index)]));
    for (auto& item : m_items)
        if (item)
            rest.push_back(std::move(item));
    const int at = std::clamp(target - before, 0, static_cast<int>(rest.size()));
    rest.insert(rest.begin() + at, std::make_move_iterator(moved.begin()), std::make_move_iterator(moved.end()));
    m_items = std::move(rest);
}

void CWatchRegisterList::SetJob(CWatchRegisterItem* item, DWORD jobId)
{
    if (item->m_jobId)
        m_jobs.erase(item->m_jobId);
    item->m_jobId = jobId;
    if (jobId)
        m_jobs[jobId] = item;
}

CWatchRegisterItem* CWatchRegisterList::FindJob(DWORD jobId) const
{
    const auto found = m_jobs.find(jobId);
    return found == m_jobs.end() ? nullptr : found->second;
}

int CWatchRegisterList::ApplyReply(const CAmpResponseToGui& reply, int showValueFormat, int showUpdateTime)
{
    CWatchRegisterItem* item = FindJob(reply.m_queryId);
    if (!item)
        return 0;
    if (!item->m_enabled) {
        item->m_valueText = "N/A";
        return 1;
    }
    if (reply.m_error) {
        item->m_valueText = reply.m_error == AMP_ERR_DRIVE_OFFLINE ? "Off-line" : "ERROR";
        item->m_errorText = GetAmpErrorString(reply.m_error);
    } else {
        item->m_valueText = CWatchRegisterItem::FormatValue(static_cast<DWORD>(reply.m_value), reply.m_width,
                                                            item->m_displayAs, item->m_padAs, showValueFormat);
        item->m_errorText.Empty();
    }
    if (showUpdateTime && reply.m_error != AMP_ERR_DRIVE_OFFLINE)
        item->m_valueText.AppendFormat(" (%0.0fms)", reply.m_replyTime * 1000.0);
    return 1;
}

BOOL CWatchRegisterList::SaveToProfile(const char* section) const
{
    if (!AfxWriteProfileString(section, nullptr, nullptr))
        return FALSE;
    BOOL ok = AfxWriteProfileInt(section, "nWatchCount", GetCount());
    for (int i = 0; i < GetCount() && ok; ++i) {
        CWatchRegisterItem& item = *m_items[static_cast<size_t>(i)];
        for (int which = 0; which < 6; ++which)
            ok = ok && AfxWriteProfileInt(section, Indexed(kIntNames[which], i), *IntField(item, which));
        ok = ok && AfxWriteProfileString(section, Indexed("stQueryExpression", i), item.m_queryExpression);
        ok = ok && AfxWriteProfileString(section, Indexed("stDescription", i), item.m_description);
        ok = ok && AfxWriteProfileString(section, Indexed("fUpdateSecs", i), FormatDouble(item.m_updateSecs, 6));
    }
    return ok;
}

void CWatchRegisterList::LoadFromProfile(const char* section)
{
    RemoveAll();
    const int count = std::clamp(static_cast<int>(AfxGetProfileInt(section, "nWatchCount", 0)), 0, kMaxWatches);
    for (int i = 0; i < count; ++i) {
        CWatchRegisterItem item;
        for (int which = 0; which < 6; ++which)
            *IntField(item, which) = static_cast<int>(AfxGetProfileInt(section, Indexed(kIntNames[which], i),
                                                                       IntDefault(which)));
        item.m_queryExpression = AfxGetProfileString(section, Indexed("stQueryExpression", i), "");
        item.m_description = AfxGetProfileString(section, Indexed("stDescription", i), "");
        item.m_updateSecs = std::atof(AfxGetProfileString(section, Indexed("fUpdateSecs", i), "0.2"));
        Add(item);
    }
}

void CWatchRegisterList::SaveToBag(CDPropertyList& bag) const
{
    int previous = 0;
    bag.GetInt("nWatchCount", previous);
    for (int i = 0; i < previous; ++i) {
        for (const char* name : kIntNames)
            bag.Remove(Indexed(name, i));
        bag.Remove(Indexed("stQueryExpression", i));
        bag.Remove(Indexed("stDescription", i));
        bag.Remove(Indexed("fUpdateSecs", i));
    }
    bag.SetInt("nWatchCount", GetCount());
    for (int i = 0; i < GetCount(); ++i) {
        CWatchRegisterItem& item = *m_items[static_cast<size_t>(i)];
        for (int which = 0; which < 6; ++which)
            bag.SetInt(Indexed(kIntNames[which], i), *IntField(item, which));
        bag.SetString(Indexed("stQueryExpression", i), item.m_queryExpression);
        bag.SetString(Indexed("stDescription", i), item.m_description);
        bag.SetString(Indexed("fUpdateSecs", i), FormatDouble(item.m_updateSecs, 6));
    }
}

int CWatchRegisterList::LoadFromBag(const CDPropertyList& bag, CString* error)
{
    int count = 0;
    if (!bag.GetInt("nWatchCount", count)) {
        RemoveAll();
        return 1;
    }
    if (count < 0 || count > kMaxWatches) {
        if (error)
            error->Format("The watch count %d is not within 0 to %d.", count, kMaxWatches);
        return 0;
    }
    CWatchRegisterList loaded;
    for (int i = 0; i < count; ++i) {
        CWatchRegisterItem item;
        for (int which = 0; which < 6; ++which)
            bag.GetInt(Indexed(kIntNames[which], i), *IntField(item, which));
        bag.GetString(Indexed("stQueryExpression", i), item.m_queryExpression);
        bag.GetString(Indexed("stDescription", i), item.m_description);
        CString secs = "0.2";
        bag.GetString(Indexed("fUpdateSecs", i), secs);
        item.m_updateSecs = std::atof(secs);
        const CString problem = CheckRanges(item, i);
        if (!problem.IsEmpty()) {
            if (error)
                *error = problem;
            return 0;
        }
        loaded.Add(item);
    }
    *this = loaded;
    return 1;
}
