#include "fielddata/books/ObservationBooks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

#include "core/io/Readers.h"
#include "core/io/ToolFiles.h"
#include "core/model/NetworkModel.h"
#include "core/model/OutputNames.h"
#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"
#include "core/text/VnCodec.h"
#include "fielddata/books/BookFiles.h"

namespace qef {

namespace {

constexpr double kTurnSeconds = 1296000.0;
const char* const kSimulated = "Số liệu mô phỏng";

// Seconds of arc wrapped into [0, 360 degrees).
double WrapSeconds(double seconds) {
    double w = std::fmod(seconds, kTurnSeconds);
    if (w < 0) w += kTurnSeconds;
    if (w >= kTurnSeconds) w -= kTurnSeconds;
    return w;
}

// A value as printed, with `decimals` decimals of a second: rounded first, so that a value that
// rounds to 360 degrees shows as 0.
std::string Dms(double seconds, int decimals, std::string_view separator) {
    const double shown = WrapSeconds(RoundHalfEven(decimals, seconds));
    return FormatDms(decimals, separator, SecondsToDegrees(shown));
}
std::string Reading(double seconds) { return PadLeft(Dms(seconds, 0, " "), 10); }
std::string HalfSet(double seconds) { return PadLeft(Dms(seconds, 1, " "), 12); }

int HalfEvenInt(double x) { return static_cast<int>(RoundHalfEven(0, x)); }

// A whole number in -(below-1) .. below-1: a first draw gives the sign, a second the size.
int SignedDraw(RandomSource& random, int below) {
    const bool plus = random.Below(2) == 1;
    const int size = random.Below(below);
    return plus ? size : -size;
}

void Title(std::vector<std::string>& out, const char* form) {
    out.push_back(Vn("                CỘNG HÒA XÃ HỘI CHỦ NGHĨA VIỆT NAM"));
    out.push_back(Vn("                   Độc lập - Tự do - Hạnh phúc"));
    out.push_back(Vn(form));
}

// The opening of a simulated book, down to the blank line after the site lines: the form, the
// book's name and the simulated mark under it at `indent`.
void Opening(std::vector<std::string>& out, const char* form, const char* indent, const char* name) {
    out.emplace_back();
    Title(out, form);
    out.emplace_back();
    out.push_back(Vn(indent) + Vn(name));
    out.push_back(Vn(indent) + Vn(kSimulated));
    out.emplace_back();
    out.push_back(Vn("\t\t\t\tKhu đất : ______________________________________________________"));
    out.push_back(Vn("\t\t\t\tTheo yêu cầu của : _____________________________________________"));
    out.push_back(Vn("\t\t\t\tSố hợp đồng : __________________________________________________"));
    out.emplace_back();
}

// Reads the observations; false (message shown) when they cannot be read or hold neither an angle
// nor a side, which would leave the books empty.
bool ReadAll(const std::string& name, const ComputationSettings& settings, PointNameTable& names, Observations& obs,
             Interaction& ui, ToolStatus& status) {
    // The reader refuses CR-only line ends itself, at their first line.
    if (!ReadObservations(name, settings, names, obs, status.ReadError, ui)) {
        status.Outcome = RunOutcome::ReadFailed;
        return false;
    }
    if (obs.Angles.Count() + obs.Sides.Count() > 0) return true;
    ui.Message(NoDataMessage(name));
    status.Outcome = RunOutcome::ReadFailed;
    return false;
}

// The angle book of every observed angle, and its listing lines.
class AngleBookWriter {
public:
    AngleBookWriter(const FieldBookOptions& options, RandomSource& random) : options_(options), random_(random) {}

    void Heading() {
        Opening(book_, "                          Mẫu sổ đo góc bằng - số 01", "\t\t\t\t                 ",
                "Sổ đo góc bằng");
        book_.push_back(Vn(" \t\t\t\t\t             Sơ đồ đo"));
        book_.push_back("                                  ______________________________");
        book_.push_back(Vn("Ngày đo : ______________________  |                            |   Người đo : __________________"));
        book_.push_back(Vn("Thời tiết : ____________________  |                            |   Người ghi : _________________"));
        book_.push_back(Vn("Bắt đầu lúc : __________________  |                            |   Loại máy : __________________"));
        book_.push_back(Vn("Kết thúc lúc : _________________  |____________________________|   Số hiệu máy : _______________"));
        book_.emplace_back();
        book_.emplace_back();
    }

    void Angle(const std::string& back, const std::string& station, const std::string& fore, double degrees) {
        const std::string ra(98, '-');
        book_.push_back(Vn("                                             Trạm ") + station);
        book_.push_back(ra);
        book_.push_back(Vn("|Lần|   Điểm   |Bàn độ trái|Bàn độ phải| 2c  | Trị giá nửa | Trị giá một | Trị giá các | Ghi chú |"));
        book_.push_back(Vn("|đo |   ngắm   | O   '   ''| O   '   ''| ''  |    lần đo   |    lần đo   |    lần đo   |         |"));
        book_.push_back(ra);
        const int sets = std::max(1, options_.AngleSets);
        const double observed = WrapSeconds(DegreesToSeconds(degrees));
        const std::vector<double> values =
            SplitMeanIntoReadings(sets, options_.HalfSetTolerance, SecondsToDegrees(observed), random_);
        double sum = 0.0;
        for (int s = 1; s <= sets; ++s)
            WriteAngleBookLines(back, station, fore, s, sets, DegreesToSeconds(values[static_cast<std::size_t>(s - 1)]),
                                sum);
        counter_ += 9;
        if (counter_ >= 60) {
            book_.emplace_back("\f");
            counter_ = 0;
        } else {
            book_.emplace_back();
        }
    }

    std::vector<std::string>& Book() { return book_; }
    std::vector<std::string>& Listing() { return listing_; }

private:
    // One set: the back-sight and fore-sight lines and the rule. All values in seconds.
    void WriteAngleBookLines(const std::string& back, const std::string& station, const std::string& fore, int s,
                             int sets, double value, double& sum) {
        // Readings are written to the second, the circle setting too.
        const double c = RoundHalfEven(0, DegreesToSeconds(CircleSettingForSet(s - 1, sets)));
        const int spread = HalfEvenInt(options_.TwoCVariation / 4.0);
        const int k = RandomSignedOffset(spread, random_);
        const double left1 = c;
        const double right1 = c + 648000.0 + k;
        const double half1 = c + k / 2.0;

        const double x = value + k / 2.0;
        const int j = RandomSignedOffset(spread, random_);
        const double left2 = RoundHalfEven(0, x + j);
        const double right2 = RoundHalfEven(0, x - j);
        const double half2 = c + (left2 + right2) / 2.0;
        // The circle setting drops out: every set gives the observed angle.
        const double angle = half2 - half1;
        sum += angle;
        const std::string b = PadRight(back, 8);
        const std::string f = PadRight(fore, 8);
        const auto twoC = [](double left, double right) { return FormatInt(static_cast<long long>(left - right), 4); };

        book_.push_back("|" + FormatInt(s, 2) + " | " + b + " |" + Reading(left1) + " |" + Reading(right1) + " |" +
                        twoC(0, k) + " |" + HalfSet(half1) + " |             |             |         |");
        std::string line = "|   | " + f + " |" + Reading(c + left2) + " |" + Reading(c + right2 + 648000.0) + " |" +
                           twoC(left2, right2) + " |" + HalfSet(half2) + " |" + HalfSet(angle) + " |";
        if (s < sets) {
            book_.push_back(line + "             |         |");
        } else {
            const double mean = sum / sets;
            book_.push_back(line + HalfSet(mean) + " |         |");
            listing_.push_back(PadRight(back, 11) + PadRight(station, 11) + PadRight(fore, 11) + Dms(mean, 1, ""));
        }
        book_.push_back(std::string(70, '-'));
    }

    const FieldBookOptions& options_;
    RandomSource& random_;
    std::vector<std::string> book_;
    std::vector<std::string> listing_;
    int counter_ = 20;
};

std::vector<std::string> DistanceBook(const Observations& obs, const PointNameTable& names, RandomSource& random,
                                      std::vector<std::string>& listing) {
    std::vector<std::string> book;
    Opening(book, "                          Mẫu sổ đo cạnh - số 02", "\t\t\t\t                    ", "Sổ đo cạnh");
    book.push_back(Vn("\tNgày đo : _________________________________    Người đo : _________________________"));
    book.push_back(Vn("\tThời tiết : _______________________________    Người ghi : ________________________"));
    book.push_back(Vn("\tBắt đầu lúc : _____________________________    Loại máy : ________________________"));
    book.push_back(Vn("\tKết thúc lúc : ____________________________    Số hiệu máy : _____________________"));
    book.emplace_back();
    const std::string rd = "\t\t-----------------------------------------------------------------------------";
    const std::string head = Vn("\t\t|  STT  |  Từ điểm  |  Đến điểm | Đo lần 1 | Đo lần 2 |Chênh lệch|Trung bình|");
    book.push_back(rd);
    book.push_back(head);
    book.push_back(rd);
    int counter = 18;
    for (int i = 1; i <= obs.Sides.Count(); ++i) {
        const double d = obs.Sides.Lengths[i];
        const std::string& from = names.Name(obs.Sides.FromIds[i]);
        const std::string& to = names.Name(obs.Sides.ToIds[i]);
        const double m1 = d + SignedDraw(random, 3) / 1000.0;
        const double m2 = 2 * d - m1 + SignedDraw(random, 2) / 1000.0;
        const double mean = RoundHalfEven(3, (m1 + m2) / 2);
        book.push_back("\t\t| " + FormatInt(i, 5) + " | " + PadRight(from, 9) + " | " + PadRight(to, 9) + " |" +
                       FormatFixed(m1, 9, 3) + " |" + FormatFixed(m2, 9, 3) + " |" + FormatFixed(m1 - m2, 9, 3) +
                       " |" + FormatFixed(mean, 9, 3) + " |");
        if (++counter == 60) {
            book.insert(book.end(), {rd, "\f", rd, head, rd});
            counter = 3;
        }
        listing.push_back(PadRight(from, 11) + PadRight(to, 11) + FormatFixed(mean * 1000, 7, 0));
    }
    book.push_back(rd);
    return book;
}

// A detail-book cell: a number in its form, else the text as it stands. False for a number no
// survey gives (not finite, or past `limit` either side, or below `lowest`): it is refused, not copied.
bool DetailCell(const std::string& text, int decimals, double scale, double lowest, double limit, std::string& cell) {
    double value = 0.0;
    if (!TryParseReal(TrimBlanks(text), value)) {
        // "nan" and "inf" are no text a surveyor writes either: they come from a program.
        const std::string trimmed = TrimBlanks(text);
        std::string_view t = trimmed;
        if (t.starts_with('+')) t.remove_prefix(1);
        double special = 0.0;
        const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), special);
        if (error == std::errc() && end == t.data() + t.size() && !std::isfinite(special)) return false;
        cell = text;
        return true;
    }
    const double scaled = value * scale;
    if (!std::isfinite(value) || !(std::fabs(scaled) <= limit) || scaled < lowest) return false;
    cell = FormatFixed(value, 0, decimals);
    return true;
}

// The detail book as it is written: pages of 60 lines, each opened by the column heads.
class DetailBookWriter {
public:
    DetailBookWriter() {
        Title(out_, "                          Mẫu sổ đo chi tiết - số 03");
        out_.emplace_back();
        out_.push_back(Vn("                                         Sổ đo chi tiết"));
        out_.push_back(Vn("                                        ") + Vn(kSimulated));
        out_.push_back(Vn("                 Khu đất :______________________________________________"));
        out_.push_back(Vn("                 Số hợp đồng :__________________________________________"));
        out_.emplace_back();
        out_.push_back(
            Vn("Ngày đo :____/___/_____ Trạm đo :________Hướng chuẩn :_________________Người đo :________________"));
        out_.push_back(
            Vn("Thời tiết :____________ Tọa độ   X=      Phương vị :___________________Người ghi :_______________"));
        out_.push_back(
            Vn("Bắt đầu lúc :__________          y=      Lược đồ trang____Quyển số_____Người tính :______________"));
        out_.push_back(
            Vn("Kết thúc lúc :_________                  Loại máy :____________________Số hiệu máy :_____________"));
        out_.emplace_back();
        out_.insert(out_.end(), heading_.begin(), heading_.end());
    }

    bool HasStation() const { return stationWritten_; }

    // A station line: its first cell names the opening angle, then the station and the backsight.
    void Station(const std::string& opening, const std::string& station, const std::string& backsight) {
        if (stationWritten_) Closing();
        if (counter_ >= 7 && stationWritten_)
            Row("|-----------|-----------|-----------|-----------|--------|--------|---------|---------|-----------|");
        Row("|" + PadLeft(opening, 10) + " | " + PadLeft(station, 9) + " | " + PadLeft(backsight, 9) +
            Vn(" |           |        |        |         |         | Trạm máy  |"));
        Row("|" + PadLeft(backsight, 10) + " | " + PadLeft("0.0000", 9) +
            Vn(" |           |           |        |        |         |         | Định hướng|"));
        stationWritten_ = true;
        lastBacksight_ = backsight;
    }

    void Point(const std::string& name, const std::string& angle, const std::string& distance) {
        Row("|" + PadLeft(name, 10) + " | " + PadLeft(angle, 9) + " | " + PadLeft(distance, 9) +
            " |           |        |        |         |         |           |");
    }

    const std::vector<std::string>& Finish() {
        if (stationWritten_) Closing();
        out_.push_back(rule_);
        return out_;
    }

private:
    void Row(std::string text) {
        out_.push_back(std::move(text));
        if (++counter_ == 60) {
            out_.push_back(rule_);
            out_.emplace_back("\f");
            out_.insert(out_.end(), heading_.begin(), heading_.end());
            counter_ = 6;
        }
    }
    // The closure is the surveyor's to work out: its cell stays blank.
    void Closing() {
        Row("|" + PadLeft(lastBacksight_, 10) + " | " + std::string(9, ' ') +
            Vn(" |           |           |        |        |         |         | Khép góc  |"));
    }

    const std::string rule_ = std::string(99, '-');
    const std::vector<std::string> heading_ = {
        rule_,
        Vn("|   Điểm    |  Góc nằm  | Chiều dài |  Góc đứng | Độ cao |          Tọa độ            |           |"),
        Vn("|   ngắm    |  0  '  '' |   ngang   |  0  '  '' |   mia  |----------------------------| Chú thích |"),
        Vn("| (Góc mở)  |   (Trạm)  |  (Hướng)  | (Cao trạm)|        |    X   |    Y    |    Z    |           |"),
        rule_};
    std::vector<std::string> out_;
    int counter_ = 18;
    bool stationWritten_ = false;
    std::string lastBacksight_;
};

// One line of fields into the book; the message that refuses it, if it is refused. `at` names the line.
// Names are kept to 15 characters by `names`, which tells the cut ones at the end.
std::optional<std::string> DetailBookLine(const FieldArray& f, const std::string& at, double toMetres,
                                          NameCutter& names, DetailBookWriter& book) {
    const std::string first = TrimBlanks(f.Whole(1));
    const bool station = first.empty() || first[0] == '(';
    // A NUL is no text: the name would stand for another point, and the byte would reach the book.
    const auto hasNul = [&](std::size_t i) { return f.Whole(i).find('\0') != std::string::npos; };
    if (station ? hasNul(2) || hasNul(3) : hasNul(1)) return at + Vn(" : tên điểm có ký tự NUL");
    if (station) {
        book.Station(first, names.Take(f.Whole(2)), names.Take(f.Whole(3)));
        return std::nullopt;
    }
    // A staff point belongs to the station above it; with none the line is no detail record.
    if (!book.HasStation()) return at + Vn(" : điểm mia đứng trước mọi dòng trạm máy");
    std::string angle, distance;
    const bool angleOk = DetailCell(f.Whole(2), 4, 1.0, -kLargestMetres, kLargestMetres, angle);
    if (!angleOk || !DetailCell(f.Whole(3), 3, toMetres, 0.0, kLongestBookDistanceMetres, distance))
        return at + Vn(" : giá trị [") + QuotedText(TrimBlanks(angleOk ? f.Whole(3) : f.Whole(2))) +
               Vn("] không hợp lệ");
    book.Point(names.Take(f.Whole(1)), angle, distance);
    return std::nullopt;
}

}  // namespace

double CircleSettingForSet(int i, int n) { return n <= 0 ? 0.0 : 180.0 / n * i; }

int RandomSignedOffset(int m, RandomSource& random) {
    if (m <= 1) return 0;
    const bool negative = random.Below(10) % 2 == 1;
    const int size = random.Below(m);
    return negative ? -size : size;
}

std::vector<double> SplitMeanIntoReadings(int n, int toleranceSeconds, double mean, RandomSource& random) {
    std::vector<double> v(static_cast<std::size_t>(std::max(n, 0)));
    if (v.empty()) return v;
    const int m = HalfEvenInt(toleranceSeconds / 2.0);
    std::vector<int> drawn;
    drawn.reserve(v.size());
    long long offsets = 0;
    double values = 0.0;
    for (double& value : v) {
        const int offset = RandomSignedOffset(m, random);
        drawn.push_back(offset);
        value = mean + SecondsToDegrees(offset);
        offsets += offset;
        values += value;
    }
    // The sum of the values is near zero for an angle of a few seconds with offsets against it:
    // dividing by it throws the sets anywhere on the circle. The proportional split stands only
    // where every set stays within the tolerance less the second that the readings' rounding takes.
    const double allowed = SecondsToDegrees(std::max(toleranceSeconds - 1, 0));
    const auto fits = [&](const std::vector<double>& w) {
        for (double x : w)
            if (!(std::fabs(x - mean) <= allowed)) return false;
        return true;
    };
    if (values != 0.0) {
        double rest = 0.0;
        for (std::size_t i = 0; i + 1 < v.size(); ++i) {
            v[i] -= SecondsToDegrees(RoundHalfEven(0, static_cast<double>(offsets) * v[i] / values));
            rest += v[i];
        }
        v.back() = n * mean - rest;
        if (fits(v)) return v;
    }
    // Otherwise the drawn offsets are brought to a zero sum a second at a time, the largest first:
    // each stays within what was drawn, and the sets still average to the mean.
    // Every value below is set anew from them.
    long long sum = offsets;
    while (sum != 0) {
        const auto pick = sum > 0 ? std::max_element(drawn.begin(), drawn.end())
                                  : std::min_element(drawn.begin(), drawn.end());
        *pick += sum > 0 ? -1 : 1;
        sum += sum > 0 ? -1 : 1;
    }
    double rest = 0.0;
    for (std::size_t i = 0; i + 1 < v.size(); ++i) {
        v[i] = mean + SecondsToDegrees(drawn[i]);
        rest += v[i];
    }
    v.back() = n * mean - rest;
    return v;
}

ToolStatus WriteObservationBooks(const ObservationBookFiles& files, const FieldBookOptions& options,
                                 const ComputationSettings& settings, RandomSource& random, Interaction& ui) {
    ToolStatus status;
    for (const std::string* out : {&files.AngleBook, &files.DistanceBook, &files.Listing})
        if (!ResultNameUsable({files.Observations}, *out, ui, status)) return status;
    // One book written over another would lose it.
    if (!CheckOutputNames({files.Observations}, {files.AngleBook, files.DistanceBook, files.Listing}, ui)) {
        status.Outcome = RunOutcome::NameCollision;
        return status;
    }
    PointNameTable names;
    Observations obs;
    if (!ReadAll(files.Observations, settings, names, obs, ui, status)) return status;

    AngleBookWriter angles(options, random);
    angles.Heading();
    std::vector<std::string>& listing = angles.Listing();
    listing.push_back("// " + Vn(kSimulated));
    for (int a = 1; a <= obs.Angles.Count(); ++a)
        angles.Angle(names.Name(obs.Angles.BackIds[a]), names.Name(obs.Angles.StationIds[a]),
                     names.Name(obs.Angles.ForeIds[a]), obs.Angles.Values[a]);
    const std::vector<std::string> distances = DistanceBook(obs, names, random, listing);
    if (const auto failed = WriteBookSet(
            {{files.AngleBook, &angles.Book()}, {files.DistanceBook, &distances}, {files.Listing, &listing}},
            {files.Observations})) {
        ui.Message(*failed);
        status.Outcome = RunOutcome::WriteFailed;
        return status;
    }
    status.Written = obs.Angles.Count() + obs.Sides.Count();
    return status;
}

ToolStatus WriteDetailBook(const std::string& inName, const std::string& outName, const ComputationSettings& settings,
                           Interaction& ui) {
    ToolStatus status;
    if (!ResultNameUsable({inName}, outName, ui, status)) return status;
    LineReader reader(inName);
    if (!reader.IsOpen()) {
        ReportUnreadable(inName, ui, status);
        return status;
    }
    DetailBookWriter book;
    // Angles share the readers' limit on every number; distances are lengths, at most a book's longest.
    const double toMetres = settings.MetresFlag ? 1.0 : MillimetresToMetres(1.0);
    const auto refuse = [&](const std::string& message) {
        ui.Message(message);
        status.Outcome = RunOutcome::ReadFailed;
        return status;
    };
    bool anyRow = false;
    NameCutter names;
    std::vector<long long> skipped;
    FieldArray f;
    std::string line;
    while (reader.Next(line)) {
        if (reader.LineNumber() == 1) DropByteOrderMark(line);
        if (const auto bad = BareCarriageReturn(inName, reader.LineNumber(), line)) return refuse(*bad);
        if (TrimLeftBlanks(line).empty()) continue;
        // A remark line holds no fields: it is neither a station nor a point.
        const int count = SplitFields(line, f, std::nullopt, false, settings.FixedFieldWidth);
        if (count == 0) continue;
        if (SeparatorsOnly(f, count)) {
            skipped.push_back(reader.LineNumber());
            continue;
        }
        anyRow = true;
        const std::string at = Vn("File ") + inName + Vn(", dòng ") + std::to_string(reader.LineNumber());
        if (const auto refused = DetailBookLine(f, at, toMetres, names, book)) return refuse(*refused);
    }
    if (!anyRow) {
        ui.Message(NoDataMessage(inName));
        status.Outcome = RunOutcome::ReadFailed;
        return status;
    }
    names.Report(inName, ui);
    ReportSkippedRows(inName, skipped, ui);
    WriteToolResult(outName, book.Finish(), ui, status);
    return status;
}

ToolStatus AddRandomErrors(const std::string& inName, const std::string& outName, const ComputationSettings& settings,
                           RandomSource& random, Interaction& ui) {
    ToolStatus status;
    if (!ResultNameUsable({inName}, outName, ui, status)) return status;
    PointNameTable names;
    Observations obs;
    if (!ReadAll(inName, settings, names, obs, ui, status)) return status;
    std::vector<std::string> out;
    for (int i = 1; i <= obs.Sides.Count(); ++i) {
        const double metres = obs.Sides.Lengths[i];
        int error = SignedDraw(random, 11);
        // A side shorter than its error keeps its length above zero: the error goes the other way.
        if (metres * 1000.0 + error <= 0.0) error = -error;
        const std::string length = settings.MetresFlag ? FormatFixed(metres + error / 1000.0, 0, 3)
                                                       : FormatFixed(metres * 1000.0 + error, 0, 0);
        out.push_back(names.Name(obs.Sides.FromIds[i]) + "\t" + names.Name(obs.Sides.ToIds[i]) + "\t" + length);
    }
    for (int i = 1; i <= obs.Angles.Count(); ++i) {
        const double seconds = DegreesToSeconds(obs.Angles.Values[i]) + SignedDraw(random, 31);
        out.push_back(names.Name(obs.Angles.BackIds[i]) + "\t" + names.Name(obs.Angles.StationIds[i]) + "\t" +
                      names.Name(obs.Angles.ForeIds[i]) + "\t" + TrimBlanks(Dms(seconds, 0, ".")));
    }
    WriteToolResult(outName, out, ui, status);
    return status;
}

}  // namespace qef
