#include "heights/DetailPoints.h"

#include <charconv>
#include <cmath>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/io/Readers.h"
#include "core/model/NetworkModel.h"
#include "core/model/OutputNames.h"
#include "core/model/OutputSet.h"
#include "core/numeric/Geometry.h"
#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/SplitLines.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "drawing/DrawingExport.h"
#include "drawing/DxfDrawing.h"

namespace qef {

namespace {

constexpr const char* kLayerSuffix = "diem";

// A field as the detail records hold it: every blank removed.
std::string Clean(const std::string& field) { return RemoveCharToName(field); }
// The same, not cut to 15 characters.
std::string Unblanked(const std::string& field) {
    std::string text;
    for (char c : field)
        if (c != ' ') text += c;
    return text;
}

// No distance, instrument or staff height or height difference of a detail survey comes near
// 1e6 m; a larger one is a slip (or the wrong unit) and would write coordinates hundreds of
// digits long. The limit holds in metres, after the millimetre conversion.
constexpr double kLengthLimitMetres = 1e6;

enum class LengthRead { Ok, NotANumber, TooLarge };

// A number read whole: a cell cut to 15 characters could hold another number.
LengthRead ReadLength(const std::string& field, const ComputationSettings& settings, double& value) {
    if (!TryParseReal(Unblanked(field), value)) return LengthRead::NotANumber;
    if (!settings.MetresFlag) value = MillimetresToMetres(value);
    return std::isfinite(value) && std::fabs(value) <= kLengthLimitMetres ? LengthRead::Ok : LengthRead::TooLarge;
}

std::string TooLargeMessage(const char* what, long long line, const std::string& field) {
    return Vn(what) + Vn(" ở dòng ") + std::to_string(line) + Vn(" quá lớn: ") + QuotedText(Unblanked(field));
}

bool ReadAngle(const std::string& text, const ComputationSettings& settings, double& degrees) {
    if (text.empty()) return false;
    const ParsedAngle parsed = ParseDms(text, settings.AnglesInDegrees, settings.AngleTextWithPoint);
    degrees = parsed.Degrees;
    return parsed.Ok();
}

bool ReadPointNumber(const std::string& text, long long& number) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    return !text.empty() && error == std::errc() && stop == end;
}

// The vertical angle of a zenith reading on either face: face left reads 90 - v, face right
// 270 + v, so both faces of one target give the same v. A reading that points straight up or
// down, or is no reading of a circle, has none.
bool VerticalAngle(double zenith, double& vertical) {
    if (!(zenith > 0.0 && zenith < 360.0) || zenith == 180.0) return false;
    vertical = zenith <= 180.0 ? 90.0 - zenith : zenith - 270.0;
    return true;
}

std::string AtLine(long long line) { return Vn(" ở dòng ") + std::to_string(line); }

// A station line opens with an empty first field or an opening reading in parentheses.
bool IsStationLine(const std::string& first) {
    return first.empty() || (first.size() >= 2 && first.front() == '(' && first.back() == ')');
}

// The length fields of a record, by the kind of the record and the mode: field number and what
// it holds.
struct LengthField {
    int Field;
    const char* What;
};
std::vector<LengthField> LengthFields(bool station, DetailMode mode) {
    if (station) {
        if (mode == DetailMode::Plan) return {};
        return {{4, "Độ cao máy"}};
    }
    if (mode == DetailMode::Plan) return {{3, "Số liệu cạnh"}};
    if (mode == DetailMode::HeightsFromZenithAngles) return {{3, "Số liệu cạnh"}, {4, "Độ cao mia"}};
    return {{3, "Số liệu cạnh"}, {4, "Độ cao mia"}, {5, "Chênh cao"}};
}

// The station the staff lines that follow it are measured from.
struct Station {
    double X = 0.0;
    double Y = 0.0;
    double H = 0.0;
    double InstrumentHeight = 0.0;
    double Orientation = 0.0;  // azimuth of the circle's zero, degrees
};

class StationWalk {
public:
    StationWalk(DetailMode mode, const ComputationSettings& settings, const DetailKnownPoints& known,
                DetailPointList& points)
        : mode_(mode), settings_(settings), known_(known), points_(points) {}

    // The message of a faulty record, or nullopt when it was taken; the run shows it with the line
    // (ReportDetailLineError) and stops.
    std::optional<std::string> Take(const FieldArray& f, long long line) {
        const std::string first = Clean(f[1]);
        if (first.empty()) return OrientStation(f, 0.0, line);
        if (IsStationLine(first)) {
            double opening = 0.0;
            if (!ReadAngle(first.substr(1, first.size() - 2), settings_, opening))
                return Vn("Sai kiểu dữ liệu hoặc đôn vị đo góc mở đầu") + AtLine(line);
            return OrientStation(f, opening, line);
        }
        return AddStaffPoint(f, first, line);
    }

private:
    bool WithHeights() const { return mode_ != DetailMode::Plan; }

    // The station and its orientation point looked up among the known points (FindStationAndTarget),
    // and the azimuth of the circle's zero from them.
    std::optional<std::string> OrientStation(const FieldArray& f, double opening, long long line) {
        const std::string stationName = Clean(f[2]);
        const std::string targetName = Clean(f[3]);
        const int s = known_.Find(stationName);
        if (s == 0) return Vn("Không tìm thấy điểm trạm máy ") + stationName + AtLine(line);
        // A station is never oriented on itself.
        const int t = UpperShort(targetName) == UpperShort(stationName) ? 0 : known_.Find(targetName);
        if (t == 0) return Vn("Không tìm thấy điểm định hướng ") + targetName + AtLine(line);
        if (known_.X[s] == known_.X[t] && known_.Y[s] == known_.Y[t])
            return Vn("Điểm định hướng ") + targetName + Vn(" trùng vị trí điểm trạm máy ") + stationName +
                   AtLine(line);
        Station next;
        next.X = known_.X[s];
        next.Y = known_.Y[s];
        next.Orientation = NormalizeAzimuth(AzimuthOf(next.X, next.Y, known_.X[t], known_.Y[t]) - opening);
        if (WithHeights()) {
            const LengthRead read = ReadLength(f.Whole(4), settings_, next.InstrumentHeight);
            if (read == LengthRead::TooLarge) return TooLargeMessage("Độ cao máy", line, f.Whole(4));
            if (read != LengthRead::Ok)
                return Vn("Độ cao máy, dòng ") + std::to_string(line) + Vn(" sai kiểu dữ liệu hoặc đơn vị đo");
            next.H = known_.H[s];
            if (IsMissing(next.H))
                return Vn("Điểm trạm máy ") + stationName + Vn(" không có độ cao") + AtLine(line);
        }
        station_ = next;
        return std::nullopt;
    }

    std::optional<std::string> AddStaffPoint(const FieldArray& f, const std::string& first, long long line) {
        const std::string n = std::to_string(line);
        if (!station_) return Vn("Điểm mia ở dòng ") + n + Vn(" đứng trước mọi dòng trạm máy");
        long long number = 0;
        if (!ReadPointNumber(first, number)) return Vn("Điểm mia ở dòng ") + n + Vn(" sai kiểu duẽ liệu");
        double distance = 0.0;
        const LengthRead distanceRead = ReadLength(f.Whole(3), settings_, distance);
        if (distanceRead == LengthRead::TooLarge) return TooLargeMessage("Số liệu cạnh", line, f.Whole(3));
        if (distanceRead != LengthRead::Ok || distance < 0.0)
            return Vn("Số liệu cạnh ở dòng ") + n + Vn(" sai kiểu dữ liệu hoặc đơn vị đo");
        double angle = 0.0;
        if (!ReadAngle(Clean(f[2]), settings_, angle))
            return Vn("Số liệu góc ở dòng ") + n + Vn(" sai kiểu dữ liệu hoặc đôn vị đo");

        double h = 0.0;
        if (mode_ == DetailMode::HeightsFromDifferences) {
            double staff = 0.0;
            double dh = 0.0;
            const LengthRead staffRead = ReadLength(f.Whole(4), settings_, staff);
            if (staffRead == LengthRead::TooLarge) return TooLargeMessage("Độ cao mia", line, f.Whole(4));
            if (staffRead != LengthRead::Ok)
                return Vn("Độ cao mia ở dòng ") + n + Vn(" sai kiểu dư liệu hoặ đơn vị đo");
            const LengthRead dhRead = ReadLength(f.Whole(5), settings_, dh);
            if (dhRead == LengthRead::TooLarge) return TooLargeMessage("Chênh cao", line, f.Whole(5));
            if (dhRead != LengthRead::Ok)
                return Vn("Chênh cao ở dòng ") + n + Vn(" sai kiểu dư liệu hoặc đôn vị đo");
            h = station_->H + station_->InstrumentHeight + dh - staff;
        } else if (mode_ == DetailMode::HeightsFromZenithAngles) {
            double staff = 0.0;
            double zenith = 0.0;
            double vertical = 0.0;
            const LengthRead staffRead = ReadLength(f.Whole(4), settings_, staff);
            if (staffRead == LengthRead::TooLarge) return TooLargeMessage("Độ cao mia", line, f.Whole(4));
            if (staffRead != LengthRead::Ok)
                return Vn("Độ cao mia ở dòng ") + n + Vn(" sai kiểu dư liệu hoặc đôn vị đo");
            if (!ReadAngle(Clean(f[5]), settings_, zenith) || !VerticalAngle(zenith, vertical))
                return Vn("Góc ở dòng ") + n + Vn(" sai kiểu dư liệu hoặc đôn vị đo");
            h = station_->H + station_->InstrumentHeight + distance * TanRad(DegToRad(vertical)) - staff;
        }

        const double azimuth = angle + station_->Orientation;
        points_.Names.PushBack(std::to_string(number));
        points_.X.PushBack(PolarX(station_->X, distance, azimuth, 0.0));
        points_.Y.PushBack(PolarY(station_->Y, distance, azimuth, 0.0));
        points_.H.PushBack(h);
        return std::nullopt;
    }

    DetailMode mode_;
    const ComputationSettings& settings_;
    const DetailKnownPoints& known_;
    DetailPointList& points_;
    std::optional<Station> station_;
};

std::string ResultNumber(double value) { return TrimLeftBlanks(FormatFixed(value, 11, 3)); }

// The first reading of the observation file, before anything is computed or written: its records
// counted, the names cut to 15 characters noted once each, and every length checked.
struct DetailFileCheck {
    bool Opened = false;
    long long Records = 0;
    std::vector<std::pair<std::string, std::string>> CutNames;  // as written, as kept
    std::optional<DetailStop> TooLarge;
};

DetailFileCheck CheckDetailObservations(const std::string& fileName, DetailMode mode,
                                        const ComputationSettings& settings) {
    DetailFileCheck check;
    SplitLines lines(fileName, settings.FixedFieldWidth);
    check.Opened = lines.IsOpen();
    std::unordered_set<std::string> cut;
    const FieldArray& f = lines.Fields();
    while (lines.Next()) {
        if (lines.Count() < 3) continue;
        ++check.Records;
        const bool station = IsStationLine(Clean(f[1]));
        for (int i = station ? 2 : 1; i <= (station ? 3 : 1); ++i) {
            std::string name = Unblanked(f.Whole(static_cast<std::size_t>(i)));
            if (name.size() <= kPointNameMax || !cut.insert(name).second) continue;
            check.CutNames.emplace_back(name, name.substr(0, kPointNameMax));
        }
        if (check.TooLarge) continue;
        for (const LengthField& field : LengthFields(station, mode)) {
            const std::string& text = f.Whole(static_cast<std::size_t>(field.Field));
            double value = 0.0;
            if (ReadLength(text, settings, value) != LengthRead::TooLarge) continue;
            check.TooLarge = DetailStop{lines.LineNumber(), TooLargeMessage(field.What, lines.LineNumber(), text)};
            break;
        }
    }
    return check;
}

void RefuseEmptyFile(const std::string& fileName, DetailRunStatus& status, Interaction& ui) {
    ui.Message(NoDataMessage(fileName));
    status.ReadError = {fileName, 1, ReadErrorKind::Line, 1};
    status.Outcome = RunOutcome::ReadFailed;
}

}  // namespace

int DetailKnownPoints::Find(const std::string& name) const {
    const auto it = byName_.find(UpperShort(name));
    return it == byName_.end() ? 0 : it->second;
}

void DetailKnownPoints::Index() {
    byName_.clear();
    byName_.reserve(static_cast<std::size_t>(Names.Size()));
    for (int i = 1; i <= Names.Size(); ++i) {
        if (Names[i].empty() || IsMissing(X[i]) || IsMissing(Y[i])) continue;
        byName_[UpperShort(Names[i])] = i;  // a later point of the same name replaces an earlier one
    }
}

bool ReadDetailKnownPoints(const std::string& fileName, DetailMode mode, const ComputationSettings& settings,
                           DetailKnownPoints& known, ReadErrorRecord& error, Interaction& ui) {
    bool missingValues = false;
    const bool heights = mode != DetailMode::Plan;
    if (!ReadPointsXY(fileName, settings, known.Names, known.X, known.Y, heights ? &known.H : nullptr,
                      missingValues, error, ui))
        return false;
    if (!heights) known.H = OneBased<double>(known.Names.Size(), 0.0);
    known.Index();
    return true;
}

std::optional<DetailStop> ComputeDetailStations(const std::string& observationFile, DetailMode mode,
                                                const ComputationSettings& settings, const DetailKnownPoints& known,
                                                DetailPointList& points, bool& opened) {
    SplitLines lines(observationFile, settings.FixedFieldWidth);
    opened = lines.IsOpen();
    if (!opened) return std::nullopt;
    StationWalk walk(mode, settings, known, points);
    while (lines.Next()) {
        if (lines.Count() < 3) continue;  // not a record
        if (auto message = walk.Take(lines.Fields(), lines.LineNumber()))
            return DetailStop{lines.LineNumber(), std::move(*message)};
    }
    return std::nullopt;
}

bool WriteDetailResults(const std::string& fileName, const DetailPointList& points) {
    TextFileWriter out(fileName);
    if (!out.IsOpen()) return false;
    std::string line;
    for (int i = 1; i <= points.Count(); ++i) {
        line = points.Names[i];
        line += ',';
        line += ResultNumber(points.X[i]);
        line += ',';
        line += ResultNumber(points.Y[i]);
        line += ',';
        line += ResultNumber(points.H[i]);
        out.WriteLine(line);
    }
    return out.Close();
}

namespace {

void ShowStage(Progress& progress, const char* utf8, int position) {
    progress.SetText(MonitorLabel::Stage, Vn(utf8));
    progress.SetPosition(position);
}

void StartDetailProgress(Progress& progress) {
    progress.Show();
    progress.SetText(MonitorLabel::Start, Vn("Bắt đầu từ ") + TimeOfDay());
    progress.SetText(MonitorLabel::End, Vn("đến ") + TimeOfDay());
    progress.SetRange(0, 4);
    progress.SetPosition(0);
}

void EndDetailProgress(Progress& progress) {
    ShowStage(progress, "Kết thúc", 4);
    progress.SetText(MonitorLabel::End, Vn("đến ") + TimeOfDay());
}

// False (message shown) when there is no result name or an output would replace an input.
bool CheckDetailOutputs(const DetailInput& files, bool draws, const DrawingTarget* drawing, DetailRunStatus& status,
                        Interaction& ui) {
    std::vector<std::string> outputs{files.ResultFile};
    if (draws && drawing == nullptr) outputs.push_back(DrawingPathFor(files.ResultFile));
    if (!CheckResultNames(files.ResultFile, {files.KnownPointsFile, files.ObservationFile}, outputs, ui)) {
        status.Outcome = RunOutcome::NameCollision;
        return false;
    }
    return true;
}

void RefuseUnopened(const std::string& fileName, DetailRunStatus& status, Interaction& ui) {
    ui.Message(Vn("Không mở được file ") + fileName);
    status.ReadError = {fileName, 1, ReadErrorKind::Open, 1};
    status.Outcome = RunOutcome::ReadFailed;
}

// Reads the known points and checks the whole observation file before any point is computed.
// False (message shown, status set) when nothing may be written.
bool ReadDetailInputs(DetailMode mode, const DetailInput& files, const ComputationSettings& settings,
                      DetailKnownPoints& known, DetailRunStatus& status, Interaction& ui) {
    if (!ReadDetailKnownPoints(files.KnownPointsFile, mode, settings, known, status.ReadError, ui)) {
        status.Outcome = RunOutcome::ReadFailed;
        return false;
    }
    // A file without a line to read would leave the earlier result replaced by nothing.
    if (known.Names.Size() == 0) {
        RefuseEmptyFile(files.KnownPointsFile, status, ui);
        return false;
    }
    const DetailFileCheck check = CheckDetailObservations(files.ObservationFile, mode, settings);
    if (!check.Opened) {
        RefuseUnopened(files.ObservationFile, status, ui);
        return false;
    }
    if (check.Records == 0) {
        RefuseEmptyFile(files.ObservationFile, status, ui);
        return false;
    }
    // A value no survey has is refused as the other readers refuse it: nothing is written.
    if (check.TooLarge) {
        ui.Message(check.TooLarge->Message);
        status.ReadError = {files.ObservationFile, check.TooLarge->Line, ReadErrorKind::Line, 1};
        status.Outcome = RunOutcome::ReadFailed;
        return false;
    }
    ShowCutNames(check.CutNames, files.ObservationFile, ui);
    return true;
}

void RecordStop(const DetailStop& stop, const std::string& observationFile, DetailRunStatus& status) {
    status.Outcome = RunOutcome::StoppedAtLine;
    status.StopLine = stop.Line;
    status.ReadError = {observationFile, stop.Line, ReadErrorKind::Line, 1};
}

// Writes the result file aside and draws the points; false (message shown) when it cannot be written.
bool WriteAndDrawDetailPoints(DetailMode mode, const DetailInput& files, const ComputationSettings& settings,
                              const DetailPointList& points, OutputSet& staging, DrawingTarget* drawing,
                              DetailRunStatus& status, Progress& progress, Interaction& ui) {
    if (!staging.Begin(files.ResultFile, {files.KnownPointsFile, files.ObservationFile})) {
        ui.Message(staging.FailureMessage());
        status.Outcome = RunOutcome::WriteFailed;
        return false;
    }
    if (!WriteDetailResults(staging.Staged(files.ResultFile), points)) {
        ui.Message(WriteFailureText(files.ResultFile));
        status.Outcome = RunOutcome::WriteFailed;
        return false;
    }
    status.PointCount = points.Count();
    if (!settings.AcadUploadEnabled || !settings.AcadUploadDetailPoints) return true;
    std::unique_ptr<DxfDrawing> ownDrawing;
    if (drawing == nullptr) {
        ownDrawing = std::make_unique<DxfDrawing>(staging.Staged(DrawingPathFor(files.ResultFile)));
        drawing = ownDrawing.get();
    }
    // Plan coordinates have no heights to write or to lift the points by.
    std::uint8_t flags = settings.AcadUploadFlags;
    if (mode == DetailMode::Plan) flags &= 1;
    AcadExportDetailPoints({settings, *drawing, progress, ui}, kLayerSuffix, points.Count(), points.Names, points.X,
                           points.Y, points.H, flags);
    return true;
}

// Puts the outputs in place and says how the run ended.
void FinishDetailRun(const DetailInput& files, const std::optional<DetailStop>& stop, OutputSet& staging,
                     DetailRunStatus& status, Interaction& ui) {
    // A run stopped by a faulty line keeps the points before it: the message says so.
    if (!staging.Commit()) {
        ui.Message(staging.FailureMessage());
        status.Outcome = RunOutcome::WriteFailed;
        return;
    }
    if (!stop) {
        ShowDoneMessage(ui);
        return;
    }
    RecordStop(*stop, files.ObservationFile, status);
    ui.Message(stop->Message + "\n" + Vn("Đã ghi ") + std::to_string(status.PointCount) +
               Vn(" điểm tính được trước dòng ") + std::to_string(stop->Line) + Vn(" vào file ") + files.ResultFile);
}

}  // namespace

DetailRunStatus ComputeDetailPoints(DetailMode mode, const DetailInput& files, const ComputationSettings& settingsIn,
                                    Interaction& userUi, Progress& progress, DrawingTarget* drawing) {
    // The result and its drawing are written aside and put in place together when the run ends.
    OutputSet staging;
    UnstagingInteraction ui(userUi, staging);
    const ComputationSettings settings = settingsIn;
    DetailRunStatus status;
    StartDetailProgress(progress);
    const bool draws = settings.AcadUploadEnabled && settings.AcadUploadDetailPoints;
    if (!CheckDetailOutputs(files, draws, drawing, status, ui)) return status;

    ShowStage(progress, "Đang đọc file tọa độ", 1);
    DetailKnownPoints known;
    if (!ReadDetailInputs(mode, files, settings, known, status, ui)) return status;

    ShowStage(progress, "Đang tính điểm chi tiết", 2);
    DetailPointList points;
    bool opened = true;
    const std::optional<DetailStop> stop =
        ComputeDetailStations(files.ObservationFile, mode, settings, known, points, opened);
    if (!opened) {
        RefuseUnopened(files.ObservationFile, status, ui);
        return status;
    }
    // Stopped before its first point: an empty file would only replace the earlier result.
    if (stop && points.Count() == 0) {
        EndDetailProgress(progress);
        RecordStop(*stop, files.ObservationFile, status);
        ui.Message(stop->Message + "\n" + Vn("Không có điểm nào tính được, không ghi file ") + files.ResultFile);
        return status;
    }

    ShowStage(progress, "Đang ghi file kết quả", 3);
    if (!WriteAndDrawDetailPoints(mode, files, settings, points, staging, drawing, status, progress, ui))
        return status;
    EndDetailProgress(progress);
    FinishDetailRun(files, stop, staging, status, ui);
    return status;
}

}  // namespace qef
