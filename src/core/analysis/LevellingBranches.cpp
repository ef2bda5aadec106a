#include "core/analysis/LevellingBranches.h"

#include <unordered_map>
#include <unordered_set>

#include "core/model/OutputNames.h"
#include "core/text/NumberFormat.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

// The lines at each point in increasing order, read through a cursor that skips used lines: a used
// line never comes back, so each point's list is passed over once in the whole walk.
class LineIndex {
public:
    LineIndex(const OneBased<int>& from, const OneBased<int>& to, int count) {
        for (int i = 1; i <= count; ++i) {
            Add(from[i], i);
            if (to[i] != from[i]) Add(to[i], i);
        }
    }
    // Lowest-numbered line at the point that `used` does not mark; 0 when none.
    int Next(int point, const OneBased<char>& used) {
        auto it = lines_.find(point);
        if (it == lines_.end()) return 0;
        Entry& e = it->second;
        while (e.cursor < e.lines.size() && used[e.lines[e.cursor]]) ++e.cursor;
        return e.cursor < e.lines.size() ? e.lines[e.cursor] : 0;
    }

private:
    struct Entry {
        std::vector<int> lines;
        std::size_t cursor = 0;
    };
    void Add(int point, int line) {
        if (point != 0) lines_[point].lines.push_back(line);
    }
    std::unordered_map<int, Entry> lines_;
};

template <typename T>
void KeepMarked(OneBased<T>& list, const OneBased<char>& keep, int count) {
    int out = 0;
    for (int i = 1; i <= count; ++i)
        if (keep[i]) list[++out] = list[i];
    list.Resize(out);
}

// From each stop point, walks branches into model.Branches while lines leave it, marking the lines
// it uses; returns the number of branches.
int WalkBranches(NetworkModel& model, const LevellingLines& lines, int stopCount, OneBased<char>& used,
                 Progress& progress) {
    BranchModel& br = model.Branches;
    std::unordered_set<int> stops;
    for (int i = 1; i <= stopCount; ++i)
        if (model.BranchStopPoints[i] != 0) stops.insert(model.BranchStopPoints[i]);
    LineIndex index(lines.FromIds, lines.ToIds, lines.Count());

    int branchCount = 0;
    std::vector<int> walk;
    for (int s = 1; s <= stopCount; ++s) {
        const int start = model.BranchStopPoints[s];
        if (start == 0) continue;
        while (true) {
            walk.assign(1, start);
            int current = start;
            bool deadEnd = false;
            while (walk.size() < 2 || !stops.contains(current)) {
                const int line = index.Next(current, used);
                if (line == 0) {
                    deadEnd = walk.size() >= 2;
                    break;
                }
                used[line] = 1;
                const int from = lines.FromIds[line];
                current = from == current ? lines.ToIds[line] : from;
                walk.push_back(current);
            }
            if (walk.size() < 2) break;
            ++branchCount;
            for (int p : walk) br.BranchPoints.PushBack(p);
            br.BranchPointCounts.PushBack(static_cast<int>(walk.size()));
            br.BranchDeadEnd.PushBack(deadEnd ? 1 : 0);
            progress.SetText(MonitorLabel::Stage, Vn("Nhánh số : ") + std::to_string(branchCount + 1));
        }
    }
    return branchCount;
}

// Lists the lines that no walk reached in a message and in the log; returns how many there are.
int ReportUnjoinedLines(const NetworkModel& model, const LevellingLines& lines, const OneBased<char>& used,
                        bool& unjoinedSidesFlag, LogBuffer& log, Interaction& ui) {
    const std::string heading = Vn("Các cạnh không liên kết được vào lưới :");
    std::string list;
    std::vector<std::string> listed;
    for (int i = 1; i <= lines.Count(); ++i) {
        if (used[i]) continue;
        listed.push_back(model.PointNames.Name(lines.FromIds[i]) + " -> " + model.PointNames.Name(lines.ToIds[i]));
        list += listed.back() + "\n";
    }
    if (!listed.empty()) {
        std::string message = heading + "\n" + list;
        if (message.size() > kShortStringMax) message.resize(kShortStringMax);
        ShowError(ui, unjoinedSidesFlag, message);
        log.Add(heading);
        for (std::string& line : listed) log.Add(std::move(line));
    }
    return static_cast<int>(listed.size());
}

// Appends the unused lines to the leftover file and, once it is written, drops them from `lines`.
void MoveUnjoinedLines(const std::string& leftoverFile, const NetworkModel& model, LevellingLines& lines,
                       const OneBased<char>& used, Interaction& ui) {
    const int lineCount = lines.Count();
    TextFileWriter out(leftoverFile, true);
    bool written = out.IsOpen();
    if (written) {
        for (int i = 1; i <= lineCount; ++i) {
            if (used[i]) continue;
            out.WriteLine(model.PointNames.Name(lines.FromIds[i]) + "\t" + model.PointNames.Name(lines.ToIds[i]) +
                          "\t" + FormatFixed(lines.Lengths[i], 0, 3));
        }
        out.WriteLine("//HetCanhTuDo");
        written = out.Close();
    }
    if (!written) {
        ui.Message(Vn("Không ghi được file ") + leftoverFile);
        return;
    }
    KeepMarked(lines.FromIds, used, lineCount);
    KeepMarked(lines.ToIds, used, lineCount);
    KeepMarked(lines.Lengths, used, lineCount);
    KeepMarked(lines.Dhs, used, lineCount);
    KeepMarked(lines.LineNumbers, used, lineCount);
}

void LogBranches(const NetworkModel& model, int branchCount, LogBuffer& log) {
    const BranchModel& br = model.Branches;
    for (int b = 1; b <= branchCount; ++b) {
        log.Add("Nhanh thu " + std::to_string(b) + " : ");
        std::string names;
        for (int p = br.First(b); p <= br.Last(b); ++p) names += model.PointNames.Name(br.PointAt(p)) + ", ";
        log.Add(std::move(names));
    }
    log.Add("");
}

// The log beside logName, unless that name is one of the input files.
void SaveBranchLog(const std::string& logName, const std::vector<std::string>& inputFiles, LogBuffer& log,
                   LevellingBranchOutcome& outcome) {
    outcome.LogFile = ReplaceFileExt(logName, "txt");
    if (CollidingOutputName(inputFiles, {outcome.LogFile})) {
        log.Add(Vn("Không ghi nhật ký vào ") + outcome.LogFile + Vn(": trùng tên file số liệu"));
        return;
    }
    outcome.LogSaved = log.SaveTo(outcome.LogFile);
    if (!outcome.LogSaved) log.Add(Vn("Không ghi được file ") + outcome.LogFile);
}

}  // namespace

LevellingBranchOutcome BuildBranches(NetworkModel& model, LevellingLines& lines, int stopCount,
                                     const std::string& leftoverFile, const std::string& logName,
                                     const std::vector<std::string>& inputFiles, bool& unjoinedSidesFlag,
                                     LogBuffer& log, Interaction& ui, Progress& progress) {
    LevellingBranchOutcome outcome;
    model.Branches.Clear();
    const int lineCount = lines.Count();
    // Lines missing an end are never walked.
    OneBased<char> used(lineCount, 0);
    for (int i = 1; i <= lineCount; ++i)
        if (lines.FromIds[i] == 0 || lines.ToIds[i] == 0) used[i] = 1;

    const int branchCount = WalkBranches(model, lines, stopCount, used, progress);
    model.Branches.BuildBranchOffsets(branchCount);
    outcome.UnjoinedLines = ReportUnjoinedLines(model, lines, used, unjoinedSidesFlag, log, ui);
    if (!leftoverFile.empty() && outcome.UnjoinedLines > 0) MoveUnjoinedLines(leftoverFile, model, lines, used, ui);
    LogBranches(model, branchCount, log);
    if (!logName.empty()) SaveBranchLog(logName, inputFiles, log, outcome);
    return outcome;
}

}  // namespace qef
