#pragma once
// Cutting a traverse network into branches: chains of points joined by observed sides that run
// from one stop point (a start station, a start target or a node) to another. The observation
// lists are cleaned first (observations between known points carry nothing; sides and angles that
// cannot belong to a traverse are set aside), then walked into the branch model of NetworkModel.
//
// The walks take, at each point, the lowest-numbered unused side that touches it; sides are
// consumed by zeroing their ids (CompactIdPairs removes them afterwards).
#include <string>
#include <unordered_set>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/LogBuffer.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/OneBased.h"
#include "core/model/Progress.h"
#include "core/io/Readers.h"
#include "core/analysis/PointIndexes.h"
#include "core/analysis/StartDirections.h"

namespace qef {

// Removes every side whose two ends are known points with coordinates (a known point listed
// without coordinates does not fix a side) and every angle whose three points are known.
// Known points are the first knownCount entries of `known`. Order of the rest is kept.
void DropFixedObservations(SidePairs& sides, AngleTriples& angles, const PointList& known, int knownCount);
// The same on the read lists: the values move with their observations.
void DropFixedObservations(SideObservations& sides, AngleObservations& angles, const PointList& known,
                           int knownCount);

// Sets aside what cannot belong to a traverse. A side stays when each end is anchored: in
// firstGroup or lastGroup, or the station of an angle that sights the side's other end. Then an
// angle stays when its station is a start station or both its legs are remaining sides. The rest
// is appended to freeSides / freeAngles (same orientation) and removed from the working lists.
void SeparateFreeObservations(const NetworkModel& model, const OneBased<int>& firstGroup,
                              const OneBased<int>& lastGroup, SidePairs& sides, AngleTriples& angles,
                              SidePairs& freeSides, AngleTriples& freeAngles);

// The single-pass driver's variant: a side with an end in `nodes` stays only when every such end
// is the station of an angle sighting the side's other end; the others are appended to `moved`.
// sideValues, when given, stays aligned with `sides` (the moved sides' values are dropped).
void ExtractUnangledNodeSides(SidePairs& sides, OneBased<double>* sideValues, const AngleTriples& angles,
                              const OneBased<int>& nodes, SidePairs& moved);

// The first entry of `list` (in list order) that is an end of some side; 0 when none.
int FirstPointOnSides(const OneBased<int>& list, const SidePairs& sides);

// Files of BuildSideBranches.
struct SideBranchFiles {
    std::string LeftoverFile;             // unused sides are appended here; "" = none
    std::string LogName;                  // the log is saved under this name with extension "txt"; "" = not saved
    std::vector<std::string> InputFiles;  // files of the run that the saved log must never replace
};

// The walk from each of startPoints in turn (as long as walks from it find sides), without a queue,
// ending at stopPoints. Then the unused sides go to the leftover file (name TAB name TAB length,
// then "//HetCanhTuDo") and leave the lists (sideValues is required for that file), and the log,
// with an empty line added, is saved as the "txt" file. False when a file could not be written
// (message shown).
bool BuildSideBranches(NetworkModel& model, SidePairs& sides, OneBased<double>* sideValues,
                       const OneBased<int>& startPoints, const OneBased<int>& stopPoints,
                       const SideBranchFiles& files, LogBuffer& log, Interaction& ui, Progress& progress);

// Rebuilds the offsets and turns each branch into its consecutive point pairs: those of dead-end
// branches are appended to `dead`, the others replace `normal`. True when a branch is dead-ended.
bool SplitBranchSides(BranchModel& branches, SidePairs& normal, SidePairs& dead);

// ---- The analysis of one order of a traverse network ----------------------------------------

// The working state of the analysis: the caller fills Sides and Angles (e.g. MakeSidePairs of the
// read lists) and keeps the object for the order.
struct TraverseAnalysis {
    SidePairs Sides;          // working sides, consumed by the walks
    AngleTriples Angles;      // working angles
    SidePairs FreeSides;      // held back: free sides and the sides of dead-end branches (appended to)
    AngleTriples FreeAngles;  // held back angles (appended to)
    OneBased<int> HardNodes;      // KnownStationsWithoutDirection
    OneBased<int> SideOnlyKnown;  // KnownSideOnlyPoints
    StartAzimuthData Directions;  // per start direction of the model
    SidePairs KeptSides;          // sides of the group's branches that reached stop points
    OrderIndex Index;             // the order's points and sides by id (PrepareTraverseAnalysis)
};

enum class AnalysisStatus {
    Ok,
    NoStartDirection,  // message shown, errorFlag set
    Cancelled,         // the user cancelled a start-azimuth prompt
};

// Steps before the walk: drops the observations between known points, finds the start directions,
// the hard nodes and the known side-only points, sets the free observations aside, finds the
// angle-node candidates (model.AngleNodeCandidates), builds analysis.Index, and finds the start
// azimuths; a start direction whose station or target has no coordinates is asked for (through
// `answers`).
AnalysisStatus PrepareTraverseAnalysis(NetworkModel& model, TraverseAnalysis& analysis, const PointList& known,
                                       int knownCount, const ComputationSettings& settings,
                                       StartAzimuthAnswers& answers, bool& errorFlag, Interaction& ui);

// The branches of one group, walked from startPoint over analysis.Sides: the walk stops at start
// stations and targets, hard nodes, known side-only points and junctions (angle-node candidates
// that end three or more of the sides left); then, while dead-end branches appear, their sides go
// to FreeSides and the rest is walked again, with the junctions of those sides. Leaves the
// branches in model.Branches, the nodes reached in model.NetworkNodes and the group's sides in
// analysis.KeptSides. The walked sides stay in analysis.Sides with ids 0 until the order ends
// (CompactIdPairs). Returns the branch count (0 for startPoint 0). When every branch was a dead
// end, KeptSides is empty and those branches stay in the model: a group is worth adjusting only
// with branches and kept sides. Reads and keeps analysis.Index, rebuilt when Sides changed
// otherwise, so that a group costs what its own sides cost.
int BuildGroupBranches(NetworkModel& model, TraverseAnalysis& analysis, int startPoint, const PointList& known,
                       int knownCount, Progress& progress);

// FirstPointOnSides(model.StartStations, analysis.Sides) at the cost of the stations passed over
// since the previous group.
int NextGroupStart(const NetworkModel& model, TraverseAnalysis& analysis);

// PrepareTraverseAnalysis, then BuildGroupBranches from the first start station on a side (no
// branch when there is none). Later groups of the same order: call BuildGroupBranches again with
// NextGroupStart until that is 0.
AnalysisStatus AnalyseTraverseNetwork(NetworkModel& model, TraverseAnalysis& analysis, const PointList& known,
                                      int knownCount, const ComputationSettings& settings,
                                      StartAzimuthAnswers& answers, bool& errorFlag, Interaction& ui,
                                      Progress& progress);

// The stop list of the branch walks: out := a[1..n], b[1..n], c[1..m]; returns 2n + m.
int ConcatIdLists3(OneBased<int>& out, const OneBased<int>& a, const OneBased<int>& b, int m, int n,
                   const OneBased<int>& c);

// The network's nodes (hard nodes, the candidates that are both angle and side nodes, the known
// points with sides only) and from them the stop list of the branch walks, sized exactly: start
// stations, start targets, nodes. Both traverse drivers do this after finding the candidates.
void JoinNodesAndStopPoints(NetworkModel& model, const OneBased<int>& hardNodes, const OneBased<int>& sideOnlyKnown);

}  // namespace qef
