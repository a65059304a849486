#include "setup/tuning/TuningSettings.h"

#include <cmath>
#include <cstdlib>

#include "platform/core/IniFile.h"

namespace {

const char* const kSection = "TUNING";

CString ReadText(const CString& path, const char* key, const char* fallback)
{
    char buffer[256] = {};
    GetPrivateProfileString(kSection, key, fallback, buffer, sizeof buffer, path);
    return buffer;
}

double ReadReal(const CString& path, const char* key, const char* fallback)
{
    const double value = std::atof(ReadText(path, key, fallback));
    return std::isfinite(value) ? value : std::atof(fallback);
}

int ReadInt(const CString& path, const char* key, const char* fallback)
{
    return std::atoi(ReadText(path, key, fallback));
}

double Seconds(const CString& path, const char* key, const char* fallback)
{
    const double value = ReadReal(path, key, fallback);
    return value >= kTuningMinSeconds && value <= kTuningMaxSeconds ? value : std::atof(fallback);
}

bool WriteReal(const CString& path, const char* key, double value)
{
    CString text;
    text.Format("%f", value);
    return WritePrivateProfileString(kSection, key, text, path) != 0;
}

bool WriteInt(const CString& path, const char* key, int value)
{
    CString text;
    text.Format("%d", value);
    return WritePrivateProfileString(kSection, key, text, path) != 0;
}

}  // namespace

void StepResponseRecord::Read(const CString& path)
{
    BaseCurrent = ReadReal(path, "SR_Base_Current", "0");
    TargetCurrent = ReadReal(path, "SR_Target_Current", "5");
    BaseVelocity = ReadReal(path, "SR_Base_Velocity", "0");
    TargetVelocity = ReadReal(path, "SR_Target_Velocity", "200");
    BasePosition = ReadReal(path, "SR_Base_Position", "0");
    TargetPosition = ReadReal(path, "SR_Target_Position", "200");
    Duration = Seconds(path, "SR_Duration", "0.5");
    Dwell = Seconds(path, "SR_Inter_Step_Dwell", "0.1");
    RiseSlewRate = ReadReal(path, "SR_Rise_Slew_Rate", "1");
    StepsPerTest = ReadInt(path, "SR_Steps_Per_Test", "1");
    if (StepsPerTest < 1 || StepsPerTest > kTuningMaxSteps)
        StepsPerTest = 1;
    Direction = ReadInt(path, "SR_Test_Direction", "1");
    if (Direction < -1 || Direction > 1)
        Direction = 1;
    TestMode = ReadInt(path, "SR_Mode", "0") == 1 ? 1 : 0;
    VelocityConversion = ReadReal(path, "RT_Velocity_Conversion", "1");
    CurrentConversion = ReadReal(path, "RT_Current_Conversion", "1");
}

bool StepResponseRecord::Write(const CString& path) const
{
    bool ok = WriteReal(path, "SR_Base_Current", BaseCurrent);
    ok = WriteReal(path, "SR_Target_Current", TargetCurrent) && ok;
    ok = WriteReal(path, "SR_Base_Velocity", BaseVelocity) && ok;
    ok = WriteReal(path, "SR_Target_Velocity", TargetVelocity) && ok;
    ok = WriteReal(path, "SR_Base_Position", BasePosition) && ok;
    ok = WriteReal(path, "SR_Target_Position", TargetPosition) && ok;
    ok = WriteReal(path, "SR_Duration", Duration) && ok;
    ok = WriteInt(path, "SR_Steps_Per_Test", StepsPerTest) && ok;
    ok = WriteInt(path, "SR_Test_Direction", Direction) && ok;
    ok = WriteReal(path, "SR_Inter_Step_Dwell", Dwell) && ok;
    ok = WriteInt(path, "SR_Mode", TestMode) && ok;
    return ok;
}

TuningStepSettings StepResponseRecord::Settings() const
{
    TuningStepSettings settings;
    settings.Duration = Duration;
    settings.Dwell = Dwell;
    settings.StepsPerTest = StepsPerTest;
    settings.Direction = Direction;
    settings.TestMode = TestMode;
    return settings;
}
