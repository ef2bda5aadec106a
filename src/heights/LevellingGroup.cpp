#include "heights/LevellingGroup.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace qef {

double LevellingBranch::DhSum() const {
    double sum = 0.0;
    for (double dh : Dhs) sum += dh;
    return sum;
}

namespace {

// Weight of a line: 1 / [S] with [S] in kilometres.
double LineWeight(const LevellingBranch& b) { return 1000.0 / b.LengthSum; }

struct GroupFrame {
    std::unordered_map<int, int> unknownOf;  // node id -> 1..n
    std::vector<double> height;              // 1..n
    const HeightTable& known;

    // The current height of a line end: a node's, shared by all its lines' ends (SpreadNodeHeight),
    // else the known one (SetKnownBranchEndHeights).
    double EndHeight(int id) const {
        auto it = unknownOf.find(id);
        if (it != unknownOf.end()) return height[it->second];
        return known.at(id);
    }
    int Unknown(int id) const {
        auto it = unknownOf.find(id);
        return it == unknownOf.end() ? 0 : it->second;
    }
};

// Nodes by their distance in lines from a known point (ties in the given order), each starting
// from the height carried along the line that first reached it (StartNodeHeights; the height at
// the line's far end is BranchEndHeight). False when some node is reached from no known point. A breadth-first walk visits each node once, so the order always ends.
bool OrderLevellingNodes(const std::vector<LevellingBranch>& branches, const std::vector<int>& nodeIds,
                const HeightTable& heights, std::vector<int>& order, std::unordered_map<int, double>& start) {
    std::unordered_map<int, std::vector<int>> linesAt;
    for (int b = 0; b < static_cast<int>(branches.size()); ++b) {
        if (branches[b].IsLoop()) continue;
        linesAt[branches[b].First()].push_back(b);
        linesAt[branches[b].Last()].push_back(b);
    }
    std::unordered_map<int, char> isNode;
    for (int id : nodeIds) isNode[id] = 1;

    std::deque<int> queue;
    std::unordered_map<int, char> seen;
    // Known ends first, in the order of the group's lines.
    for (const LevellingBranch& b : branches) {
        for (int end : {b.First(), b.Last()}) {
            if (isNode.contains(end) || !heights.contains(end) || seen.contains(end)) continue;
            seen[end] = 1;
            start[end] = heights.at(end);
            queue.push_back(end);
        }
    }
    while (!queue.empty()) {
        const int at = queue.front();
        queue.pop_front();
        if (isNode.contains(at)) order.push_back(at);
        for (int b : linesAt[at]) {
            const LevellingBranch& line = branches[b];
            const bool forward = line.First() == at;
            const int other = forward ? line.Last() : line.First();
            if (seen.contains(other) || !isNode.contains(other)) continue;
            seen[other] = 1;
            start[other] = start[at] + (forward ? line.DhSum() : -line.DhSum());
            queue.push_back(other);
        }
    }
    return order.size() == nodeIds.size();
}

// Rebuilds the constant column from the misclosures of the current heights; with `coefficients`
// also the coefficients, from zero. Each line adds its node rows here (AddNodeNormalRow).
void BuildLevellingNormalMatrix(const std::vector<LevellingBranch>& branches, const GroupFrame& frame,
                                PackedNormalMatrix& n, bool coefficients) {
    const int count = n.N();
    if (coefficients) n.Resize(count);
    else
        for (int i = 1; i <= count; ++i) n.Constant(i) = 0.0;
    for (const LevellingBranch& b : branches) {
        if (b.IsLoop()) continue;  // its misclosure does not depend on the node
        const double w = LineWeight(b);
        const double f = frame.EndHeight(b.First()) + b.DhSum() - frame.EndHeight(b.Last());
        const int i = frame.Unknown(b.First());
        const int j = frame.Unknown(b.Last());
        if (i != 0) n.Constant(i) += w * f;
        if (j != 0) n.Constant(j) -= w * f;
        if (!coefficients) continue;
        if (i != 0) n(i, i) += w;
        if (j != 0) n(j, j) += w;
        if (i != 0 && j != 0) n(i, j) -= w;
    }
}

}  // namespace

LevellingGroupSolution AdjustLevellingGroup(std::vector<LevellingBranch>& branches, const std::vector<int>& nodeIds,
                                            const HeightTable& heights) {
    LevellingGroupSolution solution;
    std::unordered_map<int, double> start;
    if (!OrderLevellingNodes(branches, nodeIds, heights, solution.NodeOrder, start)) {
        solution.NoKnownHeight = true;
        solution.NodeOrder = nodeIds;
        return solution;
    }
    const int n = static_cast<int>(solution.NodeOrder.size());
    GroupFrame frame{{}, std::vector<double>(n + 1, 0.0), heights};
    for (int i = 1; i <= n; ++i) {
        frame.unknownOf[solution.NodeOrder[i - 1]] = i;
        frame.height[i] = start.at(solution.NodeOrder[i - 1]);
    }

    PackedNormalMatrix normals(n);
    OneBased<double> x;
    bool converged = n == 0;
    for (int pass = 1; !converged && pass <= kLevellingPassCap; ++pass) {
        const bool first = pass == 1;
        BuildLevellingNormalMatrix(branches, frame, normals, first);
        if (first) solution.FirstMatrix = normals;
        solution.Passes = pass;
        // The coefficients are reduced once; later passes only carry the new constants through.
        if (first) {
            const Reduction reduction = Reduce(normals);
            if (reduction.ZeroPivots > 0) return solution;
            BackSubstitute(normals, reduction, x);
        } else {
            ReduceConstants(normals);
            BackSubstitute(normals, x);
        }
        double largest = 0.0;
        for (int i = 1; i <= n; ++i) {
            frame.height[i] += x[i];
            largest = std::max(largest, std::fabs(x[i]));
        }
        converged = largest < kLevellingConvergence;
    }
    solution.CapReached = !converged;
    solution.Solved = true;
    for (int i = 1; i <= n; ++i) solution.NodeHeights.push_back(frame.height[i]);
    for (LevellingBranch& b : branches) SpreadMisclosure(b, frame.EndHeight(b.First()), frame.EndHeight(b.Last()));
    return solution;
}

void SpreadMisclosure(LevellingBranch& branch, double firstHeight, double lastHeight) {
    branch.Misclosure = firstHeight + branch.DhSum() - lastHeight;
    const std::size_t points = branch.Points.size();
    branch.Heights.assign(points, 0.0);
    branch.Heights[0] = firstHeight;
    for (std::size_t k = 0; k + 1 < points; ++k)
        branch.Heights[k + 1] =
            branch.Heights[k] + branch.Dhs[k] - branch.Misclosure * branch.Lengths[k] / branch.LengthSum;
    // The last point is a known point or a node: it keeps its height exactly.
    branch.Heights[points - 1] = lastHeight;
}

void CarryOpenLine(LevellingBranch& branch, double firstHeight) {
    const std::size_t points = branch.Points.size();
    branch.Heights.assign(points, 0.0);
    branch.Heights[0] = firstHeight;
    for (std::size_t k = 0; k + 1 < points; ++k) branch.Heights[k + 1] = branch.Heights[k] + branch.Dhs[k];
}

}  // namespace qef
