// The model information arithmetic: board revision texts, the model list of
// "ModelNumber.ini" and the model number it gives, the current and thermal
// values as the drive holds them and the bus voltage scaling.
#pragma once

#include <optional>
#include <vector>

#include "platform/core/String.h"

// Product constants of the drive maker, kept together.
struct ModelInfoProducts {
    static constexpr int kReservedModel = 9999;                   // the one model listed by its text
    static constexpr const char* kReservedListText = "Custom (9999)";
    static constexpr int kModelWithoutBus = 150;                  // no bus voltage settings
    static constexpr int kFirstDacOffsetModel = 600;              // models with DAC offsets
    static constexpr int kLastDacOffsetModel = 699;
    static bool HasDacOffsets(int model) { return model >= kFirstDacOffsetModel && model <= kLastDacOffsetModel; }
    static bool HasBusSettings(int model) { return model != kModelWithoutBus; }
};

class CModelInfoCalc {
public:
    static constexpr int kMaxModels = 50;
    static constexpr int kPieceLength = 18;
    static constexpr int kThermalSplitCs = 15;  // above it the thermal value lives in sub 22

    // "005A" for 0x0405: the revision number and its letter.
    static CString BoardText(long word);

    // The list's entries, at most kMaxModels; a missing file gives none.
    static std::vector<CString> ReadModelList(const char* path);
    // The model number of a list entry: none for "undefined" (the caller
    // keeps its number and says so), 0 without an entry.
    static std::optional<int> ModelFromList(const std::vector<CString>& list, int index);
    static bool IsUndefined(const std::vector<CString>& list, int index);
    // The index of the entry for a model number, -1 when none matches.
    static int ListIndexForModel(const std::vector<CString>& list, int model, int cs);

    static int ThermalSubIndex(int cs) { return cs > kThermalSplitCs ? 22 : 11; }
    static bool ShowsThermalRow(int cs) { return cs == 9 || cs >= 16; }
    static const char* FeedbackLabel(int cs) { return cs < 16 ? "I feedback A/V:" : "I full scale A:"; }

    // The drive's current value for `amps` with F = working I feedback x 100;
    // none while F is 0.
    static std::optional<long> CurrentToDrive(double amps, long feedback);
    // The feedback entry x 100 as it becomes F.
    static long FeedbackWord(double feedbackEntry);
    // The thermal value T for an entered time constant; none for 0.5 or less.
    static std::optional<long> ThermalToDrive(double timeConstant);
    static std::optional<long> ThermalTimeConstant(long thermal);

    // Bus voltages: volts = raw x S / 32767 and back; none without a scale.
    static std::optional<double> BusVolts(double raw, double scale);
    static std::optional<double> BusVoltsToRaw(double volts, double scale);
};
