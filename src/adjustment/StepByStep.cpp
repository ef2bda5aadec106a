#include "adjustment/StepByStep.h"

#include <cmath>
#include <memory>
#include <utility>

#include "adjustment/GroupAdjustment.h"
#include "adjustment/NodeMethod.h"
#include "adjustment/ClosureChecks.h"
#include "adjustment/SideReduction.h"
#include "adjustment/SimpleReports.h"
#include "adjustment/StepCoordinates.h"
#include "core/analysis/Duplicates.h"
#include "core/io/ResultWriters.h"
#include "core/model/OutputNames.h"
#include "core/model/OutputSet.h"
#include "core/model/ReportNames.h"
#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"
#include "core/text/VnCodec.h"
#include "drawing/DrawingExport.h"
#include "drawing/DxfDrawing.h"

namespace qef {

bool ReadGridRows(const std::string& path, int columns, const ComputationSettings& settings,
                  std::vector<std::vector<std::string>>& rows) {
    rows.clear();
    std::vector<std::string> lines;
    if (!ReadAllLines(path, lines)) return false;
    FieldArray fields;
    for (const std::string& raw : lines) {
        const std::string line = TrimRightBlanks(raw);
        if (line.empty()) continue;
        const int count = SplitFields(line, fields, std::nullopt, false, settings.FixedFieldWidth);
        if (count == 0) continue;
        std::vector<std::string> row;
        for (int i = 1; i <= columns; ++i) row.push_back(i <= count && i <= 16 ? fields[i] : std::string());
        rows.push_back(std::move(row));
    }
    return true;
}

std::string StartSideText(const std::string& line) {
    std::string text;
    for (char c : line)
        if (c != '[' && c != ']') text += c;
    return text;
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

namespace {

// The names of one list line: cut at commas, trimmed, brackets removed.
std::vector<std::string> NamesOfLine(const std::string& line) {
    std::vector<std::string> names;
    std::string piece;
    auto flush = [&] {
        const std::string name = TrimBlanks(StartSideText(piece));
        if (!name.empty()) names.push_back(name);
        piece.clear();
    };
    for (char c : line) {
        if (c == ',') flush();
        else piece += c;
    }
    flush();
    return names;
}

std::string Bracketed(const std::string& name) { return "[" + name + "]"; }

void ShowStage(Progress& progress, const char* utf8, int position) {
    progress.SetText(MonitorLabel::Stage, Vn(utf8));
    progress.SetPosition(position);
}

StepStatus WriteFailed(const std::string& name, Interaction& ui) {
    ui.Message(WriteFailureText(name));
    return StepStatus::Failed;
}

}  // namespace

void StepByStepSession::Reset() {
    started_ = false;
    groupBranches_ = 0;
    computed_.clear();
    answers_.Clear();
    lists_ = StepLists();
    misclosures_.clear();
    pool_.Clear();
}

void StepByStepSession::SetKnownFile(const std::string& path) {
    knownFile_ = path;
    Reset();
}

void StepByStepSession::SetObservationFile(const std::string& path) {
    observationFile_ = path;
    Reset();
}

bool StepByStepSession::NeedsHeightsFile(const ComputationSettings& settings) {
    return settings.HeightReduction && UsesPointHeights(settings.HeightReductionMode) && settings.HeightsFromFile;
}

std::vector<std::string> StepByStepSession::InputFiles() const {
    std::vector<std::string> inputs{knownFile_, observationFile_};
    if (!heightsFile_.empty()) inputs.push_back(heightsFile_);
    return inputs;
}

bool StepByStepSession::ReadInput(const ComputationSettings& settings, const std::string& heightsFile,
                                  Interaction& ui) {
    model_ = NetworkModel();
    known_.Clear();
    obs_ = Observations();
    heightsFile_ = heightsFile;
    readError_ = ReadErrorRecord();
    if (!ReadKnownPoints(knownFile_, settings, model_, known_, readError_, ui)) return false;
    if (!ReadObservations(observationFile_, settings, model_.PointNames, obs_, readError_, ui)) return false;
    if (settings.HeightReduction && UsesPointHeights(settings.HeightReductionMode)) {
        if (NeedsHeightsFile(settings)) {
            if (!ReadPointHeights(heightsFile, settings, model_, readError_, ui)) return false;
        } else {
            model_.HeightPointIds = obs_.Heights.Ids;
            model_.PointHeights = obs_.Heights.Heights;
        }
    }
    // Points of earlier steps are known points from now on, after those of the file.
    for (const NamedPoint& p : computed_) known_.Add(model_.PointNames.Register(p.Name), p.X, p.Y);
    run_.Reset();
    FindDuplicateObservations(obs_, model_.PointNames, run_.ProgressLog, ui);
    fullSides_ = MakeSidePairs(obs_.Sides);
    fullAngles_ = MakeAngleTriples(obs_.Angles);
    return true;
}

StepStatus StepByStepSession::Prepare(const ComputationSettings& settings, Interaction& ui) {
    analysis_.Angles = fullAngles_;
    analysis_.FreeSides.Clear();
    analysis_.FreeAngles.Clear();
    bool errorFlag = false;
    const AnalysisStatus status =
        PrepareTraverseAnalysis(model_, analysis_, known_, known_.Count(), settings, answers_, errorFlag, ui);
    if (status == AnalysisStatus::Cancelled) return StepStatus::Cancelled;
    if (status == AnalysisStatus::NoStartDirection) return StepStatus::Failed;
    return StepStatus::Done;
}

std::string StepByStepSession::BranchLine(int b) const {
    const BranchModel& br = model_.Branches;
    const StartDirectionIndex& starts = analysis_.Index.Starts();
    std::string line;
    for (int p = br.First(b); p <= br.Last(b); ++p) {
        const int id = br.PointAt(p);
        const std::string& name = model_.PointNames.Name(id);
        const bool end = p == br.First(b) || p == br.Last(b);
        line += (end && starts.IsStation(id) ? Bracketed(name) : name) + ", ";
    }
    return line;
}

bool StepByStepSession::HasStartDirection() {
    SidePairs sides = fullSides_;
    AngleTriples angles = fullAngles_;
    DropFixedObservations(sides, angles, known_, known_.Count());
    bool none = false;
    SilentInteraction quiet;
    return FindStartDirections(model_, known_, known_.Count(), angles, none, quiet);
}

StepStatus StepByStepSession::Start(const ComputationSettings& settings, const std::string& heightsFile,
                                    Interaction& ui, Progress& progress) {
    if (!HasFiles()) {
        ui.Message(Vn("Chưa có file tọa độ hoặc số liệu đo"));
        return StepStatus::NotReady;
    }
    started_ = false;
    groupBranches_ = 0;
    lists_ = StepLists();
    pool_.Clear();
    progress.Show();
    progress.SetText(MonitorLabel::Start, Vn("Bắt đầu từ ") + TimeOfDay());
    progress.SetRange(0, 5);
    ShowStage(progress, "Đang đọc file tọa độ, số liệu đo", 1);
    if (!ReadInput(settings, heightsFile, ui)) return StepStatus::Failed;
    const std::string allComputed = Vn("Đã tính hết các nhóm của lưới");
    // Once groups were computed, a network without a start direction left has no group left:
    // that is the end of the walk, not a misnamed known point.
    if (!computed_.empty() && !HasStartDirection()) {
        ui.Message(allComputed);
        return StepStatus::NoGroup;
    }
    ShowStage(progress, "Đang tìm nút", 2);
    analysis_ = TraverseAnalysis();
    analysis_.Sides = fullSides_;
    if (const StepStatus status = Prepare(settings, ui); status != StepStatus::Done) return status;
    ShowStage(progress, "Đang lập nhánh", 3);
    ListDirectionsAndHardNodes();
    ListGroups();
    ListStartSides();
    ShowStage(progress, "Kết thúc", 5);
    // Only hanging traverses (or nothing) are left beside the groups computed: the lists show
    // what is left, and no group can be built from it.
    if (!computed_.empty() && pool_.Count() == 0) {
        ui.Message(allComputed);
        return StepStatus::NoGroup;
    }
    started_ = true;
    return StepStatus::Done;
}

void StepByStepSession::ListDirectionsAndHardNodes() {
    const PointNameTable& names = model_.PointNames;
    for (int i = 1; i <= model_.StartStations.Size(); ++i)
        lists_.Directions.push_back(Bracketed(names.Name(model_.StartTargets[i])) + " " +
                                    Bracketed(names.Name(model_.StartStations[i])));
    for (int k = 1; k <= analysis_.HardNodes.Size(); ++k) lists_.HardNodes.push_back(names.Name(analysis_.HardNodes[k]));
}

void StepByStepSession::ListGroups() {
    NullProgress quiet;
    std::vector<int> softNodes;
    for (int p = NextGroupStart(model_, analysis_); p > 0; p = NextGroupStart(model_, analysis_)) {
        const int nb = BuildGroupBranches(model_, analysis_, p, known_, known_.Count(), quiet);
        if (nb < 1 || analysis_.KeptSides.Count() < 1) continue;
        for (int b = 1; b <= nb; ++b) lists_.Branches.push_back(BranchLine(b));
        lists_.Branches.emplace_back();
        pool_.Append(analysis_.KeptSides);
        for (int k = 1; k <= model_.NetworkNodes.Size(); ++k) {
            const int id = model_.NetworkNodes[k];
            if (analysis_.Index.IsHardNode(id) || analysis_.Index.IsSideOnly(id)) continue;
            bool seen = false;
            for (int s : softNodes) seen = seen || s == id;
            if (!seen) softNodes.push_back(id);
        }
    }
    for (int id : softNodes) lists_.SoftNodes.push_back(model_.PointNames.Name(id));
}

void StepByStepSession::ListStartSides() {
    const PointNameTable& names = model_.PointNames;
    // One start side per start station: the first side of the pool that it ends.
    std::vector<int> stations;
    for (int i = 1; i <= model_.StartStations.Size(); ++i) {
        const int s = model_.StartStations[i];
        bool seen = false;
        for (int t : stations) seen = seen || t == s;
        if (seen) continue;
        stations.push_back(s);
        for (int j = 1; j <= pool_.Count(); ++j) {
            const int a = pool_.EndsA[j];
            const int b = pool_.EndsB[j];
            if (a != s && b != s) continue;
            lists_.StartSides.push_back(Bracketed(names.Name(s)) + "," + names.Name(a == s ? b : a));
            break;
        }
    }
}

StepStatus StepByStepSession::BuildGroup(GroupBasis basis, const std::string& chosenSide,
                                         const std::vector<std::string>& selected,
                                         const ComputationSettings& settings, Interaction& ui) {
    if (!started_) return StepStatus::NotReady;
    groupBranches_ = 0;
    if (basis == GroupBasis::ChosenBranches) {
        // Each selected line gives the sides between its consecutive points, and only those.
        SidePairs chosen;
        for (const std::string& line : selected) {
            int previous = 0;
            for (const std::string& name : NamesOfLine(line)) {
                const int id = model_.PointNames.Find(name);
                if (id == 0) continue;
                if (previous != 0 && previous != id) chosen.Add(previous, id);
                previous = id;
            }
        }
        pool_ = chosen;
    }
    analysis_.Sides = pool_;
    int start = 0;
    if (basis == GroupBasis::StartSide)
        start = StartFromChosenSide(chosenSide, model_.PointNames, analysis_.Sides.EndsA, analysis_.Sides.EndsB,
                                    analysis_.Sides.Count());
    if (const StepStatus status = Prepare(settings, ui); status != StepStatus::Done) return status;
    if (basis == GroupBasis::ChosenBranches) start = NextGroupStart(model_, analysis_);

    NullProgress quiet;
    const int nb = start > 0 ? BuildGroupBranches(model_, analysis_, start, known_, known_.Count(), quiet) : 0;
    lists_.Branches.clear();
    if (nb < 1 || analysis_.KeptSides.Count() < 1) {
        ui.Message(Vn("Đường chuyền có thể là treo nên không xét"));
        return StepStatus::NoGroup;
    }
    for (int b = 1; b <= nb; ++b) lists_.Branches.push_back(BranchLine(b));
    groupBranches_ = nb;
    return StepStatus::Done;
}

StepStatus StepByStepSession::AdjustGroup(const ComputationSettings& settings, const std::string& resultFile,
                                          Interaction& ui, Progress& progress) {
    return RunGroup(Computation::Adjust, settings, resultFile, ui, progress);
}

StepStatus StepByStepSession::ComputeCoordinates(const ComputationSettings& settings, const std::string& resultFile,
                                                 Interaction& ui, Progress& progress) {
    return RunGroup(Computation::Coordinates, settings, resultFile, ui, progress);
}

void StepByStepSession::DrawKnownPoints(const ComputationSettings& settings, DrawingTarget& drawing,
                                        Progress& progress, Interaction& ui) const {
    PointList points;
    for (int k = 1; k <= known_.Count(); ++k)
        if (!IsMissing(known_.X[k])) points.Add(known_.Ids[k], known_.X[k], known_.Y[k]);
    OneBased<double> x1, y1, x2, y2;
    const StartAzimuthData& d = analysis_.Directions;
    for (int i = 1; i <= d.StationX.Size(); ++i) {
        if (IsMissing(d.StationX[i]) || IsMissing(d.TargetX[i])) continue;
        x1.PushBack(d.StationX[i]);
        y1.PushBack(d.StationY[i]);
        x2.PushBack(d.TargetX[i]);
        y2.PushBack(d.TargetY[i]);
    }
    AcadExportPoints({settings, drawing, progress, ui}, model_.PointNames, x1.Size(), points.Count(), points.X,
                     points.Y, x1, y1, x2, y2, points.Ids);
}

std::vector<std::string> StepByStepSession::StepOutputs(const ComputationSettings& settings,
                                                       const std::string& resultFile, const ReportSet& reports) const {
    std::vector<std::string> outputs{resultFile, reports.Main, reports.Side};
    if (settings.Modes.RigorousWanted)
        outputs.insert(outputs.end(), {reports.Rigorous1, reports.Rigorous3, reports.Rigorous4, reports.Rigorous5});
    if (settings.WriteDhFile) outputs.push_back(reports.Dh);
    return outputs;
}

ComputationSettings StepByStepSession::StepSettings(Computation what, const ComputationSettings& settings) {
    ComputationSettings s = settings;
    // A traverse computation; whether the rigorous stage follows stays as the settings say.
    s.Modes.ModeTraverse = true;
    s.Modes.ModeLevelling = false;
    s.Modes.ModeDetailPoints = false;
    s.Modes.ModeWithHeights = false;
    // Computing coordinates adjusts nothing.
    if (what == Computation::Coordinates) s.Modes.RigorousWanted = false;
    s.ParamDialogTitle = Vn("Thông số tính toán Bình sai đơn giản");
    return s;
}

StepStatus StepByStepSession::WriteStepStart(const ComputationSettings& s, const std::string& resultFile,
                                             const ReportSet& reports, Interaction& ui) {
    TextFileWriter* result = run_.Files.Rewrite(resultFile);
    if (result != nullptr)
        WritePointCoordinates(*result, model_.PointNames, known_.Ids, known_.X, known_.Y, false, known_.Count(),
                              nullptr, s.MetresFlag);
    if (result == nullptr || !run_.Files.Flush(resultFile)) return WriteFailed(resultFile, ui);
    // Each step writes its reports afresh, as a run of its own.
    if (s.WriteDhFile && !run_.Files.RewriteLines(reports.Dh, {})) return WriteFailed(reports.Dh, ui);
    return StepStatus::Done;
}

void StepByStepSession::DropSideOnlyNodes() {
    // Known side-only points close branches by their coordinates; they are no nodes.
    OneBased<int>& nodes = model_.NetworkNodes;
    int kept = 0;
    for (int k = 1; k <= nodes.Size(); ++k)
        if (!analysis_.Index.IsSideOnly(nodes[k])) nodes[++kept] = nodes[k];
    nodes.Resize(kept);
}

StepStatus StepByStepSession::SolveGroup(Computation what, const ComputationSettings& s, int nb,
                                         const GroupOutputs& out, Interaction& ui, Progress& progress) {
    GroupWorkingSet& ws = ws_;
    ws.Restart();
    ws.Nb = nb;
    ws.Nn = model_.NetworkNodes.Size();
    ws.Ns = model_.StartStations.Size();
    ws.NetworkBranchCount = nb;
    ws.HeightCount = model_.HeightPointIds.Size();
    const StationAngleIndex angleIndex(obs_.Angles);
    const SideLengthIndex lengths(obs_.Sides);
    KnownPointIndex knownIndex(known_);
    const PointHeightIndex heights(model_.HeightPointIds, model_.PointHeights);
    const GroupInputs in{model_, obs_.Angles, angleIndex, lengths, knownIndex, analysis_.Index, analysis_.Directions,
                         heights};
    if (what == Computation::Adjust) {
        GroupAdjustment group(s, run_, rigorous_, ui, progress);
        const GroupOutcome outcome = group.Adjust(ws, in, known_, out);
        if (const std::string* failed = group.FlushTables()) {
            ws.FreeGroupArrays();
            return WriteFailed(*failed, ui);
        }
        if (outcome != GroupOutcome::Adjusted) {
            ws.FreeGroupArrays();
            return StepStatus::Failed;
        }
        return StepStatus::Done;
    }
    if (ComputeGroupCoordinates(ws, in, {s, run_, ui, progress}) != GroupStatus::Adjusted) return StepStatus::Failed;
    CollectMisclosures(nb);
    if (!out.ResultFile.empty() && !AppendGroupResultPoints(run_.Files, out.ResultFile, ws, model_, s.MetresFlag)) {
        ws.FreeGroupArrays();
        return WriteFailed(out.ResultFile, ui);
    }
    return StepStatus::Done;
}

void StepByStepSession::CollectMisclosures(int nb) {
    misclosures_.clear();
    const BranchModel& br = model_.Branches;
    for (int b = 1; b <= nb; ++b)
        misclosures_.push_back({model_.PointNames.Name(br.FirstPoint(b)), model_.PointNames.Name(br.LastPoint(b)),
                                DegreesToSeconds(ws_.ClosureFb[b]), ws_.ClosureFx[b], ws_.ClosureFy[b],
                                ws_.ClosureFs[b], ws_.BranchLengthSums[b]});
}

void StepByStepSession::KeepGroupPoints(int nb) {
    PointList added;
    CollectResultPoints(model_, added, ws_.NodeX, ws_.NodeY, ws_.Nn, ws_.KnownNodeFlags, false, nb, ws_.PositionX,
                        ws_.PositionY);
    for (int k = 1; k <= added.Count(); ++k) {
        known_.Add(added.Ids[k], added.X[k], added.Y[k]);
        computed_.push_back({model_.PointNames.Name(added.Ids[k]), added.X[k], added.Y[k]});
    }
}

void StepByStepSession::ShowMisclosures(Interaction& ui) const {
    std::string text = Vn("Sai số khép của các nhánh (fb giây, fx fy fs [S] mét)") + "\n";
    for (const BranchMisclosure& m : misclosures_)
        text += m.From + " .. " + m.To + " : fb = " + FormatFixed(m.FbSeconds, 0, 1) +
                "  fx = " + FormatFixed(m.Fx, 0, 3) + "  fy = " + FormatFixed(m.Fy, 0, 3) +
                "  fs = " + FormatFixed(m.Fs, 0, 3) + "  [S] = " + FormatFixed(m.LengthSum, 0, 3) + "\n";
    ui.Message(text);
}

bool StepByStepSession::PutStepInPlace(OutputSet& outputs, DxfDrawing* stepDrawing, Interaction& ui,
                                       Interaction& stagedUi) {
    if (const std::string* failed = run_.Files.Close()) {
        WriteFailed(*failed, stagedUi);
        return false;
    }
    if (stepDrawing != nullptr && stepDrawing->Exported() && !stepDrawing->Write()) {
        stagedUi.Message(Vn("Lỗi ghi file ") + stepDrawing->Path());
        return false;
    }
    if (outputs.Active() && !outputs.Commit()) {
        ui.Message(outputs.FailureMessage());
        return false;
    }
    return true;
}

StepStatus StepByStepSession::RunGroup(Computation what, const ComputationSettings& settings,
                                       const std::string& resultFile, Interaction& ui, Progress& progress) {
    if (!HasGroup()) return StepStatus::NotReady;
    const ComputationSettings s = StepSettings(what, settings);
    progress.Show();
    progress.SetText(MonitorLabel::Start, Vn("Bắt đầu từ ") + TimeOfDay());
    progress.SetRange(0, 11);
    progress.SetPosition(0);

    const bool writes = !resultFile.empty();
    const ReportSet finalReports = writes ? ReportSetFor(resultFile) : ReportSet();
    // The step's files (result, reports, tables) are written aside and put in place together, so
    // that a step that fails or dies leaves the files of the step before.
    OutputSet outputs;
    UnstagingInteraction stagedUi(ui, outputs);
    ReportSet reports = finalReports;
    std::string result = resultFile;
    // The step's drawing is one of its files.
    const bool ownDrawing = writes && s.AcadUploadEnabled;
    std::unique_ptr<DxfDrawing> stepDrawing;
    DrawingTarget* drawing = nullptr;
    // Before the step's first file: the run's files are opened once for the step.
    run_.Reset();
    rigorous_.Reset();
    if (writes) {
        std::vector<std::string> names = StepOutputs(s, resultFile, finalReports);
        if (ownDrawing) names.push_back(DrawingPathFor(resultFile));
        if (!CheckOutputNames(InputFiles(), names, ui)) return StepStatus::Failed;
        if (!outputs.Begin(resultFile, InputFiles())) {
            ui.Message(outputs.FailureMessage());
            return StepStatus::Failed;
        }
        result = outputs.Staged(resultFile);
        if (ownDrawing) {
            stepDrawing = std::make_unique<DxfDrawing>(outputs.Staged(DrawingPathFor(resultFile)),
                                                       DrawingWrites::ByOwner);
            drawing = stepDrawing.get();
        }
        for (std::string* name : {&reports.Main, &reports.Rigorous1, &reports.Side, &reports.Rigorous3,
                                  &reports.Rigorous4, &reports.Rigorous5, &reports.Log, &reports.ClosureTable,
                                  &reports.Dh, &reports.Txt, &reports.ObservationList})
            *name = outputs.Staged(*name);
        if (const StepStatus status = WriteStepStart(s, result, reports, stagedUi); status != StepStatus::Done)
            return status;
    }
    const int nb = groupBranches_;
    groupBranches_ = 0;
    DropSideOnlyNodes();
    if (SolveGroup(what, s, nb, {reports, result, drawing}, stagedUi, progress) !=
        StepStatus::Done)
        return StepStatus::Failed;
    if (drawing != nullptr && s.AcadUploadEnabled) {
        if (what == Computation::Coordinates || s.AcadUploadKnownPoints)
            DrawKnownPoints(s, *drawing, progress, stagedUi);
        if (what == Computation::Coordinates)
            AcadExportTraverse({s, *drawing, progress, stagedUi}, model_, nb, ws_.PositionX, ws_.PositionY);
    }
    // A step whose files could not be put in place keeps none of its points.
    if (!PutStepInPlace(outputs, stepDrawing.get(), ui, stagedUi)) {
        ws_.FreeGroupArrays();
        return StepStatus::Failed;
    }
    KeepGroupPoints(nb);
    ws_.FreeGroupArrays();
    if (what == Computation::Coordinates) ShowMisclosures(ui);
    progress.SetText(MonitorLabel::Stage, Vn("Kết thúc"));
    progress.SetRange(0, 11);
    progress.SetPosition(11);
    ui.Message(Vn("Kết thúc"));
    return StepStatus::Done;
}

}  // namespace qef
