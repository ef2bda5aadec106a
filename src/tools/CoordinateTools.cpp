#include "tools/CoordinateTools.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>
#include <vector>

#include "core/io/Readers.h"
#include "core/model/NetworkModel.h"
#include "core/text/NumberFormat.h"
#include "tools/WholeUnits.h"

namespace qef {

namespace {

bool SamePlace(const PointRecords& p, int i, int j) {
    const bool withH = p.H.Size() == p.Count();
    const auto near = [](double a, double b) { return TenthsOfMillimetre(a - b) <= kSamePointTenths; };
    return near(p.X[i], p.X[j]) && near(p.Y[i], p.Y[j]) && (!withH || near(p.H[i], p.H[j]));
}

// A value that the line did not give stays an empty field.
std::string Value(double v) { return IsMissing(v) ? std::string() : FormatFixed(v, 0, 3); }

void Reorder(PointRecords& p, const std::vector<int>& order) {
    PointRecords out;
    const bool withH = p.H.Size() == p.Count();
    for (int i : order) {
        out.Names.PushBack(std::move(p.Names[i]));
        out.X.PushBack(p.X[i]);
        out.Y.PushBack(p.Y[i]);
        if (withH) out.H.PushBack(p.H[i]);
    }
    p = std::move(out);
}

}  // namespace

void RemoveDuplicatePoints(PointRecords& points, Interaction& ui) {
    std::unordered_map<std::string, std::vector<int>> kept;
    std::vector<int> order;
    for (int j = 1; j <= points.Count(); ++j) {
        std::vector<int>& same = kept[points.Names[j]];
        bool duplicate = false;
        for (int i : same) {
            if (SamePlace(points, i, j)) {
                duplicate = true;
                break;
            }
            ui.Message("Diem " + points.Names[j] + " co 2 toa do khac nhau");
        }
        if (duplicate) continue;
        same.push_back(j);
        order.push_back(j);
    }
    if (static_cast<int>(order.size()) != points.Count()) Reorder(points, order);
}

void SortPointsByName(PointRecords& points, SortOrder order) {
    std::vector<int> index(points.Count());
    std::iota(index.begin(), index.end(), 1);
    std::stable_sort(index.begin(), index.end(), [&](int a, int b) {
        const int c = ComparePointNames(points.Names[a], points.Names[b]);
        return order == SortOrder::Ascending ? c < 0 : c > 0;
    });
    Reorder(points, index);
}

namespace {

ToolStatus SortPointFile(PointFileKind kind, const std::string& inName, const std::string& outName,
                         SortOrder order, const ComputationSettings& settings, Interaction& ui) {
    ToolStatus status;
    if (!ResultNameUsable({inName}, outName, ui, status)) return status;
    PointRecords points;
    bool missing = false;
    const bool withH = kind == PointFileKind::XYH;
    if (!ReadPointsXY(inName, settings, points.Names, points.X, points.Y, withH ? &points.H : nullptr, missing,
                      status.ReadError, ui)) {
        status.Outcome = RunOutcome::ReadFailed;
        return status;
    }
    if (points.Count() == 0) {
        ReportNoData(inName, ui, status);
        return status;
    }
    RemoveDuplicatePoints(points, ui);
    SortPointsByName(points, order);

    std::vector<std::string> lines;
    lines.reserve(points.Count());
    for (int i = 1; i <= points.Count(); ++i) {
        std::string line = points.Names[i] + "\t" + Value(points.X[i]) + "\t" + Value(points.Y[i]);
        if (withH) line += "\t" + Value(points.H[i]);
        lines.push_back(std::move(line));
    }
    WriteToolResult(outName, lines, ui, status);
    return status;
}

}  // namespace

ToolStatus SortPointsXY(const std::string& inName, const std::string& outName, SortOrder order,
                        const ComputationSettings& settings, Interaction& ui) {
    return SortPointFile(PointFileKind::XY, inName, outName, order, settings, ui);
}

ToolStatus SortPointsXYZ(const std::string& inName, const std::string& outName, SortOrder order,
                         const ComputationSettings& settings, Interaction& ui) {
    return SortPointFile(PointFileKind::XYH, inName, outName, order, settings, ui);
}

}  // namespace qef
