// CScopeSampler: the oscilloscope without its window. It queries the sources as
// block transfers, runs the sampling thread that turns responses into samples,
// keeps the pre-trigger history, feeds the recording buffer and runs the record
// triggers and the clocks. The scope window derives from it and plots.
#pragma once

#include <condition_variable>
#include <list>
#include <mutex>
#include <vector>

#include "DIniFile.h"
#include "DataPointBufferedFileArray.h"
#include "DataPointQueue.h"
#include "ScopeSourceDataList.h"
#include "ScopeTraceDataArray.h"
#include "distribution/AmpResponseToGui.h"
#include "foundation/HPTimer.h"
#include "foundation/MapIntToIntList.h"
#include "platform/core/Mutex.h"

class CDistMngrResponseReceiver;
class CScopeDriveServices;
class CWinThread;

class CScopeSampler {
public:
    enum ScopeMode { kIdle = 0, kMonitoring = 1, kRecording = 2, kPlayback = 3 };
    enum RecordState { kRecordIdle = 0, kStartArmed = 1, kWaitStartLevel = 2, kStartRequested = 3,
                       kRecordingNow = 4, kStopRequested = 5 };
    enum SamplerState { kSamplerStopped = 0, kSamplerStarting = 1, kSamplerRunning = 2, kSamplerStopRequested = 3 };
    enum TriggerOn { kRising = 0, kFalling = 1, kAbove = 2, kBelow = 3 };
    static constexpr int kMaxQueriesPerDrive = 4;

    CScopeSampler(CDistMngrResponseReceiver& receiver, CScopeDriveServices& services);
    virtual ~CScopeSampler();
    CScopeSampler(const CScopeSampler&) = delete;
    CScopeSampler& operator=(const CScopeSampler&) = delete;

    // The factor from a raw drive value to the units of the code; false while it is not known.
    static bool UnitsFactor(CScopeDriveServices& services, int address, int unitsCode, double& factor);

    void StartQueries();
    bool StartSampler();
    // Returns once the sampling thread has ended.
    void StopSampler();
    int GetSamplerState() const;

    // The sampling thread's work on one response (public for tests and benchmarks).
    void HandleResponse(const CAmpResponseToGui& response);
    void StoreSample(int sourceId, int errorCode, double time, LONG rawValue);
    void CheckRecordTriggers(double time, double value, int mode, int sourceId);
    void OnRecord(bool start);
    void CancelRecordRequest();
    // Moves 3 to 4 and 5 to 0 under the record lock; the state it found.
    int TakeRecordRequest();
    void FollowDataClock();

    void StartMonitorMode();
    BOOL BeginRecording();
    // FALSE when the recording could not be written whole.
    BOOL StopRecording();

    // Playback. A data file is read aside: settings, sources and mode change only
    // when the whole file read well. Not while recording.
    BOOL OpenDataFile(const char* path);
    BOOL StartDisplayClock();
    void StopPlayback();
    // Plots the recorded points of the window (T - window, T] at the display clock's
    // time T, reading on from the buffer's cursor; true when a played-back file has
    // no more points, so the window pauses.
    bool DrawFromBuffer(double window, bool& plotted);
    // After an error the user cancelled: no more queries for the failing register,
    // and no trace for it.
    void SuspendFailingSource(const CAmpResponseToGui& error);

    // The source ids fed by one drive register, in the order they are fed.
    std::vector<int> GetSourcesOfRegister(int address, int code) const;

    // The oldest error response for the window, if any.
    bool TakeError(CAmpResponseToGui& response);
    void ClearErrors();

    // The settings file: every key below in its order, then the traces and the
    // sources. "$$$" uses the store alone; an empty path is the current file or
    // the default one in the data folder. Loading returns whether the file was read.
    BOOL LoadSettings(const char* path);
    BOOL SaveSettings(const char* path);
    void ReadSettings();
    void WriteSettings();
    // The folder of the default settings file and of the recording's temporary file.
    void SetDataFolder(const char* folder);
    CString GetSettingsPath() const { return m_settingsPath; }
    void SetSettingsPath(const char* path) { m_settingsPath = path; }
    static constexpr const char* kDefaultSettingsName = "ScopeSettingsV2.dat";

    // Plot appearance and ranges, as the settings file holds them; the window applies them to the plot.
    // A fresh store starts from the plot's own defaults.
    int m_showXLabel = 1;
    int m_showYLabel = 1;
    CString m_xLabel = "X-Axis Label";
    CString m_yLabel = "Y-Axis Label";
    int m_timeFormat = 2;
    double m_saveXYPlotMinX = -100.0;
    double m_saveXYPlotMaxX = 100.0;
    double m_sweepRange = 10.0;
    int m_traceTailPoints = 1000;
    int m_showPlotKey = 0;
    DWORD m_plotBgColor = 0x606020;
    int m_gridStyle = 1;
    double m_scaleMinY = -100.0;
    double m_scaleMaxY = 100.0;
    int m_lastActiveSettingsPage = 0;

    // Settings of the record triggers and the history, as the settings file holds them.
    int m_recordStartTrigger = 0;
    int m_recordStopTrigger = 0;
    int m_startTrigSourceId = -1;
    int m_stopTrigSourceId = -1;
    int m_startTrigOn = kAbove;
    int m_stopTrigOn = kAbove;
    double m_startTrigLevel = 0.0;
    double m_stopTrigLevel = 0.0;
    double m_recordTime = 0.0;
    int m_enaAdvancedRecording = 0;
    double m_advancedRecordingSecs = 5.0;
    short m_plotMode = 1;

    CScopeSourceDataList m_sources;
    CScopeTraceDataArray m_traces;
    CDIniFile m_settings;
    CDataPointQueue m_preTrigger;
    CDataPointBufferedFileArray m_recording;

    CHPTimer m_displayClock;
    CHPTimer m_recordingClock;

    mutable CMutex m_scopeLock;
    int m_scopeMode = kIdle;
    int m_monitoringState = 0;
    int m_recordingState = 0;
    int m_displayClockState = 0;
    double m_latestDataTime = 0.0;
    int m_newData = 0;
    double m_monitorStart = 0.0;
    double m_recordStart = 0.0;
    int m_ignoreSamples = 0;
    int m_queriesRunning = 0;

    mutable CMutex m_recordLock;
    int m_recordState = kRecordIdle;
    int m_startPrevSeen = 0;
    double m_startPrev = 0.0;
    int m_stopPrevSeen = 0;
    double m_stopPrev = 0.0;

protected:
    // Hooks of the window: plot a sample, clear the plot, rescale when auto-scale is locked.
    virtual void PlotSample(int /*sourceId*/, double /*time*/, double /*value*/) {}
    virtual void ClearPlot() {}
    virtual void AutoScaleIfLocked() {}
    // A record start or stop waits for TakeRecordRequest; called on the
    // thread that made it, under the record lock: must not block.
    virtual void OnRecordRequested() {}
    // A monitor sweep starts afresh: nothing of an earlier pause or playback holds it.
    virtual void OnMonitorModeStarted() {}

    CDistMngrResponseReceiver& m_receiver;
    CScopeDriveServices& m_services;

private:
    static UINT SamplingThreadProc(LPVOID param);
    void SamplingLoop();
    void SetSamplerState(int state);
    void StoreMonitored(int sourceId, double time, double value);
    void StoreRecorded(int sourceId, double time, double value);
    void StartRecordingFromHistory(double sampleTime);
    static bool Fires(int condition, double level, double value, int previousSeen, double previous);

    CString ResolveSettingsPath(const char* path);

    CString m_dataFolder;
    CString m_settingsPath;
    mutable CMutex m_codeMapLock;
    CMapIntToIntList m_codeMap;

    CMutex m_errorLock;
    std::list<CAmpResponseToGui> m_errors;

    mutable std::mutex m_samplerLock;
    std::condition_variable m_samplerChanged;
    bool m_responseQueued = false;  // under m_samplerLock; set by the receiver's signal
    int m_samplerState = kSamplerStopped;
    CWinThread* m_samplerThread = nullptr;
};
