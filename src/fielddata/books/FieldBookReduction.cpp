#include "fielddata/books/FieldBookReduction.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/io/ToolFiles.h"
#include "core/model/OutputNames.h"
#include "core/model/OutputSet.h"
#include "fielddata/books/BookFiles.h"
#include "fielddata/books/BookNumbers.h"
#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

constexpr char kTab = '\t';

bool SameNameCaseBlind(const std::string& a, const std::string& b) { return UpperShort(a) == UpperShort(b); }

// Book numbers carry no leading blanks.
std::string Dms(int decimals, double degrees) { return TrimLeftBlanks(FormatDms(decimals, " ", degrees)); }

double Normalized(double degrees) {
    if (degrees < 0) degrees += 360;
    if (degrees >= 360) degrees -= 360;
    return degrees;
}

// The face-right reading turned to face left.
double FaceRightTurned(double right, double left) { return right <= left ? right + 180 : right - 180; }

double MeanDirection(double right, double left, int decimals) {
    const double turned = FaceRightTurned(right, left);
    // Rounding can carry a value just below 360 up to it: that is 0.
    const double h = RoundDms(decimals, Normalized((left + turned) / 2));
    return h >= 360 ? h - 360 : h;
}

long long TwoCSeconds(double right, double left) {
    return static_cast<long long>(RoundHalfEven(0, DegreesToSeconds(left - FaceRightTurned(right, left))));
}

// The mean of two directions on the circle: 359 59 58 and 0 00 02 average to 0 00 00.
double CircularMean(double a, double b) {
    if (std::fabs(a - b) > 180) (a < b ? a : b) += 360;
    return Normalized((a + b) / 2);
}

// `value` moved by whole turns to lie within half a turn of `reference`.
double NearTo(double value, double reference) {
    if (value - reference > 180) return value - 360;
    if (value - reference < -180) return value + 360;
    return value;
}

std::string Metres(double x) { return FormatFixed(x, 0, 3); }

std::string SideKey(const std::string& a, const std::string& b) {
    return a < b ? a + '\n' + b : b + '\n' + a;
}

}  // namespace

bool ReadRawObservations(const std::string& fileName, const ComputationSettings& settings, Interaction& ui,
                         RawObservations& raw) {
    LineReader reader(fileName);
    raw.Angles.Clear();
    raw.Distances.Clear();
    FieldArray fields;
    std::string line;
    // Names longer than a point name are cut; each is reported once, with the names it became.
    std::vector<std::pair<std::string, std::string>> cut;
    std::unordered_set<std::string> seenCut;
    const auto name = [&](std::size_t i) {
        const std::string& whole = fields.Whole(i);
        if (whole.size() > kPointNameMax && seenCut.insert(whole).second) cut.emplace_back(whole, fields[i]);
        return fields[i];
    };
    if (!reader.IsOpen()) {
        ui.Message(Vn("Không đọc được file ") + fileName);
        return false;
    }
    while (reader.Next(line)) {
        if (reader.LineNumber() == 1) DropByteOrderMark(line);
        if (const auto bad = BareCarriageReturn(fileName, reader.LineNumber(), line)) {
            ui.Message(*bad);
            return false;
        }
        // A NUL is no text: the line is damaged, and a message holding it would end there.
        if (line.find('\0') != std::string::npos) {
            ui.Message(Vn("File ") + fileName + Vn(", dòng ") + std::to_string(reader.LineNumber()) +
                       Vn(" : có ký tự NUL, dòng bị hỏng"));
            return false;
        }
        if (TrimBlanks(line).empty()) continue;
        const int count = SplitFields(line, fields, std::nullopt, false, settings.FixedFieldWidth);
        if (count == 4) {
            AngleRecord record{name(1), name(2), name(3), 0, false, reader.LineNumber()};
            const std::string text = TrimBlanks(fields[4]);
            const ParsedAngle angle = ParseDms(text, settings.AnglesInDegrees, settings.AngleTextWithPoint);
            record.Degrees = angle.Degrees;
            // A circle reading lies on the circle: anything else is a slip that would swamp the sums.
            if (!angle.Ok() || !(angle.Degrees >= 0 && angle.Degrees <= 360)) {
                record.Bad = true;
                ParsedAngle shown = angle;
                if (angle.Ok()) shown.Text = text;  // with its sign
                ui.Message(Vn("Góc ") + record.Backsight + " " + record.Station + " " + record.Target + " " +
                           AngleFormatMessage(shown));
            }
            raw.Angles.PushBack(std::move(record));
        } else if (count == 3) {
            DistanceRecord record{name(1), name(2), 0, false, reader.LineNumber()};
            const bool number = TryParseReal(fields[3], record.Metres);
            if (!number || !(record.Metres >= 0 && record.Metres <= kLongestBookDistanceMetres)) {
                record.Bad = true;
                const char* why = !number || std::isnan(record.Metres) ? " không phải là số"
                                  : record.Metres < 0                  ? " âm"
                                                                       : " dài quá 1000000 m";
                ui.Message(Vn("File ") + fileName + Vn(", dòng ") + std::to_string(reader.LineNumber()) +
                           Vn(" : khoảng cách ") + QuotedText(fields[3]) + Vn(why));
            }
            raw.Distances.PushBack(std::move(record));
        }
    }
    if (!cut.empty()) {
        std::string names;
        for (std::size_t i = 0; i < cut.size() && i < 10; ++i)
            names += (i > 0 ? ", " : "") + QuotedText(cut[i].first) + " -> " + cut[i].second;
        if (cut.size() > 10) names += ", ...";
        ui.Message(Vn("File ") + fileName + " : " + std::to_string(cut.size()) +
                   Vn(" tên điểm dài quá 15 ký tự bị cắt : ") + names);
    }
    return true;
}

FieldBookReducer::FieldBookReducer(const RawObservations& raw, const FieldBookOptions& options, Interaction& ui)
    : raw_(raw), options_(options), ui_(ui) {
    options_.AngleSets = std::max(1, options_.AngleSets);
    options_.SecondsDecimals = std::clamp(options_.SecondsDecimals, 0, 6);
    options_.DistanceCount = std::max(0, options_.DistanceCount);
}

bool FieldBookReducer::Run() {
    askedOnce_ = false;
    if (!GroupAngleStations()) return false;
    askedOnce_ = false;
    ReduceDistances();
    return true;
}

bool FieldBookReducer::AskGoOn(const std::string& utf8Before, const AngleRecord& head, const std::string& utf8After) {
    return ui_.AskYesNo(Vn(utf8Before) + head.Station + " --> " + head.Backsight + Vn(utf8After)) == Answer::Yes;
}

bool FieldBookReducer::GroupAngleStations() {
    const OneBased<AngleRecord>& a = raw_.Angles;
    const int count = a.Size();
    if (count == 0) return true;
    const int declared = options_.AngleSets;

    int first = 1;
    int lines = 1;
    int sets = 1;
    std::vector<std::string> open{a[1].Target};
    auto startBlock = [&](int i) {
        first = i;
        lines = 1;
        sets = 1;
        open.assign(1, i <= count ? a[i].Target : std::string());
    };
    auto blockLine = [&] { return std::to_string(a[first].Line); };

    for (int i = 2; i <= count + 1; ++i) {
        const bool sameStation =
            i <= count && a[i].Backsight == a[first].Backsight && a[i].Station == a[first].Station;
        if (!open.empty() && sameStation) {
            ++lines;
            const auto found = std::find_if(open.begin(), open.end(),
                                            [&](const std::string& t) { return SameNameCaseBlind(t, a[i].Target); });
            if (found == open.end()) open.push_back(a[i].Target);
            else open.erase(found);
        } else if (!open.empty()) {
            if (!AskGoOn("Dữ liệu trạm ", a[first], " ở dòng " + blockLine() + " chưa hoàn chỉnh. Có tiếp tục không?"))
                return false;
            startBlock(i);
        } else if (sets == declared) {
            if (!ReduceAngleSets(lines, first)) return false;
            startBlock(i);
        } else if (sameStation) {
            ++sets;
            ++lines;
            open.assign(1, a[first].Target);
        } else {
            if (!AskGoOn("Dữ liệu trạm ", a[first],
                         " ở dòng " + blockLine() + " thiếu " + std::to_string(declared - sets) +
                             " lần đo. Có tiếp tục không?"))
                return false;
            startBlock(i);
        }
    }
    return true;
}

bool FieldBookReducer::ReduceAngleSets(int n, int first) {
    if (n == 0) return true;
    AngleSetBlock block;
    block.First = first;
    if (const std::optional<bool> goOn = MatchAngleSets(n, block)) return *goOn;
    // A reading that did not parse was reported when read; the station is left out.
    const OneBased<AngleRecord>& a = raw_.Angles;
    for (int i = first; i < first + 2 * block.Directions * block.Sets; ++i)
        if (a[i].Bad) return true;
    WriteAngleSets(block);
    return true;
}

std::optional<bool> FieldBookReducer::MatchAngleSets(int n, AngleSetBlock& block) {
    const OneBased<AngleRecord>& a = raw_.Angles;
    const int first = block.First;
    const AngleRecord& head = a[first];
    const int declared = options_.AngleSets;
    const int last = first + n - 1;
    const char* const incomplete = " chưa hòan chỉnh. Số dòng lẽ. Có tiếp tục không?";

    if (n < 4) return AskGoOn("Số liệu đo góc trạm ", head, " chưa đủ 4 dòng. Có tiếp tục không?");
    if ((n / declared) % 2 == 1) return AskGoOn("Số liệu đo góc trạm ", head, incomplete);
    if (SameNameCaseBlind(a[first].Target, a[first + 1].Target))
        return AskGoOn("Số liệu đo góc trạm ", head, incomplete);
    int k = 0;
    for (int j = first + 1; j <= last - 1; ++j) {
        if (SameNameCaseBlind(a[j].Target, a[j + 1].Target)) {
            k = j - first + 1;
            break;
        }
    }
    if (k == 0) return AskGoOn("Số liệu đo góc trạm ", head, incomplete);
    if ((n / 2) % k != 0)
        return ui_.AskYesNo(Vn("Số hướng đo không phù hợp. Trạm ") + head.Station + " --> " + head.Backsight +
                            Vn(" Số dòng lẽ. Có tiếp tục không?")) == Answer::Yes;
    const int setsInFile = n / 2 / k;
    if (setsInFile != declared && !askedOnce_) {
        if (ui_.AskYesNo(Vn("Số lần đo góc trong file khác với khai báo. Trạm ") + head.Station + " --> " +
                         head.Backsight + Vn(" và có thể còn nữa. Có tiếp tục không?")) != Answer::Yes)
            return false;
        askedOnce_ = true;
    }
    // Only whole sets of the block are reduced: nothing is read past it.
    const int sets = std::min(declared, setsInFile);

    // Face left and face right of every direction, in every set, sight the target of the first set.
    for (int s = 1; s <= sets; ++s) {
        const int base = 2 * k * (s - 1) + first - 1;
        for (int d = 1; d <= k; ++d) {
            const std::string& target = a[first - 1 + d].Target;
            if (!SameNameCaseBlind(a[base + d].Target, target) ||
                !SameNameCaseBlind(a[base + 2 * k - d + 1].Target, target))
                return AskGoOn("Số liệu đo góc trạm ", head, incomplete);
        }
    }
    block.Directions = k;
    block.Sets = sets;
    return std::nullopt;
}

void FieldBookReducer::WriteAngleSets(const AngleSetBlock& block) {
    const OneBased<AngleRecord>& a = raw_.Angles;
    const int first = block.First;
    const int k = block.Directions;
    const int sets = block.Sets;
    const AngleRecord& head = a[first];
    const int decimals = options_.SecondsDecimals;
    // A round of more than two targets is closed when it ends on its first target.
    const bool closed = k > 2 && SameNameCaseBlind(a[first + k - 1].Target, a[first].Target);

    std::vector<std::string>& book = books_.AngleBook;
    book.push_back(std::string(4, kTab) + Vn("Trạm ") + head.Station);
    book.emplace_back();
    std::vector<double> sum(static_cast<std::size_t>(k) + 1, 0.0);
    std::vector<double> firstSet(static_cast<std::size_t>(k) + 1, 0.0);
    std::vector<double> half(static_cast<std::size_t>(k) + 1, 0.0);
    for (int s = 1; s <= sets; ++s) {
        const int base = 2 * k * (s - 1) + first - 1;
        for (int d = 1; d <= k; ++d) half[d] = MeanDirection(a[base + 2 * k - d + 1].Degrees, a[base + d].Degrees, decimals);
        double origin = half[1];
        if (closed) {
            origin = RoundDms(decimals, CircularMean(half[1], half[k]));
            if (origin >= 360) origin -= 360;
        }
        for (int d = 1; d <= k; ++d) {
            const AngleRecord& left = a[base + d];
            const double right = a[base + 2 * k - d + 1].Degrees;
            std::string line = (d == 1 ? std::to_string(s) : std::string()) + kTab + left.Target + kTab +
                               Dms(0, left.Degrees) + kTab + Dms(0, right) + kTab +
                               std::to_string(TwoCSeconds(right, left.Degrees)) + kTab + Dms(decimals, half[d]);
            if (d == 1) {
                book.push_back(std::move(line));
                continue;
            }
            if (d == k && closed) {
                book.push_back(line + kTab);
                continue;
            }
            double reduced = half[d] - origin;
            if (half[d] < origin) reduced += 360;
            if (s == 1) firstSet[d] = reduced;
            sum[d] += NearTo(reduced, firstSet[d]);
            line += kTab + Dms(decimals, reduced);
            if (s == sets) {
                double mean = RoundDms(decimals, Normalized(sum[d] / sets));
                if (mean >= 360) mean -= 360;
                books_.AdjustmentLines.push_back(head.Backsight + kTab + head.Station + kTab + left.Target + kTab +
                                                 TrimLeftBlanks(FormatDms(decimals, ".", mean)));
                line += kTab + Dms(decimals, mean);
            }
            book.push_back(std::move(line));
        }
        book.emplace_back();
        book.emplace_back();
    }
}

void FieldBookReducer::ReduceDistances() {
    if (options_.DistanceCount == 0) return;
    if (options_.Distances == DistanceMode::ForwardBack) ReduceDistancesForwardBack();
    else ReduceDistancesFree();
}

// Sides in order of first appearance, filled in one pass over the records in file order.
std::vector<FieldBookReducer::Side> FieldBookReducer::CollectSides(bool forwardBack) {
    const int n = options_.DistanceCount;
    const int half = static_cast<int>(RoundHalfEven(0, n / 2.0));
    // An odd count in forward/back mode still gets its h forward and h back slots.
    const auto slots = static_cast<std::size_t>(forwardBack ? std::max(n, 2 * half) : n);
    std::vector<Side> sides;
    std::unordered_map<std::string, std::size_t> index;
    for (const DistanceRecord& r : raw_.Distances) {
        const auto [at, added] = index.try_emplace(SideKey(r.From, r.To), sides.size());
        if (added) sides.push_back({r.From, r.To, std::vector<double>(slots, 0.0), 0, 0, 0, false});
        Side& side = sides[at->second];
        if (r.Bad) {
            side.Bad = true;
            continue;
        }
        if (!forwardBack) {
            if (side.Filled < n) side.Values[static_cast<std::size_t>(side.Filled++)] = r.Metres;
            continue;
        }
        const bool own = r.From == side.From && r.To == side.To;
        if (own && side.Forward < half) side.Values[static_cast<std::size_t>(side.Forward++)] = r.Metres;
        else if (!own && side.Back < half) side.Values[static_cast<std::size_t>(half + side.Back++)] = r.Metres;
        side.Filled = side.Forward + side.Back;
    }
    return sides;
}

void FieldBookReducer::WarnShortSide(const Side& side) {
    if (side.Filled >= options_.DistanceCount || askedOnce_) return;
    ui_.Message(Vn("Số lần đo đi của cạnh ") + side.From + " --> " + side.To + Vn(" không đủ và có thể còn nữa"));
    askedOnce_ = true;
}

void FieldBookReducer::WriteSide(const Side& side, bool forwardBack) {
    const int n = options_.DistanceCount;
    const int half = static_cast<int>(RoundHalfEven(0, n / 2.0));
    double sum = 0;
    for (double v : side.Values) sum += v;
    const auto [low, high] = std::minmax_element(side.Values.begin(), side.Values.end());
    double mean = 0;
    if (side.Filled > 0)
        mean = forwardBack ? RoundFourThenThree(sum / side.Filled) : RoundHalfEvenDecimal(3, sum / side.Filled);
    const double tolerance = RoundFourThenThree(options_.DistanceTolerance / 1000.0);
    std::string remark;
    if (side.Filled < n) remark = "\t// Thieu";
    else if (RoundFourThenThree(*high - *low) > tolerance) remark = "\t// 0 dat";

    std::vector<std::string>& book = books_.DistanceBook;
    const auto value = [&](int slot) { return Metres(side.Values[static_cast<std::size_t>(slot - 1)]); };
    if (forwardBack) {
        book.push_back(side.From + kTab + side.To + kTab + value(1) + kTab + value(half + 1) + kTab + Metres(mean) + remark);
        for (int t = 2; t <= half; ++t) book.push_back(std::string(2, kTab) + value(t) + kTab + value(half + t));
    } else {
        book.push_back(side.From + kTab + side.To + kTab + value(1) + kTab + Metres(mean) + remark);
        for (int t = 2; t <= n; ++t) book.push_back(std::string(2, kTab) + value(t));
    }
    books_.AdjustmentLines.push_back(side.From + kTab + side.To + kTab + Metres(mean));
}

void FieldBookReducer::ReduceDistancesForwardBack() {
    const std::vector<Side> sides = CollectSides(true);
    for (const Side& side : sides)
        if (!side.Bad) WarnShortSide(side);
    for (const Side& side : sides)
        if (!side.Bad) WriteSide(side, true);
}

void FieldBookReducer::ReduceDistancesFree() {
    const std::vector<Side> sides = CollectSides(false);
    for (const Side& side : sides)
        if (!side.Bad) WarnShortSide(side);
    for (const Side& side : sides)
        if (!side.Bad) WriteSide(side, false);
}

FieldBookOutcome BuildFieldBooks(const FieldBookFiles& files, const FieldBookOptions& options,
                                 const ComputationSettings& settings, Interaction& ui) {
    if (!CheckOutputNames({files.Raw}, {files.AngleBook, files.DistanceBook, files.Adjustment}, ui))
        return FieldBookOutcome::NameCollision;
    if (OutputSet::InUse(files.AngleBook)) {
        ui.Message(OutputSet::BusyMessage(files.AngleBook));
        return FieldBookOutcome::WriteFailed;
    }

    RawObservations raw;
    if (!ReadRawObservations(files.Raw, settings, ui, raw)) return FieldBookOutcome::ReadFailed;
    // A file without a single sound record would replace the books of the last run with empty ones.
    const auto sound = [](const auto& records) {
        return std::any_of(records.begin(), records.end(), [](const auto& r) { return !r.Bad; });
    };
    if (!sound(raw.Angles) && !sound(raw.Distances)) {
        ui.Message(NoDataMessage(files.Raw));
        return FieldBookOutcome::ReadFailed;
    }
    FieldBookReducer reducer(raw, options, ui);
    const bool completed = reducer.Run();
    const FieldBooks& books = reducer.Books();
    if (const auto failed = WriteBookSet({{files.AngleBook, &books.AngleBook},
                                          {files.DistanceBook, &books.DistanceBook},
                                          {files.Adjustment, &books.AdjustmentLines}},
                                         {files.Raw})) {
        ui.Message(*failed);
        return FieldBookOutcome::WriteFailed;
    }
    return completed ? FieldBookOutcome::Completed : FieldBookOutcome::Stopped;
}

}  // namespace qef
