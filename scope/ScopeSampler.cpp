#include "ScopeSampler.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <vector>

#include "ScopeDriveServices.h"
#include "distribution/DistMngrResponseReceiver.h"
#include "platform/core/SingleLock.h"
#include "platform/core/WinThread.h"

namespace {
constexpr WORD kFirstChannelCode = 0x3E61;  // OSA .. OSD
constexpr WORD kLastChannelCode = 0x3E64;
constexpr int kInvalidDriveAddress = 32;
constexpr size_t kMaxQueuedErrors = 64;

LONG RawByWidth(LONG value, int width)
{
    switch (width) {
    case 0: return 0;
    case 1: return static_cast<signed char>(value & 0xFF);
    case 2: return static_cast<short>(value & 0xFFFF);
    default: return value;
    }
}
}  // namespace

CScopeSampler::CScopeSampler(CDistMngrResponseReceiver& receiver, CScopeDriveServices& services)
    : m_receiver(receiver), m_services(services)
{
}

CScopeSampler::~CScopeSampler()
{
    StopSampler();
    m_recording.Close();
}

bool CScopeSampler::UnitsFactor(CScopeDriveServices& services, int address, int unitsCode, double& factor)
{
    double cs = 0.0;
    double flags = 0.0;
    if (!services.GetConversionParameter(address, 6, cs) || !services.GetConversionParameter(address, 18, flags))
        return false;
    switch (unitsCode) {
    case 0: factor = 1.0; return true;
    case 1: return services.GetConversionParameter(address, 9, factor);
    case 2: return services.GetConversionParameter(address, cs == 1.0 ? 1 : 0, factor);
    case 3: return services.GetConversionParameter(address, 8, factor);
    case 4: factor = 180.0 / 32767.0; return true;
    case 5: factor = 100.0 / 32767.0; return true;
    case 6: return services.GetConversionParameter(address, (static_cast<long>(flags) & 2) ? 0 : 9, factor);
    default: return false;
    }
}

void CScopeSampler::StartQueries()
{
    ClearErrors();
    m_receiver.CancelAllQueries();
    {
        CSingleLock lock(&m_codeMapLock, TRUE);
        m_codeMap.DeleteAllLists();
        m_codeMap.RemoveAll();
    }
    struct PlannedQuery {
        int address;
        int code;
        int sourceId;
        int periodMs;
    };
    std::vector<PlannedQuery> planned;
    std::vector<CString> messages;
    {
        m_sources.Lock();
        std::map<int, int> perDrive;
        for (CScopeSourceData* source : m_sources)
            if (source->Enabled && !source->SuspendQuery)
                ++perDrive[source->AmpAddr];
        std::map<int, int> queried;
        for (CScopeSourceData* source : m_sources) {
            if (!source->Enabled || source->SuspendQuery || (m_plotMode == 1 && source->IsXChannel))
                continue;
            if (!m_services.IsDriveConnected(source->AmpAddr)) {
                source->LastError = kInvalidDriveAddress;
                continue;
            }
            const int code = source->GetCommandCode();
            if (code == 0) {
                source->Enabled = 0;
                CString text;
                text.Format("Invalid command specified for trace \"%s\".  Trace has been disabled.",
                            source->Description.GetString());
                messages.push_back(text);
                continue;
            }
            source->LastSampleTime = -1.0;
            if (++queried[source->AmpAddr] > kMaxQueriesPerDrive)
                continue;
            const int period = std::max(source->MinUpdateMs, perDrive[source->AmpAddr]);
            planned.push_back({source->AmpAddr, code, source->SourceID, std::clamp(period, 0, 0xFFFF)});
        }
        m_sources.Unlock();
    }
    // The sampling thread takes the code map's lock before the sources', so the map is filled apart.
    {
        CSingleLock lock(&m_codeMapLock, TRUE);
        for (const PlannedQuery& query : planned)
            m_codeMap.AddValue((query.address << 16) | query.code, query.sourceId);
    }
    for (const PlannedQuery& query : planned)
        m_receiver.SendBlockQuery(static_cast<BYTE>(query.address), static_cast<WORD>(query.code),
                                  static_cast<WORD>(query.periodMs));
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        m_queriesRunning = 1;
    }
    for (const CString& text : messages)
        m_services.ShowMessage(text);
}

bool CScopeSampler::StartSampler()
{
    {
        std::lock_guard lock(m_samplerLock);
        if (m_samplerState != kSamplerStopped)
            return true;
        m_samplerState = kSamplerStarting;
    }
    delete m_samplerThread;  // the previous run's thread has ended; this joins it
    m_samplerThread = AfxBeginThread(SamplingThreadProc, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_samplerThread) {
        SetSamplerState(kSamplerStopped);
        return false;
    }
    m_samplerThread->m_bAutoDelete = FALSE;
    m_samplerThread->ResumeThread();
    return true;
}

void CScopeSampler::StopSampler()
{
    {
        std::unique_lock lock(m_samplerLock);
        if (m_samplerState != kSamplerStopped)
            m_samplerState = kSamplerStopRequested;
        m_samplerChanged.notify_all();
        m_samplerChanged.wait(lock, [this] { return m_samplerState == kSamplerStopped; });
    }
    delete m_samplerThread;
    m_samplerThread = nullptr;
}

int CScopeSampler::GetSamplerState() const
{
    std::lock_guard lock(m_samplerLock);
    return m_samplerState;
}

void CScopeSampler::SetSamplerState(int state)
{
    {
        std::lock_guard lock(m_samplerLock);
        m_samplerState = state;
    }
    m_samplerChanged.notify_all();
}

UINT CScopeSampler::SamplingThreadProc(LPVOID param)
{
    static_cast<CScopeSampler*>(param)->SamplingLoop();
    return 0;
}

void CScopeSampler::SamplingLoop()
{
    {
        std::lock_guard lock(m_samplerLock);
        if (m_samplerState == kSamplerStarting)
            m_samplerState = kSamplerRunning;
    }
    // Sleeps until an answer is queued or the state changes, not in polls.
    m_receiver.SetResponseSignal([this] {
        {
            std::lock_guard signalLock(m_samplerLock);
            m_responseQueued = true;
        }
        m_samplerChanged.notify_all();
    });
    for (;;) {
        CAmpResponseToGui response;
        const bool got = m_receiver.GetNextResponse(response);
        if (got)
            HandleResponse(response);
        std::unique_lock lock(m_samplerLock);
        if (!got)
            m_samplerChanged.wait(lock, [this] { return m_responseQueued || m_samplerState != kSamplerRunning; });
        m_responseQueued = false;
        if (m_samplerState != kSamplerRunning)
            break;
    }
    m_receiver.SetResponseSignal(nullptr);
    SetSamplerState(kSamplerStopped);
}

void CScopeSampler::HandleResponse(const CAmpResponseToGui& response)
{
    if (!response.m_timeStampValid && response.m_error == 0)
        return;
    WORD code = response.m_code;
    LONG value = response.m_value;
    int width = response.m_width;
    if (response.m_error != 0 && code >= kFirstChannelCode && code <= kLastChannelCode) {
        // A failing channel names the register it streams, byte-swapped, in its value.
        const WORD swapped = static_cast<WORD>(value & 0xFFFF);
        code = static_cast<WORD>((swapped >> 8) | (swapped << 8));
        value = 0;
        width = 1;
    }
    const int key = (response.m_address << 16) | code;
    const double time = response.m_timeStamp / 1000.0;
    {
        CSingleLock lock(&m_codeMapLock, TRUE);
        CList<int, int>* ids = m_codeMap.GetList(key);
        if (ids)
            for (int id : *ids)
                StoreSample(id, response.m_error, time, RawByWidth(value, width));
    }
    if (response.m_error != 0) {
        CAmpResponseToGui error = response;
        error.m_code = code;
        error.m_value = value;
        error.m_width = static_cast<BYTE>(width);
        CSingleLock lock(&m_errorLock, TRUE);
        if (m_errors.size() < kMaxQueuedErrors)
            m_errors.push_back(error);
    }
}

void CScopeSampler::StoreSample(int sourceId, int errorCode, double time, LONG rawValue)
{
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        if (m_ignoreSamples)
            return;
    }
    double engineering = 0.0;
    {
        CScopeSourceData* source = m_sources.FindById(sourceId, 1);
        if (!source) {
            m_sources.Unlock();
            return;
        }
        double value = source->LastValue;
        double factor = 1.0;
        if (errorCode == 0) {
            if (!UnitsFactor(m_services, source->AmpAddr, source->UnitsCode, factor)) {
                m_sources.Unlock();
                return;
            }
            value = rawValue * factor;
        }
        if (source->ActivityTimer.GetElapsedSeconds() >= 1.0) {
            source->ActivityTimer.Restart();
            if (source->LastSampleTime != -1.0)
                source->LastIntervalMs = static_cast<int>((time - source->LastSampleTime) * 1000.0);
        }
        source->LastSampleTime = time;
        source->LastError = errorCode;
        source->LastValue = value;
        engineering = source->Scale * value + source->Offset;
        m_sources.Unlock();
    }
    CSingleLock lock(&m_scopeLock, TRUE);
    if (m_scopeMode == kMonitoring)
        StoreMonitored(sourceId, time, engineering);
    else if (m_scopeMode == kRecording)
        StoreRecorded(sourceId, time, engineering);
}

void CScopeSampler::StoreMonitored(int sourceId, double time, double value)
{
    if (m_monitoringState == 0) {
        m_preTrigger.Clear();
        m_monitorStart = time;
        m_monitoringState = 1;
        m_displayClock.Restart(0.0);
    }
    m_newData = 1;
    const double relative = time - m_monitorStart;
    m_latestDataTime = relative;
    if (m_monitoringState != 2) {
        if (m_enaAdvancedRecording) {
            m_preTrigger.Append({sourceId, 0, relative, value});
            m_preTrigger.TrimOlderThan(m_advancedRecordingSecs);
        }
        PlotSample(sourceId, relative, value);
        CheckRecordTriggers(relative, value, kMonitoring, sourceId);
    }
    AutoScaleIfLocked();
}

void CScopeSampler::StoreRecorded(int sourceId, double time, double value)
{
    if (m_recordingState == 1) {
        m_recordingState = 2;
        m_displayClock.SetScale(1.0);
        m_recordingClock.SetScale(1.0);
        m_recordingClock.Restart(0.0);
        m_displayClock.Restart(0.0);
        ClearPlot();
        if (m_enaAdvancedRecording)
            StartRecordingFromHistory(time);
        else
            m_recordStart = time;
    }
    m_newData = 1;
    const double relative = time - m_recordStart;
    m_latestDataTime = relative;
    m_recording.AddPoint(sourceId, relative, value);
    CheckRecordTriggers(relative, value, kRecording, sourceId);
}

// The history goes first, its oldest point at time 0; the recording's start is
// that point's time, so the first live sample keeps its own distance to the history.
void CScopeSampler::StartRecordingFromHistory(double sampleTime)
{
    std::vector<CDataPoint> history;
    m_preTrigger.Snapshot(history);
    if (history.empty()) {
        m_recordStart = sampleTime;
        return;
    }
    const double oldest = history.front().m_time;
    for (const CDataPoint& point : history)
        m_recording.AddPoint(point.m_sourceId, point.m_time - oldest, point.m_value);
    m_recordStart = m_monitorStart + oldest;
    const double now = sampleTime - m_recordStart;
    m_recordingClock.Restart(now);
    m_displayClock.Restart(now);
}

bool CScopeSampler::Fires(int condition, double level, double value, int previousSeen, double previous)
{
    switch (condition) {
    case kRising: return previousSeen && level > previous && value >= level;
    case kFalling: return previousSeen && level < previous && value <= level;
    case kAbove: return value > level;
    case kBelow: return value < level;
    default: return false;
    }
}

void CScopeSampler::CheckRecordTriggers(double time, double value, int mode, int sourceId)
{
    CSingleLock lock(&m_recordLock, TRUE);
    switch (m_recordState) {
    case kStartArmed:
        if (m_recordStartTrigger == 1 && sourceId == m_startTrigSourceId) {
            m_startPrevSeen = 0;
            m_stopPrevSeen = 0;
            m_recordState = kWaitStartLevel;
        }
        break;
    case kWaitStartLevel:
        if (m_recordStartTrigger == 1 && sourceId == m_startTrigSourceId) {
            if (Fires(m_startTrigOn, m_startTrigLevel, value, m_startPrevSeen, m_startPrev)) {
                m_recordState = kStartRequested;
                OnRecordRequested();
            }
            m_startPrev = value;
            m_startPrevSeen = 1;
        }
        break;
    case kRecordingNow:
        if (m_recordStopTrigger == 1 && sourceId == m_stopTrigSourceId) {
            if (Fires(m_stopTrigOn, m_stopTrigLevel, value, m_stopPrevSeen, m_stopPrev)) {
                m_recordState = kStopRequested;
                OnRecordRequested();
            }
            m_stopPrev = value;
            m_stopPrevSeen = 1;
        } else if (m_recordStopTrigger == 2 && mode == kRecording && m_recordTime <= time) {
            m_recordState = kStopRequested;
            OnRecordRequested();
        }
        break;
    default: break;
    }
}

void CScopeSampler::OnRecord(bool start)
{
    CSingleLock lock(&m_recordLock, TRUE);
    if (start) {
        if (m_recordState == kRecordIdle) {
            m_recordState = m_recordStartTrigger == 1 ? kStartArmed : kStartRequested;
            if (m_recordState == kStartRequested)
                OnRecordRequested();
            // A level stop compares with values of this recording only.
            m_stopPrevSeen = 0;
        } else if (m_recordStartTrigger == 1) {
            m_recordState = kRecordIdle;
        }
        return;
    }
    CancelRecordRequest();
}

void CScopeSampler::CancelRecordRequest()
{
    CSingleLock lock(&m_recordLock, TRUE);
    if (m_recordState == kWaitStartLevel || m_recordState == kStartRequested)
        m_recordState = kRecordIdle;
    else if (m_recordState == kRecordingNow) {
        m_recordState = kStopRequested;
        OnRecordRequested();
    }
}

int CScopeSampler::TakeRecordRequest()
{
    CSingleLock lock(&m_recordLock, TRUE);
    const int found = m_recordState;
    if (found == kStartRequested)
        m_recordState = kRecordingNow;
    else if (found == kStopRequested)
        m_recordState = kRecordIdle;
    return found;
}

void CScopeSampler::FollowDataClock()
{
    CSingleLock lock(&m_scopeLock, TRUE);
    double rate;
    if (m_scopeMode == kIdle || m_scopeMode == kPlayback || m_latestDataTime == 0.0) {
        rate = 1.0;
    } else if ((m_scopeMode == kMonitoring && m_monitoringState == 1) ||
               (m_scopeMode == kRecording && m_recordingState == 2)) {
        const double clock =
            (m_scopeMode == kMonitoring ? m_displayClock : m_recordingClock).GetElapsedSeconds();
        const double data = m_latestDataTime;
        rate = clock > 0.0 ? data / clock - (clock - data) * 10.0 : 2.0;
        rate = std::isnan(rate) ? 1.0 : std::clamp(rate, 0.0, 2.0);
        m_newData = 0;
    } else {
        return;
    }
    m_displayClock.SetScale(rate);
    m_recordingClock.SetScale(rate);
}

void CScopeSampler::StartMonitorMode()
{
    ClearPlot();
    bool running;
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        m_scopeMode = kMonitoring;
        m_latestDataTime = 0.0;
        m_displayClock.Restart(0.0);
        m_monitoringState = 0;
        m_newData = 0;
        running = m_queriesRunning != 0;
    }
    OnMonitorModeStarted();
    if (!running)
        StartQueries();
}

BOOL CScopeSampler::BeginRecording()
{
    bool running;
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        running = m_queriesRunning != 0;
    }
    if (!running)
        StartQueries();
    WriteSettings();  // the recording carries the scope's own settings
    if (!m_recording.OpenForRecording(&m_settings))
        return FALSE;
    CSingleLock lock(&m_scopeLock, TRUE);
    m_recordingState = 1;
    m_recordingClock.Restart(0.0);
    m_latestDataTime = 0.0;
    m_scopeMode = kRecording;
    return TRUE;
}

BOOL CScopeSampler::StopRecording()
{
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        m_recordingState = 0;
        m_newData = 0;
    }
    m_recordingClock.Pause();
    const BOOL written = m_recording.Close();
    CSingleLock lock(&m_scopeLock, TRUE);
    if (m_displayClockState != 0) {
        m_displayClock.Pause();
        m_displayClockState = 2;
    }
    return written;
}

bool CScopeSampler::TakeError(CAmpResponseToGui& response)
{
    CSingleLock lock(&m_errorLock, TRUE);
    if (m_errors.empty())
        return false;
    response = m_errors.front();
    m_errors.pop_front();
    return true;
}

void CScopeSampler::ClearErrors()
{
    CSingleLock lock(&m_errorLock, TRUE);
    m_errors.clear();
}

std::vector<int> CScopeSampler::GetSourcesOfRegister(int address, int code) const
{
    CSingleLock lock(&m_codeMapLock, TRUE);
    std::vector<int> ids;
    if (CList<int, int>* list = m_codeMap.GetList((address << 16) | code))
        for (int id : *list)
            ids.push_back(id);
    return ids;
}

void CScopeSampler::SetDataFolder(const char* folder)
{
    m_dataFolder = folder;
    if (!m_dataFolder.IsEmpty() && m_dataFolder[m_dataFolder.GetLength() - 1] != '/' &&
        m_dataFolder[m_dataFolder.GetLength() - 1] != '\\')
        m_dataFolder += '/';
    m_recording.SetFolder(m_dataFolder);
}

CString CScopeSampler::ResolveSettingsPath(const char* path)
{
    if (path && *path)
        return path;
    if (m_settingsPath.IsEmpty())
        m_settingsPath = m_dataFolder + kDefaultSettingsName;
    return m_settingsPath;
}

BOOL CScopeSampler::LoadSettings(const char* path)
{
    const bool storeOnly = path && CString(path) == "$$$";
    if (!storeOnly && !m_settings.LoadFile(ResolveSettingsPath(path)))
        return FALSE;
    ReadSettings();
    return TRUE;
}

BOOL CScopeSampler::SaveSettings(const char* path)
{
    WriteSettings();
    if (path && CString(path) == "$$$")
        return TRUE;
    return m_settings.SaveFile(ResolveSettingsPath(path));
}

void CScopeSampler::ReadSettings()
{
    const CDIniFile& s = m_settings;
    s.GetInt("Scope.ShowXLabel", m_showXLabel);
    s.GetInt("Scope.ShowYLabel", m_showYLabel);
    s.GetString("Scope.XLabel", m_xLabel);
    s.GetString("Scope.YLabel", m_yLabel);
    s.GetShort("Scope.PlotMode", m_plotMode);
    s.GetInt("Scope.TimeFormat", m_timeFormat);
    s.GetDouble("Scope.SaveXYPlotMinX", m_saveXYPlotMinX);
    s.GetDouble("Scope.SaveXYPlotMaxX", m_saveXYPlotMaxX);
    s.GetDouble("Scope.SweepRange", m_sweepRange);
    s.GetInt("Scope.TraceTailPoints", m_traceTailPoints);
    s.GetInt("Scope.ShowPlotKey", m_showPlotKey);
    s.GetColor("Scope.PlotBgColor", m_plotBgColor);
    s.GetInt("Scope.GridStyle", m_gridStyle);
    s.GetInt("Scope.RecordStartTrigger", m_recordStartTrigger);
    s.GetInt("Scope.RecordStopTrigger", m_recordStopTrigger);
    s.GetInt("Scope.RecordStartTrigSourceID", m_startTrigSourceId);
    s.GetInt("Scope.RecordStopTrigSourceID", m_stopTrigSourceId);
    s.GetInt("Scope.RecordStartTrigOn", m_startTrigOn);
    s.GetInt("Scope.RecordStopTrigOn", m_stopTrigOn);
    s.GetDouble("Scope.RecordStartTrigLevel", m_startTrigLevel);
    s.GetDouble("Scope.RecordStopTrigLevel", m_stopTrigLevel);
    s.GetDouble("Scope.RecordTime", m_recordTime);
    s.GetInt("Scope.EnaAdvancedRecording", m_enaAdvancedRecording);
    s.GetDouble("Scope.AdvancedRecordingSecs", m_advancedRecordingSecs);
    s.GetDouble("Scope.ScaleMinY", m_scaleMinY);
    s.GetDouble("Scope.ScaleMaxY", m_scaleMaxY);
    s.GetInt("Scope.LastActiveSettingsPage", m_lastActiveSettingsPage);
    m_traces.Load(s);
    m_sources.Load(s);
}

void CScopeSampler::WriteSettings()
{
    CDIniFile& s = m_settings;
    s.SetInt("Scope.ShowXLabel", m_showXLabel);
    s.SetInt("Scope.ShowYLabel", m_showYLabel);
    s.SetString("Scope.XLabel", m_xLabel);
    s.SetString("Scope.YLabel", m_yLabel);
    s.SetShort("Scope.PlotMode", m_plotMode);
    s.SetInt("Scope.TimeFormat", m_timeFormat);
    s.SetDouble("Scope.SaveXYPlotMinX", m_saveXYPlotMinX);
    s.SetDouble("Scope.SaveXYPlotMaxX", m_saveXYPlotMaxX);
    s.SetDouble("Scope.SweepRange", m_sweepRange);
    s.SetInt("Scope.TraceTailPoints", m_traceTailPoints);
    s.SetInt("Scope.ShowPlotKey", m_showPlotKey);
    s.SetInt("Scope.PlotBgColor", static_cast<int>(m_plotBgColor));
    s.SetInt("Scope.GridStyle", m_gridStyle);
    s.SetInt("Scope.RecordStartTrigger", m_recordStartTrigger);
    s.SetInt("Scope.RecordStopTrigger", m_recordStopTrigger);
    s.SetInt("Scope.RecordStartTrigSourceID", m_startTrigSourceId);
    s.SetInt("Scope.RecordStopTrigSourceID", m_stopTrigSourceId);
    s.SetInt("Scope.RecordStartTrigOn", m_startTrigOn);
    s.SetInt("Scope.RecordStopTrigOn", m_stopTrigOn);
    s.SetDouble("Scope.RecordStartTrigLevel", m_startTrigLevel);
    s.SetDouble("Scope.RecordStopTrigLevel", m_stopTrigLevel);
    s.SetDouble("Scope.RecordTime", m_recordTime);
    s.SetInt("Scope.EnaAdvancedRecording", m_enaAdvancedRecording);
    s.SetDouble("Scope.AdvancedRecordingSecs", m_advancedRecordingSecs);
    s.SetDouble("Scope.ScaleMinY", m_scaleMinY);
    s.SetDouble("Scope.ScaleMaxY", m_scaleMaxY);
    s.SetInt("Scope.LastActiveSettingsPage", m_lastActiveSettingsPage);
    m_traces.Save(s);
    m_sources.Save(s);
}

BOOL CScopeSampler::OpenDataFile(const char* path)
{
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        if (m_scopeMode == kRecording)
            return FALSE;
    }
    if (!m_recording.OpenForPlayback(path, &m_settings))
        return FALSE;
    ReadSettings();
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        m_scopeMode = kPlayback;
        m_displayClockState = 0;
    }
    ClearPlot();
    return StartDisplayClock();
}

BOOL CScopeSampler::StartDisplayClock()
{
    if (!m_recording.IsOpen())
        return FALSE;
    CSingleLock lock(&m_scopeLock, TRUE);
    if (m_displayClockState == 0) {
        m_displayClock.Restart(0.0);
        m_displayClockState = 1;
    } else if (m_displayClockState == 2) {
        m_displayClock.Resume();
        m_displayClockState = 1;
    }
    return TRUE;
}

void CScopeSampler::StopPlayback()
{
    {
        CSingleLock lock(&m_scopeLock, TRUE);
        if (m_displayClockState == 0)
            return;
        m_displayClock.Pause();
        m_displayClockState = 0;
    }
    m_recording.Close();
    LoadSettings("");  // a played-back file brought its own settings
}

bool CScopeSampler::DrawFromBuffer(double window, bool& plotted)
{
    plotted = false;
    const double now = m_displayClock.GetElapsedSeconds();
    for (;;) {
        int id = 0;
        double time = 0.0;
        double value = 0.0;
        const int result = m_recording.ReadNext(1, id, time, value);
        if (result == CDataPointBufferedFileArray::kReadPoint) {
            if (time >= now) {
                m_recording.ReadNext(0, id, time, value);
                return false;
            }
            if (time >= now - window) {
                PlotSample(id, time, value);
                plotted = true;
            }
            continue;
        }
        const bool ended = result == CDataPointBufferedFileArray::kReadEnd && !m_recording.IsWriting() &&
                           !m_recording.IsSeekPending();
        if (ended) {
            CSingleLock lock(&m_scopeLock, TRUE);
            m_displayClock.Pause();
            m_displayClockState = 2;
        }
        return ended;
    }
}

void CScopeSampler::SuspendFailingSource(const CAmpResponseToGui& error)
{
    std::vector<int> ids;
    m_sources.Lock();
    for (CScopeSourceData* source : m_sources)
        if (source->AmpAddr == error.m_address && source->GetCommandCode() == error.m_code) {
            source->SuspendQuery = 1;
            ids.push_back(source->SourceID);
        }
    m_sources.Unlock();
    CSingleLock lock(&m_traces.m_lock, TRUE);
    for (int i = 0; i < m_traces.GetSize(); ++i)
        for (int id : ids)
            if (m_traces[i].XSourceID == id || m_traces[i].YSourceID == id)
                m_traces[i].Enabled = 0;
}
