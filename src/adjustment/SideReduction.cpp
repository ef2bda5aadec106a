#include "adjustment/SideReduction.h"

#include <algorithm>
#include <unordered_set>

#include "core/numeric/Numbers.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

bool ReadPointHeights(const std::string& fileName, const ComputationSettings& settings, NetworkModel& model,
                      ReadErrorRecord& error, Interaction& ui) {
    return ReadHeightFile(fileName, settings, model.PointNames, model.HeightPointIds, model.PointHeights, error,
                          ui);
}

PointHeightIndex::PointHeightIndex(const OneBased<int>& ids, const OneBased<double>& heights) {
    const int count = std::min(ids.Size(), heights.Size());
    heights_.reserve(count);
    for (int i = 1; i <= count; ++i) heights_.emplace(ids[i], heights[i]);
}

bool PointHeightIndex::PointHeightOf(int id, double& height) const {
    const auto it = heights_.find(id);
    if (it == heights_.end()) return false;
    height = it->second;
    return true;
}

std::vector<int> ComputeSideMeanHeights(const BranchModel& branches, const PointHeightIndex& heights,
                                        OneBased<double>& sideMeanHeights, int nb) {
    std::vector<int> missing;
    if (nb < 1) return missing;
    const int positions = branches.SumBranchPoints(nb);
    if (sideMeanHeights.Size() < positions) sideMeanHeights.Resize(positions);
    std::unordered_set<int> named;
    auto lookUp = [&](int id, double& h) {
        if (heights.PointHeightOf(id, h)) return true;
        if (named.insert(id).second) missing.push_back(id);
        return false;
    };
    for (int b = 1; b <= nb; ++b) {
        for (int p = branches.First(b); p < branches.Last(b); ++p) {
            double h1 = 0.0;
            double h2 = 0.0;
            const bool found1 = lookUp(branches.PointAt(p), h1);
            const bool found2 = lookUp(branches.PointAt(p + 1), h2);
            sideMeanHeights[p] = found1 && found2 ? (h1 + h2) / 2.0 : kMissingValue;
        }
    }
    return missing;
}

double HeightCorrection(const ComputationSettings& settings, double side, double sideMeanHeight) {
    switch (settings.HeightReductionMode) {
    case ReductionMode::AreaMean:
        return -settings.MeanAreaHeight * side / kEarthRadius;
    case ReductionMode::SideMean:
        return IsMissing(sideMeanHeight) ? 0.0 : -sideMeanHeight * side / kEarthRadius;
    case ReductionMode::AboveProjectionPlane:
        return IsMissing(sideMeanHeight) ? 0.0
                                         : -(sideMeanHeight - settings.ProjectionPlaneHeight) * side / kEarthRadius;
    default:
        return 0.0;
    }
}

void ReduceSidesByHeight(const BranchModel& branches, const OneBased<double>& sides,
                         OneBased<double>& corrections, const OneBased<double>& meanHeights, int nb,
                         const ComputationSettings& settings) {
    if (nb < 1) return;
    const int positions = branches.SumBranchPoints(nb);
    if (corrections.Size() < positions) corrections.Resize(positions);
    const bool perSide = UsesPointHeights(settings.HeightReductionMode);
    for (int b = 1; b <= nb; ++b) {
        for (int p = branches.First(b); p < branches.Last(b); ++p) {
            const int i = p;
            const double mean = perSide ? meanHeights[i] : 0.0;
            corrections[i] = HeightCorrection(settings, sides[i], mean);
        }
    }
}

SideReductionRow ReduceSide(const ComputationSettings& settings, double side, double heightCorrection, double y1,
                            double y2) {
    SideReductionRow row;
    row.Side = side;
    row.Reduced = side;
    const double scale = settings.ProjectionScale;
    if (settings.HeightReduction) row.Vh = RoundHalfEven(3, heightCorrection);
    if (settings.ProjectionReduction) {
        if (settings.ProjectionIsUtm && scale != 0.0) {
            // UTM eastings carry the scale of the axial meridian; the reduction wants them without.
            y1 = (y1 - kFalseEasting) / scale + kFalseEasting;
            y2 = (y2 - kFalseEasting) / scale + kFalseEasting;
        }
        const double ym = (y1 + y2) / 2.0 - kFalseEasting;
        const double q = ym / kEarthRadius;
        row.Vp = RoundHalfEven(3, side * q * q / 2.0);
        const double vh = row.Vh;  // 0 without the height reduction
        if (scale == 1.0) {
            row.Reduced = RoundHalfEven(3, side + row.Vp + vh);
        } else {
            row.Reduced = RoundHalfEven(3, (side + row.Vp + vh) * scale);
            row.Vp = RoundHalfEven(3, row.Reduced - side - vh);
        }
    } else if (settings.HeightReduction) {
        row.Reduced = RoundHalfEven(3, side + row.Vh);
    }
    return row;
}

std::vector<ReducedSide> ReduceGroupSides(GroupWorkingSet& ws, NetworkModel& model, const PointHeightIndex& heights,
                                          const ComputationSettings& settings, LogBuffer& log) {
    const BranchModel& branches = model.Branches;
    const int nb = ws.Nb;
    const int positions = branches.SumBranchPoints(nb);
    OneBased<double> corrections(positions, 0.0);
    if (settings.HeightReduction) {
        if (UsesPointHeights(settings.HeightReductionMode)) {
            const std::vector<int> missing = ComputeSideMeanHeights(branches, heights, model.SideMeanHeights, nb);
            if (!missing.empty()) {
                std::string line = StripAccents(Vn("     Không có độ cao, cạnh không hiệu chỉnh độ cao : "),
                                                settings.KeepAccents);
                for (std::size_t i = 0; i < missing.size(); ++i) {
                    if (i > 0) line += "  ";
                    line += model.PointNames.Name(missing[i]);
                }
                log.Add(std::move(line));
            }
        }
        ReduceSidesByHeight(branches, ws.PositionSides, corrections, model.SideMeanHeights, nb, settings);
    }

    std::vector<ReducedSide> rows;
    for (int b = 1; b <= nb; ++b) {
        for (int p = branches.First(b); p < branches.Last(b); ++p) {
            const SideReductionRow row =
                ReduceSide(settings, ws.PositionSides[p], corrections[p], ws.PositionY[p], ws.PositionY[p + 1]);
            ws.PositionSides[p] = row.Reduced;
            rows.push_back({branches.PointAt(p), branches.PointAt(p + 1), row});
        }
    }
    return rows;
}

}  // namespace qef
