#pragma once
// What the rigorous adjustment of one group holds: the run's state across groups, the context a
// group is adjusted in, and the solution that the accuracy estimation and the tables read.
#include <cstddef>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "adjustment/GroupWorkingSet.h"
#include "core/model/RunRecord.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/numeric/NormalMatrix.h"
#include "core/numeric/OneBased.h"
#include "core/model/Progress.h"
#include "core/model/RunOutcome.h"

namespace qef {

// Seconds per radian, rounded as the tables have always been computed and printed with it: the
// exact 206264.806... would shift the printed figures.
inline constexpr double kRho = 206265.0;

// A group whose corrections do not settle within this many passes keeps the solution of the last.
inline constexpr int kMaxRigorousPasses = 10;

// What the rigorous stage keeps across the groups of one run.
struct RigorousRunState {
    RigorousRunExtremes Extremes;
    bool ReportFresh = true;      // the next coordinate table rewrites the four tables with headers
    double MbInUseSeconds = 0.0;  // a-priori unit-weight error of the last group
    double PvvTotal = 0.0;        // [pvv] of the last group
    // Memory a group's solution may take; 0: half the memory of the machine.
    std::size_t MemoryLimitBytes = 0;
    int PassLimit = kMaxRigorousPasses;

    void Reset() { *this = RigorousRunState(); }
};

struct RigorousContext {
    const ComputationSettings& Settings;
    RunRecord& Run;
    RigorousRunState& State;
    Interaction& Ui;
    Progress& Monitor;
};

// Everything one group's solution holds; indexed like the working set.
struct RigorousSolution {
    int B = 0;  // branches
    int M = 0;  // nodes
    // Branch b's terms (its angles in point order, then its sides) are TermStart[b]+1 ..
    // TermStart[b+1]; the condition block holds three coefficients and an inverse weight a term.
    OneBased<int> TermStart;
    OneBased<double> A1, A2, A3, Q;
    // Closures of the approximate values: angle (degrees), x and y (metres), unrounded.
    OneBased<double> Fb, Fx, Fy;

    // Reduced by the solve; then the node rows take the node part of the inverse (see
    // PrepareNodeInverse) while the branch rows stay reduced.
    PackedNormalMatrix Normals;
    RowProfile Profile;  // where the built normals hold values, for the solution to read no more
    bool NodeInverseFormed = false;
    OneBased<int> BranchNodes;  // 2b-1, 2b: the nodes at branch b's first and last point (0: none)
    // Node j's unknowns are the NodeSlot[j]-th triple after the correlates: an order that keeps
    // the couplings near the diagonal, so that elimination makes little fill. Empty: node order.
    OneBased<int> NodeSlot;
    OneBased<double> Solution;  // correlates, then orientation (seconds), X, Y of each node (NodeColumn)

    // A measured angle that several angle terms are made of (through derived angles) is an unknown
    // of its own, its correction in seconds, weighted once, so that the terms sharing it are
    // correlated. Its unknown follows those of the node it is kept with (NodeFirst..NodeLast), or
    // all the nodes' when it has none. A term's own measured angles make its inverse weight Q.
    struct Share {
        int Shared = 0;     // 1..SharedCount
        double Sign = 0.0;  // the term's correction takes Sign times the shared angle's
    };
    int Unknowns = 0;                  // order of the normals
    int SharedCount = 0;
    std::vector<int> TermShareStart;   // term i takes TermShares[TermShareStart[i] .. TermShareStart[i+1])
    std::vector<Share> TermShares;     // empty: no term takes a shared angle
    OneBased<int> SharedColumn;        // per shared angle
    OneBased<int> SharedAngle;         // its place in the angle list
    OneBased<double> AngleTermQ;       // per term, angles only: the inverse weight of its own part
    // The measured angles of derived terms that no other term takes, with their signs:
    // TermOwn[TermOwnStart[i] .. TermOwnStart[i+1]); empty when no term is derived.
    std::vector<int> TermOwnStart;
    std::vector<AngleSource> TermOwn;
    // After the solve: the correction (seconds) of every measured angle behind a derived term, by
    // its place in the angle list.
    std::vector<std::pair<int, double>> MeasuredCorrections;
    OneBased<int> NodeFirst, NodeLast;  // node j's unknowns; empty: three a node, by NodeSlot
    // Per branch, the shared angles' columns its rows couple with, besides its end nodes'.
    std::vector<int> BranchColumnStart;
    std::vector<int> BranchColumns;
    // Passes the group took; false when the last reached the limit unsettled.
    int Passes = 0;
    bool Settled = true;
    std::string TableNote;  // heads the group's rows in each table when not empty

    OneBased<double> AngleCorrections;  // per position, seconds
    OneBased<double> SideCorrections;   // per position, metres

    double MbInUseSeconds = 0.0;
    double MsInUse = 0.0;  // metres, the estimated Ms when the weights come from the simple adjustment
    double Pvv = 0.0;
    int Redundancy = 0;
    double Mu = 0.0;  // seconds
    bool AccuracyEstimated = false;

    // Accuracy (per position of the side leaving a point, and of interior points; per node).
    OneBased<double> AzimuthErrors;  // seconds
    OneBased<double> SideErrors;     // metres
    OneBased<double> SideRatios;     // N of Ms/S = 1/N, 0 where Ms rounds to 0
    OneBased<double> PointMx, PointMy, PointMp;
    OneBased<double> NodeMx, NodeMy, NodeMp;

    // The unknown of a node: which = 1 orientation, 2 X, 3 Y.
    int NodeColumn(int node, int which) const {
        if (!NodeFirst.Empty()) return NodeFirst[node] + which - 1;
        const int slot = NodeSlot.Empty() ? node : NodeSlot[node];
        return 3 * B + 3 * (slot - 1) + which;
    }
    // The last unknown kept with node j: its Y, or its last shared angle.
    int NodeLastColumn(int node) const { return NodeLast.Empty() ? NodeColumn(node, 3) : NodeLast[node]; }
    // Shared angle e's correction, seconds, once solved.
    double SharedCorrection(int e) const { return Solution[SharedColumn[e]]; }
    // The shared angles term i takes.
    std::span<const Share> SharesOf(int i) const {
        if (TermShareStart.empty()) return {};
        const auto from = static_cast<std::size_t>(TermShareStart[static_cast<std::size_t>(i)]);
        const auto to = static_cast<std::size_t>(TermShareStart[static_cast<std::size_t>(i) + 1]);
        return {TermShares.data() + from, to - from};
    }
    // f(column) for every unknown past the correlates that branch b's rows couple with: those of
    // the nodes at its ends, then the shared angles its terms take.
    template <class F>
    void ForEachCoupledColumn(int b, F f) const {
        const int start = BranchNodes[2 * b - 1];
        const int end = BranchNodes[2 * b];
        for (const int node : {start, end == start ? 0 : end})
            if (node > 0)
                for (int c = 1; c <= 3; ++c) f(NodeColumn(node, c));
        const auto [shared, columns] = BranchShareColumns(b);
        for (int k = 0; k < shared; ++k) f(columns[k]);
    }
    // Shared angles' columns that branch b's rows couple with besides its end nodes' (count, first).
    std::pair<int, const int*> BranchShareColumns(int b) const {
        if (BranchColumnStart.empty()) return {0, nullptr};
        const int from = BranchColumnStart[static_cast<std::size_t>(b)];
        return {BranchColumnStart[static_cast<std::size_t>(b) + 1] - from, BranchColumns.data() + from};
    }
};

// Angles of a branch of `kind` with n points, and the point of angle term t.
int KindAngleCount(BranchKind kind, int n);
inline int AnglePoint(BranchKind kind, int t) { return HasStartAngle(kind) ? t : t + 1; }

}  // namespace qef
