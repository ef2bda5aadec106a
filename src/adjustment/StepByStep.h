#pragma once
// A traverse network computed one group at a time under the user's control: the two input files
// are opened, the network is analysed, one group is built from a chosen start side or from chosen
// branches, and that group is adjusted by the node method or only computed. The session owns its
// network; the points of each computed group are written and become known points the next time
// the network is analysed, so that the next order can be built from them.
#include <string>
#include <vector>

#include "adjustment/GroupWorkingSet.h"
#include "adjustment/Rigorous.h"
#include "core/analysis/BranchBuilding.h"
#include "core/io/Readers.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/NetworkModel.h"
#include "core/model/Progress.h"
#include "core/model/ReportNames.h"
#include "core/model/RunRecord.h"

namespace qef {

class DrawingTarget;
class DxfDrawing;
class OutputSet;
struct GroupOutputs;

enum class GroupBasis { StartSide = 0, ChosenBranches = 1 };

enum class StepStatus {
    Done,
    NotReady,   // an earlier step has not run
    NoGroup,    // the chosen sides gave no branch (message shown)
    Failed,     // message shown
    Cancelled,  // the user cancelled a question
};

// The lines the lists of the dialog show (TCVN3).
struct StepLists {
    std::vector<std::string> Directions;  // "[target] [station]"
    std::vector<std::string> HardNodes;
    std::vector<std::string> SoftNodes;
    std::vector<std::string> Branches;    // "[A], P1, P2, N, ", an empty line after each group
    std::vector<std::string> StartSides;  // "[station],other"
};

// One branch's misclosures after "compute coordinates" (metres; Fb in seconds).
struct BranchMisclosure {
    std::string From, To;
    double FbSeconds = 0.0;
    double Fx = 0.0, Fy = 0.0, Fs = 0.0, LengthSum = 0.0;
};

// The fields of each non-empty line of a file, at most `columns` of them, as the grids show them.
// False when the file cannot be read.
bool ReadGridRows(const std::string& path, int columns, const ComputationSettings& settings,
                  std::vector<std::vector<std::string>>& rows);

// A start side as the list shows it ("[A],B") as the group step takes it ("A,B").
std::string StartSideText(const std::string& line);
// sideText is "A,B". Moves the first side A-B or B-A of the lists to position 1 (exchanging ids
// with side 1) and returns the id of A (0 when A is not a known name).
int StartFromChosenSide(std::string_view sideText, const PointNameTable& table, OneBased<int>& fromIds,
                        OneBased<int>& toIds, int sideCount);

class StepByStepSession {
public:
    // Opening either file starts afresh: nothing analysed, no group, no computed points.
    void SetKnownFile(const std::string& path);
    void SetObservationFile(const std::string& path);
    bool HasFiles() const { return !knownFile_.empty() && !observationFile_.empty(); }
    bool Started() const { return started_; }
    bool HasGroup() const { return groupBranches_ > 0; }
    // The side reduction takes point heights from a file of their own.
    static bool NeedsHeightsFile(const ComputationSettings& settings);

    // Reads both files (and the heights file when the reduction needs one), then analyses the
    // network with the known points and the points computed so far: the lists and the pool of
    // start sides. Start azimuths typed in are kept for the later steps. Once the groups computed
    // so far have left none to build, it says so (NoGroup).
    StepStatus Start(const ComputationSettings& settings, const std::string& heightsFile, Interaction& ui,
                     Progress& progress);
    // Of the last Start that could not read its files.
    const ReadErrorRecord& ReadError() const { return readError_; }
    const StepLists& Lists() const { return lists_; }

    // Builds one group: from the pool with the walk starting on `chosenSide` ("A,B"), or from the
    // sides of the selected branch lines, each line on its own. Lists().Branches then shows the
    // group's branches.
    StepStatus BuildGroup(GroupBasis basis, const std::string& chosenSide, const std::vector<std::string>& selected,
                          const ComputationSettings& settings, Interaction& ui);

    // Adjusts the group as the network adjustment adjusts each of its groups (the node method,
    // then the rigorous stage when the settings ask for it), or only computes its coordinates.
    // With a result name the known points and then the group's points are written to it, with
    // the reports of the group beside it (rewritten by each step); when the settings ask for the
    // export, the step draws into the result's DXF file, put in place with its other files. The group's points join the known points
    // either way; the group is used up. Failed when the group gives no points or a file cannot be
    // written (the user has been told).
    StepStatus AdjustGroup(const ComputationSettings& settings, const std::string& resultFile, Interaction& ui,
                           Progress& progress);
    StepStatus ComputeCoordinates(const ComputationSettings& settings, const std::string& resultFile,
                                  Interaction& ui, Progress& progress);
    // Of the last "compute coordinates".
    const std::vector<BranchMisclosure>& Misclosures() const { return misclosures_; }
    // The files the steps read, which no output may replace.
    std::vector<std::string> InputFiles() const;

private:
    struct NamedPoint {
        std::string Name;
        double X, Y;
    };
    enum class Computation { Adjust, Coordinates };

    void Reset();
    bool ReadInput(const ComputationSettings& settings, const std::string& heightsFile, Interaction& ui);
    // Some known point still sights a point to compute.
    bool HasStartDirection();
    // The reports a step writes beside its result file.
    std::vector<std::string> StepOutputs(const ComputationSettings& settings, const std::string& resultFile,
                                         const ReportSet& reports) const;
    // Analysis of the current sides from the full angle lists; false when it ends.
    StepStatus Prepare(const ComputationSettings& settings, Interaction& ui);
    std::string BranchLine(int b) const;
    // The lists Start shows, from the analysis of the whole network.
    void ListDirectionsAndHardNodes();
    void ListGroups();  // every group's branches into the pool; the soft nodes
    void ListStartSides();
    // The steps of adjusting or computing the group built.
    static ComputationSettings StepSettings(Computation what, const ComputationSettings& settings);
    // Checks the output names, writes the known points and empties the height-difference file.
    StepStatus WriteStepStart(const ComputationSettings& s, const std::string& resultFile, const ReportSet& reports,
                              Interaction& ui);
    void DropSideOnlyNodes();
    StepStatus SolveGroup(Computation what, const ComputationSettings& s, int nb, const GroupOutputs& out,
                          Interaction& ui, Progress& progress);
    void CollectMisclosures(int nb);
    // The group's points join the known points.
    void KeepGroupPoints(int nb);
    void ShowMisclosures(Interaction& ui) const;
    // Closes the step's files, writes its own drawing and puts the set in place; false, the user
    // told, when one of them cannot be.
    bool PutStepInPlace(OutputSet& outputs, DxfDrawing* stepDrawing, Interaction& ui, Interaction& stagedUi);
    StepStatus RunGroup(Computation what, const ComputationSettings& settings, const std::string& resultFile,
                        Interaction& ui, Progress& progress);
    void DrawKnownPoints(const ComputationSettings& settings, DrawingTarget& drawing, Progress& progress,
                         Interaction& ui) const;

    std::string knownFile_, observationFile_, heightsFile_;
    bool started_ = false;
    int groupBranches_ = 0;
    std::vector<NamedPoint> computed_;

    NetworkModel model_;
    PointList known_;
    Observations obs_;
    SidePairs fullSides_;
    AngleTriples fullAngles_;
    TraverseAnalysis analysis_;
    SidePairs pool_;
    StartAzimuthAnswers answers_;
    GroupWorkingSet ws_;
    RunRecord run_;
    RigorousRunState rigorous_;
    ReadErrorRecord readError_;
    StepLists lists_;
    std::vector<BranchMisclosure> misclosures_;
};

}  // namespace qef
