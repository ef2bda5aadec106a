#include "heights/LevellingAdjustment.h"

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "core/analysis/BranchLevels.h"
#include "core/analysis/LevellingBranches.h"
#include "core/io/Readers.h"
#include "core/model/NetworkModel.h"
#include "core/model/OutputNames.h"
#include "core/model/OutputSet.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "heights/LevellingGroup.h"
#include "heights/LevellingReport.h"

namespace qef {

LevellingOutputs LevellingOutputsFor(const std::string& resultFile) {
    return {ReplaceFileExt(resultFile, "in"), ReplaceFileExt(resultFile, "txt"), ReplaceFileExt(resultFile, "mt")};
}

namespace {

// The levelling lines by their (from, to) pair; each line is handed out once per run.
class SegmentIndex {
public:
    explicit SegmentIndex(const LevellingLines& lines) : lines_(lines) {
        for (int i = 1; i <= lines.Count(); ++i) byPair_[Key(lines.FromIds[i], lines.ToIds[i])].lines.push_back(i);
    }
    // The length and dh of the segment p -> q from the first unused line p -> q, else from the
    // first unused line q -> p with its dh turned; false when none is left.
    bool Take(int p, int q, double& length, double& dh) {
        if (int line = Next(p, q)) {
            length = lines_.Lengths[line];
            dh = lines_.Dhs[line];
            return true;
        }
        if (int line = Next(q, p)) {
            length = lines_.Lengths[line];
            dh = -lines_.Dhs[line];
            return true;
        }
        return false;
    }

private:
    struct Entry {
        std::vector<int> lines;
        std::size_t cursor = 0;
    };
    static std::uint64_t Key(int from, int to) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(from)) << 32) | static_cast<std::uint32_t>(to);
    }
    int Next(int from, int to) {
        auto it = byPair_.find(Key(from, to));
        if (it == byPair_.end() || it->second.cursor == it->second.lines.size()) return 0;
        return it->second.lines[it->second.cursor++];
    }
    const LevellingLines& lines_;
    std::unordered_map<std::uint64_t, Entry> byPair_;
};

struct OpenLine {
    std::vector<int> points;
    int level = 0;
};

// Names of a message list: the first ones in the message, the report has them all.
constexpr std::size_t kNamesShown = 30;
constexpr std::size_t kLinesShown = 10;

// Every list of a run is its own and goes with it, however the run ends (FreeLevellingLists).
class LevellingRun {
public:
    LevellingRun(const LevellingInput& files, const ComputationSettings& settings, Interaction& ui,
                 Progress& progress, RunRecord& run)
        : files_(files), settings_(settings), stagedUi_(ui, staging_), ui_(stagedUi_), progress_(progress), run_(run),
          outputs_(LevellingOutputsFor(files.ResultFile)) {}

    LevellingStatus Run();

private:
    LevellingInput files_;
    ComputationSettings settings_;
    OutputSet staging_;
    UnstagingInteraction stagedUi_;  // messages name the final files
    Interaction& ui_;
    Progress& progress_;
    RunRecord& run_;
    LevellingOutputs outputs_;
    // Where the run writes its files until it ends.
    std::string result_;
    LevellingOutputs staged_;
    LevellingStatus status_;

    NetworkModel model_;
    OneBased<int> knownIds_;
    OneBased<double> knownHeights_;
    OneBased<long long> knownLines_;  // the file line of each known height
    LevellingLines lines_;
    HeightTable heights_;
    std::vector<std::string> report_;
    std::vector<int> namedPoints_;  // every point of the levelling file, in file order
    std::vector<std::string> heightLines_;
    std::vector<std::string> matrixLines_;

    std::vector<std::string> Inputs() const { return {files_.KnownHeightsFile, files_.LevellingFile}; }
    bool NamesAllowed();
    bool ReadInput();
    bool HasData(std::size_t count, const std::string& fileName);
    bool KnownHeightsAgree();
    void RefuseLinesWithoutLength();
    void ReportUncomputedPoints();
    int CollectLevellingNodes();
    std::string Names(const std::vector<int>& ids) const;
    // Says it in a message and in the report.
    void Notice(const std::string& text);
    bool MatchLevellingSegments(SegmentIndex& index, const std::vector<int>& points, LevellingBranch& branch);
    bool HasLength(const LevellingBranch& branch);
    void AddHeight(int id, double height);
    void AddBranchHeights(const LevellingBranch& branch, bool withLast);
    void AdjustSingleLine(SegmentIndex& index, const std::vector<int>& points);
    void AdjustGroup(SegmentIndex& index, const BranchGroup& group);
    // Every group of the network, in the order the grouping forms them.
    void AdjustLevellingGroups(SegmentIndex& index, BranchSets& sets, const OneBased<int>& savedNodes,
                               int nodeCount);
    void ComputeOpenLine(SegmentIndex& index, std::vector<int> points);
    void AddMatrixLine(const PackedNormalMatrix& matrix);
    bool WriteResults();
};

bool LevellingRun::NamesAllowed() {
    std::vector<std::string> inputs = Inputs();
    if (!CheckResultNames(files_.ResultFile, inputs, {files_.ResultFile}, ui_)) return false;
    // The side files must not replace the result either (a result named "x.in").
    inputs.push_back(files_.ResultFile);
    return CheckOutputNames(inputs, {outputs_.Report, outputs_.BranchLog, outputs_.Matrix}, ui_);
}

bool LevellingRun::ReadInput() {
    progress_.SetText(MonitorLabel::Stage, Vn("Đang đọc file cao độ gốc"));
    ReadNotes knownNotes;
    if (!ReadHeightFile(files_.KnownHeightsFile, settings_, model_.PointNames, knownIds_, knownHeights_,
                        status_.ReadError, ui_, &knownNotes, &knownLines_) ||
        !HasData(static_cast<std::size_t>(knownIds_.Size()), files_.KnownHeightsFile) || !KnownHeightsAgree())
        return false;
    progress_.SetText(MonitorLabel::Stage, Vn("Đang đọc file số liệu đo cao"));
    lines_.Notes.CutFrom = knownNotes.CutFrom;
    if (!ReadLevellingLines(files_.LevellingFile, settings_, model_.PointNames, lines_, status_.ReadError, ui_) ||
        !HasData(static_cast<std::size_t>(lines_.Count()), files_.LevellingFile))
        return false;
    // What the readers passed over heads the report.
    LogBuffer notes;
    LogReadNotes(knownNotes, files_.KnownHeightsFile, settings_.KeepAccents, notes);
    LogReadNotes(lines_.Notes, files_.LevellingFile, settings_.KeepAccents, notes);
    report_.insert(report_.begin(), notes.Lines().begin(), notes.Lines().end());
    for (int i = 1; i <= lines_.Count(); ++i) {
        namedPoints_.push_back(lines_.FromIds[i]);
        namedPoints_.push_back(lines_.ToIds[i]);
    }
    RefuseLinesWithoutLength();
    return true;
}

// A file without a line to read would leave the earlier results replaced by nothing.
bool LevellingRun::HasData(std::size_t count, const std::string& fileName) {
    if (count > 0) return true;
    ui_.Message(NoDataMessage(fileName));
    status_.ReadError = {fileName, 1, ReadErrorKind::Line, 1};
    return false;
}

// A point copied twice is harmless; two different heights would fix the network to whichever
// came first.
bool LevellingRun::KnownHeightsAgree() {
    std::unordered_map<int, int> first;
    for (int i = 1; i <= knownIds_.Size(); ++i) {
        const auto [seen, isNew] = first.try_emplace(knownIds_[i], i);
        if (isNew || knownHeights_[i] == knownHeights_[seen->second]) continue;
        ui_.Message(Vn("Điểm gốc ") + model_.PointNames.Name(knownIds_[i]) + Vn(" có độ cao khác với dòng ") +
                    std::to_string(knownLines_[seen->second]) + Vn(" (dòng ") + std::to_string(knownLines_[i]) + ")");
        status_.ReadError = {files_.KnownHeightsFile, knownLines_[i], ReadErrorKind::Height, 1};
        return false;
    }
    return true;
}

// A line without a length has no weight and no share of a misclosure: it is left out alone, said
// with its line, and the rest of its group is adjusted without it.
void LevellingRun::RefuseLinesWithoutLength() {
    std::vector<int> refused;
    for (int i = 1; i <= lines_.Count(); ++i)
        if (!(lines_.Lengths[i] > 0.0)) refused.push_back(i);
    if (refused.empty()) return;
    std::string shown;
    report_.emplace_back();
    for (std::size_t k = 0; k < refused.size(); ++k) {
        const int i = refused[k];
        std::string text = Vn("Đoạn đo cao ") + model_.PointNames.Name(lines_.FromIds[i]) + " -> " +
                           model_.PointNames.Name(lines_.ToIds[i]);
        text += Vn(" ở dòng ") + std::to_string(lines_.LineNumbers[i]);
        text += lines_.Lengths[i] == 0.0
                    ? Vn(" có chiều dài bằng 0")
                    : Vn(" có chiều dài âm (") + FormatFixed(lines_.Lengths[i], 0, 3) + " m)";
        text += Vn(": không dùng để bình sai");
        report_.push_back(StripAccents(text, settings_.KeepAccents));
        if (k < kLinesShown) shown += (k > 0 ? "\n" : "") + text;
    }
    if (refused.size() > kLinesShown)
        shown += Vn("\n... và ") + std::to_string(refused.size() - kLinesShown) + Vn(" đoạn khác (xem ") +
                 outputs_.Report + ")";
    ui_.Message(Vn("File ") + files_.LevellingFile + " :\n" + shown);

    LevellingLines kept;
    kept.Notes = std::move(lines_.Notes);
    for (int i = 1; i <= lines_.Count(); ++i) {
        if (!(lines_.Lengths[i] > 0.0)) continue;
        kept.FromIds.PushBack(lines_.FromIds[i]);
        kept.ToIds.PushBack(lines_.ToIds[i]);
        kept.Lengths.PushBack(lines_.Lengths[i]);
        kept.Dhs.PushBack(lines_.Dhs[i]);
        kept.LineNumbers.PushBack(lines_.LineNumbers[i]);
    }
    lines_ = std::move(kept);
}

// Points of the levelling file that the run gave no height: a line left out or a group without a
// known height leaves them so, which the heights file alone would not show.
void LevellingRun::ReportUncomputedPoints() {
    std::vector<int> left;
    std::unordered_set<int> listed;
    for (int id : namedPoints_)
        if (!heights_.contains(id) && listed.insert(id).second) left.push_back(id);
    if (left.empty()) return;
    std::string shown;
    for (std::size_t i = 0; i < left.size() && i < kNamesShown; ++i)
        shown += (i > 0 ? ", " : "") + model_.PointNames.Name(left[i]);
    if (left.size() > kNamesShown)
        shown += Vn(", ... và ") + std::to_string(left.size() - kNamesShown) + Vn(" điểm khác (xem ") +
                 outputs_.Report + ")";
    ui_.Message(Vn("Các điểm chưa tính được: ") + shown);
    report_.emplace_back();
    report_.push_back(StripAccents(Vn("Các điểm chưa tính được: ") + std::to_string(left.size()), settings_.KeepAccents));
    // Ten names a line keeps the list readable for large networks.
    for (std::size_t i = 0; i < left.size(); i += 10) {
        std::string line = "    ";
        for (std::size_t j = i; j < left.size() && j < i + 10; ++j) line += " " + model_.PointNames.Name(left[j]);
        report_.push_back(line);
    }
}

// Nodes: points met by three or more line ends (their degrees: CountPointDegrees) that are not
// known points, by increasing id; then the stop list of the branch walks, the known points and the
// nodes (BuildLevellingStopPoints).
int LevellingRun::CollectLevellingNodes() {
    std::vector<int> degree(model_.PointNames.Count() + 1, 0);
    for (int i = 1; i <= lines_.Count(); ++i) {
        ++degree[lines_.FromIds[i]];
        ++degree[lines_.ToIds[i]];
    }
    model_.NetworkNodes.Clear();
    for (int id = 1; id < static_cast<int>(degree.size()); ++id)
        if (degree[id] >= 3 && !heights_.contains(id)) model_.NetworkNodes.PushBack(id);
    model_.BranchStopPoints.Clear();
    for (int id : knownIds_) model_.BranchStopPoints.PushBack(id);
    for (int id : model_.NetworkNodes) model_.BranchStopPoints.PushBack(id);
    return model_.NetworkNodes.Size();
}

std::string LevellingRun::Names(const std::vector<int>& ids) const {
    std::string text;
    for (int id : ids) text += (text.empty() ? "" : ", ") + model_.PointNames.Name(id);
    return text;
}

void LevellingRun::Notice(const std::string& text) {
    ui_.Message(text);
    report_.emplace_back();
    report_.push_back(StripAccents(text, settings_.KeepAccents));
}

bool LevellingRun::MatchLevellingSegments(SegmentIndex& index, const std::vector<int>& points, LevellingBranch& branch) {
    branch = LevellingBranch{};
    branch.Points = points;
    for (std::size_t k = 0; k + 1 < points.size(); ++k) {
        double length = 0.0;
        double dh = 0.0;
        if (!index.Take(points[k], points[k + 1], length, dh)) {
            Notice(Vn("Không tìm thấy số liệu đo cao của đoạn ") + Names({points[k], points[k + 1]}));
            return false;
        }
        branch.Lengths.push_back(length);
        branch.Dhs.push_back(dh);
        branch.LengthSum += length;
    }
    return true;
}

bool LevellingRun::HasLength(const LevellingBranch& branch) {
    if (branch.LengthSum > 0.0) return true;
    Notice(Vn("Tuyến ") + Names({branch.First(), branch.Last()}) +
           Vn(" có tổng chiều dài bằng 0: không bình sai được"));
    return false;
}

void LevellingRun::AddHeight(int id, double height) {
    heights_[id] = height;
    const std::string& name = model_.PointNames.Name(id);
    heightLines_.push_back(HeightFileLine(name, height));
    status_.Heights.emplace_back(name, height);
}

void LevellingRun::AddBranchHeights(const LevellingBranch& branch, bool withLast) {
    const std::size_t end = branch.Points.size() - (withLast ? 0 : 1);
    for (std::size_t k = 1; k < end; ++k) AddHeight(branch.Points[k], branch.Heights[k]);
}

void LevellingRun::AdjustSingleLine(SegmentIndex& index, const std::vector<int>& points) {
    LevellingBranch branch;
    if (!MatchLevellingSegments(index, points, branch) || !HasLength(branch)) {
        ++status_.SkippedGroups;
        return;
    }
    SpreadMisclosure(branch, heights_.at(branch.First()), heights_.at(branch.Last()));
    AddLevellingTable(report_, branch, model_.PointNames, LevellingTableKind::Adjusted,
                      settings_.HeightClosureFactor, settings_.KeepAccents);
    AddBranchHeights(branch, false);
    ++status_.AdjustedGroups;
}

void LevellingRun::AdjustGroup(SegmentIndex& index, const BranchGroup& group) {
    progress_.SetText(MonitorLabel::Nodes, std::to_string(group.NodeIds.size()));
    progress_.SetText(MonitorLabel::Branches, std::to_string(group.BranchCount));
    // A line ending at a point that is neither a node of the group nor of known height (a node
    // whose other lines only loop back to it) has nothing to hold that end: it is left out, said.
    const std::unordered_set<int> nodes(group.NodeIds.begin(), group.NodeIds.end());
    const auto held = [&](int id) { return nodes.count(id) > 0 || heights_.contains(id); };
    std::vector<LevellingBranch> branches;
    for (const std::vector<int>& points : group.Points) {
        if (points.empty()) continue;
        if (!held(points.front()) || !held(points.back())) {
            Notice(Vn("Tuyến ") + Names({points.front(), points.back()}) +
                   Vn(" có đầu không phải nút cũng chưa có độ cao: không bình sai được"));
            continue;
        }
        branches.emplace_back();
        if (!MatchLevellingSegments(index, points, branches.back()) || !HasLength(branches.back())) {
            ++status_.SkippedGroups;
            return;
        }
    }
    LevellingGroupSolution solution = AdjustLevellingGroup(branches, group.NodeIds, heights_);
    if (solution.Passes > 0) AddMatrixLine(solution.FirstMatrix);
    if (solution.NoKnownHeight) {
        Notice(Vn("Nhóm nút ") + Names(group.NodeIds) + Vn(" không nối với điểm độ cao gốc nào: bỏ qua"));
        ++status_.SkippedGroups;
        return;
    }
    if (!solution.Solved) {
        Notice(Vn("Không giải được hệ phương trình của nhóm nút ") + Names(group.NodeIds));
        ++status_.SkippedGroups;
        return;
    }
    if (solution.CapReached) {
        Notice(Vn("Nhóm nút ") + Names(group.NodeIds) + Vn(" chưa hội tụ sau ") + std::to_string(kLevellingPassCap) +
               Vn(" lần lặp"));
        status_.PassCapReached = true;
    }
    for (std::size_t i = 0; i < solution.NodeOrder.size(); ++i) AddHeight(solution.NodeOrder[i], solution.NodeHeights[i]);
    for (const LevellingBranch& branch : branches) {
        AddLevellingTable(report_, branch, model_.PointNames, LevellingTableKind::Adjusted,
                          settings_.HeightClosureFactor, settings_.KeepAccents);
        AddBranchHeights(branch, false);
    }
    ++status_.AdjustedGroups;
}

void LevellingRun::AdjustLevellingGroups(SegmentIndex& index, BranchSets& sets,
                                         const OneBased<int>& savedNodes, int nodeCount) {
    for (const BranchGroup& group : FormBranchGroups(model_, sets, savedNodes, nodeCount)) AdjustGroup(index, group);
}

void LevellingRun::ComputeOpenLine(SegmentIndex& index, std::vector<int> points) {
    // Carried on from the end that has a height.
    if (!heights_.contains(points.front())) {
        if (!heights_.contains(points.back())) {
            Notice(Vn("Tuyến treo ") + Names({points.front(), points.back()}) +
                   Vn(" không có đầu nào đã có độ cao: bỏ qua"));
            return;
        }
        std::reverse(points.begin(), points.end());
    }
    LevellingBranch branch;
    if (!MatchLevellingSegments(index, points, branch)) return;
    CarryOpenLine(branch, heights_.at(branch.First()));
    AddLevellingTable(report_, branch, model_.PointNames, LevellingTableKind::Open, settings_.HeightClosureFactor,
                      settings_.KeepAccents);
    AddBranchHeights(branch, true);
    ++status_.OpenLines;
}

void LevellingRun::AddMatrixLine(const PackedNormalMatrix& matrix) {
    std::string line;
    const auto& data = matrix.Data();
    for (std::size_t i = 1; i < data.size(); ++i) {
        line += FormatFixed(data[i], 0, 10);
        line += '\t';
    }
    matrixLines_.push_back(std::move(line));
}

bool LevellingRun::WriteResults() {
    progress_.SetText(MonitorLabel::Stage, Vn("Đang ghi kết quả"));
    // The matrix file only helps to check the equations: failing to write it never stops the run.
    if (!matrixLines_.empty() && !WriteAllLines(staged_.Matrix, matrixLines_)) {
        std::remove(staged_.Matrix.c_str());  // a cut file must not take the place of a whole one
        report_.emplace_back();
        report_.push_back(StripAccents(Vn("Không ghi được file ") + outputs_.Matrix, settings_.KeepAccents));
    }
    if (!WriteAllLines(result_, heightLines_)) {
        ui_.Message(WriteFailureText(files_.ResultFile));
        return false;
    }
    if (!WriteAllLines(staged_.Report, report_)) {
        ui_.Message(WriteFailureText(outputs_.Report));
        return false;
    }
    if (!staging_.Commit()) {
        ui_.Message(staging_.FailureMessage());
        return false;
    }
    status_.Report = outputs_.Report;
    return true;
}

LevellingStatus LevellingRun::Run() {
    progress_.Show();
    progress_.SetText(MonitorLabel::Start, Vn("Bắt đầu từ ") + TimeOfDay());
    run_.Reset();
    const auto finish = [&](RunOutcome outcome) {
        status_.Outcome = outcome;
        progress_.SetText(MonitorLabel::Stage, Vn("Kết thúc"));
        progress_.SetText(MonitorLabel::End, Vn("đến ") + TimeOfDay());
        return status_;
    };
    if (!NamesAllowed()) return finish(RunOutcome::NameCollision);
    if (!ReadInput()) return finish(RunOutcome::ReadFailed);
    // Every file goes to the staging folder; only a finished run puts them in place.
    if (!staging_.Begin(files_.ResultFile, Inputs())) {
        ui_.Message(staging_.FailureMessage());
        return finish(RunOutcome::WriteFailed);
    }
    result_ = staging_.Staged(files_.ResultFile);
    staged_ = {staging_.Staged(outputs_.Report), staging_.Staged(outputs_.BranchLog),
               staging_.Staged(outputs_.Matrix)};

    // The known heights open the heights file; a name given twice (with one height) once.
    for (int i = 1; i <= knownIds_.Size(); ++i) {
        if (heights_.contains(knownIds_[i])) continue;
        AddHeight(knownIds_[i], knownHeights_[i]);
    }
    const int nodeCount = CollectLevellingNodes();

    progress_.SetText(MonitorLabel::Stage, Vn("Đang phân tích lưới"));
    bool unjoined = false;
    const LevellingBranchOutcome built = BuildBranches(model_, lines_, model_.BranchStopPoints.Size(), "", result_,
                                                       Inputs(), unjoined, run_.ProgressLog, ui_, progress_);
    // A branch log cut short must not replace a whole one.
    if (!built.LogSaved) {
        ui_.Message(WriteFailureText(outputs_.BranchLog));
        return finish(RunOutcome::WriteFailed);
    }

    BranchSets sets;
    BuildBranchAdjacency(model_, nodeCount, sets);
    const OneBased<int> savedNodes = model_.NetworkNodes;
    ComputationSettings levelling = settings_;
    levelling.Modes.ModeLevelling = true;
    OneBased<int> noKnown, noStarts;
    int knownCount = 0, startCount = 0, pass = 0;
    AssignBranchLevels(model_, pass, nodeCount, KnownNodeLists{noKnown, knownCount, noStarts, startCount}, sets, 0,
                       levelling);

    // Lines between two known points, and hanging lines, as they stand before the grouping moves
    // the branches.
    const BranchModel& br = model_.Branches;
    std::vector<std::vector<int>> singles;
    std::vector<OpenLine> open;
    for (int b = 1; b <= br.BranchCount(); ++b) {
        std::vector<int> points(br.BranchPoints.begin() + (br.First(b) - 1), br.BranchPoints.begin() + br.Last(b));
        if (sets.NodeSets[b].Contains(0)) {
            open.push_back({std::move(points), sets.BranchLevels[b]});
        } else if (sets.NodeSets[b].Empty()) {
            if (heights_.contains(points.front()) && heights_.contains(points.back()))
                singles.push_back(std::move(points));
            else  // joined through a node into a line with one known end: nothing closes it
                open.push_back({std::move(points), pass + 1});
        }
    }

    progress_.SetText(MonitorLabel::Stage, Vn("Đang bình sai"));
    SegmentIndex index(lines_);
    for (const std::vector<int>& points : singles)
        if (points.size() > 2) AdjustSingleLine(index, points);
    AdjustLevellingGroups(index, sets, savedNodes, nodeCount);

    // Higher levels first: a line of a lower level may start where one of a higher level ends.
    std::stable_sort(open.begin(), open.end(), [](const OpenLine& a, const OpenLine& b) { return a.level > b.level; });
    for (OpenLine& line : open) ComputeOpenLine(index, std::move(line.points));
    ReportUncomputedPoints();

    if (!WriteResults()) return finish(RunOutcome::WriteFailed);
    return finish(RunOutcome::Completed);
}

}  // namespace

LevellingStatus AdjustLevellingNetwork(const LevellingInput& files, const ComputationSettings& settings,
                                       Interaction& ui, Progress& progress, RunRecord& run) {
    LevellingRun levellingRun(files, settings, ui, progress, run);
    return levellingRun.Run();
}

}  // namespace qef
