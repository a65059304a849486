#include "setup/motor/ModelInfoCalc.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
constexpr double kCurrentScale = 3276700.0;
constexpr double kThermalScale = 3276.8;
constexpr double kBusScale = 32767.0;

CString TrimmedRight(const char* text)
{
    CString piece = text;
    piece.TrimRight();
    return piece;
}
}  // namespace

CString CModelInfoCalc::BoardText(long word)
{
    CString text;
    text.Format("%03u", static_cast<unsigned>(word & 0x3FF));
    if (word & 0x3FC00)
        text += static_cast<char>(64 + ((word >> 10) & 0xFF));
    return text;
}

// Pieces of at most 18 characters ending at a line end; a line cut into
// pieces gives no empty entry for the line end that follows a full piece.
std::vector<CString> CModelInfoCalc::ReadModelList(const char* path)
{
    std::vector<CString> list;
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path, "rb"), &std::fclose);
    if (!file)
        return list;
    char buffer[kPieceLength + 1];
    bool lastWasFull = false;
    while (list.size() < static_cast<size_t>(kMaxModels) && std::fgets(buffer, sizeof buffer, file.get())) {
        const size_t length = std::strlen(buffer);
        const bool endsLine = length > 0 && buffer[length - 1] == '\n';
        const bool onlyLineEnd = std::strspn(buffer, "\r\n") == length;
        if (!(lastWasFull && onlyLineEnd))
            list.push_back(TrimmedRight(buffer));
        lastWasFull = !endsLine && length == static_cast<size_t>(kPieceLength);
    }
    return list;
}

bool CModelInfoCalc::IsUndefined(const std::vector<CString>& list, int index)
{
    return index >= 0 && index < static_cast<int>(list.size()) && index < kMaxModels && list[index] == "undefined";
}

std::optional<int> CModelInfoCalc::ModelFromList(const std::vector<CString>& list, int index)
{
    if (index < 0 || index >= kMaxModels || index >= static_cast<int>(list.size()))
        return 0;
    const CString& text = list[static_cast<size_t>(index)];
    if (text == "undefined")
        return std::nullopt;
    if (text.Find('(') >= 0)
        return ModelInfoProducts::kReservedModel;
    return static_cast<int>(std::strtol(text.GetString(), nullptr, 10));
}

int CModelInfoCalc::ListIndexForModel(const std::vector<CString>& list, int model, int cs)
{
    CString wanted;
    if (model == ModelInfoProducts::kReservedModel && cs <= kThermalSplitCs)
        wanted = ModelInfoProducts::kReservedListText;
    else
        wanted.Format("%d", model);
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == wanted)
            return static_cast<int>(i);
    return -1;
}

long CModelInfoCalc::FeedbackWord(double feedbackEntry) { return static_cast<long>(std::trunc(feedbackEntry * 100.0)); }

std::optional<long> CModelInfoCalc::CurrentToDrive(double amps, long feedback)
{
    if (feedback == 0)
        return std::nullopt;
    return static_cast<long>(std::trunc(amps * kCurrentScale / static_cast<double>(feedback) + 0.5));
}

std::optional<long> CModelInfoCalc::ThermalToDrive(double timeConstant)
{
    if (!(timeConstant > 0.5))
        return std::nullopt;
    return static_cast<long>(std::trunc(kThermalScale / (timeConstant - 0.5)));
}

std::optional<long> CModelInfoCalc::ThermalTimeConstant(long thermal)
{
    if (thermal == 0)
        return std::nullopt;
    return static_cast<long>(std::trunc(kThermalScale / static_cast<double>(thermal) + 0.5));
}

std::optional<double> CModelInfoCalc::BusVolts(double raw, double scale)
{
    if (scale == 0)
        return std::nullopt;
    return raw * scale / kBusScale;
}

std::optional<double> CModelInfoCalc::BusVoltsToRaw(double volts, double scale)
{
    if (scale == 0)
        return std::nullopt;
    return volts * kBusScale / scale;
}
