#include "core/model/NetworkModel.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "core/text/TextHelpers.h"

namespace qef {

namespace {

// The lookup key of a name: cut to 15 characters, a..z upper-cased.
std::string NameKey(std::string_view name) {
    std::string key(name.substr(0, std::min(name.size(), kPointNameMax)));
    for (char& c : key)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return key;
}

}  // namespace

PointNameTable::Key PointNameTable::KeyOf(std::string_view name) {
    Key key{};
    const std::size_t length = std::min(name.size(), kPointNameMax);
    for (std::size_t i = 0; i < length; ++i) {
        const char c = name[i];
        key[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    key[15] = static_cast<char>(length);
    return key;
}

std::uint64_t PointNameTable::HashOf(const Key& key) {
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    std::memcpy(&low, key.data(), 8);
    std::memcpy(&high, key.data() + 8, 8);
    std::uint64_t h = low ^ (high * 0x9E3779B97F4A7C15ULL);
    h ^= h >> 31;
    h *= 0xD6E8FEB86659FD93ULL;
    h ^= h >> 32;
    return h;
}

std::size_t PointNameTable::SlotOf(const Key& key, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    const std::uint64_t tag = hash & 0xFFFFFFFF00000000ULL;
    for (std::size_t s = hash & mask;; s = (s + 1) & mask) {
        const std::uint64_t slot = slots_[s];
        if (slot == 0) return s;
        if ((slot & 0xFFFFFFFF00000000ULL) == tag && keys_[slot & 0xFFFFFFFFULL] == key) return s;
    }
}

int PointNameTable::Insert(const Key& key, std::uint64_t hash, std::size_t slot, std::string_view name) {
    const int id = Count() + 1;
    names_.PushBack(std::string(name.substr(0, std::min(name.size(), kPointNameMax))));
    keys_.push_back(key);
    slots_[slot] = (hash & 0xFFFFFFFF00000000ULL) | static_cast<std::uint32_t>(id);
    // At most half full, so that a search ends after a few slots.
    if (2 * keys_.size() > slots_.size()) Rehash(2 * slots_.size());
    return id;
}

void PointNameTable::Rehash(std::size_t capacity) {
    if (keys_.empty()) keys_.resize(1);  // ids count from 1
    std::size_t size = 16;
    while (size < capacity) size *= 2;
    slots_.assign(size, 0);
    for (std::size_t id = 1; id < keys_.size(); ++id) {
        const std::uint64_t hash = HashOf(keys_[id]);
        slots_[SlotOf(keys_[id], hash)] = (hash & 0xFFFFFFFF00000000ULL) | static_cast<std::uint32_t>(id);
    }
}

int PointNameTable::Register(std::string_view name) {
    if (slots_.empty()) Rehash(16);
    const Key key = KeyOf(name);
    const std::uint64_t hash = HashOf(key);
    const std::size_t slot = SlotOf(key, hash);
    if (slots_[slot] != 0) return static_cast<int>(slots_[slot] & 0xFFFFFFFFULL);
    return Insert(key, hash, slot, name);
}

void PointNameTable::RegisterAll(const OneBased<std::string>& names, OneBased<int>& ids, int n) {
    if (ids.Size() < n) ids.Resize(n);
    if (slots_.empty()) Rehash(16);
    // A large table is out of the cache: the slot of a name some way ahead is fetched early, and
    // the key that a nearer name's slot points to, so that the look-ups wait on memory less.
    constexpr int kAhead = 16;
    constexpr int kRing = 2 * kAhead;
    std::array<Key, kRing> keys{};
    std::array<std::uint64_t, kRing> hashes{};
    auto prepare = [&](int i) {
        keys[i % kRing] = KeyOf(names[i]);
        hashes[i % kRing] = HashOf(keys[i % kRing]);
    };
    for (int i = 1; i <= std::min(n, kAhead); ++i) prepare(i);
    for (int i = 1; i <= n; ++i) {
        const std::size_t mask = slots_.size() - 1;
        if (i + kAhead <= n) {
            prepare(i + kAhead);
            __builtin_prefetch(&slots_[hashes[(i + kAhead) % kRing] & mask]);
        }
        if (i + kAhead / 2 <= n) {
            const std::uint64_t slot = slots_[hashes[(i + kAhead / 2) % kRing] & mask];
            if (slot != 0) __builtin_prefetch(&keys_[slot & 0xFFFFFFFFULL]);
        }
        const Key& key = keys[i % kRing];
        const std::uint64_t hash = hashes[i % kRing];
        const std::size_t at = SlotOf(key, hash);
        ids[i] = slots_[at] != 0 ? static_cast<int>(slots_[at] & 0xFFFFFFFFULL) : Insert(key, hash, at, names[i]);
    }
}

int PointNameTable::Find(std::string_view name) const {
    if (slots_.empty()) return 0;
    const Key key = KeyOf(name);
    const std::uint64_t slot = slots_[SlotOf(key, HashOf(key))];
    return static_cast<int>(slot & 0xFFFFFFFFULL);
}

void PointNameTable::Reserve(int count) {
    names_.Reserve(count);
    keys_.reserve(static_cast<std::size_t>(count) + 1);
    if (slots_.size() < 2 * static_cast<std::size_t>(count) + 2) Rehash(2 * static_cast<std::size_t>(count) + 2);
}

void PointNameTable::Clear() {
    names_.Clear();
    keys_.clear();
    slots_.clear();
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
    table.RegisterAll(names, ids, n);
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
