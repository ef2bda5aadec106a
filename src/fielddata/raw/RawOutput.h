#pragma once
// The files every raw reader writes, in the same forms whatever the instrument:
//   raw observation file  backsight TAB station TAB target TAB direction [TAB TAB //T or //D]
//   work file             station TAB target TAB HD [TAB TAB //T or //D]   (appended to the above)
//   detail file           TAB station TAB backsight, then target TAB angle TAB HD
//   with heights:
//     station heights     station TAB target TAB HD TAB dh
//     its "DT" twin       station TAB target TAB HD TAB vertical TAB instrument height TAB target height
//     detail with heights TAB station TAB backsight TAB instrument height,
//                         then target TAB angle TAB HD TAB target height TAB vertical
// Directions are D.MMSS with whole seconds, lengths metres with three decimals, all written trimmed
// (a leading blank would split a TAB line differently). Detail angles are reduced to the backsight
// reading, so the detail-point computation sees the same orientation from every instrument.
#include <optional>
#include <string>
#include <string_view>

#include "core/text/TextFile.h"

namespace qef {

// The run values the readers work with, prepared from the conversion settings.
struct RawConversionOptions {
    bool WithHeights = false;
    double TargetHeightCorrection = 0.0;     // metres; 0 without heights
    long long ControlFromNumber = -1;        // -1: the control-from rule is off
    double ControlDistanceCorrection = 0.0;  // metres
    double DetailDistanceCorrection = 0.0;   // metres
};

// Which face a reading was taken on, where the instrument tells.
enum class Face { Unknown, Left, Right };

struct RawCounts {
    long long Stations = 0;
    long long AngleRecords = 0;
    long long DistanceRecords = 0;
    long long DetailRecords = 0;

    bool Nothing() const { return AngleRecords == 0 && DistanceRecords == 0 && DetailRecords == 0; }
};

// Where each output goes; the height files are null without heights.
struct RawOutputFiles {
    TextFileWriter* Observations = nullptr;
    TextFileWriter* Work = nullptr;
    TextFileWriter* Detail = nullptr;
    TextFileWriter* StationHeights = nullptr;
    TextFileWriter* StationHeightsDt = nullptr;
    TextFileWriter* DetailHeights = nullptr;
};

// One observed target as a reader understood it.
struct TargetReading {
    std::string_view Backsight;
    std::string_view Station;
    std::string_view Target;
    double Hz = 0.0;           // degrees
    double Orientation = 0.0;  // the station's reading on its backsight, degrees
    // Measured horizontal distance; none (or not above 0) when the target was not ranged.
    std::optional<double> Hd;
    // Elevation angle in degrees, or the vertical component as the instrument gave it.
    double Elevation = 0.0;
    std::optional<double> VerticalGiven;
    // Heights take part only when the format carries them.
    bool HeightsKnown = false;
    double InstrumentHeight = 0.0;
    std::optional<double> TargetHeight;  // as measured, without the correction
};

class RawOutput {
public:
    RawOutput(const RawConversionOptions& options, const RawOutputFiles& files);

    const RawConversionOptions& Options() const { return options_; }
    const RawCounts& Counts() const { return counts_; }

    void CountStation() { ++counts_.Stations; }
    // An empty line in the raw observation file / in the work file.
    void StationBreak();
    void WorkBreak();
    // The detail header; with heights and a known instrument height also that of the detail file
    // with heights.
    void DetailHeader(std::string_view station, std::string_view backsight, std::optional<double> instrumentHeight);

    // A numbered target below the control-from number (any number with the rule off); names with
    // letters or a decimal point are control targets.
    bool IsDetailTarget(std::string_view name) const;

    // Angle record, and when ranged the distance record and, with heights, the two height lines.
    void Control(const TargetReading& r, Face face, bool writeAngle = true);
    // A detail line reduced to the backsight reading; a target that was not ranged is skipped.
    void Detail(const TargetReading& r);

    void Angle(std::string_view backsight, std::string_view station, std::string_view target, double hz, Face face);

private:
    double VerticalOf(const TargetReading& r, double hd) const;

    RawConversionOptions options_;
    RawOutputFiles files_;
    RawCounts counts_;
    std::string line_;
};

// Zenith reading to elevation: 90 - V on face left, V - 270 on face right, so that both faces
// of one target give the same elevation.
double ElevationFromZenith(double zenithDegrees);
// Into [0, 360).
double NormalizeDegrees(double degrees);
// D.MMSS with whole seconds, trimmed.
std::string DirectionText(double degrees);
// Three decimals, trimmed.
std::string LengthText(double metres);
// Up to 15 characters.
std::string RawName(std::string_view text);

}  // namespace qef
