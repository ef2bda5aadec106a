#include "core/io/Readers.h"

#include <cmath>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/numeric/Numbers.h"
#include "core/text/SplitLines.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

std::string LineSuffix(long long lineNo);

// Names longer than 15 characters are cut; each is noted once. Two different names that would
// cut to one would merge two points: that is an error at its line.
class NameCutter {
public:
    // `earlier` holds the names of the run's files read before this one, if any.
    explicit NameCutter(ReadNotes& notes, const PointNameTable* earlier = nullptr)
        : notes_(notes), earlier_(earlier) {}

    // The point name of a field as the line has it: every blank removed, at most 15 characters.
    // False, with the message, when it merges with another name or holds a NUL.
    bool Take(const std::string& whole, long long lineNo, std::string& name, Interaction& ui) {
        std::string full;
        for (char c : whole)
            if (c != ' ') full += c;
        // A NUL is no text: the line is damaged, and the name would be another point.
        if (full.find('\0') != std::string::npos) {
            ui.Message(Vn("Tên điểm có ký tự NUL") + LineSuffix(lineNo));
            return false;
        }
        if (full.size() < kPointNameMax) {
            name = std::move(full);
            return true;
        }
        if (full.size() == kPointNameMax) {
            // Exactly as long as a cut name: it must not be one.
            const auto cut = notes_.CutFrom.find(full);
            if (cut != notes_.CutFrom.end()) return Clash(full, cut->second, full, lineNo, ui);
            fullLength_.insert(full);
            name = std::move(full);
            return true;
        }
        name = full.substr(0, kPointNameMax);
        const auto [seen, isNew] = notes_.CutFrom.try_emplace(name, full);
        if (isNew) {
            notes_.CutNames.emplace_back(full, name);
            if (fullLength_.count(name) > 0 || (earlier_ != nullptr && earlier_->Find(name) != 0))
                return Clash(name, full, name, lineNo, ui);
        }
        if (seen->second == full) return true;
        return Clash(seen->second, full, name, lineNo, ui);
    }

private:
    ReadNotes& notes_;
    const PointNameTable* earlier_;
    std::unordered_set<std::string> fullLength_;  // names of exactly 15 characters met uncut

    static bool Clash(const std::string& a, const std::string& b, const std::string& kept, long long lineNo,
                      Interaction& ui) {
        ui.Message(Vn("Hai tên điểm khác nhau ") + QuotedText(a) + " , " + QuotedText(b) + Vn(" cùng bị cắt thành ") +
                   kept + LineSuffix(lineNo));
        return false;
    }
};

// A few line numbers or names of a list for a message; the log has them all.
constexpr std::size_t kNotesShown = 10;

// At the end of a read: how many lines were skipped and which names were cut.
void ShowReadNotes(const ReadNotes& notes, const std::string& fileName, Interaction& ui) {
    if (!notes.SkippedLines.empty()) {
        std::string lines;
        for (std::size_t i = 0; i < notes.SkippedLines.size() && i < kNotesShown; ++i)
            lines += (i > 0 ? ", " : "") + std::to_string(notes.SkippedLines[i].first);
        if (notes.SkippedLines.size() > kNotesShown) lines += ", ...";
        ui.Message(Vn("File ") + fileName + Vn(" : bỏ qua ") + std::to_string(notes.SkippedLines.size()) +
                   Vn(" dòng không đúng số trường (dòng ") + lines + ")");
    }
    ShowCutNames(notes.CutNames, fileName, ui);
}

// Fills the read-error record; the message has been shown by then.
void RecordReadError(ReadErrorRecord& error, const std::string& fileName, long long line, ReadErrorKind field) {
    error.FailedFileName = fileName;
    error.ReadErrorLine = line;
    error.ReadErrorField = field;
    error.ReadErrorFlag = 1;
}

bool ReportOpenFailure(const std::string& fileName, ReadErrorRecord& error, Interaction& ui) {
    RecordReadError(error, fileName, 1, ReadErrorKind::Open);
    ui.Message(Vn("Không mở được file ") + fileName);
    return false;
}

// A file without one line of data would run the computation on nothing, and replace the results
// of the run before with empty ones.
bool ReportNoData(const std::string& fileName, ReadErrorRecord& error, Interaction& ui) {
    RecordReadError(error, fileName, 1, ReadErrorKind::NoData);
    ui.Message(NoDataMessage(fileName));
    return false;
}

// A CR left inside a line is a line end the line source does not split at (old Mac files): the
// whole file would read as one line, and then as a file without data.
bool RefusedForBareCarriageReturn(const SplitLines& lines, const std::string& fileName, ReadErrorRecord& error,
                                  Interaction& ui) {
    if (lines.Line().find('\r') == std::string::npos) return false;
    RecordReadError(error, fileName, lines.LineNumber(), ReadErrorKind::Line);
    ui.Message(BareCarriageReturnMessage(fileName, lines.LineNumber()));
    return true;
}

// Names the physical line of a message that does not name it already.
std::string LineSuffix(long long lineNo) { return Vn(" (dòng ") + std::to_string(lineNo) + ")"; }

std::string NumberMessage(const std::string& text, long long lineNo) {
    return "loi " + QuotedText(text) + LineSuffix(lineNo);
}

std::string BadLineMessage(long long lineNo, const std::string& line) {
    return Vn("Số liệu dòng ") + std::to_string(lineNo) + " : [" + QuotedText(line) + Vn("] không hợp lệ");
}

// Parses a length, height or coordinate field (blanks at both ends removed) and converts it from
// millimetres when the data are not in metres. On a bad text shows the message and gives false.
bool ParseLength(const std::string& field, long long lineNo, const ComputationSettings& settings,
                 double& value, Interaction& ui) {
    const std::string text = TrimBlanks(field);
    if (TryParseMetres(text, settings.MetresFlag, value)) return true;
    ui.Message(NumberMessage(text, lineNo));
    return false;
}

bool IsBlankField(const std::string& field) { return field.find_first_not_of(' ') == std::string::npos; }

// A text where a number belongs that begins as no number does: a remark such as "x" or "kiem tra".
// "nan" and "inf" are numbers gone wrong, and are refused as such.
bool BeginsAsRemark(const std::string& text) {
    if (text.empty() || std::string_view("0123456789+-.").find(text[0]) != std::string_view::npos) return false;
    const std::string head = UpperShort(text.substr(0, 3));
    return head != "NAN" && head != "INF";
}

// A line of four or more fields is an angle. Its fifth field is the side to the fore point when it
// holds a number; what follows the fields a line needs is a remark, and so is a fifth field that
// begins as one. A blank fifth field before a remark is a side not measured.
bool AngleLineHasSide(const FieldArray& f, int count) {
    if (count < 5) return false;
    const std::string fifth = TrimBlanks(f.Whole(5));
    if (fifth.empty()) return count == 5;  // "A,B,C,90.0000,": the length is missing
    return !BeginsAsRemark(fifth);
}

// A two-field line is a point height; one whose value is no number is a line of no known shape.
bool LooksLikeHeightLine(const FieldArray& f) { return IsNumber(TrimBlanks(f.Whole(2))); }

// Names stay text until the whole observation file is read: they are registered in a fixed order
// at the end. Empty names continue the traverse of the lines before.
struct ObservationNames {
    OneBased<std::string> SideFrom, SideTo, AngleBack, AngleStation, AngleFore, HeightNames;
    std::string PrevStation;
    std::string PrevFore;
    // A blank first column of a fixed-width line is filled once the file is read, from the entry
    // before it in its list: entry index -> its line, for the message should there be none.
    struct Pending {
        int Index;
        long long LineNo;
        std::string Line;
    };
    std::vector<Pending> BlankSideFrom, BlankAngleBack;
};

// The observation file being read, at its current line.
struct ObservationLine {
    const std::string& FileName;
    const ComputationSettings& Settings;
    const SplitLines& Lines;
    ReadErrorRecord& Error;
    Interaction& Ui;
    NameCutter& Names;

    // The name of field i; false, with the message, when it merges two names.
    bool Name(int i, std::string& name) const { return Names.Take(Fields().Whole(i), LineNo(), name, Ui); }

    const FieldArray& Fields() const { return Lines.Fields(); }
    long long LineNo() const { return Lines.LineNumber(); }
    // Records the error at this line; the message has been shown by then.
    bool Fail(ReadErrorKind kind) const {
        RecordReadError(Error, FileName, LineNo(), kind);
        return false;
    }
    void ShowBadLine() const { Ui.Message(BadLineMessage(LineNo(), Lines.Line())); }
};

// An empty name takes the name it continues from; with none to take the chain is broken.
void Continue(std::string& name, const std::string& from, bool& chainError) {
    if (!name.empty()) return;
    if (from.empty())
        chainError = true;
    else
        name = from;
}

// An angle, and with `withSide` the side from its station to its fore point.
bool ReadAngleLine(const ObservationLine& in, bool withSide, ObservationNames& text, Observations& obs) {
    const FieldArray& f = in.Fields();
    const long long lineNo = in.LineNo();
    bool chainError = false;
    std::string back, station, fore;
    if (!in.Name(1, back) || !in.Name(2, station) || !in.Name(3, fore)) return in.Fail(ReadErrorKind::Angle);
    const bool blankBack = in.Lines.FixedWidth() && back.empty();
    if (blankBack) {
        // Back and station come from the angle before, once the file is read.
        text.BlankAngleBack.push_back({text.AngleBack.Size() + 1, lineNo, in.Lines.Line()});
    } else {
        Continue(back, text.PrevStation, chainError);
        if (in.Lines.FixedWidth() && station.empty()) chainError = true;
        Continue(station, text.PrevFore, chainError);
    }
    if (fore.empty()) chainError = true;
    text.PrevStation = station;
    text.PrevFore = fore;
    if (chainError) in.ShowBadLine();

    const ParsedAngle parsed = ParseDms(TrimBlanks(f.Whole(4)), in.Settings.AnglesInDegrees, in.Settings.AngleTextWithPoint);
    std::string errorText;
    if (!parsed.Ok()) {
        errorText = AngleFormatMessage(parsed);
        in.Ui.Message(errorText);
    }
    if (!parsed.Ok() || chainError) {
        in.Ui.Message(Vn("Góc ") + back + " " + station + " " + fore + " " + errorText + LineSuffix(lineNo));
        return in.Fail(ReadErrorKind::Angle);
    }
    double angle = parsed.Degrees;
    if (angle > 360.0 || angle < -360.0) {
        in.Ui.Message("Goc o dong " + std::to_string(lineNo) + " qua 360");
        return in.Fail(ReadErrorKind::Angle);
    }
    if (angle < 0.0) angle += 360.0;
    double length = 0.0;
    if (withSide && !ParseLength(f.Whole(5), lineNo, in.Settings, length, in.Ui)) return in.Fail(ReadErrorKind::AngleSide);
    text.AngleBack.PushBack(back);
    text.AngleStation.PushBack(station);
    text.AngleFore.PushBack(fore);
    obs.Angles.Values.PushBack(angle);
    if (withSide) {
        if (station.empty()) text.BlankSideFrom.push_back({text.SideFrom.Size() + 1, lineNo, in.Lines.Line()});
        text.SideFrom.PushBack(station);
        text.SideTo.PushBack(fore);
        obs.Sides.Lengths.PushBack(length);
    }
    return true;
}

bool ReadSideLine(const ObservationLine& in, ObservationNames& text, Observations& obs) {
    const FieldArray& f = in.Fields();
    bool chainError = false;
    std::string from, to;
    if (!in.Name(1, from) || !in.Name(2, to)) return in.Fail(ReadErrorKind::Side);
    if (in.Lines.FixedWidth() && from.empty())
        text.BlankSideFrom.push_back({text.SideFrom.Size() + 1, in.LineNo(), in.Lines.Line()});
    else
        Continue(from, text.PrevStation, chainError);
    if (to.empty()) chainError = true;
    text.PrevStation = to;
    if (chainError) in.ShowBadLine();
    double length = 0.0;
    if (!ParseLength(f.Whole(3), in.LineNo(), in.Settings, length, in.Ui) || chainError)
        return in.Fail(ReadErrorKind::Side);
    text.SideFrom.PushBack(from);
    text.SideTo.PushBack(to);
    obs.Sides.Lengths.PushBack(length);
    return true;
}

// A point height; a line without a name is skipped.
bool ReadHeightLine(const ObservationLine& in, ObservationNames& text, Observations& obs) {
    std::string name;
    if (!in.Name(1, name)) return in.Fail(ReadErrorKind::Height);
    if (name.empty()) return true;
    double height = 0.0;
    if (!ParseLength(in.Fields().Whole(2), in.LineNo(), in.Settings, height, in.Ui))
        return in.Fail(ReadErrorKind::Height);
    text.HeightNames.PushBack(std::move(name));
    obs.Heights.Heights.PushBack(height);
    return true;
}

// Blank first columns of fixed-width lines, in list order: a side from where the side before
// ended, an angle from the station and fore of the angle before. False, with the message, when
// there is no entry before.
bool FillBlankColumns(const ObservationLine& in, ObservationNames& text) {
    using Pending = ObservationNames::Pending;
    const auto fail = [&](const Pending& p, ReadErrorKind kind) {
        in.Ui.Message(BadLineMessage(p.LineNo, p.Line));
        RecordReadError(in.Error, in.FileName, p.LineNo, kind);
        return false;
    };
    for (const Pending& p : text.BlankSideFrom) {
        if (p.Index < 2 || text.SideTo[p.Index - 1].empty()) return fail(p, ReadErrorKind::Side);
        text.SideFrom[p.Index] = text.SideTo[p.Index - 1];
    }
    for (const Pending& p : text.BlankAngleBack) {
        if (p.Index < 2 || text.AngleFore[p.Index - 1].empty()) return fail(p, ReadErrorKind::Angle);
        text.AngleBack[p.Index] = text.AngleStation[p.Index - 1];
        text.AngleStation[p.Index] = text.AngleFore[p.Index - 1];
    }
    return true;
}

}  // namespace

std::string NoDataMessage(const std::string& fileName) { return Vn("File ") + fileName + Vn(" không có số liệu"); }

std::string BareCarriageReturnMessage(const std::string& fileName, long long lineNumber) {
    return Vn("File ") + fileName + Vn(", dòng ") + std::to_string(lineNumber) +
           Vn(" : có dấu xuống dòng CR lẻ, không tách được dòng");
}

void ShowCutNames(const std::vector<std::pair<std::string, std::string>>& cutNames, const std::string& fileName,
                  Interaction& ui) {
    if (cutNames.empty()) return;
    // A few of them: the rest would fill the screen.
    constexpr std::size_t kShown = 10;
    std::string names;
    for (std::size_t i = 0; i < cutNames.size() && i < kShown; ++i)
        names += (i > 0 ? ", " : "") + QuotedText(cutNames[i].first) + " -> " + cutNames[i].second;
    if (cutNames.size() > kShown) names += ", ...";
    ui.Message(Vn("File ") + fileName + " : " + std::to_string(cutNames.size()) +
               Vn(" tên điểm dài quá 15 ký tự bị cắt : ") + names);
}

void LogReadNotes(const ReadNotes& notes, const std::string& fileName, bool keepAccents, LogBuffer& log) {
    if (notes.Empty()) return;
    if (!notes.SkippedLines.empty()) {
        log.Add(StripAccents(Vn("Các dòng không đúng số trường bị bỏ qua, file ") + fileName + " :", keepAccents));
        for (const auto& [lineNo, text] : notes.SkippedLines)
            log.Add(StripAccents(Vn("     Dòng ") + std::to_string(lineNo) + " : [" + QuotedText(text) + "]", keepAccents));
    }
    if (!notes.CutNames.empty()) {
        log.Add(StripAccents(Vn("Các tên điểm dài quá 15 ký tự bị cắt, file ") + fileName + " :", keepAccents));
        for (const auto& [full, kept] : notes.CutNames) log.Add("     " + QuotedText(full) + " -> " + kept);
    }
    log.Add("");
}

void AngleObservations::Clear() {
    BackIds.Clear();
    StationIds.Clear();
    ForeIds.Clear();
    Values.Clear();
}

void SideObservations::Clear() {
    FromIds.Clear();
    ToIds.Clear();
    Lengths.Clear();
}

void HeightObservations::Clear() {
    Ids.Clear();
    Heights.Clear();
}

bool HeightsInObservationFile(const ComputationSettings& settings) {
    return UsesPointHeights(settings.HeightReductionMode) && settings.HeightReduction && !settings.HeightsFromFile;
}

namespace {

bool ReadPointLines(const std::string& fileName, const ComputationSettings& settings,
                    OneBased<std::string>& names, OneBased<double>& x, OneBased<double>& y,
                    OneBased<double>* h, OneBased<long long>* lineNumbers, bool& missingValues,
                    ReadErrorRecord& error, Interaction& ui, ReadNotes& notes) {
    NameCutter cutter(notes);
    names.Clear();
    x.Clear();
    y.Clear();
    if (h != nullptr) h->Clear();
    SplitLines lines(fileName, settings.FixedFieldWidth);
    if (!lines.IsOpen()) return ReportOpenFailure(fileName, error, ui);
    const FieldArray& f = lines.Fields();
    while (lines.Next()) {
        if (RefusedForBareCarriageReturn(lines, fileName, error, ui)) return false;
        const int k = lines.Count();
        if (k == 0) continue;
        const long long lineNo = lines.LineNumber();
        std::string name;
        if (!cutter.Take(f.Whole(1), lineNo, name, ui)) {
            RecordReadError(error, fileName, lineNo, ReadErrorKind::Line);
            return false;
        }
        // A spreadsheet's empty row (separators only) or a row without a name is no point.
        if (name.empty()) {
            notes.SkippedLines.emplace_back(lineNo, lines.Line());
            continue;
        }
        bool noValues = IsBlankField(f[2]) && IsBlankField(f[3]) && (h == nullptr || IsBlankField(f[4]));
        double vx = kMissingValue;
        double vy = kMissingValue;
        double vh = kMissingValue;
        if (noValues) {
            missingValues = true;
        } else {
            bool ok = ParseLength(f.Whole(2), lineNo, settings, vx, ui) &&
                      ParseLength(f.Whole(3), lineNo, settings, vy, ui);
            // A line without a height, or with an empty height field, keeps the height missing.
            if (ok && h != nullptr && k >= 4 && !IsBlankField(f[4]))
                ok = ParseLength(f.Whole(4), lineNo, settings, vh, ui);
            if (!ok) {
                RecordReadError(error, fileName, lineNo, ReadErrorKind::Line);
                return false;
            }
        }
        names.PushBack(std::move(name));
        x.PushBack(vx);
        y.PushBack(vy);
        if (h != nullptr) h->PushBack(vh);
        if (lineNumbers != nullptr) lineNumbers->PushBack(lineNo);
    }
    ShowReadNotes(notes, fileName, ui);
    return true;
}

}  // namespace

bool ReadPointsXY(const std::string& fileName, const ComputationSettings& settings,
                  OneBased<std::string>& names, OneBased<double>& x, OneBased<double>& y,
                  OneBased<double>* h, bool& missingValues, ReadErrorRecord& error, Interaction& ui,
                  ReadNotes* notes) {
    ReadNotes own;
    ReadNotes& kept = notes != nullptr ? *notes : own;
    kept.Clear();
    return ReadPointLines(fileName, settings, names, x, y, h, nullptr, missingValues, error, ui, kept);
}

bool ReadKnownPoints(const std::string& fileName, const ComputationSettings& settings,
                     NetworkModel& model, PointList& points, ReadErrorRecord& error, Interaction& ui,
                     ReadNotes* notes) {
    ReadNotes own;
    ReadNotes& kept = notes != nullptr ? *notes : own;
    kept.Clear();
    OneBased<std::string> names;
    OneBased<double> x;
    OneBased<double> y;
    OneBased<long long> lineNumbers;
    if (!ReadPointLines(fileName, settings, names, x, y, nullptr, &lineNumbers, model.MissingValuesFlag, error, ui,
                        kept))
        return false;
    if (names.Empty()) return ReportNoData(fileName, error, ui);
    OneBased<int> ids;
    RegisterPointNames(model.PointNames, names, ids, names.Size());
    // A point copied twice is harmless; two different positions for one name would fix the
    // network to whichever came first.
    std::unordered_map<int, int> firstLine;
    for (int i = 1; i <= names.Size(); ++i) {
        const auto [seen, isNew] = firstLine.try_emplace(ids[i], i);
        if (isNew) continue;
        const int j = seen->second;
        if (x[i] == x[j] && y[i] == y[j]) continue;
        ui.Message(Vn("Điểm gốc ") + names[i] + Vn(" có toạ độ khác với dòng ") + std::to_string(lineNumbers[j]) +
                   LineSuffix(lineNumbers[i]));
        RecordReadError(error, fileName, lineNumbers[i], ReadErrorKind::Line);
        return false;
    }
    for (int i = 1; i <= names.Size(); ++i)
        if (firstLine.at(ids[i]) == i) points.Add(ids[i], x[i], y[i]);
    return true;
}

bool CountObservationLines(const std::string& fileName, const ComputationSettings& settings,
                           ObservationCounts& counts, ReadErrorRecord& error) {
    counts = ObservationCounts{};
    SplitLines lines(fileName, settings.FixedFieldWidth);
    if (!lines.IsOpen()) {
        RecordReadError(error, fileName, 1, ReadErrorKind::Open);
        return false;
    }
    const bool heights = HeightsInObservationFile(settings);
    while (lines.Next()) {
        ++counts.Lines;
        const int k = lines.Count();
        if (k >= 4) {
            ++counts.Angles;
            if (AngleLineHasSide(lines.Fields(), k)) ++counts.Sides;
        } else if (k == 3) {
            ++counts.Sides;
        } else if (k == 2 && heights) {
            ++counts.Heights;
        }
    }
    return true;
}

bool ReadObservations(const std::string& fileName, const ComputationSettings& settings,
                      PointNameTable& names, Observations& obs, ReadErrorRecord& error, Interaction& ui) {
    obs.Angles.Clear();
    obs.Sides.Clear();
    obs.Heights.Clear();
    // Names cut in the run's other files stay: one cut name must not stand for two points.
    obs.Notes.SkippedLines.clear();
    obs.Notes.CutNames.clear();
    SplitLines lines(fileName, settings.FixedFieldWidth);
    if (!lines.IsOpen()) return ReportOpenFailure(fileName, error, ui);

    ObservationNames text;
    const bool readHeights = HeightsInObservationFile(settings);
    NameCutter cutter(obs.Notes, &names);
    const ObservationLine in{fileName, settings, lines, error, ui, cutter};
    bool ok = true;
    while (ok && lines.Next()) {
        // Refused as any bad line, so that what was read keeps its names below.
        if (RefusedForBareCarriageReturn(lines, fileName, error, ui)) {
            ok = false;
            break;
        }
        if (lines.Line().empty()) continue;
        const int k = lines.Count();
        if (k < 2) {
            // A comment line or a lone word breaks the chaining.
            if (k > 0) obs.Notes.SkippedLines.emplace_back(lines.LineNumber(), lines.Line());
            text.PrevStation.clear();
            text.PrevFore.clear();
        } else if (k >= 4) {
            ok = ReadAngleLine(in, AngleLineHasSide(lines.Fields(), k), text, obs);
        } else if (k == 3) {
            ok = ReadSideLine(in, text, obs);
        } else if (readHeights) {
            ok = ReadHeightLine(in, text, obs);
        } else if (!LooksLikeHeightLine(lines.Fields())) {
            // Heights unused here are passed over; words are no height at all.
            obs.Notes.SkippedLines.emplace_back(lines.LineNumber(), lines.Line());
        }
    }

    if (ok) ok = FillBlankColumns(in, text);
    if (ok) ShowReadNotes(obs.Notes, fileName, ui);
    if (ok && obs.Angles.Count() + obs.Sides.Count() + obs.Heights.Count() == 0) ok = ReportNoData(fileName, error, ui);
    names.Reserve(names.Count() + text.SideFrom.Size() + text.AngleStation.Size());
    RegisterPointNames(names, text.SideFrom, obs.Sides.FromIds, obs.Sides.Count());
    RegisterPointNames(names, text.SideTo, obs.Sides.ToIds, obs.Sides.Count());
    RegisterPointNames(names, text.AngleBack, obs.Angles.BackIds, obs.Angles.Count());
    RegisterPointNames(names, text.AngleStation, obs.Angles.StationIds, obs.Angles.Count());
    RegisterPointNames(names, text.AngleFore, obs.Angles.ForeIds, obs.Angles.Count());
    if (readHeights) RegisterPointNames(names, text.HeightNames, obs.Heights.Ids, obs.Heights.Count());
    return ok;
}

bool ReadNameValueLines(const std::string& fileName, const ComputationSettings& settings,
                        OneBased<std::string>& names, OneBased<double>& values, ReadErrorRecord& error,
                        Interaction& ui, ReadNotes* notes, OneBased<long long>* lineNumbers) {
    ReadNotes own;
    ReadNotes& kept = notes != nullptr ? *notes : own;
    kept.Clear();
    NameCutter cutter(kept);
    names.Clear();
    values.Clear();
    if (lineNumbers != nullptr) lineNumbers->Clear();
    SplitLines lines(fileName, settings.FixedFieldWidth);
    if (!lines.IsOpen()) return ReportOpenFailure(fileName, error, ui);
    const FieldArray& f = lines.Fields();
    while (lines.Next()) {
        if (RefusedForBareCarriageReturn(lines, fileName, error, ui)) return false;
        if (lines.Count() == 0) continue;
        const long long lineNo = lines.LineNumber();
        std::string name;
        if (!cutter.Take(f.Whole(1), lineNo, name, ui)) {
            RecordReadError(error, fileName, lineNo, ReadErrorKind::Line);
            return false;
        }
        if (name.empty()) continue;
        double value = 0.0;
        if (IsBlankField(f[2])) {
            // The missing marker is never a known height: a named line must carry its value.
            ui.Message(BadLineMessage(lineNo, lines.Line()));
            RecordReadError(error, fileName, lineNo, ReadErrorKind::Height);
            return false;
        }
        if (!ParseLength(f.Whole(2), lineNo, settings, value, ui)) {
            RecordReadError(error, fileName, lineNo, ReadErrorKind::Height);
            return false;
        }
        names.PushBack(std::move(name));
        values.PushBack(value);
        if (lineNumbers != nullptr) lineNumbers->PushBack(lineNo);
    }
    ShowReadNotes(kept, fileName, ui);
    return true;
}

bool ReadHeightFile(const std::string& fileName, const ComputationSettings& settings,
                    PointNameTable& table, OneBased<int>& ids, OneBased<double>& heights,
                    ReadErrorRecord& error, Interaction& ui, ReadNotes* notes, OneBased<long long>* lineNumbers) {
    OneBased<std::string> names;
    if (!ReadNameValueLines(fileName, settings, names, heights, error, ui, notes, lineNumbers)) return false;
    ids.Clear();
    RegisterPointNames(table, names, ids, names.Size());
    return true;
}

bool ReadLevellingLines(const std::string& fileName, const ComputationSettings& settings,
                        PointNameTable& table, LevellingLines& lines, ReadErrorRecord& error,
                        Interaction& ui) {
    std::unordered_map<std::string, std::string> cutBefore = std::move(lines.Notes.CutFrom);
    lines = LevellingLines{};
    lines.Notes.CutFrom = std::move(cutBefore);
    SplitLines input(fileName, settings.FixedFieldWidth);
    if (!input.IsOpen()) return ReportOpenFailure(fileName, error, ui);
    OneBased<std::string> fromNames, toNames;
    NameCutter cutter(lines.Notes, &table);
    const FieldArray& f = input.Fields();
    while (input.Next()) {
        if (RefusedForBareCarriageReturn(input, fileName, error, ui)) return false;
        const long long lineNo = input.LineNumber();
        if (input.Count() != 4) {
            if (input.Count() > 0) lines.Notes.SkippedLines.emplace_back(lineNo, input.Line());
            continue;
        }
        std::string from, to;
        if (!cutter.Take(f.Whole(1), lineNo, from, ui) || !cutter.Take(f.Whole(2), lineNo, to, ui)) {
            RecordReadError(error, fileName, lineNo, ReadErrorKind::Line);
            return false;
        }
        if (from.empty() && !toNames.Empty()) from = toNames.Back();
        if (from.empty() || to.empty()) {
            // Nothing to continue from: the point would have no name.
            ui.Message(BadLineMessage(lineNo, input.Line()));
            RecordReadError(error, fileName, lineNo, ReadErrorKind::Line);
            return false;
        }
        double length = 0.0;
        double dh = 0.0;
        if (!ParseLength(f.Whole(3), lineNo, settings, length, ui) || !ParseLength(f.Whole(4), lineNo, settings, dh, ui)) {
            RecordReadError(error, fileName, lineNo, ReadErrorKind::Line);
            return false;
        }
        fromNames.PushBack(std::move(from));
        toNames.PushBack(std::move(to));
        lines.Lengths.PushBack(length);
        lines.Dhs.PushBack(dh);
        lines.LineNumbers.PushBack(lineNo);
    }
    RegisterPointNames(table, fromNames, lines.FromIds, lines.Count());
    RegisterPointNames(table, toNames, lines.ToIds, lines.Count());
    ShowReadNotes(lines.Notes, fileName, ui);
    return true;
}

}  // namespace qef
