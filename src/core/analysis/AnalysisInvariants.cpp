#include "core/analysis/AnalysisInvariants.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

namespace qef {

namespace {

std::uint64_t SideKey(int a, int b) {
    if (a > b) std::swap(a, b);
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) | static_cast<std::uint32_t>(b);
}

std::string BranchText(int b) { return "branch " + std::to_string(b); }

}  // namespace

std::vector<std::string> CheckBranchInvariants(const BranchModel& branches, const OneBased<int>& sidesA,
                                               const OneBased<int>& sidesB, int sideCount,
                                               const OneBased<int>& stopPoints, int stopCount) {
    std::vector<std::string> findings;
    const int branchCount = branches.BranchCount();

    if (branches.BranchOffsets.Size() < branchCount + 1 ||
        branches.BranchDeadEnd.Size() < branchCount) {
        findings.push_back("per-branch lists shorter than the branch count");
        return findings;
    }
    int offset = 0;
    for (int b = 1; b <= branchCount; ++b) {
        if (branches.BranchOffsets[b] != offset)
            findings.push_back(BranchText(b) + ": offset does not follow the counts");
        offset += branches.BranchPointCounts[b];
        if (branches.BranchPointCounts[b] < 2)
            findings.push_back(BranchText(b) + ": fewer than two points");
    }
    if (!findings.empty() || branches.BranchPoints.Size() < offset) {
        if (findings.empty()) findings.push_back("fewer points stored than the counts say");
        return findings;
    }

    std::unordered_set<int> stops;
    for (int i = 1; i <= stopCount; ++i)
        if (stopPoints[i] != 0) stops.insert(stopPoints[i]);

    std::unordered_map<std::uint64_t, int> sideUses;  // side -> times listed minus times in a branch
    std::unordered_map<int, int> degree;
    for (int i = 1; i <= sideCount; ++i) {
        const int a = sidesA[i];
        const int c = sidesB[i];
        ++sideUses[SideKey(a, c)];
        ++degree[a];
        ++degree[c];
    }

    std::unordered_map<int, int> interiorUses;   // point -> interior positions over all branches
    std::unordered_map<int, int> hangingEnds;    // point -> ends of dead-ended branches there
    std::unordered_map<int, int> branchesAt;     // point -> number of branches holding it
    for (int b = 1; b <= branchCount; ++b) {
        std::unordered_set<int> seen;
        for (int p = branches.First(b); p <= branches.Last(b); ++p)
            if (seen.insert(branches.PointAt(p)).second) ++branchesAt[branches.PointAt(p)];
    }
    // An end of branch b that some other branch holds too.
    auto onOtherBranch = [&](int point) { return branchesAt[point] > 1; };
    for (int b = 1; b <= branchCount; ++b) {
        const int first = branches.FirstPoint(b);
        const int last = branches.LastPoint(b);
        const bool deadEnd = branches.BranchDeadEnd[b] != 0;
        for (int p = branches.First(b); p < branches.Last(b); ++p) {
            auto it = sideUses.find(SideKey(branches.PointAt(p), branches.PointAt(p + 1)));
            if (it == sideUses.end() || it->second == 0)
                findings.push_back(BranchText(b) + ": segment " + std::to_string(branches.PointAt(p)) + "-" +
                                   std::to_string(branches.PointAt(p + 1)) + " is not a free side");
            else
                --it->second;
        }
        for (int p = branches.First(b) + 1; p < branches.Last(b); ++p) ++interiorUses[branches.PointAt(p)];
        if (deadEnd) {
            ++hangingEnds[first];
            if (last != first) ++hangingEnds[last];
        }
        const bool firstStops = stops.contains(first);
        const bool lastStops = stops.contains(last);
        if (!deadEnd && !(firstStops && lastStops))
            findings.push_back(BranchText(b) + ": ends " + std::to_string(first) + ", " + std::to_string(last) +
                               " are not both stop points");
        if (deadEnd && !(firstStops || lastStops || onOtherBranch(first) || onOtherBranch(last)))
            findings.push_back(BranchText(b) + ": hangs from nothing (" + std::to_string(first) + ", " +
                               std::to_string(last) + ")");
    }
    for (const auto& [key, left] : sideUses)
        if (left > 0)
            findings.push_back("side " + std::to_string(key >> 32) + "-" + std::to_string(key & 0xffffffffu) +
                               " is in no branch");

    for (int b = 1; b <= branchCount; ++b) {
        const bool deadEnd = branches.BranchDeadEnd[b] != 0;
        for (int p = branches.First(b) + 1; p < branches.Last(b); ++p) {
            const int point = branches.PointAt(p);
            const std::string where = BranchText(b) + ": interior point " + std::to_string(point);
            if (stops.contains(point)) findings.push_back(where + " is a stop point");
            if (interiorUses[point] > 1) findings.push_back(where + " lies inside another branch too");
            // The branch's own hanging ends do not count against it.
            int own = 0;
            if (deadEnd) own = (branches.FirstPoint(b) == point) + (branches.LastPoint(b) == point);
            if (degree[point] - (hangingEnds[point] - own) != 2)
                findings.push_back(where + " ends " + std::to_string(degree[point]) + " sides");
        }
    }
    return findings;
}

}  // namespace qef
