#include "core/model/NetworkModel.h"

#include <algorithm>
#include <unordered_set>

#include "core/text/TextHelpers.h"

namespace qef {

namespace {

// The lookup key of a name: cut to 15 characters, a..z upper-cased. Short enough to stay in the
// string's own buffer.
std::string NameKey(std::string_view name) {
    std::string key(name.substr(0, std::min(name.size(), kPointNameMax)));
    for (char& c : key)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return key;
}

}  // namespace

int PointNameTable::Register(std::string_view name) {
    auto [it, inserted] = index_.try_emplace(NameKey(name), Count() + 1);
    if (inserted) names_.PushBack(std::string(name.substr(0, std::min(name.size(), kPointNameMax))));
    return it->second;
}

int PointNameTable::Find(std::string_view name) const {
    auto it = index_.find(NameKey(name));
    return it == index_.end() ? 0 : it->second;
}

void PointNameTable::Reserve(int count) {
    names_.Reserve(count);
    index_.reserve(static_cast<std::size_t>(count));
}

void PointNameTable::Clear() {
    names_.Clear();
    index_.clear();
}

int BranchModel::SumBranchPoints(int n) const {
    int sum = 0;
    for (int b = 1; b <= n; ++b) sum += BranchPointCounts[b];
    return sum;
}

void BranchModel::BuildBranchOffsets(int n) {
    if (BranchOffsets.Size() < n + 1) BranchOffsets.Resize((n + 1));
    BranchOffsets[1] = 0;
    for (int b = 1; b <= n; ++b) BranchOffsets[(b + 1)] = BranchOffsets[b] + BranchPointCounts[b];
}

void BranchModel::ReverseBranch(int b) {
    int first = First(b);
    int last = Last(b);
    while (first < last) std::swap(BranchPoints[first++], BranchPoints[last--]);
}

void BranchModel::Clear() {
    BranchPoints.Clear();
    BranchPointCounts.Clear();
    BranchOffsets.Clear();
    BranchDeadEnd.Clear();
}

void NetworkModel::FreeIdLists() {
    StartStations.Clear();
    StartTargets.Clear();
    AngleNodeCandidates.Clear();
    SideNodeCandidates.Clear();
    JunctionNodes.Clear();
    NetworkNodes.Clear();
    BranchStopPoints.Clear();
    NodeBranches.Clear();
}

void NetworkModel::FreeNetworkArrays() {
    FreeIdLists();
    FreeBranchArrays();
    HeightPointIds.Clear();
    PointHeights.Clear();
    SideMeanHeights.Clear();
    PointNames.Clear();
}

void RegisterPointNames(PointNameTable& table, const OneBased<std::string>& names, OneBased<int>& ids,
                        int n) {
    if (ids.Size() < n) ids.Resize(n);
    for (int i = 1; i <= n; ++i) ids[i] = table.Register(names[i]);
}

int FindPointName(std::string_view name, const OneBased<std::string>& list, int n) {
    const std::string key = NameKey(name);
    for (int i = 1; i <= n; ++i)
        if (NameKey(list[i]) == key) return i;
    return 0;
}

void CollectResultPoints(const NetworkModel& model, PointList& out, const OneBased<double>& nodeX,
                         const OneBased<double>& nodeY, int nodeCount,
                         const OneBased<std::uint8_t>& nodeDone, bool includeLast, int branchCount,
                         const OneBased<double>& branchX, const OneBased<double>& branchY) {
    for (int i = 1; i <= nodeCount; ++i)
        if (nodeDone[i] == 0) out.Add(model.NetworkNodes[i], nodeX[i], nodeY[i]);
    const BranchModel& br = model.Branches;
    for (int b = 1; b <= branchCount; ++b) {
        int stop = includeLast ? br.Last(b) : br.Last(b) - 1;
        for (int p = br.First(b) + 1; p <= stop; ++p) out.Add(br.PointAt(p), branchX[p], branchY[p]);
    }
}

void AccumulateDistinctPoints(NetworkModel& model, OneBased<int>& list, const OneBased<int>& a,
                              const OneBased<int>& b, int m, int n, const OneBased<int>& c) {
    int& count = model.DistinctPointCount;
    std::unordered_set<int> seen;
    for (int i = 1; i <= count; ++i) seen.insert(list[i]);
    auto add = [&](int id) {
        if (!seen.insert(id).second) return;
        ++count;
        if (list.Size() < count) list.Resize(count);
        list[count] = id;
    };
    for (int i = 1; i <= n; ++i) add(a[i]);
    for (int i = 1; i <= n; ++i) add(b[i]);
    for (int i = 1; i <= m; ++i) add(c[i]);
}

}  // namespace qef
