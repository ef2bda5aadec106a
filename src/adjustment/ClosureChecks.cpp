#include "adjustment/ClosureChecks.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/text/NumberFormat.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextHelpers.h"

namespace qef {

namespace {

std::string Trimmed(double value, int width, int decimals) { return TrimBlanks(FormatFixed(value, width, decimals)); }

// A linear closure below a millimetre has no ratio.
bool HasLinearClosure(double fs) { return fs >= 0.001; }

}  // namespace

bool BranchExceedsTolerance(const GroupWorkingSet& ws, double factor, int b, ClosureKind kind) {
    if (kind == ClosureKind::Angular) {
        if (ws.NoAngleClosure[b]) return false;
        const double rootN = std::sqrt(static_cast<double>(ws.BranchAngleCounts[b]));
        const double limit = SecondsToDegrees(rootN * (factor * ws.AngularClosureFactor));
        return std::fabs(ws.ClosureFb[b]) > limit;
    }
    const double fs = std::fabs(ws.ClosureFs[b]);
    const double length = ws.BranchLengthSums[b];
    if (ws.LinearClosureDenominator <= 0) return false;  // no limit set
    if (length <= 0.0) return fs > 0.0;                  // a closure with nothing to measure it by
    return fs / factor / length > 1.0 / ws.LinearClosureDenominator;
}

std::string FailingBranchLine(const BranchModel& branches, const PointNameTable& names, int b,
                              const std::string& label) {
    const std::string& first = names.Name(branches.FirstPoint(b));
    const std::string& last = names.Name(branches.LastPoint(b));
    std::string line = label + " " + first + " ";
    if (branches.BranchPointCounts[b] > 2) line += names.Name(branches.PointAt(branches.First(b) + 1)) + " ";
    line += ".. " + last + " sai";
    if (line.size() > kShortStringMax) line.resize(kShortStringMax);
    return line;
}

void LogFailingBranch(const BranchModel& branches, const PointNameTable& names, int b, const std::string& label,
                      RunRecord& run, Interaction& ui) {
    const std::string line = FailingBranchLine(branches, names, b, label);
    run.ProgressLog.Add(line);
    ui.Message(line);
}

bool AskContinue(Interaction& ui) { return ui.AskYesNo("Co tinh nua khong") != Answer::No; }

ClosureCheckResult CheckBranchClosures(const GroupWorkingSet& ws, const NetworkModel& model, ClosureKind kind,
                                       const std::string& label, RunRecord& run, Interaction& ui) {
    bool failed = false;
    for (int b = 1; b <= ws.Nb; ++b) {
        if (!BranchExceedsTolerance(ws, 1.0, b, kind)) continue;
        LogFailingBranch(model.Branches, model.PointNames, b, label, run, ui);
        failed = true;
    }
    if (!failed) return ClosureCheckResult::Within;
    return AskContinue(ui) ? ClosureCheckResult::GoOn : ClosureCheckResult::Stop;
}

std::vector<BranchPageStep> PairBranchesForPages(const BranchModel& branches, int nb) {
    std::vector<int> order(static_cast<std::size_t>(std::max(nb, 0)));
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return branches.BranchPointCounts[a] > branches.BranchPointCounts[b];
    });
    std::vector<BranchPageStep> steps;
    if (order.empty()) return steps;
    auto points = [&](std::size_t i) { return branches.BranchPointCounts[order[i]]; };
    std::size_t h = 0;
    std::size_t t = order.size() - 1;
    while (h <= t) {
        BranchPageStep step;
        step.Head = order[h];
        if (h != t && points(h) + points(t) <= 10) {
            step.Tail = order[t];
            step.PageBreakAfter = t - h > 1;
            --t;  // t > h here, so no wrap
        } else {
            step.PageBreakAfter = t > h;
        }
        steps.push_back(step);
        ++h;
    }
    return steps;
}

void ComputeClosureFigures(GroupWorkingSet& ws) {
    for (int b = 1; b <= ws.Nb; ++b) {
        ws.AngularToleranceSeconds[b] =
            RoundHalfEven(0, ws.AngularClosureFactor * std::sqrt(static_cast<double>(ws.BranchAngleCounts[b])));
        const double fs = ws.ClosureFs[b];
        ws.ClosureRatios[b] = HasLinearClosure(fs) ? ws.BranchLengthSums[b] / fs : 0.0;
    }
}

BranchClosureTexts FormatBranchClosure(const GroupWorkingSet& ws, int b) {
    BranchClosureTexts texts;
    const double fs = ws.ClosureFs[b];
    texts.LengthSum = Trimmed(ws.BranchLengthSums[b], 10, 3);
    texts.Tolerance = Trimmed(ws.AngularToleranceSeconds[b], 2, 0);
    texts.AngularClosure = Trimmed(DegreesToSeconds(ws.ClosureFb[b]), 10, 1);
    texts.Fx = Trimmed(ws.ClosureFx[b], 10, 3);
    texts.Fy = Trimmed(ws.ClosureFy[b], 10, 3);
    texts.Fs = Trimmed(fs, 0, 3);
    texts.HasFs = HasLinearClosure(fs);
    if (texts.HasFs) texts.Ratio = Trimmed(ws.ClosureRatios[b], 10, 0);
    return texts;
}

std::string BranchClosureRow(const GroupWorkingSet& ws, const NetworkModel& model, int b, int rowNumber,
                             int nodeCount) {
    const BranchModel& branches = model.Branches;
    const BranchClosureTexts texts = FormatBranchClosure(ws, b);
    std::string names;
    for (int p = branches.First(b); p <= branches.Last(b); ++p) names += model.PointNames.Name(branches.PointAt(p)) + "  ";
    const bool noAngle = ws.NoAngleClosure[b] != 0;
    std::string row = FormatInt(rowNumber) + "\t" + names + "\t" + FormatInt(ws.BranchAngleCounts[b]) + "\t" +
                      FormatInt(ws.BranchSideCounts[b]) + "\t" + (nodeCount >= 0 ? FormatInt(nodeCount) : "") +
                      "\t" + (noAngle ? "" : texts.AngularClosure) + "\t" + (noAngle ? "" : texts.Tolerance) + "\t" +
                      texts.Fx + "\t" + texts.Fy + "\t";
    if (!texts.HasFs) return row + "0";
    return row + texts.Fs + "\t1/\t" + texts.Ratio + "\t";
}

void WriteClosureSummary(const GroupWorkingSet& ws, const NetworkModel& model, RunRecord& run) {
    int rowNumber = 0;
    auto add = [&](int b) {
        ++rowNumber;
        run.ClosureTable.Add(BranchClosureRow(ws, model, b, rowNumber, rowNumber == 1 ? ws.Nn : -1));
    };
    for (const BranchPageStep& step : PairBranchesForPages(model.Branches, ws.Nb)) {
        add(step.Head);
        if (step.Tail != 0) add(step.Tail);
    }
}

}  // namespace qef
