// The lines of ReadLeicaIdx; ConvertRawFile does the files around them.
// Leica IDX: sections of keyword lines. After the first "SETUP", "STN_ID" starts a station,
// "INST_HT" gives its instrument height, a "SLOPE(...)" line names the columns of the
// measurements that follow (slope distances when it lists "SDist"), and each other line is a
// measurement: number, target, configuration, Hz, V, distance, target height.
#include <cmath>
#include <string>

#include "core/numeric/Geometry.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "core/text/Tokenizer.h"
#include "fielddata/raw/RawReaders.h"
#include "fielddata/raw/RawValues.h"

namespace qef {

// Commas, quotes, semicolons and TABs become blanks; fields end up separated by single blanks.
std::string CleanIdxLine(std::string_view line) {
    std::string text(line);
    for (char& c : text)
        if (c == ',' || c == '"' || c == ';' || c == '\t') c = ' ';
    return CollapseBlanks(text);
}

namespace {

bool FieldIs(const std::string& field, std::string_view keyword) { return UpperShort(field) == keyword; }

class LeicaIdxReader : public RawReader {
public:
    explicit LeicaIdxReader(RawOutput& out) : out_(out), fields_(std::make_unique<FieldArray>()) {}

    std::optional<std::string> Line(std::string_view line, long long lineNumber) override {
        if (!inSetup_) {
            inSetup_ = line.find("SETUP") != std::string_view::npos;
            return std::nullopt;
        }
        const int count = SplitFields(CleanIdxLine(line), *fields_, SeparatorMode::Blank, true, 10);
        if (count == 0) return std::nullopt;
        const FieldArray& f = *fields_;
        if (FieldIs(f[1], "STN_NO") || FieldIs(f[1], "SETUP") || FieldIs(f[1], "END")) return std::nullopt;
        if (FieldIs(f[1], "STN_ID")) {
            station_ = RawName(f.Whole(2));
            if (station_.empty()) return RawLineMessage(lineNumber, line, Vn("thiếu tên trạm máy"));
            firstOfStation_ = true;
            out_.CountStation();
            return std::nullopt;
        }
        if (FieldIs(f[1], "INST_HT")) {
            std::optional<double> height;
            if (!ReadRawNumber(f[2], height)) return BadRawLineMessage(lineNumber, line);
            instrumentHeight_ = height.value_or(0.0);
            if (out_.Options().WithHeights && !out_.CheckLength(instrumentHeight_)) return out_.Error();
            return std::nullopt;
        }
        if (UpperShort(f[1]).starts_with("SLOPE")) {
            slope_ = line.find("SDist") != std::string_view::npos;
            return std::nullopt;
        }
        return Measurement(f, line, lineNumber);
    }

private:
    std::optional<std::string> Measurement(const FieldArray& f, std::string_view line, long long lineNumber) {
        std::optional<double> hz, zenith, distance, targetHeight;
        if (!ReadRawAngle(f[4], true, hz) || !hz || !ReadRawAngle(f[5], true, zenith) || !zenith ||
            !ReadRawNumber(f[6], distance) || !ReadRawNumber(f[7], targetHeight))
            return BadRawLineMessage(lineNumber, line);
        if (auto error = AngleOffCircle(hz, AngleKind::Horizontal, lineNumber, line)) return error;
        if (auto error = AngleOffCircle(zenith, AngleKind::Zenith, lineNumber, line)) return error;
        if (station_.empty()) return RawLineMessage(lineNumber, line, BeforeStationText());
        const std::string target = RawName(f.Whole(2));
        if (target.empty()) return RawLineMessage(lineNumber, line, Vn("thiếu tên điểm ngắm"));
        if (out_.Options().WithHeights && distance && *distance != 0.0 && !targetHeight)
            return RawLineMessage(lineNumber, line, Vn("dòng bị cắt, thiếu chiều cao gương"));
        if (firstOfStation_) {
            // The backsight orients the station and is written like any reading, so that every
            // round of the field books starts at the point they name as its backsight.
            firstOfStation_ = false;
            orientation_ = FaceLeftReading(*hz, *zenith);
            backsight_ = target;
            out_.DetailHeader(station_, backsight_, instrumentHeight_);
            out_.StationBreak();
        }
        const double elevation = ElevationFromZenith(*zenith);
        TargetReading r;
        r.Backsight = backsight_;
        r.Station = station_;
        r.Target = target;
        r.Hz = *hz;
        r.Orientation = orientation_;
        if (distance) r.Hd = slope_ ? *distance * std::cos(DegToRad(elevation)) : *distance;
        r.Elevation = elevation;
        r.HeightsKnown = true;
        r.InstrumentHeight = instrumentHeight_;
        r.TargetHeight = targetHeight;
        r.Seen = IsFaceRight(*zenith) ? Face::Right : Face::Left;
        if (out_.IsDetailTarget(target)) out_.Detail(r);
        else out_.Control(r, Face::Unknown);
        return std::nullopt;
    }

    RawOutput& out_;
    std::unique_ptr<FieldArray> fields_;
    bool inSetup_ = false;
    bool firstOfStation_ = false;
    bool slope_ = false;
    std::string station_;
    std::string backsight_;
    double instrumentHeight_ = 0.0;
    double orientation_ = 0.0;
};

}  // namespace

std::unique_ptr<RawReader> MakeLeicaIdxReader(RawOutput& out) { return std::make_unique<LeicaIdxReader>(out); }

}  // namespace qef
