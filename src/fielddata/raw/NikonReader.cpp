// The lines of ReadNikonRaw; ConvertRawFile does the files around them.
// Nikon raw data: comma-separated records named by their first field. "ST" sets up a station;
// "F1" and "F2" are face-left and face-right readings of a round; "CP" a control point; "SS" a side
// shot, a detail or control target by its number.
#include <cctype>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "core/numeric/Geometry.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "core/text/Tokenizer.h"
#include "fielddata/raw/RawOutput.h"
#include "fielddata/raw/RawReader.h"
#include "fielddata/raw/RawValues.h"

namespace qef {

namespace {

// The instrument's own layout of F1/F2 has the target height before the distance and the time
// last; the short layout has neither.
constexpr int kFullRoundFields = 7;

bool SameName(std::string_view a, std::string_view b) { return UpperShort(a) == UpperShort(b); }

class NikonReader : public RawReader {
public:
    explicit NikonReader(RawOutput& out) : out_(out), fields_(std::make_unique<FieldArray>()) {}

    std::optional<std::string> Line(std::string_view line, long long lineNumber) override {
        const int count = SplitFields(line, *fields_, SeparatorMode::Comma, true, 10);
        if (count == 0) return std::nullopt;
        for (int i = 1; i <= std::min(count, 16); ++i) (*fields_)[i] = TrimBlanks((*fields_)[i]);
        const FieldArray& f = *fields_;
        const std::string& keyword = f[1];
        bool ok = true;
        if (keyword == "CO" && SaysGons(line))
            return RawLineMessage(lineNumber, line, Vn("file ghi góc bằng gon, chỉ đọc được góc 360 độ phút giây"));
        for (const auto& [at, kind] : AnglesOf(keyword, count)) {
            std::optional<double> angle;
            if (ReadRawAngle(f[at], true, angle))
                if (auto error = AngleOffCircle(angle, kind, lineNumber, line)) return error;
        }
        if ((keyword == "F1" || keyword == "F2" || keyword == "CP" || keyword == "SS") && station_.empty())
            return RawLineMessage(lineNumber, line, BeforeStationText());
        if (keyword == "ST") {
            if (!Station(f)) return BadRawLineMessage(lineNumber, line);
            if (station_.empty()) return RawLineMessage(lineNumber, line, Vn("thiếu tên trạm máy"));
            // A set-up by azimuth alone has no backsight the observation file could name.
            if (backsight_.empty())
                return RawLineMessage(lineNumber, line,
                                      Vn("thiếu tên điểm định hướng của trạm ") + station_ +
                                          Vn(" (trạm định hướng theo phương vị không ghi được vào file góc cạnh)"));
            return std::nullopt;
        }
        else if (keyword == "F1") ok = Round(f, count, Face::Left);
        else if (keyword == "F2") ok = Round(f, count, Face::Right);
        else if (keyword == "CP") ok = Shot(f[3].empty() ? f.Whole(2) : f.Whole(3), f[4], f[5], f[6], f[7], true);
        else if (keyword == "SS") ok = Shot(f.Whole(2), f[3], f[4], f[5], f[6], false);
        if (!ok) return BadRawLineMessage(lineNumber, line);
        return std::nullopt;
    }

private:
    // The header's unit line, e.g. "CO,Angle:Gons Dist:Meters ...": only the word of its angle
    // field counts, never a word of a comment.
    static bool SaysGons(std::string_view line) {
        const std::string upper = UpperShort(line);
        for (std::size_t at = upper.find("ANGLE:"); at != std::string::npos; at = upper.find("ANGLE:", at + 1)) {
            if (at > 0 && std::isalpha(static_cast<unsigned char>(upper[at - 1]))) continue;
            std::size_t from = at + 6;
            while (from < upper.size() && upper[from] == ' ') ++from;
            const std::string_view unit = std::string_view(upper).substr(from);
            return unit.starts_with("GON") || unit.starts_with("GRAD");
        }
        return false;
    }

    // Where a record keeps its angles.
    static std::vector<std::pair<int, AngleKind>> AnglesOf(const std::string& keyword, int count) {
        if (keyword == "ST") return {{7, AngleKind::Horizontal}, {8, AngleKind::Horizontal}};
        if (keyword == "F1" || keyword == "F2") {
            const int first = count >= kFullRoundFields ? 5 : 4;
            return {{first, AngleKind::Horizontal}, {first + 1, AngleKind::Zenith}};
        }
        if (keyword == "CP") return {{6, AngleKind::Horizontal}, {7, AngleKind::Zenith}};
        if (keyword == "SS") return {{5, AngleKind::Horizontal}, {6, AngleKind::Zenith}};
        return {};
    }

    bool Station(const FieldArray& f) {
        std::optional<double> height, backsightCircle;
        if (!ReadRawNumber(f[6], height) || !ReadRawAngle(f[8], true, backsightCircle)) return false;
        station_ = RawName(f[3].empty() ? f.Whole(2) : f.Whole(3));
        backsight_ = RawName(f[5].empty() ? f.Whole(4) : f.Whole(5));
        instrumentHeight_ = height.value_or(0.0);
        // The circle reading stored with the set-up; a later face-left reading of the backsight
        // takes its place when the set-up has none.
        orientation_ = backsightCircle;
        headerWritten_ = false;
        out_.CountStation();
        out_.StationBreak();
        out_.WorkBreak();
        return true;
    }

    // Face left as read, face right turned by 180 degrees: either face orients the station.
    void NoteBacksightReading(std::string_view target, double faceLeftHz) {
        if (!orientation_ && SameName(target, backsight_)) orientation_ = NormalizeDegrees(faceLeftHz);
    }

    bool Round(const FieldArray& f, int count, Face face) {
        const bool full = count >= kFullRoundFields;
        std::optional<double> slope, hz, zenith;
        if (!ReadRawNumber(f[full ? 4 : 3], slope) || !ReadRawAngle(f[full ? 5 : 4], true, hz) ||
            !ReadRawAngle(f[full ? 6 : 5], true, zenith))
            return false;
        if (!hz) return true;
        const std::string target = RawName(f.Whole(2));
        NoteBacksightReading(target, face == Face::Right ? *hz + 180.0 : *hz);
        TargetReading r = Reading(target, *hz);
        if (slope && zenith) {
            r.Elevation = ElevationFromZenith(*zenith);
            r.Hd = *slope * std::cos(DegToRad(r.Elevation));
        }
        out_.Control(r, face);
        return true;
    }

    bool Shot(std::string_view name, std::string_view heightText, std::string_view slopeText,
              std::string_view hzText, std::string_view zenithText, bool controlPoint) {
        std::optional<double> height, slope, hz, zenith;
        if (!ReadRawNumber(heightText, height) || !ReadRawNumber(slopeText, slope) || !ReadRawAngle(hzText, true, hz) ||
            !ReadRawAngle(zenithText, true, zenith))
            return false;
        if (!slope || !zenith || (!hz && !controlPoint)) return true;
        const std::string target = RawName(name);
        if (hz) NoteBacksightReading(target, FaceLeftReading(*hz, *zenith));
        TargetReading r = Reading(target, hz.value_or(0.0));
        r.Seen = IsFaceRight(*zenith) ? Face::Right : Face::Left;
        r.Elevation = ElevationFromZenith(*zenith);
        r.Hd = *slope * std::cos(DegToRad(r.Elevation));
        r.HeightsKnown = true;
        r.TargetHeight = height;
        if (controlPoint) {
            // The backsight's own reading is the orientation, not a direction to reduce.
            out_.Control(r, Face::Unknown, hz && !SameName(target, backsight_));
        } else if (out_.Options().ControlFromNumber >= 0 && out_.IsDetailTarget(target)) {
            // Side shots are details only below the control-from number: without that rule every
            // side shot of this instrument is a control target.
            if (!orientation_) {
                out_.FailWith(NoOrientationText(station_, backsight_));
                return true;
            }
            if (!headerWritten_) {
                out_.DetailHeader(station_, backsight_, instrumentHeight_);
                headerWritten_ = true;
            }
            out_.Detail(r);
        } else {
            out_.Control(r, Face::Unknown);
        }
        return true;
    }

    TargetReading Reading(const std::string& target, double hz) const {
        TargetReading r;
        r.Backsight = backsight_;
        r.Station = station_;
        r.Target = target;
        r.Hz = hz;
        r.Orientation = orientation_.value_or(0.0);
        r.InstrumentHeight = instrumentHeight_;
        return r;
    }

    RawOutput& out_;
    std::unique_ptr<FieldArray> fields_;
    std::string station_;
    std::string backsight_;
    double instrumentHeight_ = 0.0;
    std::optional<double> orientation_;
    bool headerWritten_ = false;
};

}  // namespace

std::unique_ptr<RawReader> MakeNikonReader(RawOutput& out) { return std::make_unique<NikonReader>(out); }

}  // namespace qef
