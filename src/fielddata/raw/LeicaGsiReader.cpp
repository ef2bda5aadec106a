// Leica GSI with eight-character words of 16 columns: word index (2), information (4, the unit
// digit last), sign, eight data characters, a blank. Words 11 (point), 21 (Hz), 22 (V), 31 (slope
// distance) or 32 (horizontal distance), 87 (target height), 88 (instrument height); a "41" block
// carries a station, its backsight and the instrument height.
#include <cmath>
#include <string>

#include "core/numeric/Geometry.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "fielddata/raw/RawReaders.h"
#include "fielddata/raw/RawValues.h"

namespace qef {

namespace {

// Unit digits: angles must be 360° sexagesimal, lengths metres with the last digit a millimetre.
constexpr char kSexagesimalUnit = '4';
constexpr char kMillimetreUnit = '0';

enum class GsiLayout { StationRecords, StationInEveryLine };

// Columns are 1-based, as the format's documentation counts them; a short line gives what it has.
std::string_view Column(std::string_view line, std::size_t position, std::size_t length) {
    if (position - 1 >= line.size()) return {};
    return line.substr(position - 1, length);
}

std::string GsiName(std::string_view data) {
    const std::string trimmed = TrimBlanks(data);
    if (trimmed.empty()) return {};
    std::string name = StripLeadingZeros(trimmed);
    return RawName(name.empty() ? std::string("0") : name);
}

class LeicaGsiReader : public RawReader {
public:
    LeicaGsiReader(RawOutput& out, GsiLayout layout) : out_(out), layout_(layout) {}

    std::optional<std::string> Line(std::string_view line, long long lineNumber) override {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.remove_suffix(1);
        if (line.empty()) return std::nullopt;
        lineNumber_ = lineNumber;
        line_ = line;
        const std::string_view word = line.substr(0, 2);
        if (layout_ == GsiLayout::StationRecords) {
            const bool station = word == "41" || (word != "11" && line.size() <= 65);
            return station ? StationRecord() : Measurement();
        }
        // A measurement that does not reach the instrument height column cannot say its station.
        if (word == "41" || line.size() < 120) return std::nullopt;
        return Measurement();
    }

private:
    // A length in millimetres read from its data column, with the sign just before it.
    std::optional<std::string> Length(std::size_t position, std::size_t unitPosition, bool checkUnit, double& metres) {
        metres = 0.0;
        const std::string_view data = Column(line_, position, 8);
        if (TrimBlanks(data).empty()) return std::nullopt;
        if (checkUnit && Column(line_, unitPosition, 1) != std::string_view(&kMillimetreUnit, 1)) return UnitError();
        std::optional<double> value;
        if (!ReadRawNumber(data, value) || !value) return BadRawLineMessage(lineNumber_, line_);
        metres = *value / 1000.0;
        if (Column(line_, position - 1, 1) == "-") metres = -metres;
        return std::nullopt;
    }

    std::optional<std::string> Angle(std::size_t position, std::size_t unitPosition, double& degrees) {
        if (Column(line_, unitPosition, 1) != std::string_view(&kSexagesimalUnit, 1)) return UnitError();
        std::optional<double> value;
        if (!ReadRawAngle(Column(line_, position, 7), false, value) || !value) return BadRawLineMessage(lineNumber_, line_);
        degrees = *value;
        return std::nullopt;
    }

    std::string UnitError() const {
        return Vn("Đơn vị đo ở dòng ") + std::to_string(lineNumber_) + Vn(" không được hỗ trợ : [") + QuotedText(line_) +
               "]";
    }

    void StartStation(std::string station, std::string backsight, double instrumentHeight) {
        station_ = std::move(station);
        backsight_ = std::move(backsight);
        instrumentHeight_ = instrumentHeight;
        out_.CountStation();
        out_.DetailHeader(station_, backsight_, instrumentHeight_);
        out_.StationBreak();
    }

    std::optional<std::string> StationRecord() {
        double height = 0;
        if (auto error = Length(56, 54, false, height)) return error;
        StartStation(GsiName(Column(line_, 24, 8)), GsiName(Column(line_, 40, 8)), height);
        firstOfStation_ = true;
        return std::nullopt;
    }

    std::optional<std::string> Measurement() {
        const std::string target = GsiName(Column(line_, 8, 8));
        double hz = 0, zenith = 0, distance = 0, targetHeight = 0;
        if (auto error = Angle(24, 22, hz)) return error;
        if (auto error = Angle(40, 38, zenith)) return error;
        if (auto error = Length(56, 54, true, distance)) return error;
        const bool stationInLine = layout_ == GsiLayout::StationInEveryLine;
        if (auto error = Length(stationInLine ? 104 : 88, stationInLine ? 102 : 86, true, targetHeight)) return error;
        if (stationInLine) {
            const std::string station = GsiName(Column(line_, 88, 8));
            if (!started_ || station != station_) {
                double height = 0;
                if (auto error = Length(120, 118, true, height)) return error;
                StartStation(station, target, height);
                firstOfStation_ = true;
                started_ = true;
            }
        }
        if (firstOfStation_) {
            orientation_ = hz;
            firstOfStation_ = false;
        }
        const double elevation = ElevationFromZenith(zenith);
        TargetReading r;
        r.Backsight = backsight_;
        r.Station = station_;
        r.Target = target;
        r.Hz = hz;
        r.Orientation = orientation_;
        r.Hd = Column(line_, 49, 2) == "31" ? distance * std::cos(DegToRad(elevation)) : distance;
        r.Elevation = elevation;
        r.HeightsKnown = true;
        r.InstrumentHeight = instrumentHeight_;
        r.TargetHeight = targetHeight;
        if (out_.IsDetailTarget(target)) out_.Detail(r);
        else out_.Control(r, Face::Unknown);
        return std::nullopt;
    }

    RawOutput& out_;
    GsiLayout layout_;
    std::string_view line_;
    long long lineNumber_ = 0;
    std::string station_;
    std::string backsight_;
    double instrumentHeight_ = 0.0;
    double orientation_ = 0.0;
    bool firstOfStation_ = false;
    bool started_ = false;
};

}  // namespace

std::unique_ptr<RawReader> MakeLeicaGsiReader(RawOutput& out) {
    return std::make_unique<LeicaGsiReader>(out, GsiLayout::StationRecords);
}

std::unique_ptr<RawReader> MakeLeicaGsiT1610Reader(RawOutput& out) {
    return std::make_unique<LeicaGsiReader>(out, GsiLayout::StationInEveryLine);
}

}  // namespace qef
