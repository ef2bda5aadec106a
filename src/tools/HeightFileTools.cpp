#include "tools/HeightFileTools.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "core/io/Readers.h"
#include "core/model/NetworkModel.h"
#include "core/text/NumberFormat.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

std::string F53(double v) { return FormatFixed(v, 5, 3); }

std::string ComparisonRow(const PointNameTable& names, const PointList& a, int i, const PointList& b, int j) {
    const double dx = a.X[i] - b.X[j];
    const double dy = a.Y[i] - b.Y[j];
    return names.Name(a.Ids[i]) + "\t" + F53(a.X[i]) + "\t" + F53(a.Y[i]) + "\t" + F53(b.X[j]) + "\t" +
           F53(b.Y[j]) + "\t" + F53(dx) + "\t" + F53(dy) + "\t" + F53(std::sqrt(dx * dx + dy * dy));
}

// Each point that a later point of the same list repeats, with the first repeat; the file is named
// once in a message.
void ListRepeats(const PointNameTable& names, const PointList& points, const std::string& fileName,
                 std::vector<std::string>& rows, Interaction& ui) {
    std::unordered_map<int, int> later;  // id -> the next point of that id met so far from the end
    std::vector<int> repeat(points.Count() + 1, 0);
    for (int i = points.Count(); i >= 1; --i) {
        const auto it = later.find(points.Ids[i]);
        if (it != later.end()) repeat[i] = it->second;
        later[points.Ids[i]] = i;
    }
    bool told = false;
    for (int i = 1; i <= points.Count(); ++i) {
        if (repeat[i] == 0) continue;
        // The message names no point: once per file says it all, the rows say which.
        if (!told) ui.Message("File " + fileName + Vn(" Có điểm trùng"));
        told = true;
        rows.push_back(ComparisonRow(names, points, i, points, repeat[i]));
    }
}

// Every line of a coordinate file, repeats included, with its name registered in `names`.
bool ReadCoordinateLines(const std::string& fileName, const ComputationSettings& settings, PointNameTable& names,
                         PointList& points, ReadErrorRecord& error, Interaction& ui) {
    OneBased<std::string> text;
    OneBased<double> x;
    OneBased<double> y;
    bool missing = false;
    if (!ReadPointsXY(fileName, settings, text, x, y, nullptr, missing, error, ui)) return false;
    // A name without coordinates has nothing to compare or to merge.
    for (int i = 1; i <= text.Size(); ++i)
        if (!IsMissing(x[i]) && !IsMissing(y[i])) points.Add(names.Register(text[i]), x[i], y[i]);
    return true;
}

}  // namespace

ToolStatus AverageTwoWayLevelling(const std::string& inputName, const std::string& resultName,
                                  const ComputationSettings& settings, Interaction& ui) {
    ToolStatus status;
    if (!ResultNameUsable({inputName}, resultName, ui, status)) return status;
    PointNameTable names;
    LevellingLines lines;
    if (!ReadLevellingLines(inputName, settings, names, lines, status.ReadError, ui)) {
        status.Outcome = RunOutcome::ReadFailed;
        return status;
    }
    if (lines.Count() == 0) {
        ReportNoData(inputName, ui, status);
        return status;
    }
    struct Pair {
        int From, To;
        double Length, Dh;
        int Count;
    };
    std::vector<Pair> pairs;
    std::unordered_map<long long, std::size_t> byEnds;
    // A run without a length is no measurement to average: left out, and said.
    std::vector<std::string> refused;
    for (int i = 1; i <= lines.Count(); ++i) {
        const int from = lines.FromIds[i];
        const int to = lines.ToIds[i];
        if (!(lines.Lengths[i] > 0.0)) {
            refused.push_back(Vn("Đoạn đo cao ") + names.Name(from) + " -> " + names.Name(to) +
                              (lines.Lengths[i] == 0.0 ? Vn(" có chiều dài bằng 0")
                                                       : Vn(" có chiều dài âm (") + FormatFixed(lines.Lengths[i], 0, 3) +
                                                             " m)") +
                              Vn(": không dùng để tính trung bình"));
            continue;
        }
        const long long key = (static_cast<long long>(std::min(from, to)) << 32) | std::max(from, to);
        const auto [it, added] = byEnds.emplace(key, pairs.size());
        if (added) {
            pairs.push_back({from, to, lines.Lengths[i], lines.Dhs[i], 1});
            continue;
        }
        Pair& p = pairs[it->second];
        p.Length += lines.Lengths[i];
        p.Dh += p.From == from ? lines.Dhs[i] : -lines.Dhs[i];
        ++p.Count;
    }
    if (!refused.empty()) {
        std::string text = Vn("File ") + inputName + " :";
        for (const std::string& line : refused) text += "\n" + line;
        ui.Message(text);
    }
    if (pairs.empty()) {
        ReportNoData(inputName, ui, status);
        return status;
    }
    std::vector<std::string> out;
    out.reserve(pairs.size());
    for (const Pair& p : pairs)
        out.push_back(names.Name(p.From) + "\t" + names.Name(p.To) + "\t" + FormatFixed(p.Length / p.Count, 1, 1) +
                      "\t" + FormatFixed(p.Dh / p.Count, 1, 3));
    WriteToolResult(resultName, out, ui, status);
    return status;
}

ToolStatus MergeHeightsIntoCoords(const std::string& heightsName, const std::string& coordName,
                                  const std::string& resultName, const ComputationSettings& settings,
                                  Interaction& ui) {
    ToolStatus status;
    if (!ResultNameUsable({heightsName, coordName}, resultName, ui, status)) return status;
    NetworkModel model;
    OneBased<int> heightIds;
    OneBased<double> heights;
    PointList points;
    if (!ReadHeightFile(heightsName, settings, model.PointNames, heightIds, heights, status.ReadError, ui) ||
        !ReadCoordinateLines(coordName, settings, model.PointNames, points, status.ReadError, ui)) {
        status.Outcome = RunOutcome::ReadFailed;
        return status;
    }
    if (heightIds.Size() == 0 || points.Count() == 0) {
        ReportNoData(heightIds.Size() == 0 ? heightsName : coordName, ui, status);
        return status;
    }
    std::unordered_map<int, double> heightOf;
    for (int i = 1; i <= heightIds.Size(); ++i) heightOf.emplace(heightIds[i], heights[i]);
    std::vector<std::string> out;
    for (int i = 1; i <= points.Count(); ++i) {
        const auto h = heightOf.find(points.Ids[i]);
        if (h == heightOf.end()) continue;
        out.push_back(model.PointNames.Name(points.Ids[i]) + "\t" + F53(points.X[i]) + "\t" + F53(points.Y[i]) + "\t" +
                      F53(h->second));
    }
    WriteToolResult(resultName, out, ui, status);
    return status;
}

ToolStatus CompareSameNamedPoints(const std::string& name1, const std::string& name2, const std::string& resultName,
                                  const ComputationSettings& settings, Interaction& ui) {
    ToolStatus status;
    if (!ResultNameUsable({name1, name2}, resultName, ui, status)) return status;
    const bool sameName = name1 == name2;
    NetworkModel model;
    PointList p1;
    PointList p2;
    if (!ReadCoordinateLines(name1, settings, model.PointNames, p1, status.ReadError, ui) ||
        (!sameName && !ReadCoordinateLines(name2, settings, model.PointNames, p2, status.ReadError, ui))) {
        status.Outcome = RunOutcome::ReadFailed;
        return status;
    }
    if (p1.Count() == 0 || (!sameName && p2.Count() == 0)) {
        ReportNoData(p1.Count() == 0 ? name1 : name2, ui, status);
        return status;
    }
    // Asked once both files are known to serve.
    const Answer answer = ui.AskYesNoCancel(Vn("Liệt kê các điểm có trong file 1 nhưng không có trong file 2 (Y/N)"));
    if (answer == Answer::Cancel) {
        status.Outcome = RunOutcome::Cancelled;
        return status;
    }
    const PointNameTable& names = model.PointNames;
    std::vector<std::string> rows;
    ListRepeats(names, p1, name1, rows, ui);
    if (!sameName) {
        ListRepeats(names, p2, name2, rows, ui);
        std::unordered_map<int, int> firstIn2;
        for (int j = 1; j <= p2.Count(); ++j) firstIn2.emplace(p2.Ids[j], j);
        for (int i = 1; i <= p1.Count(); ++i) {
            const auto j = firstIn2.find(p1.Ids[i]);
            if (j != firstIn2.end())
                rows.push_back(ComparisonRow(names, p1, i, p2, j->second));
            else if (answer == Answer::Yes)
                rows.push_back(names.Name(p1.Ids[i]) + "\t" + F53(p1.X[i]) + "\t" + F53(p1.Y[i]));
        }
    }
    WriteToolResult(resultName, rows, ui, status);
    return status;
}

}  // namespace qef
