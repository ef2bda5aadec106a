// The lines of ReadTopconGts; ConvertRawFile does the files around them.
// Topcon GTS: a keyword, a blank, then comma-separated values. "STN" sets up a station, "BS"
// names the backsight and "SS" a side shot; "HD" (Hz, horizontal distance, vertical component) and
// "SD" (Hz, V, slope distance) are the measurements of the target named last.
#include <cmath>
#include <string>

#include "core/numeric/Geometry.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "core/text/Tokenizer.h"
#include "fielddata/raw/RawOutput.h"
#include "fielddata/raw/RawReader.h"
#include "fielddata/raw/RawValues.h"

namespace qef {

namespace {

class TopconReader : public RawReader {
public:
    explicit TopconReader(RawOutput& out) : out_(out), fields_(std::make_unique<FieldArray>()) {}

    std::optional<std::string> Line(std::string_view line, long long lineNumber) override {
        const std::string text = CollapseBlanks(line);
        if (text.empty()) return std::nullopt;
        const std::size_t blank = text.find(' ');
        const std::string keyword = text.substr(0, blank);
        const std::string rest = blank == std::string::npos ? std::string() : text.substr(blank + 1);
        const int count = SplitFields(rest, *fields_, SeparatorMode::Comma, true, 10);
        for (int i = 1; i <= std::min(count, 16); ++i) (*fields_)[i] = TrimBlanks((*fields_)[i]);
        const FieldArray& f = *fields_;
        std::optional<double> a, b, c;
        const bool known = keyword == "STN" || keyword == "BS" || keyword == "SS" || keyword == "HD" || keyword == "SD";
        if (known && keyword != "STN" && station_.empty()) return RawLineMessage(lineNumber, line, BeforeStationText());
        if (keyword == "STN" || keyword == "BS" || keyword == "SS") {
            // A height is refused at the line that gives it, not at the measurement that uses it.
            std::optional<double> height;
            if (ReadRawNumber(f[2], height) && height && out_.Options().WithHeights && !out_.CheckLength(*height))
                return out_.Error();
        }
        if (keyword == "HD" || keyword == "SD") {
            std::optional<double> angle;
            if (ReadRawAngle(f[1], true, angle))
                if (auto error = AngleOffCircle(angle, AngleKind::Horizontal, lineNumber, line)) return error;
            if (keyword == "SD" && ReadRawAngle(f[2], true, angle))
                if (auto error = AngleOffCircle(angle, AngleKind::Zenith, lineNumber, line)) return error;
        }
        if (keyword == "SS" && !oriented_)
            return RawLineMessage(lineNumber, line, NoOrientationText(station_, backsight_));
        if (keyword == "STN") {
            if (!ReadRawNumber(f[2], a)) return BadRawLineMessage(lineNumber, line);
            station_ = RawName(f.Whole(1));
            if (station_.empty()) return RawLineMessage(lineNumber, line, Vn("thiếu tên trạm máy"));
            instrumentHeight_ = a.value_or(0.0);
            sideShot_ = false;
            oriented_ = false;
            backsight_.clear();
            out_.CountStation();
        } else if (keyword == "BS" || keyword == "SS") {
            if (!ReadRawNumber(f[2], a)) return BadRawLineMessage(lineNumber, line);
            target_ = RawName(f.Whole(1));
            if (target_.empty())
                return RawLineMessage(lineNumber, line,
                                      Vn(keyword == "BS" ? "thiếu tên điểm định hướng" : "thiếu tên điểm ngắm"));
            targetHeight_ = a;
            sideShot_ = keyword == "SS";
            if (!sideShot_) backsight_ = target_;
        } else if (keyword == "HD") {
            if (!ReadRawAngle(f[1], true, a) || !a || !ReadRawNumber(f[2], b) || !ReadRawNumber(f[3], c))
                return BadRawLineMessage(lineNumber, line);
            TargetReading r = Reading(*a);
            r.Hd = b;
            r.VerticalGiven = c.value_or(0.0);
            Measurement(r);
        } else if (keyword == "SD") {
            if (!ReadRawAngle(f[1], true, a) || !a || !ReadRawAngle(f[2], true, b) || !b || !ReadRawNumber(f[3], c))
                return BadRawLineMessage(lineNumber, line);
            TargetReading r = Reading(*a);
            r.Elevation = ElevationFromZenith(*b);
            r.Seen = IsFaceRight(*b) ? Face::Right : Face::Left;
            if (c) r.Hd = *c * std::cos(DegToRad(r.Elevation));
            Measurement(r);
        }
        return std::nullopt;
    }

private:
    TargetReading Reading(double hz) const {
        TargetReading r;
        r.Backsight = backsight_;
        r.Station = station_;
        r.Target = target_;
        r.Hz = hz;
        r.Orientation = orientation_;
        r.HeightsKnown = true;
        r.InstrumentHeight = instrumentHeight_;
        r.TargetHeight = targetHeight_;
        return r;
    }

    void Measurement(TargetReading& r) {
        if (!sideShot_) {
            // The backsight: its reading orients the details of the station.
            orientation_ = r.Seen == Face::Right ? NormalizeDegrees(r.Hz + 180.0) : r.Hz;
            oriented_ = true;
            r.Orientation = orientation_;
            out_.Control(r, Face::Unknown);
            out_.DetailHeader(station_, backsight_, instrumentHeight_);
            out_.StationBreak();
        } else if (out_.IsDetailTarget(target_)) {
            out_.Detail(r);
        } else {
            out_.Control(r, Face::Unknown);
        }
    }

    RawOutput& out_;
    std::unique_ptr<FieldArray> fields_;
    std::string station_;
    std::string backsight_;
    std::string target_;
    double instrumentHeight_ = 0.0;
    std::optional<double> targetHeight_;
    double orientation_ = 0.0;
    bool sideShot_ = false;
    bool oriented_ = false;
};

}  // namespace

std::unique_ptr<RawReader> MakeTopconReader(RawOutput& out) { return std::make_unique<TopconReader>(out); }

}  // namespace qef
