#include "core/analysis/LevellingBranches.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

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
    int Next(int point, const std::vector<char>& used) {
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
void KeepMarked(OneBased<T>& list, const std::vector<char>& keep, int count) {
    int out = 0;
    for (int i = 1; i <= count; ++i)
        if (keep[i]) list[++out] = list[i];
    list.Resize(out);
}

}  // namespace

LevellingBranchOutcome BuildBranches(NetworkModel& model, LevellingLines& lines, int stopCount,
                                     const std::string& leftoverFile, const std::string& logName,
                                     const std::vector<std::string>& inputFiles, bool& unjoinedSidesFlag,
                                     LogBuffer& log, Interaction& ui, Progress& progress) {
    LevellingBranchOutcome outcome;
    BranchModel& br = model.Branches;
    br.Clear();
    const int lineCount = lines.Count();

    std::unordered_set<int> stops;
    for (int i = 1; i <= stopCount; ++i)
        if (model.BranchStopPoints[i] != 0) stops.insert(model.BranchStopPoints[i]);

    std::vector<char> used(lineCount + 1, 0);
    for (int i = 1; i <= lineCount; ++i)
        if (lines.FromIds[i] == 0 || lines.ToIds[i] == 0) used[i] = 1;
    LineIndex index(lines.FromIds, lines.ToIds, lineCount);

    // From each stop point, walk branches while lines leave it.
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
    br.BuildBranchOffsets(branchCount);

    // Lines that no walk reached.
    const std::string heading = Vn("Các cạnh không liên kết được vào lưới :");
    std::string list;
    std::vector<std::string> listed;
    for (int i = 1; i <= lineCount; ++i) {
        if (used[i]) continue;
        listed.push_back(model.PointNames.Name(lines.FromIds[i]) + " -> " +
                         model.PointNames.Name(lines.ToIds[i]));
        list += listed.back() + "\n";
    }
    outcome.UnjoinedLines = static_cast<int>(listed.size());
    if (!listed.empty()) {
        std::string message = heading + "\n" + list;
        if (message.size() > kShortStringMax) message.resize(kShortStringMax);
        ShowError(ui, unjoinedSidesFlag, message);
        log.Add(heading);
        for (std::string& line : listed) log.Add(std::move(line));
    }

    if (!leftoverFile.empty() && outcome.UnjoinedLines > 0) {
        TextFileWriter out(leftoverFile, true);
        bool written = out.IsOpen();
        if (written) {
            for (int i = 1; i <= lineCount; ++i) {
                if (used[i]) continue;
                out.WriteLine(model.PointNames.Name(lines.FromIds[i]) + "\t" +
                              model.PointNames.Name(lines.ToIds[i]) + "\t" +
                              FormatFixed(lines.Lengths[i], 0, 3));
            }
            out.WriteLine("//HetCanhTuDo");
            written = out.Close();
        }
        if (written) {
            // Moved to the file: the lists keep only the lines that are in branches.
            KeepMarked(lines.FromIds, used, lineCount);
            KeepMarked(lines.ToIds, used, lineCount);
            KeepMarked(lines.Lengths, used, lineCount);
            KeepMarked(lines.Dhs, used, lineCount);
        } else {
            ui.Message(Vn("Không ghi được file ") + leftoverFile);
        }
    }

    for (int b = 1; b <= branchCount; ++b) {
        log.Add("Nhanh thu " + std::to_string(b) + " : ");
        std::string names;
        for (int p = br.First(b); p <= br.Last(b); ++p) names += model.PointNames.Name(br.PointAt(p)) + ", ";
        log.Add(std::move(names));
    }
    log.Add("");

    if (logName.empty()) return outcome;
    outcome.LogFile = ReplaceFileExt(logName, "txt");
    const bool collides = std::any_of(inputFiles.begin(), inputFiles.end(),
                                      [&](const std::string& input) { return SameFile(input, outcome.LogFile); });
    if (collides) {
        log.Add(Vn("Không ghi nhật ký vào ") + outcome.LogFile + Vn(": trùng tên file số liệu"));
        return outcome;
    }
    outcome.LogSaved = log.SaveTo(outcome.LogFile);
    if (!outcome.LogSaved) log.Add(Vn("Không ghi được file ") + outcome.LogFile);
    return outcome;
}

}  // namespace qef
