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

// What the checks count over the sides and the branches.
struct Tallies {
    std::unordered_set<int> stops;
    std::unordered_map<std::uint64_t, int> sideUses;  // side -> times listed minus times in a branch
    std::unordered_map<int, int> degree;              // point -> sides ending there
    std::unordered_map<int, int> interiorUses;        // point -> interior positions over all branches
    std::unordered_map<int, int> hangingEnds;         // point -> ends of dead-ended branches there
    std::unordered_map<int, int> branchesAt;          // point -> number of branches holding it
};

// Offsets and point counts. False when the rest cannot be checked.
bool CheckLayout(const BranchModel& branches, std::vector<std::string>& findings) {
    const int branchCount = branches.BranchCount();
    if (branches.BranchOffsets.Size() < branchCount + 1 || branches.BranchDeadEnd.Size() < branchCount) {
        findings.push_back("per-branch lists shorter than the branch count");
        return false;
    }
    int offset = 0;
    for (int b = 1; b <= branchCount; ++b) {
        if (branches.BranchOffsets[b] != offset)
            findings.push_back(BranchText(b) + ": offset does not follow the counts");
        offset += branches.BranchPointCounts[b];
        if (branches.BranchPointCounts[b] < 2) findings.push_back(BranchText(b) + ": fewer than two points");
    }
    if (!findings.empty()) return false;
    if (branches.BranchPoints.Size() < offset) {
        findings.push_back("fewer points stored than the counts say");
        return false;
    }
    return true;
}

void TallySides(const OneBased<int>& sidesA, const OneBased<int>& sidesB, int sideCount, Tallies& t) {
    for (int i = 1; i <= sideCount; ++i) {
        const int a = sidesA[i];
        const int c = sidesB[i];
        ++t.sideUses[SideKey(a, c)];
        ++t.degree[a];
        ++t.degree[c];
    }
}

void TallyBranchesAtPoints(const BranchModel& branches, Tallies& t) {
    for (int b = 1; b <= branches.BranchCount(); ++b) {
        std::unordered_set<int> seen;
        for (int p = branches.First(b); p <= branches.Last(b); ++p)
            if (seen.insert(branches.PointAt(p)).second) ++t.branchesAt[branches.PointAt(p)];
    }
}

// Each segment of branch b uses up one listed side.
void UseBranchSides(const BranchModel& branches, int b, Tallies& t, std::vector<std::string>& findings) {
    for (int p = branches.First(b); p < branches.Last(b); ++p) {
        auto it = t.sideUses.find(SideKey(branches.PointAt(p), branches.PointAt(p + 1)));
        if (it == t.sideUses.end() || it->second == 0)
            findings.push_back(BranchText(b) + ": segment " + std::to_string(branches.PointAt(p)) + "-" +
                               std::to_string(branches.PointAt(p + 1)) + " is not a free side");
        else
            --it->second;
    }
}

void CheckBranchEnds(const BranchModel& branches, int b, Tallies& t, std::vector<std::string>& findings) {
    const int first = branches.FirstPoint(b);
    const int last = branches.LastPoint(b);
    const bool deadEnd = branches.BranchDeadEnd[b] != 0;
    if (deadEnd) {
        ++t.hangingEnds[first];
        if (last != first) ++t.hangingEnds[last];
    }
    // An end of branch b that some other branch holds too.
    auto onOtherBranch = [&](int point) { return t.branchesAt[point] > 1; };
    const bool firstStops = t.stops.contains(first);
    const bool lastStops = t.stops.contains(last);
    if (!deadEnd && !(firstStops && lastStops))
        findings.push_back(BranchText(b) + ": ends " + std::to_string(first) + ", " + std::to_string(last) +
                           " are not both stop points");
    if (deadEnd && !(firstStops || lastStops || onOtherBranch(first) || onOtherBranch(last)))
        findings.push_back(BranchText(b) + ": hangs from nothing (" + std::to_string(first) + ", " +
                           std::to_string(last) + ")");
}

void ReportSidesInNoBranch(const Tallies& t, std::vector<std::string>& findings) {
    for (const auto& [key, left] : t.sideUses)
        if (left > 0)
            findings.push_back("side " + std::to_string(key >> 32) + "-" + std::to_string(key & 0xffffffffu) +
                               " is in no branch");
}

void CheckInteriorPoints(const BranchModel& branches, Tallies& t, std::vector<std::string>& findings) {
    for (int b = 1; b <= branches.BranchCount(); ++b) {
        const bool deadEnd = branches.BranchDeadEnd[b] != 0;
        for (int p = branches.First(b) + 1; p < branches.Last(b); ++p) {
            const int point = branches.PointAt(p);
            const std::string where = BranchText(b) + ": interior point " + std::to_string(point);
            if (t.stops.contains(point)) findings.push_back(where + " is a stop point");
            if (t.interiorUses[point] > 1) findings.push_back(where + " lies inside another branch too");
            // The branch's own hanging ends do not count against it.
            int own = 0;
            if (deadEnd) own = (branches.FirstPoint(b) == point) + (branches.LastPoint(b) == point);
            if (t.degree[point] - (t.hangingEnds[point] - own) != 2)
                findings.push_back(where + " ends " + std::to_string(t.degree[point]) + " sides");
        }
    }
}

}  // namespace

std::vector<std::string> CheckBranchInvariants(const BranchModel& branches, const OneBased<int>& sidesA,
                                               const OneBased<int>& sidesB, int sideCount,
                                               const OneBased<int>& stopPoints, int stopCount) {
    std::vector<std::string> findings;
    if (!CheckLayout(branches, findings)) return findings;

    Tallies t;
    for (int i = 1; i <= stopCount; ++i)
        if (stopPoints[i] != 0) t.stops.insert(stopPoints[i]);
    TallySides(sidesA, sidesB, sideCount, t);
    TallyBranchesAtPoints(branches, t);
    for (int b = 1; b <= branches.BranchCount(); ++b) {
        UseBranchSides(branches, b, t, findings);
        for (int p = branches.First(b) + 1; p < branches.Last(b); ++p) ++t.interiorUses[branches.PointAt(p)];
        CheckBranchEnds(branches, b, t, findings);
    }
    ReportSidesInNoBranch(t, findings);
    CheckInteriorPoints(branches, t, findings);
    return findings;
}

}  // namespace qef
