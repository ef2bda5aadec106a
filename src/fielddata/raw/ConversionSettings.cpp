#include "fielddata/raw/ConversionSettings.h"

#include <charconv>
#include <limits>
#include <optional>

#include "core/text/AtomicFile.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "fielddata/raw/RawConversion.h"

namespace qef {

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

std::int32_t LastInstrument() { return static_cast<std::int32_t>(RawInstruments().size()) - 1; }

std::optional<std::int32_t> ParseInt(std::string_view text, std::int32_t low, std::int32_t high) {
    std::int32_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
    return value;
}

void SetFlag(bool& flag, std::optional<std::int32_t> v) {
    if (v) flag = *v == 1;
}
void SetInt(std::int32_t& target, std::optional<std::int32_t> v) {
    if (v) target = *v;
}

}  // namespace

bool ReadConversionSettings(const std::string& path, ConversionSettings& s) {
    LineReader reader(path);
    if (!reader.IsOpen()) return false;
    std::string line;
    int entry = 0;
    while (entry < kConversionSettingsLines && reader.Next(line)) {
        const std::string text = TrimBlanks(line);
        if (text.empty()) continue;
        ++entry;
        auto in = [&text](std::int32_t low, std::int32_t high) { return ParseInt(text, low, high); };
        switch (entry) {
            case 1: SetInt(s.ConvInstrument, in(0, LastInstrument())); break;
            case 2: SetFlag(s.ConvWithHeights, in(0, 1)); break;
            case 3: SetFlag(s.ConvZenithAngles, in(0, 1)); break;
            case 4: SetInt(s.ConvTargetHeightCorrection, in(0, kMax)); break;
            case 5: SetFlag(s.ConvControlByLetter, in(0, 1)); break;
            case 6: SetFlag(s.ConvControlFromNumberOn, in(0, 1)); break;
            case 7: SetInt(s.ConvControlFromNumber, in(0, kMax)); break;
            case 8: SetInt(s.ConvControlDistanceCorrection, in(0, kMax)); break;
            case 9: SetInt(s.ConvDetailDistanceCorrection, in(0, kMax)); break;
            case 10:
                if (auto v = in(0, 4)) s.ConvSeparatorMode = static_cast<SeparatorMode>(*v);
                break;
            case 11: SetInt(s.FixedFieldWidth, in(1, kMax)); break;
            case 12:
                if (auto v = in(0, 1)) s.ConvAngleForm = static_cast<AngleForm>(*v);
                break;
            case 13:
                if (auto v = in(0, 1)) s.ConvDistanceForm = static_cast<DistanceForm>(*v);
                break;
            default: break;
        }
    }
    return true;
}

bool WriteConversionSettings(const std::string& path, const ConversionSettings& s) {
    const std::int32_t values[kConversionSettingsLines] = {
        s.ConvInstrument,
        s.ConvWithHeights ? 1 : 0,
        s.ConvZenithAngles ? 1 : 0,
        s.ConvTargetHeightCorrection,
        s.ConvControlByLetter ? 1 : 0,
        s.ConvControlFromNumberOn ? 1 : 0,
        s.ConvControlFromNumber,
        s.ConvControlDistanceCorrection,
        s.ConvDetailDistanceCorrection,
        static_cast<std::int32_t>(s.ConvSeparatorMode),
        s.FixedFieldWidth,
        static_cast<std::int32_t>(s.ConvAngleForm),
        static_cast<std::int32_t>(s.ConvDistanceForm),
    };
    std::vector<std::string> lines;
    for (std::int32_t v : values) lines.push_back(std::to_string(v));
    return WriteLinesAtomically(path, lines);
}

RawConversionOptions RunOptions(const ConversionSettings& s) {
    RawConversionOptions o;
    o.WithHeights = s.ConvWithHeights;
    o.TargetHeightCorrection = s.ConvWithHeights ? s.ConvTargetHeightCorrection / 1000.0 : 0.0;
    o.ControlFromNumber = s.ConvControlFromNumberOn ? s.ConvControlFromNumber : -1;
    o.ControlDistanceCorrection = s.ConvControlDistanceCorrection / 1000.0;
    o.DetailDistanceCorrection = s.ConvDetailDistanceCorrection / 1000.0;
    return o;
}

}  // namespace qef
