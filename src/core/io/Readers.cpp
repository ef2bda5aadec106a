#include "core/io/Readers.h"

#include <memory>

#include "core/numeric/Numbers.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

void DropTrailingBlanks(std::string& line) {
    while (!line.empty() && line.back() == ' ') line.pop_back();
}

// A point name from a field: every blank removed, at most 15 characters.
std::string Name(const std::string& field) { return RemoveCharToName(field); }

// Fills the read-error record; the message has been shown by then.
void RecordReadError(ReadErrorRecord& error, const std::string& fileName, long long line, int field) {
    error.FailedFileName = fileName;
    error.ReadErrorLine = line;
    error.ReadErrorField = field;
    error.ReadErrorFlag = 1;
}

bool ReportOpenFailure(const std::string& fileName, ReadErrorRecord& error, Interaction& ui) {
    RecordReadError(error, fileName, 1, 1);
    bool flag = false;
    ShowError(ui, flag, Vn("Không mở được file ") + fileName);
    return false;
}

// Names the physical line of a message that does not name it already.
std::string LineSuffix(long long lineNo) { return Vn(" (dòng ") + std::to_string(lineNo) + ")"; }

std::string NumberMessage(const std::string& text, long long lineNo) { return "loi " + text + LineSuffix(lineNo); }

std::string BadLineMessage(long long lineNo, const std::string& line) {
    return Vn("Số liệu dòng ") + std::to_string(lineNo) + " : [" + line + Vn("] không hợp lệ");
}

// Parses a length, height or coordinate field (blanks at both ends removed) and converts it from
// millimetres when the data are not in metres. On a bad text shows the message and gives false.
bool ParseLength(const std::string& field, long long lineNo, const ComputationSettings& settings,
                 double& value, Interaction& ui) {
    std::string text = TrimBlanks(field);
    if (!TryParseReal(text, value)) {
        bool flag = false;
        ShowError(ui, flag, NumberMessage(text, lineNo));
        return false;
    }
    value = MillimetresToMetres(settings.MetresFlag, value);
    return true;
}

bool IsBlankField(const std::string& field) { return field.find_first_not_of(' ') == std::string::npos; }

// A file read line by line, each line without its trailing blanks and split into fields
// (separator detected, comments removed).
class SplitLines {
public:
    SplitLines(const std::string& fileName, const ComputationSettings& settings)
        : reader_(fileName), width_(settings.FixedFieldWidth) {}
    bool IsOpen() const { return reader_.IsOpen(); }
    // The next line; false at end of file. Count() is 0 for an empty or comment-only line.
    bool Next() {
        if (!reader_.Next(line_)) return false;
        DropTrailingBlanks(line_);
        count_ = line_.empty() ? 0 : SplitFields(line_, *fields_, -1, false, width_);
        return true;
    }
    const std::string& Line() const { return line_; }
    const FieldArray& Fields() const { return *fields_; }
    int Count() const { return count_; }
    long long LineNumber() const { return reader_.LineNumber(); }

private:
    LineReader reader_;
    std::unique_ptr<FieldArray> fields_ = std::make_unique<FieldArray>();  // large: on the heap
    int width_;
    std::string line_;
    int count_ = 0;
};

}  // namespace

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
    return settings.HeightReductionMode >= 1 && settings.HeightReduction && !settings.HeightsFromFile;
}

bool ReadPointsXY(const std::string& fileName, const ComputationSettings& settings,
                  OneBased<std::string>& names, OneBased<double>& x, OneBased<double>& y,
                  OneBased<double>* h, bool& missingValues, ReadErrorRecord& error, Interaction& ui) {
    names.Clear();
    x.Clear();
    y.Clear();
    if (h != nullptr) h->Clear();
    SplitLines lines(fileName, settings);
    if (!lines.IsOpen()) return ReportOpenFailure(fileName, error, ui);
    const FieldArray& f = lines.Fields();
    while (lines.Next()) {
        const int k = lines.Count();
        if (k == 0) continue;
        const long long lineNo = lines.LineNumber();
        bool noValues = IsBlankField(f[2]) && IsBlankField(f[3]) && (h == nullptr || IsBlankField(f[4]));
        double vx = kMissingValue;
        double vy = kMissingValue;
        double vh = kMissingValue;
        if (noValues) {
            missingValues = true;
        } else {
            bool ok = ParseLength(f[2], lineNo, settings, vx, ui) && ParseLength(f[3], lineNo, settings, vy, ui);
            // A line without a height, or with an empty height field, keeps the height missing.
            if (ok && h != nullptr && k >= 4 && !IsBlankField(f[4])) ok = ParseLength(f[4], lineNo, settings, vh, ui);
            if (!ok) {
                RecordReadError(error, fileName, lineNo, 0);
                return false;
            }
        }
        names.PushBack(Name(f[1]));
        x.PushBack(vx);
        y.PushBack(vy);
        if (h != nullptr) h->PushBack(vh);
    }
    return true;
}

bool ReadKnownPoints(const std::string& fileName, const ComputationSettings& settings,
                     NetworkModel& model, PointList& points, ReadErrorRecord& error, Interaction& ui) {
    OneBased<std::string> names;
    OneBased<double> x;
    OneBased<double> y;
    if (!ReadPointsXY(fileName, settings, names, x, y, nullptr, model.MissingValuesFlag, error, ui)) return false;
    OneBased<int> ids;
    RegisterPointNames(model.PointNames, names, ids, names.Size());
    for (int i = 1; i <= names.Size(); ++i) points.Add(ids[i], x[i], y[i]);
    return true;
}

bool CountObservationLines(const std::string& fileName, const ComputationSettings& settings,
                           ObservationCounts& counts, ReadErrorRecord& error) {
    counts = ObservationCounts{};
    SplitLines lines(fileName, settings);
    if (!lines.IsOpen()) {
        RecordReadError(error, fileName, 1, 1);
        return false;
    }
    const bool heights = HeightsInObservationFile(settings);
    while (lines.Next()) {
        ++counts.Lines;
        switch (lines.Count()) {
            case 5: ++counts.Sides; ++counts.Angles; break;
            case 4: ++counts.Angles; break;
            case 3: ++counts.Sides; break;
            case 2: if (heights) ++counts.Heights; break;
            default: break;
        }
    }
    return true;
}

bool ReadObservations(const std::string& fileName, const ComputationSettings& settings,
                      PointNameTable& names, Observations& obs, ReadErrorRecord& error, Interaction& ui) {
    obs.Angles.Clear();
    obs.Sides.Clear();
    obs.Heights.Clear();
    SplitLines lines(fileName, settings);
    if (!lines.IsOpen()) return ReportOpenFailure(fileName, error, ui);

    // Names stay text until the whole file is read: they are registered in a fixed order at the end.
    OneBased<std::string> sideFrom, sideTo, angleBack, angleStation, angleFore, heightNames;
    const bool readHeights = HeightsInObservationFile(settings);
    std::string prevStation;
    std::string prevFore;
    const FieldArray& f = lines.Fields();
    const std::string& line = lines.Line();
    bool ok = true;

    while (ok && lines.Next()) {
        const long long lineNo = lines.LineNumber();
        if (line.empty()) continue;
        const int k = lines.Count();
        if (k < 2 || k > 5) {
            // A comment line or one of an unexpected shape breaks the chaining.
            prevStation.clear();
            prevFore.clear();
            continue;
        }
        bool chainError = false;
        auto fill = [&](std::string& name, const std::string& from) {
            if (!name.empty()) return;
            if (from.empty()) chainError = true;
            else name = from;
        };
        auto badLine = [&] {
            bool flag = false;
            ShowError(ui, flag, BadLineMessage(lineNo, line));
        };

        if (k == 4 || k == 5) {
            std::string back = Name(f[1]);
            std::string station = Name(f[2]);
            std::string fore = Name(f[3]);
            fill(back, prevStation);
            fill(station, prevFore);
            if (fore.empty()) chainError = true;
            prevStation = station;
            prevFore = fore;
            if (chainError) badLine();

            std::string errorText;
            bool angleError = false;
            double angle = ParseDms(TrimBlanks(f[4]), settings.AnglesInDegrees, settings.AngleTextWithPoint,
                                    errorText, angleError, &ui);
            if (angleError || chainError) {
                ui.Message(Vn("Góc ") + back + " " + station + " " + fore + " " + errorText + LineSuffix(lineNo));
                RecordReadError(error, fileName, lineNo, 4);
                ok = false;
                break;
            }
            if (angle > 360.0 || angle < -360.0) {
                bool flag = false;
                ShowError(ui, flag, "Goc o dong " + std::to_string(lineNo) + " qua 360");
                RecordReadError(error, fileName, lineNo, 4);
                ok = false;
                break;
            }
            if (angle < 0.0) angle += 360.0;
            double length = 0.0;
            if (k == 5 && !ParseLength(f[5], lineNo, settings, length, ui)) {
                RecordReadError(error, fileName, lineNo, 5);
                ok = false;
                break;
            }
            angleBack.PushBack(back);
            angleStation.PushBack(station);
            angleFore.PushBack(fore);
            obs.Angles.Values.PushBack(angle);
            if (k == 5) {
                sideFrom.PushBack(station);
                sideTo.PushBack(fore);
                obs.Sides.Lengths.PushBack(length);
            }
        } else if (k == 3) {
            std::string from = Name(f[1]);
            std::string to = Name(f[2]);
            fill(from, prevStation);
            if (to.empty()) chainError = true;
            prevStation = to;
            if (chainError) badLine();
            double length = 0.0;
            if (!ParseLength(f[3], lineNo, settings, length, ui) || chainError) {
                RecordReadError(error, fileName, lineNo, 3);
                ok = false;
                break;
            }
            sideFrom.PushBack(from);
            sideTo.PushBack(to);
            obs.Sides.Lengths.PushBack(length);
        } else if (readHeights) {  // k == 2
            std::string name = Name(f[1]);
            if (name.empty()) continue;
            double height = 0.0;
            if (!ParseLength(f[2], lineNo, settings, height, ui)) {
                RecordReadError(error, fileName, lineNo, 2);
                ok = false;
                break;
            }
            heightNames.PushBack(name);
            obs.Heights.Heights.PushBack(height);
        }
    }

    names.Reserve(names.Count() + sideFrom.Size() + angleStation.Size());
    RegisterPointNames(names, sideFrom, obs.Sides.FromIds, obs.Sides.Count());
    RegisterPointNames(names, sideTo, obs.Sides.ToIds, obs.Sides.Count());
    RegisterPointNames(names, angleBack, obs.Angles.BackIds, obs.Angles.Count());
    RegisterPointNames(names, angleStation, obs.Angles.StationIds, obs.Angles.Count());
    RegisterPointNames(names, angleFore, obs.Angles.ForeIds, obs.Angles.Count());
    if (readHeights) RegisterPointNames(names, heightNames, obs.Heights.Ids, obs.Heights.Count());
    return ok;
}

bool ReadNameValueLines(const std::string& fileName, const ComputationSettings& settings,
                        OneBased<std::string>& names, OneBased<double>& values, ReadErrorRecord& error,
                        Interaction& ui) {
    names.Clear();
    values.Clear();
    SplitLines lines(fileName, settings);
    if (!lines.IsOpen()) return ReportOpenFailure(fileName, error, ui);
    const FieldArray& f = lines.Fields();
    while (lines.Next()) {
        if (lines.Count() == 0) continue;
        std::string name = Name(f[1]);
        if (name.empty()) continue;
        const long long lineNo = lines.LineNumber();
        double value = 0.0;
        if (IsBlankField(f[2])) {
            // The missing marker is never a known height: a named line must carry its value.
            bool flag = false;
            ShowError(ui, flag, BadLineMessage(lineNo, lines.Line()));
            RecordReadError(error, fileName, lineNo, 2);
            return false;
        }
        if (!ParseLength(f[2], lineNo, settings, value, ui)) {
            RecordReadError(error, fileName, lineNo, 2);
            return false;
        }
        names.PushBack(std::move(name));
        values.PushBack(value);
    }
    return true;
}

bool ReadHeightFile(const std::string& fileName, const ComputationSettings& settings,
                    PointNameTable& table, OneBased<int>& ids, OneBased<double>& heights,
                    ReadErrorRecord& error, Interaction& ui) {
    OneBased<std::string> names;
    if (!ReadNameValueLines(fileName, settings, names, heights, error, ui)) return false;
    ids.Clear();
    RegisterPointNames(table, names, ids, names.Size());
    return true;
}

bool ReadLevellingLines(const std::string& fileName, const ComputationSettings& settings,
                        PointNameTable& table, LevellingLines& lines, ReadErrorRecord& error,
                        Interaction& ui) {
    lines = LevellingLines{};
    SplitLines input(fileName, settings);
    if (!input.IsOpen()) return ReportOpenFailure(fileName, error, ui);
    OneBased<std::string> fromNames, toNames;
    const FieldArray& f = input.Fields();
    while (input.Next()) {
        if (input.Count() != 4) continue;
        const long long lineNo = input.LineNumber();
        std::string from = Name(f[1]);
        std::string to = Name(f[2]);
        if (from.empty() && !toNames.Empty()) from = toNames.Back();
        if (from.empty() || to.empty()) {
            // Nothing to continue from: the point would have no name.
            bool flag = false;
            ShowError(ui, flag, BadLineMessage(lineNo, input.Line()));
            RecordReadError(error, fileName, lineNo, 0);
            return false;
        }
        double length = 0.0;
        double dh = 0.0;
        if (!ParseLength(f[3], lineNo, settings, length, ui) || !ParseLength(f[4], lineNo, settings, dh, ui)) {
            RecordReadError(error, fileName, lineNo, 0);
            return false;
        }
        fromNames.PushBack(std::move(from));
        toNames.PushBack(std::move(to));
        lines.Lengths.PushBack(length);
        lines.Dhs.PushBack(dh);
    }
    RegisterPointNames(table, fromNames, lines.FromIds, lines.Count());
    RegisterPointNames(table, toNames, lines.ToIds, lines.Count());
    return true;
}

int StartFromChosenSide(std::string_view sideText, const PointNameTable& table, OneBased<int>& fromIds,
                        OneBased<int>& toIds, int sideCount) {
    std::size_t comma = sideText.find(',');
    std::string_view textA = sideText.substr(0, comma);
    std::string_view textB = comma == std::string_view::npos ? std::string_view() : sideText.substr(comma + 1);
    const int a = table.Find(TrimBlanks(textA));
    const int b = table.Find(TrimBlanks(textB));
    if (a == 0 || b == 0) return a;
    for (int i = 1; i <= sideCount; ++i) {
        if ((fromIds[i] == b && toIds[i] == a) || (fromIds[i] == a && toIds[i] == b)) {
            std::swap(fromIds[i], fromIds[1]);
            std::swap(toIds[i], toIds[1]);
            break;
        }
    }
    return a;
}

}  // namespace qef
