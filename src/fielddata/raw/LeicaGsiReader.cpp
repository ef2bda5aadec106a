// The lines of ReadLeicaGsi and its T1610 twin; ConvertRawFile does the files around them.
// Leica GSI with eight-character words of 16 columns: word index (2), information (4, the unit
// digit last), sign, eight data characters, a blank. Words 11 (point), 21 (Hz), 22 (V), 31 (slope
// distance) or 32 (horizontal distance), 87 (target height), 88 (instrument height); a "41" block
// carries a station (42), its backsight (43) and the instrument height (44).
//
// Each layout puts its words in fixed places; a word is taken only where its index says it is, so
// that a download of another layout or instrument stops at its first line instead of being read
// column by column into wrong values.
#include <cmath>
#include <string>

#include "core/numeric/Geometry.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "fielddata/raw/RawOutput.h"
#include "fielddata/raw/RawReader.h"
#include "fielddata/raw/RawValues.h"

namespace qef {

namespace {

// Unit digits: angles must be 360° sexagesimal, lengths metres with the last digit a millimetre.
constexpr char kSexagesimalUnit = '4';
constexpr char kGonUnit = '2';
constexpr char kMillimetreUnit = '0';
constexpr std::size_t kWordWidth = 16;
constexpr std::size_t kWordText = 15;  // the blank after the last word may be missing

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

// "*", a two-digit word index, information, a sign and sixteen data characters.
bool IsGsi16Word(std::string_view line) {
    const auto digit = [&line](std::size_t i) { return i < line.size() && line[i] >= '0' && line[i] <= '9'; };
    return line.size() >= 24 && line[0] == '*' && digit(1) && digit(2) && (line[7] == '+' || line[7] == '-');
}

// Where word k (from 1) starts, and where its data starts, 1-based.
std::size_t WordColumn(int k) { return kWordWidth * static_cast<std::size_t>(k - 1) + 1; }
std::size_t DataColumn(int k) { return WordColumn(k) + 7; }
std::size_t UnitColumn(int k) { return WordColumn(k) + 5; }

class LeicaGsiReader : public RawReader {
public:
    LeicaGsiReader(RawOutput& out, GsiLayout layout) : out_(out), layout_(layout) {}

    std::optional<std::string> Line(std::string_view line, long long lineNumber) override {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.remove_suffix(1);
        if (line.empty()) return std::nullopt;
        lineNumber_ = lineNumber;
        line_ = line;
        if (IsGsi16Word(line))
            return Message("dạng GSI-16 (dòng bắt đầu bằng \"*\") không được hỗ trợ, chỉ đọc được dạng GSI-8");
        const std::string_view word = line.substr(0, 2);
        if (layout_ == GsiLayout::StationRecords) {
            if (word == "11") return Measurement();
            if (word == "41" || line.size() <= 65) return StationRecord();
            return NotLayout(1, "11");
        }
        if (word == "11") return Measurement();
        // A station record of the TC800 layout: this layout has none.
        if (word == "41" && Index(2) == "42") return NotLayout(1, "11");
        return std::nullopt;
    }

private:
    enum class Word { Missing, Cut, Whole };

    Word StateOf(int k) const {
        const std::size_t start = WordColumn(k) - 1;
        if (line_.size() <= start) return Word::Missing;
        return line_.size() < start + kWordText ? Word::Cut : Word::Whole;
    }
    std::string_view Index(int k) const { return Column(line_, WordColumn(k), 2); }

    std::string Message(std::string_view what) const { return RawLineMessage(lineNumber_, line_, Vn(what)); }

    const char* LayoutName() const { return layout_ == GsiLayout::StationRecords ? "TC800" : "T1610"; }

    std::string NotLayout(int k, std::string_view wanted) const {
        return RawLineMessage(lineNumber_, line_,
                              Vn("số liệu không phải dạng ") + LayoutName() + Vn(" (từ thứ ") + std::to_string(k) +
                                  Vn(" là ") + std::string(Index(k)) + Vn(", cần ") + std::string(wanted) + ")");
    }

    std::string Cut(std::string_view wanted, const char* meaning) const {
        return RawLineMessage(lineNumber_, line_,
                              Vn("dòng bị cắt, thiếu từ ") + std::string(wanted) + " (" + Vn(meaning) + ")");
    }

    // Word k must be there, whole, with one of the indexes; "" when it is.
    std::optional<std::string> Expect(int k, std::string_view index, std::string_view other, const char* meaning) const {
        switch (StateOf(k)) {
            case Word::Missing:
            case Word::Cut: return Cut(index, meaning);
            case Word::Whole: break;
        }
        if (Index(k) != index && (other.empty() || Index(k) != other))
            return NotLayout(k, other.empty() ? std::string(index) : std::string(index) + "/" + std::string(other));
        return std::nullopt;
    }

    std::string UnitError(std::string_view reason = {}) const {
        std::string text = Vn("Đơn vị đo ở dòng ") + std::to_string(lineNumber_) + Vn(" không được hỗ trợ");
        if (!reason.empty()) text += ": " + Vn(reason);
        return text + " : [" + QuotedText(line_) + "]";
    }

    // A length in millimetres read from word k, with the sign just before its data.
    std::optional<std::string> Length(int k, bool checkUnit, double& metres) {
        metres = 0.0;
        const std::string_view data = Column(line_, DataColumn(k), 8);
        if (TrimBlanks(data).empty()) return std::nullopt;
        if (checkUnit && Column(line_, UnitColumn(k), 1) != std::string_view(&kMillimetreUnit, 1)) return UnitError();
        std::optional<double> value;
        if (!ReadRawNumber(data, value) || !value) return BadRawLineMessage(lineNumber_, line_);
        metres = *value / 1000.0;
        if (Column(line_, DataColumn(k) - 1, 1) == "-") metres = -metres;
        return std::nullopt;
    }

    std::optional<std::string> Angle(int k, double& degrees) {
        const std::string_view unit = Column(line_, UnitColumn(k), 1);
        if (unit == std::string_view(&kGonUnit, 1))
            return UnitError("góc đo bằng gon, chỉ đọc được góc 360 độ phút giây");
        if (unit != std::string_view(&kSexagesimalUnit, 1)) return UnitError();
        std::optional<double> value;
        if (!ReadRawAngle(Column(line_, DataColumn(k), 7), false, value) || !value)
            return BadRawLineMessage(lineNumber_, line_);
        degrees = *value;
        return std::nullopt;
    }

    void StartStation(std::string station, std::string backsight, double instrumentHeight) {
        station_ = std::move(station);
        backsight_ = std::move(backsight);
        instrumentHeight_ = instrumentHeight;
        oriented_ = false;
        out_.CountStation();
        out_.DetailHeader(station_, backsight_, instrumentHeight_);
        out_.StationBreak();
    }

    std::optional<std::string> StationRecord() {
        // A short line that is no station record either.
        if (Index(1) != "41" && (StateOf(2) != Word::Whole || Index(2) != "42")) return NotLayout(1, "41");
        if (auto error = Expect(2, "42", {}, "tên trạm máy")) return error;
        if (auto error = Expect(3, "43", {}, "tên điểm định hướng")) return error;
        const bool heights = out_.Options().WithHeights;
        if (heights || StateOf(4) != Word::Missing)
            if (auto error = Expect(4, "44", {}, "chiều cao máy")) return error;
        double height = 0;
        if (auto error = Length(4, false, height)) return error;
        const std::string station = GsiName(Column(line_, DataColumn(2), 8));
        const std::string backsight = GsiName(Column(line_, DataColumn(3), 8));
        if (station.empty()) return Message("thiếu tên trạm máy");
        if (backsight.empty()) return Message("thiếu tên điểm định hướng");
        StartStation(station, backsight, height);
        started_ = true;
        return std::nullopt;
    }

    std::optional<std::string> Measurement() {
        const bool stationInLine = layout_ == GsiLayout::StationInEveryLine;
        const bool heights = out_.Options().WithHeights;
        if (StateOf(1) != Word::Whole) return Cut("11", "tên điểm ngắm");
        if (auto error = Expect(2, "21", {}, "góc bằng")) return error;
        if (auto error = Expect(3, "22", {}, "góc đứng")) return error;
        // Angles alone: the target was not ranged.
        const bool ranged = StateOf(4) != Word::Missing;
        if (ranged)
            if (auto error = Expect(4, "31", "32", "khoảng cách")) return error;
        if (StateOf(5) == Word::Cut) return Cut("51", "hằng số gương");
        const int targetHeightWord = stationInLine ? 7 : 6;
        if (stationInLine) {
            if (auto error = Expect(6, "42", {}, "tên trạm máy")) return error;
            if (heights || StateOf(7) != Word::Missing)
                if (auto error = Expect(7, "87", {}, "chiều cao gương")) return error;
            if (heights || StateOf(8) != Word::Missing)
                if (auto error = Expect(8, "88", {}, "chiều cao máy")) return error;
        } else if ((heights && ranged) || StateOf(6) != Word::Missing) {
            if (auto error = Expect(6, "87", {}, "chiều cao gương")) return error;
        }

        const std::string target = GsiName(Column(line_, DataColumn(1), 8));
        double hz = 0, zenith = 0, distance = 0, targetHeight = 0;
        if (auto error = Angle(2, hz)) return error;
        if (auto error = AngleOffCircle(hz, AngleKind::Horizontal, lineNumber_, line_)) return error;
        if (auto error = Angle(3, zenith)) return error;
        if (auto error = AngleOffCircle(zenith, AngleKind::Zenith, lineNumber_, line_)) return error;
        if (ranged)
            if (auto error = Length(4, true, distance)) return error;
        const bool targetHeightRead = StateOf(targetHeightWord) == Word::Whole;
        if (targetHeightRead)
            if (auto error = Length(targetHeightWord, true, targetHeight)) return error;
        if (stationInLine) {
            const std::string station = GsiName(Column(line_, DataColumn(6), 8));
            if (station.empty()) return Message("thiếu tên trạm máy");
            if (!started_ || station != station_) {
                double height = 0;
                if (StateOf(8) == Word::Whole)
                    if (auto error = Length(8, true, height)) return error;
                if (target.empty()) return Message("thiếu tên điểm định hướng");
                StartStation(station, target, height);
                started_ = true;
            }
        }
        if (!started_) return RawLineMessage(lineNumber_, line_, BeforeStationText());
        // The first reading of the backsight, on either face, orients the station.
        if (!oriented_ && target == backsight_) {
            orientation_ = FaceLeftReading(hz, zenith);
            oriented_ = true;
        }
        const double elevation = ElevationFromZenith(zenith);
        TargetReading r;
        r.Backsight = backsight_;
        r.Station = station_;
        r.Target = target;
        r.Hz = hz;
        r.Orientation = orientation_;
        if (ranged) r.Hd = Index(4) == "31" ? distance * std::cos(DegToRad(elevation)) : distance;
        r.Elevation = elevation;
        r.HeightsKnown = true;
        r.InstrumentHeight = instrumentHeight_;
        if (targetHeightRead) r.TargetHeight = targetHeight;
        r.Seen = IsFaceRight(zenith) ? Face::Right : Face::Left;
        if (!out_.IsDetailTarget(target)) {
            out_.Control(r, Face::Unknown);
        } else if (!oriented_) {
            return RawLineMessage(lineNumber_, line_, NoOrientationText(station_, backsight_));
        } else {
            out_.Detail(r);
        }
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
    bool oriented_ = false;
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
