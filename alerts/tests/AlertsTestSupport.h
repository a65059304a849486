// What the alert tests share: a host that records the status bar, beeps and
// boxes, a set local clock, and a manager whose popups a test answers.
#pragma once

#include <string>
#include <vector>

#include "alerts/FaultManager.h"
#include "alerts/FaultManagerHost.h"

struct RecordingHost : CFaultManagerHost {
    void SetStatusText(const CString& text) override { status.push_back(std::string(text)); }
    void Beep() override { ++beeps; }
    int MessageBox(const CString& text, UINT) override
    {
        boxes.push_back(std::string(text));
        return IDOK;
    }
    std::string LastStatus() const { return status.empty() ? std::string() : status.back(); }

    std::vector<std::string> status;
    std::vector<std::string> boxes;
    int beeps = 0;
};

struct Popup {
    int level;
    std::string text;
    int suppressPreset;
};

// A manager on a fixed clock (12:34:56.789) with a recording host; popups are
// recorded and answered with `popupAnswer`.
struct AlertsFixture {
    AlertsFixture()
    {
        SYSTEMTIME time{};
        time.wYear = 2026;
        time.wMonth = 12;
        time.wDay = 10;
        time.wHour = 12;
        time.wMinute = 34;
        time.wSecond = 56;
        time.wMilliseconds = 789;
        kvtest::SetLocalTime(&time);
        manager.SetHost(&host);
        manager.SetPopupAnswerer([this](int level, const CString& text, int suppress) {
            popups.push_back({level, std::string(text), suppress});
            if (onPopup)
                onPopup();
            return suppress ? 1 : popupAnswer;
        });
        manager.Reset();
    }
    ~AlertsFixture() { kvtest::SetLocalTime(nullptr); }

    void Post(const char* key, int level, int flags, const char* text = nullptr)
    {
        manager.PostFault(key, text ? text : key, level, flags);
    }

    RecordingHost host;
    CFaultManager manager;
    std::vector<Popup> popups;
    int popupAnswer = 0;
    std::function<void()> onPopup;
};
