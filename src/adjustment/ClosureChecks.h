#pragma once
// Closure checks of a group's branches against their tolerances, and the closure table rows.
#include <string>
#include <vector>

#include "adjustment/GroupWorkingSet.h"
#include "core/model/RunRecord.h"
#include "core/model/Interaction.h"
#include "core/model/NetworkModel.h"

namespace qef {

enum class ClosureKind { Angular, Linear };

// Angular: |Fb| > sqrt(angles) * factor * k seconds. Linear: Fs / factor / [S] > 1 / T.
bool BranchExceedsTolerance(const GroupWorkingSet& ws, double factor, int b, ClosureKind kind);

// "<label> F S .. E sai" (F, S, E the first, second and last point; "<label> F .. E sai" for a
// branch of two points), at most 255 characters.
std::string FailingBranchLine(const BranchModel& branches, const PointNameTable& names, int b,
                              const std::string& label);
// Adds the line of a failing branch to the progress log and shows it.
void LogFailingBranch(const BranchModel& branches, const PointNameTable& names, int b, const std::string& label,
                      RunRecord& run, Interaction& ui);
// "Co tinh nua khong": true when the user answers Yes.
bool AskContinue(Interaction& ui);

enum class ClosureCheckResult {
    Within,    // every branch within its tolerance
    GoOn,      // some failed; the user chose to go on
    Stop,      // some failed; the user answered No
};

// Checks every branch of the group, names the failing ones and asks once.
ClosureCheckResult CheckBranchClosures(const GroupWorkingSet& ws, const NetworkModel& model, ClosureKind kind,
                                       const std::string& label, RunRecord& run, Interaction& ui);

// The group's branches in the order in which their tables and rows are written: by point count,
// largest first (ties keep the lower number); a head is paired with the smallest remaining
// branch when the two have 10 points or fewer together. Tail is 0 when the head stands alone.
struct BranchPageStep {
    int Head = 0;
    int Tail = 0;
    bool PageBreakAfter = false;  // more branches follow on another page
};
std::vector<BranchPageStep> PairBranchesForPages(const BranchModel& branches, int nb);

// AngularToleranceSeconds and ClosureRatios of every branch from the final closures; the reports
// and the closure table only format them.
void ComputeClosureFigures(GroupWorkingSet& ws);

// The closure figures of a branch as the reports and the table write them.
struct BranchClosureTexts {
    std::string LengthSum;       // [S], 3 decimals
    std::string Tolerance;       // k * sqrt(angles), whole seconds
    std::string AngularClosure;  // Fb in seconds, 1 decimal
    std::string Fx;
    std::string Fy;
    std::string Fs;
    std::string Ratio;           // [S] / Fs, whole; empty when Fs is below 1 mm
    bool HasFs = false;          // Fs of 1 mm or more
};
BranchClosureTexts FormatBranchClosure(const GroupWorkingSet& ws, int b);

// One tab-separated closure-table row of branch b; nodeCount is written on the group's first
// row only (pass a negative count for the later rows).
std::string BranchClosureRow(const GroupWorkingSet& ws, const NetworkModel& model, int b, int rowNumber,
                             int nodeCount);
// Adds one row per branch of the group to the closure table, numbered from 1.
void WriteClosureSummary(const GroupWorkingSet& ws, const NetworkModel& model, RunRecord& run);

}  // namespace qef
