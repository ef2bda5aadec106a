#include "adjustment/StepCoordinates.h"

#include <cmath>

#include "adjustment/BranchArithmetic.h"
#include "adjustment/NetworkChecks.h"

namespace qef {

void ComputeBranchMisclosures(GroupWorkingSet& ws, const BranchModel& br) {
    for (int b = 1; b <= ws.Nb; ++b) {
        double sum = 0.0;
        for (int p = br.First(b); p < br.Last(b); ++p) sum += ws.PositionSides[p];
        ws.BranchLengthSums[b] = sum;
        const int last = br.Last(b);
        ws.ClosureFx[b] = BranchEndX(ws, br, b) - ws.PositionX[last];
        ws.ClosureFy[b] = BranchEndY(ws, br, b) - ws.PositionY[last];
        ws.ClosureFs[b] = std::hypot(ws.ClosureFx[b], ws.ClosureFy[b]);
    }
}

void ComputeListedBranchCoords(GroupWorkingSet& ws, const BranchModel& br) {
    OneBased<double> lastX(ws.Nb), lastY(ws.Nb);
    for (int b = 1; b <= ws.Nb; ++b) {
        lastX[b] = ws.PositionX[br.Last(b)];
        lastY[b] = ws.PositionY[br.Last(b)];
    }
    DistributeClosure(ws, br, Carry::ShareClosure, ws.ClosureFx, ws.ClosureFy);
    // The spread lands on the end up to rounding; the end keeps its own value exactly.
    for (int b = 1; b <= ws.Nb; ++b) {
        ws.PositionX[br.Last(b)] = lastX[b];
        ws.PositionY[br.Last(b)] = lastY[b];
    }
}

namespace {

GroupStatus Fail(GroupWorkingSet& ws, const GroupContext& context, const char* message = nullptr) {
    if (message != nullptr) {
        context.Run.ProgressLog.Add(message);
        ShowError(context.Ui, message);
    }
    ws.FreeGroupArrays();
    return GroupStatus::Failed;
}

}  // namespace

GroupStatus ComputeGroupCoordinates(GroupWorkingSet& ws, const GroupInputs& in, const GroupContext& context) {
    NetworkModel& model = in.Model;
    const BranchModel& br = model.Branches;
    const int nb = ws.Nb;
    const int nn = ws.Nn;
    ws.TotalPoints = br.SumBranchPoints(nb);
    ws.AngularClosureFactor = context.Settings.AngularClosureFactor;
    ws.LinearClosureDenominator = context.Settings.LinearClosureDenominator;
    const StartDirectionIndex& starts = in.Order.Starts();
    bool notTied = false;
    if (!CheckGroupTied(model, starts, nb, notTied, context.Ui)) return GroupStatus::NotTied;

    ws.Allocate();
    ws.NodeLevelCount = 0;
    // A node out of reach of every known point ends the ordering with its message.
    if (nn > 0 && !OrderNodesByLevel(ws, model, starts, context.Ui))
        return Fail(ws, context);
    OrientBranchesFromKnown(model, starts, nn, nb);
    BuildNodeBranchLinks(ws, model);
    MarkKnownPoints(ws, model, in.Order);
    if (!LinkBranchEndsToNodes(ws, in, context.Ui, context.Monitor, context.Run.ProgressLog))
        return Fail(ws, context);

    if (!CollectBranchAngles(ws, in, AngleSourcesFor(context.Settings), context.Ui, context.Run.ProgressLog))
        return Fail(ws, context);
    // Each node is defined by the shortest branch back to the level before it.
    if (nn > 0)
        ChooseNodeBranches(ws, model, starts);
    for (int k = 1; k <= nn; ++k)
        if (ws.NodeCarrierBranch[k] == 0) return Fail(ws, context, "Thieu DK BS");
    CountBranchAnglesSides(ws, br, context.Run);

    ProvisionalNodeAzimuths(ws, model);
    ComputeAngularClosures(ws, model);
    PropagateAllAzimuths(ws, br, Carry::AsMeasured);
    ProvisionalNodeCoordinates(ws, model);
    ComputeBranchMisclosures(ws, br);
    ComputeListedBranchCoords(ws, br);
    return GroupStatus::Adjusted;
}

}  // namespace qef
