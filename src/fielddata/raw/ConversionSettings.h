#pragma once
// The options of the raw-data conversion, kept between runs in the settings file "qef.tso": one
// integer a line, in the order of the members below.
#include <cstdint>
#include <string>

#include "core/text/SeparatorMode.h"
#include "fielddata/raw/RawOutput.h"

namespace qef {

enum class AngleForm : std::int32_t { WithPoint = 0, Packed = 1 };   // "180.0101" / "1800101"
enum class DistanceForm : std::int32_t { Metres = 0, Millimetres = 1 };

struct ConversionSettings {
    std::int32_t ConvInstrument = 0;  // item of the instrument list
    bool ConvWithHeights = false;
    bool ConvZenithAngles = true;                  // else elevation angles
    std::int32_t ConvTargetHeightCorrection = 0;   // mm
    bool ConvControlByLetter = false;
    bool ConvControlFromNumberOn = false;
    std::int32_t ConvControlFromNumber = 5000;
    std::int32_t ConvControlDistanceCorrection = 0;  // mm
    std::int32_t ConvDetailDistanceCorrection = 0;   // mm
    SeparatorMode ConvSeparatorMode = SeparatorMode::Tab;  // blank .. fixed width
    std::int32_t FixedFieldWidth = 10;
    AngleForm ConvAngleForm = AngleForm::WithPoint;
    DistanceForm ConvDistanceForm = DistanceForm::Metres;

    bool operator==(const ConversionSettings&) const = default;
};

inline constexpr int kConversionSettingsLines = 13;
inline constexpr const char* kConversionSettingsFile = "qef.tso";

// Reads the file over the defaults: the k-th non-empty line sets the k-th setting; a line that is
// not an integer, or out of its range, keeps the default; lines after the thirteenth are ignored.
// False (defaults kept) when the file cannot be opened.
bool ReadConversionSettings(const std::string& path, ConversionSettings& settings);
// Rewrites the file with the thirteen values; false when it cannot be written.
bool WriteConversionSettings(const std::string& path, const ConversionSettings& settings);

// The run values the readers get: corrections in metres (the target-height correction only with
// heights), the control-from number only when its rule is on.
RawConversionOptions RunOptions(const ConversionSettings& settings);

}  // namespace qef
