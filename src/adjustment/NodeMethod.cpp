#include "adjustment/NodeMethod.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "adjustment/BranchArithmetic.h"
#include "adjustment/ClosureChecks.h"
#include "adjustment/SideReduction.h"
#include "core/numeric/Geometry.h"
#include "adjustment/NetworkChecks.h"
#include "core/text/NumberFormat.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

// Shown and logged at a step of the group; the group then fails.
void GroupMessage(const GroupContext& context, const std::string& text) {
    context.Run.ProgressLog.Add(text);
    ShowError(context.Ui, text);
}

// "A B .. E" for a branch, as the closure messages name branches.
std::string BranchLabel(const NetworkModel& model, int b) {
    const BranchModel& br = model.Branches;
    const PointNameTable& names = model.PointNames;
    std::string text = names.Name(br.FirstPoint(b));
    if (br.BranchPointCounts[b] > 2) text += " " + names.Name(br.PointAt(br.First(b) + 1));
    return text + " .. " + names.Name(br.LastPoint(b));
}

const OneBased<double>& StageClosures(const GroupWorkingSet& ws, NodeStage stage) {
    switch (stage) {
        case NodeStage::Azimuth: return ws.ClosureFb;
        case NodeStage::Y: return ws.ClosureFy;
        case NodeStage::X: break;
    }
    return ws.ClosureFx;
}

// Row k of the node equations (see BuildNodeNormals).
void AddNodeEquationRow(const GroupWorkingSet& ws, const NetworkModel& model, PackedNormalMatrix& matrix,
                        bool firstPass, NodeStage stage, int k, RowProfile* profile) {
    auto couple = [&](int m, double w) {
        matrix(k, m) -= w;
        if (profile == nullptr) return;
        int& from = profile->From[static_cast<std::size_t>(k)];
        int& to = profile->To[static_cast<std::size_t>(k)];
        from = std::min(from, m);
        to = std::max(to, m);
    };
    const bool azimuth = stage == NodeStage::Azimuth;
    const OneBased<double>& closures = StageClosures(ws, stage);
    // A node whose coordinates are known has no coordinate unknown: nothing couples to it.
    auto unknown = [&](int m) { return m > k && (azimuth || ws.KnownNodeFlags[m] == 0); };
    for (int j = ws.NodeStarts[k] + 1; j <= ws.NodeStarts[k + 1]; ++j) {
        const int b = model.NodeBranches[j];
        const int i = b;
        if (azimuth && ws.NoAngleClosure[i] != 0) continue;
        // A branch from the node back to it: its node terms cancel.
        if (ws.StartNodeOf[i] == ws.EndNodeOf[i]) continue;
        const int count = azimuth ? ws.BranchAngleCounts[i] : ws.BranchSideCounts[i];
        const double w = 1.0 / count;
        const double wf = w * closures[i];
        if (firstPass) matrix(k, k) += w;
        if (ws.EndNodeOf[i] == k) {
            matrix.Constant(k) -= wf;
            const int m = azimuth ? ws.StartNodeOf[i] : ws.StartUnknownNodeOf[i];
            if (firstPass && unknown(m)) couple(m, w);
        } else {
            matrix.Constant(k) += wf;
            const int m = azimuth ? ws.EndNodeOf[i] : ws.EndUnknownNodeOf[i];
            if (firstPass && unknown(m)) couple(m, w);
        }
    }
}

void ApplyNodeCorrections(GroupWorkingSet& ws, const NetworkModel& model, NodeStage stage,
                          const OneBased<double>& corrections) {
    for (int k = 1; k <= ws.Nn; ++k) {
        const int i = k;
        const double c = corrections[i];
        switch (stage) {
            case NodeStage::Azimuth:
                ws.NodeAzimuths[i] = NormalizeAzimuth(ws.NodeAzimuths[i] + c);
                SpreadNodeAzimuth(ws, model, k);
                break;
            case NodeStage::Y:
                if (ws.KnownNodeFlags[i] != 0) break;
                ws.NodeY[i] += c;
                SpreadNodeY(ws, model, k);
                break;
            case NodeStage::X:
                if (ws.KnownNodeFlags[i] != 0) break;
                ws.NodeX[i] += c;
                SpreadNodeX(ws, model, k);
                break;
        }
    }
}

}  // namespace

double NodeAzimuthFromCarrier(const GroupWorkingSet& ws, const NetworkModel& model, int k) {
    const int b = ws.NodeCarrierBranch[k];
    return PropagateBranchAzimuths(ws, model.Branches, b, ws.BranchStartAzimuths[b]);
}

void ProvisionalNodeAzimuths(GroupWorkingSet& ws, const NetworkModel& model) {
    for (int k = 1; k <= ws.Nn; ++k) {
        ws.NodeAzimuths[k] = NodeAzimuthFromCarrier(ws, model, k);
        SpreadNodeAzimuth(ws, model, k);
    }
}

void ComputeAngularClosures(GroupWorkingSet& ws, const NetworkModel& model) {
    CheckAngularMisclosure(ws, model.Branches, ws.ClosureFb);
}

void BuildNodeNormals(const GroupWorkingSet& ws, const NetworkModel& model, PackedNormalMatrix& matrix,
                      bool firstPass, NodeStage stage, RowProfile* profile) {
    const int nn = ws.Nn;
    if (firstPass || matrix.N() != nn) {
        matrix.Resize(nn);
        firstPass = true;
        if (profile != nullptr) {
            profile->From.assign(static_cast<std::size_t>(nn) + 1, nn + 1);
            profile->To.assign(static_cast<std::size_t>(nn) + 1, 0);
        }
    } else {
        for (int k = 1; k <= nn; ++k) matrix.Constant(k) = 0.0;
    }
    for (int k = 1; k <= nn; ++k) {
        if (stage != NodeStage::Azimuth && ws.KnownNodeFlags[k] != 0) continue;
        AddNodeEquationRow(ws, model, matrix, firstPass, stage, k, firstPass ? profile : nullptr);
    }
}

void ProvisionalNodeCoordinates(GroupWorkingSet& ws, const NetworkModel& model) {
    const BranchModel& br = model.Branches;
    for (int k = 1; k <= ws.Nn; ++k) {
        const int i = k;
        if (ws.KnownNodeFlags[i] != 0) {
            // Known: the coordinates that the branch ends at the node already hold.
            if (ws.NodeStarts[i + 1] > ws.NodeStarts[i]) {
                const int b = model.NodeBranches[(ws.NodeStarts[i] + 1)];
                const int p = br.FirstPoint(b) == model.NetworkNodes[i] ? br.First(b) : br.Last(b);
                ws.NodeX[i] = ws.PositionX[p];
                ws.NodeY[i] = ws.PositionY[p];
            }
            continue;
        }
        const int b = ws.NodeCarrierBranch[i];
        ws.NodeX[i] = BranchEndX(ws, br, b);
        ws.NodeY[i] = BranchEndY(ws, br, b);
        SpreadNodeX(ws, model, k);
        SpreadNodeY(ws, model, k);
    }
}

void ComputeProvisionalLinearClosures(GroupWorkingSet& ws, const NetworkModel& model) {
    const BranchModel& br = model.Branches;
    BranchMisclosureX(ws, br);
    BranchMisclosureY(ws, br);
    for (int b = 1; b <= ws.Nb; ++b) {
        const int i = b;
        double sum = 0.0;
        for (int p = br.First(b); p < br.Last(b); ++p) sum += ws.PositionSides[p];
        ws.BranchLengthSums[i] = sum;
        ws.ClosureFs[i] = std::sqrt(ws.ClosureFx[i] * ws.ClosureFx[i] + ws.ClosureFy[i] * ws.ClosureFy[i]);
    }
}

double FinalLinearClosures(GroupWorkingSet& ws, const NetworkModel& model) {
    const BranchModel& br = model.Branches;
    double lengths = 0.0;
    long long sides = 0;
    for (int b = 1; b <= ws.Nb; ++b) {
        const int i = b;
        // The sides may have been reduced since the provisional closures.
        double sum = 0.0;
        for (int p = br.First(b); p < br.Last(b); ++p) sum += ws.PositionSides[p];
        ws.BranchLengthSums[i] = sum;
        ws.ClosureFs[i] =
            RoundHalfEven(3, std::sqrt(ws.ClosureFx[i] * ws.ClosureFx[i] + ws.ClosureFy[i] * ws.ClosureFy[i]));
        lengths += sum;
        sides += ws.BranchSideCounts[i];
    }
    return sides > 0 ? lengths / static_cast<double>(sides) : 0.0;
}

void GroupAccuracy(GroupWorkingSet& ws) {
    double a = 0.0;
    double bsum = 0.0;
    int c = 0;
    for (int b = 1; b <= ws.Nb; ++b) {
        const int i = b;
        a += ws.ClosureFs[i] * ws.ClosureFs[i] / ws.BranchSideCounts[i];
        if (ws.NoAngleClosure[i] != 0) {
            ++c;
            continue;
        }
        bsum += ws.ClosureFb[i] * ws.ClosureFb[i] / ws.BranchAngleCounts[i];
    }
    const int r = ws.Nb - c - ws.Nn;
    ws.Ms = ws.Nb > 0 ? std::sqrt(a / ws.Nb) : 0.0;
    ws.MbDegrees = r >= 1 ? std::sqrt(bsum / r) : 0.0;
}

int CountUnknownPoints(const GroupWorkingSet& ws, const BranchModel& branches) {
    int count = 0;
    for (int b = 1; b <= ws.Nb; ++b) count += branches.BranchPointCounts[b] - 2;
    for (int k = 1; k <= ws.Nn; ++k)
        if (ws.KnownNodeFlags[k] == 0) ++count;
    return count;
}

namespace {
// A pass whose node corrections all stay within this has settled the stage.
constexpr double kAzimuthConvergenceDegrees = SecondsToDegrees(0.1);
constexpr double kCoordinateConvergenceMetres = 0.00001;

double LargestCorrection(const GroupWorkingSet& ws, const OneBased<double>& corrections, NodeStage stage) {
    double largest = 0.0;
    for (int k = 1; k <= ws.Nn; ++k)
        if (stage == NodeStage::Azimuth || ws.KnownNodeFlags[k] == 0)
            largest = std::max(largest, std::fabs(corrections[k]));
    return largest;
}

// Carried end minus known end of every branch, as computed: a closure cut to millimetres makes the
// node corrections swing by the rounding from pass to pass, and the stage never settles.
void ExactLinearClosures(GroupWorkingSet& ws, const NetworkModel& model, NodeStage stage) {
    const BranchModel& br = model.Branches;
    const bool y = stage == NodeStage::Y;
    OneBased<double>& f = y ? ws.ClosureFy : ws.ClosureFx;
    const OneBased<double>& at = y ? ws.PositionY : ws.PositionX;
    if (f.Size() < ws.Nb) f.Resize(ws.Nb);
    for (int b = 1; b <= ws.Nb; ++b) {
        const double end = y ? BranchEndY(ws, br, b) : BranchEndX(ws, br, b);
        f[b] = end - at[br.Last(b)];
    }
}

std::string StageName(NodeStage stage) {
    switch (stage) {
        case NodeStage::Azimuth: return Vn("phương vị nút");
        case NodeStage::Y: return Vn("tọa độ Y nút");
        case NodeStage::X: break;
    }
    return Vn("tọa độ X nút");
}
}  // namespace

bool IterateNodeStage(GroupWorkingSet& ws, const NetworkModel& model, const GroupContext& context,
                      NodeStage stage) {
    const BranchModel& br = model.Branches;
    const int nn = ws.Nn;
    const double threshold = stage == NodeStage::Azimuth ? kAzimuthConvergenceDegrees : kCoordinateConvergenceMetres;
    PackedNormalMatrix matrix;
    RowProfile profile;
    OneBased<double> corrections(nn + 2);
    int tracked = 1;
    corrections[1] = 100.0;  // the first comparison always goes on
    bool firstPass = true;
    bool settled = false;
    for (int pass = 1; pass <= context.NodePassLimit && !settled; ++pass) {
        const double previous = corrections[tracked];
        if (stage == NodeStage::Azimuth)
            ComputeAngularClosures(ws, model);
        else
            ExactLinearClosures(ws, model, stage);
        BuildNodeNormals(ws, model, matrix, firstPass, stage, &profile);
        if (nn > 0 && firstPass) {
            BackSubstitute(matrix, Reduce(matrix, 0, &profile), corrections);
        } else if (nn > 0) {
            // The coefficients stay reduced from the first pass: only the new constants follow.
            ReduceConstants(matrix);
            BackSubstitute(matrix, corrections);
        } else {
            corrections.Resize(2);
            corrections[1] = 0.0;
        }
        const bool wasFirst = firstPass;
        firstPass = false;
        // Known nodes have no coordinate correction: follow the first unknown that moves.
        if (tracked == 1 && corrections[1] == 0.0) {
            while (tracked < nn && corrections[tracked] == 0.0) ++tracked;
        }
        settled = std::fabs(previous - corrections[tracked]) <= threshold ||
                  (!wasFirst && LargestCorrection(ws, corrections, stage) <= threshold);
        if (!settled) ApplyNodeCorrections(ws, model, stage, corrections);
    }
    if (!settled) {
        // Values the stage never settled on are not trusted: the group fails, named.
        const PointNameTable& names = model.PointNames;
        std::string text = Vn("Nhóm ") + std::to_string(context.Run.GroupCounter + 1);
        if (ws.Nb > 0) text += " (" + names.Name(br.FirstPoint(1)) + " ... " + names.Name(br.LastPoint(ws.Nb)) + ")";
        text += Vn(": ") + StageName(stage) + Vn(" chưa ổn định sau ") + std::to_string(context.NodePassLimit) +
                Vn(" lần lặp, nhóm không tính được");
        GroupMessage(context, StripAccents(text, context.Settings.KeepAccents));
        return false;
    }
    if (stage == NodeStage::Azimuth) {
        // Judged once the azimuths stand: a provisional closure says nothing of the branch. The
        // answer cannot undo a stage that is over, so the adjustment goes on either way.
        CheckBranchClosures(ws, model, ClosureKind::Angular, "Goc cua nhanh", context.Run, context.Ui);
    } else {
        // What is printed, judged and spread: the closures in whole millimetres.
        OneBased<double>& f = stage == NodeStage::Y ? ws.ClosureFy : ws.ClosureFx;
        for (int b = 1; b <= ws.Nb; ++b) f[b] = RoundHalfEven(3, f[b]);
    }
    return settled;
}

namespace {

// Frees the group after a failure and closes its part of the progress log.
void FailGroup(GroupWorkingSet& ws, const GroupContext& context, SimpleGroupResult& result) {
    ws.FreeGroupArrays();
    context.Run.ProgressLog.Add("");
    result.Status = GroupStatus::Failed;
}

// Node levels, branch directions, node-branch links and the branch ends' connecting angles.
bool LinkGroupBranches(GroupWorkingSet& ws, const GroupInputs& in, const GroupContext& context) {
    NetworkModel& model = in.Model;
    Progress& monitor = context.Monitor;
    const int nb = ws.Nb;
    const int nn = ws.Nn;
    const StartDirectionIndex& starts = in.Order.Starts();
    ws.NodeLevelCount = 0;
    if (nn > 0 && !OrderNodesByLevel(ws, model, starts, context.Ui))
        return false;
    OrientBranchesFromKnown(model, starts, nn, nb);

    monitor.SetText(MonitorLabel::Stage, Vn("Đang tìm nhánh liên quan đến 1 nút"));
    monitor.SetPosition(8);
    BuildNodeBranchLinks(ws, model);
    MarkKnownPoints(ws, model, in.Order);

    monitor.SetPosition(9);
    return LinkBranchEndsToNodes(ws, in, context.Ui, monitor, context.Run.ProgressLog);
}

// The angles and sides of every branch, the branch carrying each node, and the counts.
bool TakeBranchObservations(GroupWorkingSet& ws, const GroupInputs& in, const GroupContext& context) {
    NetworkModel& model = in.Model;
    RunRecord& run = context.Run;
    const int nb = ws.Nb;
    const int nn = ws.Nn;
    context.Monitor.SetText(MonitorLabel::Stage, Vn("Đang lấy số liệu đo cho từng nhánh"));
    context.Monitor.SetPosition(10);
    if (!CollectBranchAngles(ws, in, AngleSourcesFor(context.Settings), context.Ui, run.ProgressLog))
        return false;

    if (nn > 0)
        ChooseNodeBranches(ws, model, in.Order.Starts());
    for (int k = 1; k <= nn; ++k)
        if (ws.NodeCarrierBranch[k] == 0) {
            GroupMessage(context, "Thieu DK BS");
            return false;
        }
    CountBranchAnglesSides(ws, model.Branches, run);
    // The angular closure of a branch is shared over its angles: a branch without one has none.
    for (int b = 1; b <= nb; ++b)
        if (ws.NoAngleClosure[b] == 0 && ws.BranchAngleCounts[b] < 1) {
            GroupMessage(context, Vn("Nhánh ") + BranchLabel(model, b) + Vn(" không có góc đo"));
            return false;
        }
    return true;
}

// The azimuth stage, then the azimuths of every side with the angular closures spread.
bool AdjustAzimuths(GroupWorkingSet& ws, const NetworkModel& model, const GroupContext& context) {
    ProvisionalNodeAzimuths(ws, model);
    if (!IterateNodeStage(ws, model, context, NodeStage::Azimuth)) return false;
    PropagateAllAzimuths(ws, model.Branches, Carry::ShareClosure);
    return true;
}

}  // namespace

SimpleGroupResult AdjustGroupSimple(GroupWorkingSet& ws, const GroupInputs& in, const GroupContext& context) {
    NetworkModel& model = in.Model;
    BranchModel& br = model.Branches;
    const ComputationSettings& settings = context.Settings;
    SimpleGroupResult result;

    context.Monitor.SetText(MonitorLabel::Stage, Vn("Đang bình sai đơn giản"));
    context.Monitor.SetPosition(7);

    ws.TotalPoints = br.SumBranchPoints(ws.Nb);
    ws.AngularClosureFactor = settings.AngularClosureFactor;
    ws.LinearClosureDenominator = settings.LinearClosureDenominator;
    bool notTied = false;
    if (!CheckGroupTied(model, in.Order.Starts(), ws.Nb, notTied, context.Ui)) {
        result.Status = GroupStatus::NotTied;
        return result;
    }

    ws.Allocate();
    if (!LinkGroupBranches(ws, in, context) || !TakeBranchObservations(ws, in, context) ||
        !AdjustAzimuths(ws, model, context)) {
        FailGroup(ws, context, result);
        return result;
    }

    ProvisionalNodeCoordinates(ws, model);
    ComputeProvisionalLinearClosures(ws, model);
    if (settings.HeightReduction || settings.ProjectionReduction) {
        // Approximate eastings for the projection reduction.
        DistributeClosureY(ws, br);
        result.SideCorrections = ReduceGroupSides(ws, model, in.Heights, settings, context.Run.ProgressLog);
        result.SidesReduced = true;
    }

    if (!IterateNodeStage(ws, model, context, NodeStage::Y) || !IterateNodeStage(ws, model, context, NodeStage::X)) {
        FailGroup(ws, context, result);
        return result;
    }

    ws.MeanSide = FinalLinearClosures(ws, model);
    if (CheckBranchClosures(ws, model, ClosureKind::Linear, "Canh cua nhanh", context.Run, context.Ui) ==
        ClosureCheckResult::Stop) {
        ws.FreeGroupArrays();
        result.Status = GroupStatus::Rejected;
        return result;
    }
    DistributeClosure(ws, br, Carry::ShareClosure, ws.ClosureFx, ws.ClosureFy);
    GroupAccuracy(ws);
    ComputeClosureFigures(ws);
    result.Status = GroupStatus::Adjusted;
    return result;
}

void RecordCompletedGroup(const GroupWorkingSet& ws, const NetworkModel& model, const GroupContext& context) {
    RunRecord& run = context.Run;
    Progress& monitor = context.Monitor;
    auto label = [&](std::string_view utf8) { return StripAccents(Vn(utf8), context.Settings.KeepAccents); };
    const int nn = ws.Nn;
    const int nb = ws.Nb;
    run.RunUnknownPointTotal += CountUnknownPoints(ws, model.Branches);
    run.RunNodeTotal += nn;
    run.RunBranchTotal += nb;
    run.RunAngleTotal += run.GroupAngleTotal;
    run.RunSideTotal += run.GroupSideTotal;
    run.GroupCounter += 1;

    const std::string g = std::to_string(run.GroupCounter);
    LogBuffer& log = run.ProgressLog;
    log.Add("");
    log.Add(label("     Tổng số nút trong nhóm ") + g + " : " + std::to_string(nn));
    log.Add(label("     Tổng số nhánh trong nhóm ") + g + " : " + std::to_string(nb));
    log.Add(label("     Tổng số góc trong nhóm ") + g + " : " + std::to_string(run.GroupAngleTotal));
    log.Add(label("     Tổng số cạnh trong nhóm ") + g + " : " + std::to_string(run.GroupSideTotal));
    log.Add(label("     sstp đo góc ước tính Mb = ") + FormatGeneral(RoundHalfEven(2, DegreesToSeconds(ws.MbDegrees))));
    log.Add(label("     sstp đo cạnh ước tính Ms = ") + FormatGeneral(RoundHalfEven(3, ws.Ms)));
    if (!context.Settings.Modes.RigorousWanted) log.Add(std::string(66, '-'));
    log.Add("");

    monitor.SetText(MonitorLabel::Nodes, Vn("Tổng số nút trong nhóm : ") + std::to_string(nn));
    monitor.SetText(MonitorLabel::Branches, Vn("Tổng số nhánh trong nhóm : ") + std::to_string(nb));
    monitor.SetText(MonitorLabel::Angles, Vn("Tổng số góc trong nhóm : ") + std::to_string(run.GroupAngleTotal));
    monitor.SetText(MonitorLabel::Sides, Vn("Tổng số cạnh trong nhóm : ") + std::to_string(run.GroupSideTotal));
    monitor.SetPosition(11);
}

}  // namespace qef
