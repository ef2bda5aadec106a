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
// reading, so the detail-point computation sees the same orientation from every instrument; a
// detail read on face right is turned by 180 degrees first. Two readings of a detail at a station
// are one pointing only when they follow each other, are on opposite faces and agree within the
// limits below: they are written once, as their mean. Any other reading is written on its own, and
// readings of one name that disagree are named in the done message, since the second face is the
// field check against a blunder. Directions of control targets are written as read: the field book
// pairs the two faces of a set and turns the right one itself.
//
// A record that cannot be written soundly (a point without its name, a distance that is negative or
// beyond any survey, a height missing) stops the run: the first such fault is kept with the line
// it came from, and the conversion writes nothing.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/text/TextFile.h"

namespace qef {

// Two faces of one pointing agree within these; a limit met exactly agrees.
inline constexpr double kFacesDirectionSeconds = 60.0;
inline constexpr double kFacesDistanceMetres = 0.02;
// The files hold millimetres: the same prism height to the millimetre.
inline constexpr double kFacesTargetHeightMetres = 0.0005;
// Disagreements named one by one in the done message; the rest are counted.
inline constexpr std::size_t kDisagreementsNamed = 30;

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
    std::FILE* Work = nullptr;  // a private temporary: the distance records until the end
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
    // The face the zenith reading tells, where the reader has one.
    Face Seen = Face::Unknown;
};

class RawOutput {
public:
    RawOutput(const RawConversionOptions& options, const RawOutputFiles& files);

    const RawConversionOptions& Options() const { return options_; }
    const RawCounts& Counts() const { return counts_; }

    // The download line being read, for the messages of the faults found while writing it.
    void AtLine(long long number, std::string_view line);
    // The first fault, as the message that names its line; none while the run is sound.
    const std::optional<std::string>& Error() const { return error_; }
    // Records a fault of the current line (`what` in UTF-8); false, so that callers can return it.
    bool Fail(std::string_view what);
    // The same with `what` in TCVN3.
    bool FailWith(const std::string& what);
    // False (and a fault) when a name the record needs is empty.
    enum class NameRole { Station, Backsight, Target };
    bool CheckName(std::string_view name, NameRole role);
    // False (and a fault) when a height or vertical is past kLargestMetres.
    bool CheckLength(double metres);
    // After the last line: writes what is still held back.
    void Finish();
    // The names longer than a point name can be, in the order met; they are written cut.
    const std::vector<std::string>& CutNames() const { return cutOrder_; }
    // The detail targets that were not ranged and have no detail line at all, in the order met.
    std::vector<std::string> UnrangedDetails() const;
    // Readings of one detail at one station that disagree (TCVN3), in the order met.
    const std::vector<std::string>& Disagreements() const { return disagreements_; }

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
    // A detail line reduced to the backsight reading; a target that was not ranged is skipped, and
    // named at the end.
    void Detail(const TargetReading& r);

    void Angle(std::string_view backsight, std::string_view station, std::string_view target, double hz, Face face);

private:
    // A detail held until its station ends, so that its other face can join it.
    struct HeldDetail {
        std::string Station, Backsight, Target;
        Face Seen = Face::Unknown;
        // Can still take its other face: not joined with one yet, and no reading of the name since.
        bool Open = true;
        std::optional<double> MeasuredTargetHeight;
        double Direction = 0.0;  // reduced to the backsight, degrees
        double Hd = 0.0;
        bool WithHeights = false;
        double TargetHeight = 0.0;
        double Vertical = 0.0;
    };

    double VerticalOf(const TargetReading& r, double hd) const;
    // A horizontal distance as read: false (and a fault) when it is negative or beyond any survey.
    bool CheckDistance(double hd);
    void FlushDetails();
    HeldDetail* LastReadingOf(std::string_view station, std::string_view backsight, std::string_view target);
    // Empty when the two readings agree; else what differs, for the message.
    std::string Difference(const HeldDetail& a, const HeldDetail& b) const;
    // A name as the files hold it: at most 15 characters.
    std::string_view Fit(std::string_view name);

    RawConversionOptions options_;
    RawOutputFiles files_;
    RawCounts counts_;
    std::string line_;
    long long lineNumber_ = 0;
    std::string lineText_;
    std::optional<std::string> error_;
    std::vector<HeldDetail> held_;
    std::unordered_set<std::string> cutNames_;
    std::vector<std::string> cutOrder_;
    // Each name as written (15 characters) and the whole name it came from.
    std::unordered_map<std::string, std::string> fittedFrom_;
    std::unordered_set<std::string> unrangedNames_;
    std::vector<std::string> unrangedOrder_;
    std::unordered_set<std::string> writtenDetails_;
    std::vector<std::string> disagreements_;
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
// Trimmed; the output cuts it to a point name's 15 characters.
std::string RawName(std::string_view text);

}  // namespace qef
