// The lines of ReadGeodimeter; ConvertRawFile does the files around them.
// Geodimeter: one "label=value" a line. "2=" starts a station, "62=" names its backsight and
// "21=" gives the reading on it; "5=" names a target, "7=", "8=", "9=" are its Hz, V and slope
// distance; "0=" ends a record.
#include <cmath>
#include <string>

#include "core/numeric/Geometry.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "fielddata/raw/RawOutput.h"
#include "fielddata/raw/RawReader.h"
#include "fielddata/raw/RawValues.h"

namespace qef {

namespace {

class GeodimeterReader : public RawReader {
public:
    explicit GeodimeterReader(RawOutput& out) : out_(out) {}

    std::optional<std::string> Line(std::string_view line, long long lineNumber) override {
        const std::string text = CollapseBlanks(line);
        const std::size_t equals = text.find('=');
        if (equals == std::string::npos) return std::nullopt;
        const std::string_view label = std::string_view(text).substr(0, equals);
        const std::string value = TrimBlanks(std::string_view(text).substr(equals + 1));
        bool ok = true;
        if ((label == "5" || label == "62" || label == "21") && station_.empty())
            return RawLineMessage(lineNumber, line, BeforeStationText());
        if (label == "7" || label == "8" || label == "21") {
            std::optional<double> angle;
            if (ReadRawAngle(value, true, angle))
                if (auto error = AngleOffCircle(angle, label == "8" ? AngleKind::Zenith : AngleKind::Horizontal,
                                                lineNumber, line))
                    return error;
        }
        if ((label == "2" || label == "62" || label == "5") && RawName(value).empty())
            return RawLineMessage(lineNumber, line,
                                  Vn(label == "2" ? "thiếu tên trạm máy"
                                                  : label == "62" ? "thiếu tên điểm định hướng" : "thiếu tên điểm ngắm"));
        if (label == "2") {
            WritePending();
            station_ = RawName(value);
            backsight_.clear();
            orientation_.reset();
            opening_ = true;
            out_.CountStation();
        } else if (label == "62") {
            backsight_ = RawName(value);
        } else if (label == "21") {
            ok = ReadRawAngle(value, true, orientation_);
        } else if (label == "5") {
            target_ = RawName(value);
            pending_ = true;
            opening_ = false;
            hz_.reset();
            zenith_.reset();
            slope_.reset();
        } else if (label == "7") {
            ok = ReadRawAngle(value, true, hz_);
        } else if (label == "8") {
            ok = ReadRawAngle(value, true, zenith_);
        } else if (label == "9") {
            ok = ReadRawNumber(value, slope_);
            // Refused here, at its own line, rather than at the end of its record.
            if (ok && slope_ && *slope_ < 0.0) return RawLineMessage(lineNumber, line, Vn("khoảng cách âm"));
            if (ok && slope_ && !(*slope_ <= kLargestMetres))
                return RawLineMessage(lineNumber, line, Vn("khoảng cách quá lớn (trên 1e9 m)"));
        } else if (label == "0") {
            EndRecord();
        }
        if (!ok) return BadRawLineMessage(lineNumber, line);
        return std::nullopt;
    }

    // A download that stops without its last "0=" still has its last record written.
    void End() override { EndRecord(); }

private:
    void EndRecord() {
        if (opening_) {
            opening_ = false;
            // Without its reading on the backsight a station has no direction to write.
            if (orientation_) out_.Angle(backsight_, station_, backsight_, *orientation_, Face::Unknown);
            out_.DetailHeader(station_, backsight_, std::nullopt);
            return;
        }
        WritePending();
    }

    void WritePending() {
        if (!pending_) return;
        pending_ = false;
        if (!hz_) return;
        TargetReading r;
        r.Backsight = backsight_;
        r.Station = station_;
        r.Target = target_;
        r.Hz = *hz_;
        r.Orientation = orientation_.value_or(0.0);
        if (zenith_) {
            r.Elevation = ElevationFromZenith(*zenith_);
            r.Seen = IsFaceRight(*zenith_) ? Face::Right : Face::Left;
        }
        if (slope_ && zenith_) r.Hd = *slope_ * std::cos(DegToRad(r.Elevation));
        if (!out_.IsDetailTarget(target_)) out_.Control(r, Face::Unknown);
        else if (!orientation_) out_.FailWith(NoOrientationText(station_, backsight_));
        else out_.Detail(r);
    }

    RawOutput& out_;
    std::string station_;
    std::string backsight_;
    std::string target_;
    std::optional<double> orientation_;
    std::optional<double> hz_;
    std::optional<double> zenith_;
    std::optional<double> slope_;
    bool opening_ = false;
    bool pending_ = false;
};

}  // namespace

std::unique_ptr<RawReader> MakeGeodimeterReader(RawOutput& out) { return std::make_unique<GeodimeterReader>(out); }

}  // namespace qef
