#pragma once
// One adjustment run of a traverse network, shared by the by-order driver and the single-pass
// driver: reading, the group computations with their output, the hanging traverses, the closing
// rules, the summary and report 6. Only the drivers include it.
#include "adjustment/AdjustmentInput.h"
#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <unordered_set>
#include <utility>
#include <vector>

#include "adjustment/ClosureChecks.h"
#include "adjustment/GroupAdjustment.h"
#include "adjustment/GroupTopology.h"
#include "adjustment/GroupWorkingSet.h"
#include "adjustment/HangingReports.h"
#include "adjustment/HangingTraverses.h"
#include "adjustment/NodeMethod.h"
#include "adjustment/Rigorous.h"
#include "adjustment/RigorousAccuracy.h"
#include "adjustment/RigorousReports.h"
#include "adjustment/SideReduction.h"
#include "adjustment/SimpleReports.h"
#include "core/analysis/BranchBuilding.h"
#include "core/analysis/Duplicates.h"
#include "adjustment/NetworkChecks.h"
#include "core/analysis/StartDirections.h"
#include "core/io/Readers.h"
#include "core/io/ResultWriters.h"
#include "core/model/NetworkModel.h"
#include "core/model/OutputNames.h"
#include "core/model/OutputSet.h"
#include "core/model/ReportNames.h"
#include "core/model/RunOutcome.h"
#include "core/model/RunRecord.h"
#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "drawing/DrawingExport.h"
#include "drawing/DxfDrawing.h"

namespace qef {

// One run of the driver: everything it owns lives here and goes with it.
class AdjustmentRun {
public:
    AdjustmentRun(const AdjustmentInput& files, const ComputationSettings& settings, Interaction& ui, Progress& progress,
               RunRecord& run, DrawingTarget* drawing)
        : files_(files), settings_(settings), stagedUi_(ui, outputs_), ui_(stagedUi_), progress_(progress), run_(run),
          drawing_(drawing), finalReports_(ReportSetFor(files.ResultFile)), reports_(finalReports_) {}

    RunStatus Run();
    // The single-pass run (AdjustClassic.cpp).
    RunStatus RunClassic();

private:
    const AdjustmentInput& files_;
    const ComputationSettings settings_;  // the run's own copy
    OutputSet outputs_;
    UnstagingInteraction stagedUi_;  // messages name the final files, never the staged ones
    Interaction& ui_;
    Progress& progress_;
    RunRecord& run_;
    DrawingTarget* drawing_;
    std::unique_ptr<DxfDrawing> ownDrawing_;
    const ReportSet finalReports_;
    ReportSet reports_;  // where the run writes them
    std::string result_;  // where the run writes the result file
    RunStatus status_;

    NetworkModel model_;
    PointList known_;
    Observations obs_;
    std::unique_ptr<StationAngleIndex> angleIndex_;
    std::unique_ptr<SideLengthIndex> sideLengths_;
    std::unique_ptr<PointHeightIndex> heights_;
    KnownPointIndex knownIndex_{known_};
    TraverseAnalysis analysis_;
    GroupWorkingSet ws_;  // one group's arrays at a time, their storage kept from group to group
    StartAzimuthAnswers answers_;
    OneBased<int> distinctStartPoints_;
    bool classic_ = false;
    bool unwritten_ = false;  // an output missed part of what the run meant to write
    bool orderPointsCounted_ = false;  // the order's start and hard points are among them
    RigorousRunState rigorous_;
    GroupAdjustment groups_{settings_, run_, rigorous_, ui_, progress_};
    // Single pass: the sides of the branches that a group or hanging computation took. They joined
    // the network even where the computation failed.
    std::set<std::pair<int, int>> computedBranchSides_;
    std::unordered_set<int> drawnPoints_;
    std::set<std::pair<int, int>> drawnDirections_;
    // Entries already drawn or passed over for good: known points of the run, directions of the order.
    int knownPointsDrawn_ = 0;
    int directionsDrawn_ = 0;

    std::string Label(const char* utf8) const { return StripAccents(Vn(utf8), settings_.KeepAccents); }
    void Stage(const char* utf8, int position) {
        progress_.SetText(MonitorLabel::Stage, Vn(utf8));
        progress_.SetPosition(position);
    }
    // The run draws into its own DXF file: the settings ask for a drawing and the caller gave none.
    bool OwnDrawingNeeded() const {
        return drawing_ == nullptr && settings_.AcadUploadEnabled &&
               (settings_.AcadUploadKnownPoints || settings_.AcadUploadAdjustedPoints);
    }
    DrawingExportContext DrawingContext() const { return {settings_, *drawing_, progress_, ui_}; }
    std::vector<std::string> InputFiles() const;
    bool OutputNamesAllowed();
    bool StageOutputs();
    bool ReadInput();
    // The start both drivers share, up to the averaged observations and the working lists; false
    // when the run has ended, with its status in `ended`.
    bool StartRun(RunStatus& ended);
    // The analysis of the network (of an order) starts: the start directions are searched anew.
    void StartDirectionSearch();
    // The groups of an order are analysed: its start and hard points are counted, once an order.
    void CountOrderPoints();
    // Rewrites the result file with the points of the list.
    bool WriteKnownPoints();
    RunStatus FinishEarly(RunOutcome outcome);
    // The closing rules under the side-correction and rigorous tables; the name of a file that
    // could not be written, or null.
    const std::string* WriteClosingRules(bool sideRule, int sideRuleLength);
    // Single-pass steps.
    bool WriteObservationList();
    bool ClassicAnalysis(RunOutcome& outcome);
    RunOutcome AnalyseBranchGroups();
    bool AdjustFrontGroup(int nb, int nodeCount);
    bool ClassicHangingLevel(int nb);
    // Notes the sides of branches 1..nb as taken by a computation.
    void NoteBranchSides(int nb);
    RunStatus FinishCompletedRun();
    RunOutcome OrderLoop();
    bool HasStartDirection();
    // False when the run must stop.
    bool AdjustGroup(int nb);
    GroupWorkingSet& StartWorkingSet(int nb, int ns);
    std::string GroupBranchNames(int nb) const;
    bool HangingStage();
    // Hanging branches 1..nb from the points known so far: computed, written, and their new
    // points made known. Incomplete when the computation gave no points.
    enum class HangingStep { Done, Incomplete, WriteFailed };
    HangingStep HangBranches(int nb);
    bool WriteHangingTraverses(const HangingTraverseTable& table);
    void DrawKnownPoints();
    void ReportUnjoinedSides();
    void ReportUncomputedPoints();
    void WriteSummary();
    RunStatus StopOnWriteFailure(const std::string& fileName);
    RunStatus Finish(RunOutcome outcome, const std::string& reason);
};

}  // namespace qef
