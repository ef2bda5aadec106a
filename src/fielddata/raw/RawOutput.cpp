#include "fielddata/raw/RawOutput.h"

#include <charconv>
#include <cmath>

#include "core/numeric/Geometry.h"
#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextHelpers.h"

namespace qef {

namespace {

constexpr double kFullCircleSeconds = 360.0 * 3600.0;
constexpr std::string_view kLeftMark = "\t\t//T";
constexpr std::string_view kRightMark = "\t\t//D";

std::string_view MarkOf(Face face) {
    switch (face) {
        case Face::Left: return kLeftMark;
        case Face::Right: return kRightMark;
        case Face::Unknown: break;
    }
    return {};
}

void Put(TextFileWriter* file, const std::string& line) {
    if (file != nullptr) file->WriteLine(line);
}

}  // namespace

double ElevationFromZenith(double zenithDegrees) {
    return zenithDegrees < 180.0 ? 90.0 - zenithDegrees : zenithDegrees - 270.0;
}

double NormalizeDegrees(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d < 0) d += 360.0;
    return d >= 360.0 ? 0.0 : d;
}

std::string DirectionText(double degrees) {
    // Whole seconds first, so that 359°59'59.9" is written as 0°00'00" and never as 360.
    double seconds = std::nearbyint(DegreesToSeconds(degrees));
    seconds = std::fmod(seconds, kFullCircleSeconds);
    if (seconds < 0) seconds += kFullCircleSeconds;
    return TrimBlanks(FormatDms(0, ".", SecondsToDegrees(seconds)));
}

std::string LengthText(double metres) { return TrimBlanks(FormatFixed(metres, 0, 3)); }

std::string RawName(std::string_view text) {
    std::string name = TrimBlanks(text);
    if (name.size() > kPointNameMax) name.resize(kPointNameMax);
    return name;
}

RawOutput::RawOutput(const RawConversionOptions& options, const RawOutputFiles& files)
    : options_(options), files_(files) {
    if (!options_.WithHeights) {
        files_.StationHeights = nullptr;
        files_.StationHeightsDt = nullptr;
        files_.DetailHeights = nullptr;
    }
}

void RawOutput::StationBreak() { Put(files_.Observations, {}); }

void RawOutput::WorkBreak() { Put(files_.Work, {}); }

void RawOutput::DetailHeader(std::string_view station, std::string_view backsight,
                             std::optional<double> instrumentHeight) {
    line_.assign("\t").append(station).append("\t").append(backsight);
    Put(files_.Detail, line_);
    if (instrumentHeight) {
        line_.append("\t").append(LengthText(*instrumentHeight));
        Put(files_.DetailHeights, line_);
    }
}

bool RawOutput::IsDetailTarget(std::string_view name) const {
    if (name.empty() || name.size() > 18) return false;
    long long number = 0;
    auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (ec != std::errc() || end != name.data() + name.size() || name.front() == '-') return false;
    return options_.ControlFromNumber < 0 || number < options_.ControlFromNumber;
}

void RawOutput::Angle(std::string_view backsight, std::string_view station, std::string_view target, double hz,
                      Face face) {
    line_.assign(backsight).append("\t").append(station).append("\t").append(target).append("\t");
    line_.append(DirectionText(hz)).append(MarkOf(face));
    Put(files_.Observations, line_);
    ++counts_.AngleRecords;
}

double RawOutput::VerticalOf(const TargetReading& r, double hd) const {
    if (r.VerticalGiven) return *r.VerticalGiven;
    return std::tan(DegToRad(r.Elevation)) * hd;
}

void RawOutput::Control(const TargetReading& r, Face face, bool writeAngle) {
    if (writeAngle) Angle(r.Backsight, r.Station, r.Target, r.Hz, face);
    if (!r.Hd || !(*r.Hd > 0.0)) return;
    const double hd = *r.Hd + options_.ControlDistanceCorrection;
    const std::string hdText = LengthText(hd);
    line_.assign(r.Station).append("\t").append(r.Target).append("\t").append(hdText).append(MarkOf(face));
    Put(files_.Work, line_);
    ++counts_.DistanceRecords;
    if (!options_.WithHeights || !r.HeightsKnown || !r.TargetHeight) return;
    const double vertical = VerticalOf(r, hd);
    const double targetHeight = *r.TargetHeight + options_.TargetHeightCorrection;
    const double dh = r.InstrumentHeight + vertical - targetHeight;
    line_.assign(r.Station).append("\t").append(r.Target).append("\t").append(hdText);
    const std::size_t common = line_.size();
    line_.append("\t").append(LengthText(dh));
    Put(files_.StationHeights, line_);
    line_.resize(common);
    line_.append("\t").append(LengthText(vertical)).append("\t").append(LengthText(r.InstrumentHeight));
    line_.append("\t").append(LengthText(targetHeight));
    Put(files_.StationHeightsDt, line_);
}

void RawOutput::Detail(const TargetReading& r) {
    if (!r.Hd || !(*r.Hd > 0.0)) return;
    const double hd = *r.Hd + options_.DetailDistanceCorrection;
    line_.assign(r.Target).append("\t").append(DirectionText(NormalizeDegrees(r.Hz - r.Orientation)));
    line_.append("\t").append(LengthText(hd));
    Put(files_.Detail, line_);
    ++counts_.DetailRecords;
    if (!options_.WithHeights || !r.HeightsKnown) return;
    const double targetHeight = r.TargetHeight.value_or(0.0) + options_.TargetHeightCorrection;
    line_.append("\t").append(LengthText(targetHeight)).append("\t").append(LengthText(VerticalOf(r, hd)));
    Put(files_.DetailHeights, line_);
}

}  // namespace qef
