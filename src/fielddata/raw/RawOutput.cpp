#include "fielddata/raw/RawOutput.h"

#include <algorithm>
#include <charconv>
#include <utility>
#include <cmath>

#include "core/numeric/Geometry.h"
#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "fielddata/raw/RawValues.h"

namespace qef {

namespace {

constexpr double kFullCircleSeconds = DegreesToSeconds(360.0);
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

void Put(std::FILE* file, const std::string& line) {
    if (file == nullptr) return;
    std::fwrite(line.data(), 1, line.size(), file);
    std::fputs("\r\n", file);
}

// Half way from a to b the short way round.
double MeanOfDirections(double a, double b) { return NormalizeDegrees(a + AngleDifference(b - a) / 2.0); }

const char* NameRoleText(RawOutput::NameRole role) {
    switch (role) {
        case RawOutput::NameRole::Station: return "thiếu tên trạm máy";
        case RawOutput::NameRole::Backsight: return "thiếu tên điểm định hướng";
        case RawOutput::NameRole::Target: return "thiếu tên điểm ngắm";
    }
    return "";
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
    return TrimBlanks(text);
}

RawOutput::RawOutput(const RawConversionOptions& options, const RawOutputFiles& files)
    : options_(options), files_(files) {
    if (!options_.WithHeights) {
        files_.StationHeights = nullptr;
        files_.StationHeightsDt = nullptr;
        files_.DetailHeights = nullptr;
    }
}

void RawOutput::AtLine(long long number, std::string_view line) {
    lineNumber_ = number;
    lineText_.assign(line);
}

bool RawOutput::Fail(std::string_view what) {
    if (!error_) error_ = RawLineMessage(lineNumber_, lineText_, Vn(what));
    return false;
}

bool RawOutput::FailWith(const std::string& what) {
    if (!error_) error_ = RawLineMessage(lineNumber_, lineText_, what);
    return false;
}

bool RawOutput::CheckName(std::string_view name, NameRole role) {
    return !name.empty() || Fail(NameRoleText(role));
}

bool RawOutput::CheckDistance(double hd) {
    if (std::isnan(hd)) return Fail("khoảng cách không hợp lệ");
    if (hd < 0.0) return Fail("khoảng cách âm");
    if (!(hd <= kLargestMetres)) return Fail("khoảng cách quá lớn (trên 1e9 m)");
    return true;
}

bool RawOutput::CheckLength(double metres) {
    return std::fabs(metres) <= kLargestMetres || Fail("chiều cao quá lớn (trên 1e9 m)");
}

void RawOutput::Finish() { FlushDetails(); }

std::string_view RawOutput::Fit(std::string_view name) {
    const std::string_view fitted = name.substr(0, std::min(name.size(), kPointNameMax));
    if (fitted.size() == kPointNameMax) {
        // Two names that cut to one would be one point to every later reader.
        const auto [at, fresh] = fittedFrom_.emplace(std::string(fitted), std::string(name));
        if (!fresh && at->second != name && !error_) {
            std::string a = at->second, b(name);
            if (a.size() > b.size()) std::swap(a, b);
            error_ = RawLineMessage(lineNumber_, lineText_,
                                    Vn("Hai tên điểm khác nhau ") + QuotedText(a) + " , " + QuotedText(b) +
                                        Vn(" cùng bị cắt thành ") + std::string(fitted));
        }
    }
    if (name.size() > kPointNameMax && cutNames_.insert(std::string(name)).second) cutOrder_.emplace_back(name);
    return fitted;
}

void RawOutput::StationBreak() { Put(files_.Observations, {}); }

void RawOutput::WorkBreak() { Put(files_.Work, {}); }

void RawOutput::DetailHeader(std::string_view station, std::string_view backsight,
                             std::optional<double> instrumentHeight) {
    FlushDetails();
    if (!CheckName(station, NameRole::Station) || !CheckName(backsight, NameRole::Backsight)) return;
    if (instrumentHeight && options_.WithHeights && !CheckLength(*instrumentHeight)) return;
    line_.assign("\t").append(Fit(station)).append("\t").append(Fit(backsight));
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
    if (!CheckName(backsight, NameRole::Backsight) || !CheckName(station, NameRole::Station) ||
        !CheckName(target, NameRole::Target))
        return;
    line_.assign(Fit(backsight)).append("\t").append(Fit(station)).append("\t").append(Fit(target)).append("\t");
    line_.append(DirectionText(hz)).append(MarkOf(face));
    Put(files_.Observations, line_);
    ++counts_.AngleRecords;
}

double RawOutput::VerticalOf(const TargetReading& r, double hd) const {
    if (r.VerticalGiven) return *r.VerticalGiven;
    return std::tan(DegToRad(r.Elevation)) * hd;
}

void RawOutput::Control(const TargetReading& r, Face face, bool writeAngle) {
    if (!CheckName(r.Backsight, NameRole::Backsight) || !CheckName(r.Station, NameRole::Station) ||
        !CheckName(r.Target, NameRole::Target))
        return;
    if (r.Hd && !CheckDistance(*r.Hd)) return;
    if (writeAngle) Angle(r.Backsight, r.Station, r.Target, r.Hz, face);
    if (!r.Hd || !(*r.Hd > 0.0)) return;
    const double hd = *r.Hd + options_.ControlDistanceCorrection;
    const std::string hdText = LengthText(hd);
    line_.assign(Fit(r.Station)).append("\t").append(Fit(r.Target)).append("\t").append(hdText).append(MarkOf(face));
    Put(files_.Work, line_);
    ++counts_.DistanceRecords;
    if (!options_.WithHeights || !r.HeightsKnown || !r.TargetHeight) return;
    const double vertical = VerticalOf(r, hd);
    const double targetHeight = *r.TargetHeight + options_.TargetHeightCorrection;
    if (!CheckLength(vertical) || !CheckLength(targetHeight) || !CheckLength(r.InstrumentHeight)) return;
    const double dh = r.InstrumentHeight + vertical - targetHeight;
    line_.assign(Fit(r.Station)).append("\t").append(Fit(r.Target)).append("\t").append(hdText);
    const std::size_t common = line_.size();
    line_.append("\t").append(LengthText(dh));
    Put(files_.StationHeights, line_);
    line_.resize(common);
    line_.append("\t").append(LengthText(vertical)).append("\t").append(LengthText(r.InstrumentHeight));
    line_.append("\t").append(LengthText(targetHeight));
    Put(files_.StationHeightsDt, line_);
}

void RawOutput::Detail(const TargetReading& r) {
    if (!CheckName(r.Target, NameRole::Target)) return;
    if (r.Hd && !CheckDistance(*r.Hd)) return;
    Fit(r.Target);
    if (!r.Hd || !(*r.Hd > 0.0)) {
        if (unrangedNames_.insert(std::string(r.Target)).second) unrangedOrder_.emplace_back(r.Target);
        // A reading between two others of the name: they are no longer one pointing.
        if (HeldDetail* last = LastReadingOf(r.Station, r.Backsight, r.Target)) last->Open = false;
        return;
    }
    HeldDetail d;
    d.Station = r.Station;
    d.Backsight = r.Backsight;
    d.Target = r.Target;
    d.Seen = r.Seen;
    d.Hd = *r.Hd + options_.DetailDistanceCorrection;
    const double hz = r.Seen == Face::Right ? r.Hz + 180.0 : r.Hz;
    d.Direction = NormalizeDegrees(hz - r.Orientation);
    d.MeasuredTargetHeight = r.TargetHeight;
    d.WithHeights = options_.WithHeights && r.HeightsKnown;
    if (d.WithHeights) {
        if (!r.TargetHeight) {
            Fail("thiếu chiều cao gương");
            return;
        }
        d.TargetHeight = *r.TargetHeight + options_.TargetHeightCorrection;
        d.Vertical = VerticalOf(r, d.Hd);
        if (!CheckLength(d.TargetHeight) || !CheckLength(d.Vertical)) return;
    }
    if (HeldDetail* last = LastReadingOf(d.Station, d.Backsight, d.Target)) {
        const std::string difference = Difference(*last, d);
        const bool opposite = last->Seen != Face::Unknown && d.Seen != Face::Unknown && last->Seen != d.Seen;
        if (difference.empty() && opposite && last->Open) {
            last->Open = false;
            last->Direction = MeanOfDirections(last->Direction, d.Direction);
            last->Hd = (last->Hd + d.Hd) / 2.0;
            last->Vertical = (last->Vertical + d.Vertical) / 2.0;
            return;
        }
        if (!difference.empty()) {
            disagreements_.push_back(Vn("Trạm ") + d.Station + Vn(", điểm ") + d.Target + ": " +
                                     Vn(opposite ? "hai mặt lệch nhau " : "hai lần đo lệch nhau ") + difference +
                                     Vn(", ghi cả hai lần đo"));
        }
    }
    held_.push_back(std::move(d));
}

RawOutput::HeldDetail* RawOutput::LastReadingOf(std::string_view station, std::string_view backsight,
                                                 std::string_view target) {
    for (auto it = held_.rbegin(); it != held_.rend(); ++it)
        if (it->Target == target && it->Station == station && it->Backsight == backsight) return &*it;
    return nullptr;
}

std::string RawOutput::Difference(const HeldDetail& a, const HeldDetail& b) const {
    std::string text;
    const auto add = [&text](const std::string& piece) { text += (text.empty() ? "" : ", ") + piece; };
    // Whole seconds, as the files write directions.
    const double seconds = std::nearbyint(std::fabs(DegreesToSeconds(AngleDifference(b.Direction - a.Direction))));
    if (seconds > kFacesDirectionSeconds)
        add(Vn("hướng ") + TrimBlanks(FormatDms(0, " ", SecondsToDegrees(seconds))));
    // Millimetres, as the files write lengths.
    const double metres = std::fabs(b.Hd - a.Hd);
    if (std::nearbyint(metres * 1000.0) > kFacesDistanceMetres * 1000.0)
        add(Vn("cạnh ") + LengthText(metres) + " m");
    if (a.MeasuredTargetHeight && b.MeasuredTargetHeight &&
        std::fabs(*a.MeasuredTargetHeight - *b.MeasuredTargetHeight) >= kFacesTargetHeightMetres)
        add(Vn("chiều cao gương ") + LengthText(*a.MeasuredTargetHeight) + Vn(" m và ") +
            LengthText(*b.MeasuredTargetHeight) + " m");
    return text;
}

std::vector<std::string> RawOutput::UnrangedDetails() const {
    std::vector<std::string> names;
    for (const std::string& name : unrangedOrder_)
        if (!writtenDetails_.contains(name)) names.push_back(name);
    return names;
}

void RawOutput::FlushDetails() {
    for (const HeldDetail& d : held_) {
        line_.assign(Fit(d.Target)).append("\t").append(DirectionText(d.Direction));
        line_.append("\t").append(LengthText(d.Hd));
        Put(files_.Detail, line_);
        ++counts_.DetailRecords;
        writtenDetails_.insert(d.Target);
        if (!d.WithHeights) continue;
        line_.append("\t").append(LengthText(d.TargetHeight)).append("\t").append(LengthText(d.Vertical));
        Put(files_.DetailHeights, line_);
    }
    held_.clear();
}

}  // namespace qef
