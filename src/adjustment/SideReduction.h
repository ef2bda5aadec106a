#pragma once
// Reduction of measured sides to the projection plane (by point heights) and to the projection
// (by the scale of the axial meridian), done in place on a group's sides, one table row a side.
#include <string>
#include <unordered_map>
#include <vector>

#include "adjustment/GroupWorkingSet.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/LogBuffer.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/OneBased.h"
#include "core/io/Readers.h"

namespace qef {

inline constexpr double kEarthRadius = 6371000.0;
inline constexpr double kFalseEasting = 500000.0;

// Reads the heights file into model.HeightPointIds / model.PointHeights (names registered).
// A height that does not parse fills `error` and gives false; the caller stops the run.
bool ReadPointHeights(const std::string& fileName, const ComputationSettings& settings, NetworkModel& model,
                      ReadErrorRecord& error, Interaction& ui);

// Heights by point id, built once so that a network of thousands of points is not scanned per
// side. The first entry of an id wins, as in a search from the front.
class PointHeightIndex {
public:
    PointHeightIndex(const OneBased<int>& ids, const OneBased<double>& heights);
    // False when the point has no height; `height` is then left unchanged.
    bool PointHeightOf(int id, double& height) const;

private:
    std::unordered_map<int, double> heights_;
};

// Mean height of every side of branches 1..nb at the position of the side's first point
// (sideMeanHeights is grown to hold the positions). Both ends are looked up for every side; a
// side with an end without height gets kMissingValue, never a height left from another point.
// Returns the ids of the points without height, each once, in the order met.
std::vector<int> ComputeSideMeanHeights(const BranchModel& branches, const PointHeightIndex& heights,
                                        OneBased<double>& sideMeanHeights, int nb);

// Height correction Vh (metres, unrounded) of a side of length `side` for the settings' mode;
// 0 for a side whose mean height is missing and for an unknown mode.
double HeightCorrection(const ComputationSettings& settings, double side, double sideMeanHeight);

// corrections[p] := the height correction of the side at every position p of branches 1..nb.
void ReduceSidesByHeight(const BranchModel& branches, const OneBased<double>& sides,
                         OneBased<double>& corrections, const OneBased<double>& meanHeights, int nb,
                         const ComputationSettings& settings);

// One side's row of the correction table: measured side, Vh, Vp and the reduced side (metres).
struct SideReductionRow {
    double Side = 0.0;
    double Vh = 0.0;
    double Vp = 0.0;
    double Reduced = 0.0;
};

// Reduces one side whose ends have the approximate eastings y1, y2; heightCorrection is the
// unrounded Vh (ignored unless HeightReduction is set).
SideReductionRow ReduceSide(const ComputationSettings& settings, double side, double heightCorrection, double y1,
                            double y2);

// One reduced side of a group: its ends and its row of the side-correction table.
struct ReducedSide {
    int FromId = 0;
    int ToId = 0;
    SideReductionRow Row;
};

// Reduces every side of the group's branches in ws.PositionSides and returns one row a side,
// branch by branch, for the side-correction table; `heights` holds the run's point heights.
// Points without height are named once in the progress log and their sides keep Vh = 0.
std::vector<ReducedSide> ReduceGroupSides(GroupWorkingSet& ws, NetworkModel& model, const PointHeightIndex& heights,
                                          const ComputationSettings& settings, LogBuffer& log);

}  // namespace qef
