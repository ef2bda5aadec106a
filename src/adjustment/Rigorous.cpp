#include "adjustment/Rigorous.h"

#include <algorithm>
#include <cmath>
#include <unistd.h>
#include <string>
#include <utility>
#include <vector>

#include "adjustment/RigorousAccuracy.h"
#include "adjustment/NetworkChecks.h"
#include "adjustment/BranchArithmetic.h"
#include "core/numeric/Geometry.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

OneBased<double> Zeros(int n) { return OneBased<double>(std::max(n, 0) + 2); }


bool NodeCoordinatesUnknown(const GroupWorkingSet& ws, int node) { return ws.KnownNodeFlags[node] == 0; }

// Nodes in breadth-first order from `root` over the unmarked nodes, marking them; levels[k] is
// where level k starts in the returned list.
std::vector<int> BreadthFirst(const OneBased<std::vector<int>>& adjacent, int root, OneBased<int>& mark,
                              int stamp, std::vector<std::size_t>& levels) {
    std::vector<int> order{root};
    mark[root] = stamp;
    levels.assign(1, 0);
    for (std::size_t head = 0; head < order.size();) {
        const std::size_t levelEnd = order.size();
        for (; head < levelEnd; ++head)
            for (const int next : adjacent[order[head]])
                if (mark[next] != stamp) {
                    mark[next] = stamp;
                    order.push_back(next);
                }
        if (order.size() > levelEnd) levels.push_back(levelEnd);
    }
    return order;
}

// Reverse Cuthill-McKee over the nodes, adjacent when a branch joins them: each connected part
// breadth first from a node at the far end of it, neighbours with fewer branches first, and the
// whole sequence reversed. Ties go to the lower node number, so the order depends on the group
// alone.
OneBased<int> NodeUnknownSlots(const GroupWorkingSet& ws) {
    const int m = ws.Nn;
    OneBased<std::vector<int>> adjacent(m);
    for (int b = 1; b <= ws.Nb; ++b) {
        const int s = ws.StartNodeOf[b];
        const int e = ws.EndNodeOf[b];
        if (s <= 0 || e <= 0 || s == e) continue;
        adjacent[s].push_back(e);
        adjacent[e].push_back(s);
    }
    OneBased<std::size_t> degree(m, 0);
    for (auto& list : adjacent) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    for (int j = 1; j <= m; ++j) degree[j] = adjacent[j].size();
    auto fewer = [&](int a, int b) {
        return degree[a] != degree[b] ? degree[a] < degree[b] : a < b;
    };
    for (auto& list : adjacent) std::sort(list.begin(), list.end(), fewer);

    std::vector<int> sequence;
    sequence.reserve(m);
    OneBased<int> placed(m, 0);
    OneBased<int> mark(m, 0);
    std::vector<std::size_t> levels;
    int stamp = 0;
    for (int c = 1; c <= m; ++c) {
        if (placed[c] != 0) continue;
        // Start from the part's node of fewest branches, then move to a node of the last level
        // while that makes the part deeper.
        std::vector<int> part = BreadthFirst(adjacent, c, mark, ++stamp, levels);
        int root = *std::min_element(part.begin(), part.end(), fewer);
        part = BreadthFirst(adjacent, root, mark, ++stamp, levels);
        for (std::size_t depth = levels.size();;) {
            const auto lastLevel = part.begin() + static_cast<std::ptrdiff_t>(levels.back());
            const int far = *std::min_element(lastLevel, part.end(), fewer);
            std::vector<std::size_t> farLevels;
            std::vector<int> fromFar = BreadthFirst(adjacent, far, mark, ++stamp, farLevels);
            if (farLevels.size() <= depth) break;
            root = far;
            depth = farLevels.size();
            part = std::move(fromFar);
            levels = std::move(farLevels);
        }
        // `part` is breadth first from the root, neighbours in the order of their branch counts.
        for (const int j : part) placed[j] = 1;
        sequence.insert(sequence.end(), part.begin(), part.end());
    }
    OneBased<int> slots(m);
    int slot = m;
    for (const int j : sequence) slots[j] = slot--;
    return slots;
}

// Azimuth and side errors of the group; all zero without redundant observations.
void EstimateSideAccuracy(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol,
                          const RigorousContext& context) {
    Progress& monitor = context.Monitor;
    sol.AccuracyEstimated = sol.Redundancy > 0;
    if (sol.AccuracyEstimated) {
        PrepareNodeInverse(sol);
        monitor.SetText(MonitorLabel::Accuracy, Vn("Đánh giá đcx phương vị : "));
        monitor.SetText(MonitorLabel::End, Vn("đến ") + TimeOfDay());
        monitor.SetRange(0, ws.Nb);
        EstimateAzimuthAndSideErrors(ws, model, sol, &monitor);
    } else {
        context.Run.ProgressLog.Add(StripAccents(Vn("     Nhóm không có trị đo thừa: không đánh giá độ chính xác"),
                                                 context.Settings.KeepAccents));
        EstimateAzimuthAndSideErrors(ws, model, sol);  // all zero with mu = 0
    }
}


// The angle and side terms of every branch, the nodes at its ends and the nodes' order; the lists
// of shared angles emptied. The number of terms.
int LayOutTerms(const GroupWorkingSet& ws, const BranchModel& br, RigorousSolution& sol) {
    const int nb = ws.Nb;
    sol.B = nb;
    sol.M = ws.Nn;
    sol.TermStart = OneBased<int>(nb + 1);
    int total = 0;
    for (int b = 1; b <= nb; ++b) {
        sol.TermStart[b] = total;
        const int n = br.BranchPointCounts[b];
        total += KindAngleCount(ws.BranchTypes[b], n) + n - 1;
    }
    sol.TermStart[nb + 1] = total;
    sol.AngleTermQ.Assign(total + 1, 1.0);
    sol.BranchNodes = OneBased<int>(2 * nb + 1);
    for (int b = 1; b <= nb; ++b) {
        sol.BranchNodes[2 * b - 1] = ws.StartNodeOf[b];
        sol.BranchNodes[2 * b] = ws.EndNodeOf[b];
    }
    sol.NodeSlot = NodeUnknownSlots(ws);
    sol.SharedCount = 0;
    sol.TermShareStart.clear();
    sol.TermShares.clear();
    sol.BranchColumnStart.clear();
    sol.BranchColumns.clear();
    return total;
}

// One measured angle behind an angle term, with its sign in the term.
struct AngleUse {
    int Angle;
    int Term;
    int Sign;
    int Branch;
    int Point;
};

// A shared angle (its unknown) taken by a term.
struct TakenShare {
    int Term;
    int Shared;
    int Sign;
};

// A measured angle that one term alone takes.
struct OwnAngle {
    int Term;
    int Angle;
    int Sign;
};

struct AngleSharing {
    std::vector<TakenShare> Taken;
    std::vector<OwnAngle> Own;
    std::vector<int> Anchors{0};  // per shared angle: the node its unknown is kept with, 0: none
};

// Every measured angle behind the derived angle terms, by angle then term. Such a term weighs as
// the measured angles it is made of: its own weight is cleared here.
std::vector<AngleUse> CollectAngleUses(const GroupWorkingSet& ws, const BranchModel& br, RigorousSolution& sol) {
    std::vector<AngleUse> uses;
    if (ws.AngleSourceCount.Size() >= ws.TotalPoints && ws.TotalPoints > 0) {
        for (int b = 1; b <= ws.Nb; ++b) {
            const BranchKind kind = ws.BranchTypes[b];
            const int angles = KindAngleCount(kind, br.BranchPointCounts[b]);
            for (int t = 1; t <= angles; ++t) {
                const int p = br.First(b) + AnglePoint(kind, t) - 1;
                const int count = ws.AngleSourceCount[p];
                if (count == 0) continue;  // one measured angle of its own
                const int i = sol.TermStart[b] + t;
                sol.AngleTermQ[i] = 0.0;
                const int from = ws.AngleSourceFirst[p];
                for (int k = from; k < from + count; ++k) {
                    const AngleSource& source = ws.AngleSources[static_cast<std::size_t>(k)];
                    uses.push_back({source.Angle, i, source.Sign, b, AnglePoint(kind, t)});
                }
            }
        }
    }
    std::sort(uses.begin(), uses.end(), [](const AngleUse& a, const AngleUse& b) {
        return a.Angle != b.Angle ? a.Angle < b.Angle : a.Term < b.Term;
    });
    return uses;
}

// The node a shared angle's unknown is kept with: the node it was measured at, else a node that
// the first branch taking it reaches.
int AnchorOf(const GroupWorkingSet& ws, const BranchModel& br, const AngleUse& first) {
    const int n = br.BranchPointCounts[first.Branch];
    const int start = ws.StartNodeOf[first.Branch];
    const int end = ws.EndNodeOf[first.Branch];
    const int anchor = first.Point == 1 && start > 0 ? start : first.Point == n && end > 0 ? end : 0;
    return anchor != 0 ? anchor : start > 0 ? start : end;
}

// A measured angle that one term takes adds to that term's weight; one that several terms take
// becomes an unknown of its own, so that the terms sharing it are correlated.
AngleSharing ShareMeasuredAngles(const GroupWorkingSet& ws, const BranchModel& br, const std::vector<AngleUse>& uses,
                                 RigorousSolution& sol) {
    AngleSharing sharing;
    OneBased<int> sharedAngle;
    std::vector<TakenShare> terms;
    for (std::size_t from = 0; from < uses.size();) {
        std::size_t to = from;
        while (to < uses.size() && uses[to].Angle == uses[from].Angle) ++to;
        // The net sign of the angle in each term that takes it.
        terms.clear();
        for (std::size_t k = from; k < to; ++k) {
            if (!terms.empty() && terms.back().Term == uses[k].Term)
                terms.back().Sign += uses[k].Sign;
            else
                terms.push_back({uses[k].Term, 0, uses[k].Sign});
        }
        std::erase_if(terms, [](const TakenShare& t) { return t.Sign == 0; });
        if (terms.size() == 1) {
            sol.AngleTermQ[terms[0].Term] += static_cast<double>(terms[0].Sign * terms[0].Sign);
            sharing.Own.push_back({terms[0].Term, uses[from].Angle, terms[0].Sign});
        } else if (terms.size() > 1) {
            const int e = ++sol.SharedCount;
            sharedAngle.PushBack(uses[from].Angle);
            sharing.Anchors.push_back(AnchorOf(ws, br, uses[from]));
            for (TakenShare t : terms) sharing.Taken.push_back({t.Term, e, t.Sign});
        }
        from = to;
    }
    sol.SharedAngle = std::move(sharedAngle);
    return sharing;
}

// Where each term's items start in a list sorted by term: items of term i are at [starts[i],
// starts[i+1]).
template <class Item>
std::vector<int> StartsByTerm(int total, const std::vector<Item>& items) {
    std::vector<int> starts(static_cast<std::size_t>(total) + 2, 0);
    for (const Item& item : items) ++starts[static_cast<std::size_t>(item.Term) + 1];
    for (std::size_t i = 1; i < starts.size(); ++i) starts[i] += starts[i - 1];
    return starts;
}

// The measured angles of each term that takes them alone. A term that is one measured angle as it
// stands keeps no list: its correction is the angle's.
void ListOwnAngles(int total, AngleSharing& sharing, RigorousSolution& sol) {
    sol.TermOwnStart.clear();
    sol.TermOwn.clear();
    std::vector<OwnAngle>& own = sharing.Own;
    std::vector<int> ownCount(static_cast<std::size_t>(total) + 2, 0);
    for (const OwnAngle& o : own) ++ownCount[static_cast<std::size_t>(o.Term)];
    for (const TakenShare& t : sharing.Taken) ownCount[static_cast<std::size_t>(t.Term)] += 2;
    std::erase_if(own, [&](const OwnAngle& o) {
        return ownCount[static_cast<std::size_t>(o.Term)] == 1 && (o.Sign == 1 || o.Sign == -1);
    });
    if (own.empty()) return;
    std::sort(own.begin(), own.end(), [](const OwnAngle& a, const OwnAngle& b) { return a.Term < b.Term; });
    sol.TermOwnStart = StartsByTerm(total, own);
    for (const OwnAngle& o : own) sol.TermOwn.push_back({o.Angle, o.Sign});
}

// Columns: each node's orientation, X and Y, then the shared angles kept with it, so that they
// stay inside the node's band; the shared angles kept with no node last.
void NumberColumns(const GroupWorkingSet& ws, const std::vector<int>& anchors, RigorousSolution& sol) {
    const int m = ws.Nn;
    const int shared = sol.SharedCount;
    std::vector<std::vector<int>> keptWith(static_cast<std::size_t>(m) + 1);
    for (int e = 1; e <= shared; ++e)
        keptWith[static_cast<std::size_t>(anchors[static_cast<std::size_t>(e)])].push_back(e);
    sol.SharedColumn = OneBased<int>(shared);
    sol.NodeFirst = OneBased<int>(m);
    sol.NodeLast = OneBased<int>(m);
    std::vector<int> bySlot(static_cast<std::size_t>(m) + 1, 0);
    for (int j = 1; j <= m; ++j) bySlot[static_cast<std::size_t>(sol.NodeSlot[j])] = j;
    int column = 3 * ws.Nb;
    for (int slot = 1; slot <= m; ++slot) {
        const int j = bySlot[static_cast<std::size_t>(slot)];
        sol.NodeFirst[j] = column + 1;
        column += 3;
        for (const int e : keptWith[static_cast<std::size_t>(j)]) sol.SharedColumn[e] = ++column;
        sol.NodeLast[j] = column;
    }
    for (const int e : keptWith[0]) sol.SharedColumn[e] = ++column;
    sol.Unknowns = column;
}

// The shared angles of each term, and the columns of shared angles each branch touches.
void ListShares(int total, std::vector<TakenShare>& taken, RigorousSolution& sol) {
    std::sort(taken.begin(), taken.end(), [](const TakenShare& a, const TakenShare& b) { return a.Term < b.Term; });
    sol.TermShareStart = StartsByTerm(total, taken);
    for (const TakenShare& t : taken) sol.TermShares.push_back({t.Shared, static_cast<double>(t.Sign)});
    const int nb = sol.B;
    sol.BranchColumnStart.assign(static_cast<std::size_t>(nb) + 2, 0);
    std::vector<int>& columns = sol.BranchColumns;
    for (int b = 1; b <= nb; ++b) {
        sol.BranchColumnStart[static_cast<std::size_t>(b)] = static_cast<int>(columns.size());
        const auto first = static_cast<std::ptrdiff_t>(columns.size());
        for (int i = sol.TermStart[b] + 1; i <= sol.TermStart[b + 1]; ++i)
            for (const RigorousSolution::Share& share : sol.SharesOf(i))
                columns.push_back(sol.SharedColumn[share.Shared]);
        std::sort(columns.begin() + first, columns.end());
        columns.erase(std::unique(columns.begin() + first, columns.end()), columns.end());
    }
    sol.BranchColumnStart[static_cast<std::size_t>(nb) + 1] = static_cast<int>(columns.size());
}

}  // namespace

int KindAngleCount(BranchKind kind, int n) {
    int count = n - 2;
    if (kind == BranchKind::BothEnds) count = n;
    if (kind == BranchKind::StartOnly || kind == BranchKind::EndOnly) count = n - 1;
    return count > 0 ? count : 0;
}

void ComputeApproximateValues(GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol) {
    const BranchModel& br = model.Branches;
    const int nb = ws.Nb;
    // After a pass the observations carry that pass's corrections: the conditions are linearised
    // again where the last solution put the points.
    const bool corrected = !sol.AngleCorrections.Empty();
    const Carry carry = corrected ? Carry::WithCorrections : Carry::AsMeasured;
    const OneBased<double> none;
    const OneBased<double>& angleCorrections = corrected ? sol.AngleCorrections : none;
    const OneBased<double>& sideCorrections = corrected ? sol.SideCorrections : none;
    PropagateAllAzimuths(ws, br, carry, angleCorrections);
    sol.Fb = Zeros(nb);
    sol.Fx = Zeros(nb);
    sol.Fy = Zeros(nb);
    CheckAngularMisclosure(ws, br, sol.Fb);
    // Unrounded: a closure cut to millimetres would leave the adjusted branch open by as much.
    for (int b = 1; b <= nb; ++b) {
        const int last = br.Last(b);
        if (corrected) {
            sol.Fx[b] = BranchEndX(ws, br, b, sideCorrections) - ws.PositionX[last];
            sol.Fy[b] = BranchEndY(ws, br, b, sideCorrections) - ws.PositionY[last];
        } else {
            sol.Fx[b] = BranchEndX(ws, br, b) - ws.PositionX[last];
            sol.Fy[b] = BranchEndY(ws, br, b) - ws.PositionY[last];
        }
    }
    DistributeClosure(ws, br, carry, sol.Fx, sol.Fy, sideCorrections);
}

void ChooseAprioriErrors(const GroupWorkingSet& ws, const ComputationSettings& settings, RigorousSolution& sol) {
    double mb = settings.WeightMode == WeightMode::Entered ? settings.MbEnteredSeconds : DegreesToSeconds(ws.MbDegrees);
    if (!(mb > 0.0)) mb = 5.0;
    double ms = ws.Ms;
    if (!(ms > 0.0)) ms = 0.005;
    sol.MbInUseSeconds = mb;
    sol.MsInUse = ms;
}

void LayOutUnknowns(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol) {
    const int total = LayOutTerms(ws, model.Branches, sol);
    AngleSharing sharing = ShareMeasuredAngles(ws, model.Branches, CollectAngleUses(ws, model.Branches, sol), sol);
    ListOwnAngles(total, sharing, sol);
    NumberColumns(ws, sharing.Anchors, sol);
    if (!sharing.Taken.empty()) ListShares(total, sharing.Taken, sol);
}

void BuildConditionBlock(const GroupWorkingSet& ws, const NetworkModel& model, const ComputationSettings& settings,
                         RigorousSolution& sol) {
    const BranchModel& br = model.Branches;
    const int nb = ws.Nb;
    if (sol.TermStart.Empty()) LayOutUnknowns(ws, model, sol);
    const int total = sol.TermStart[nb + 1];
    for (auto* a : {&sol.A1, &sol.A2, &sol.A3, &sol.Q}) a->Assign(total + 1);

    const double mb = sol.MbInUseSeconds;
    for (int b = 1; b <= nb; ++b) {
        const int bi = b;
        const BranchKind kind = ws.BranchTypes[bi];
        const int n = br.BranchPointCounts[bi];
        const int first = br.First(b);
        // The end as carried from the observations: the derivatives at the approximate values.
        const double xn = ws.PositionX[br.Last(b)] + sol.Fx[bi];
        const double yn = ws.PositionY[br.Last(b)] + sol.Fy[bi];
        const int angles = KindAngleCount(kind, n);
        const bool angleCondition = ws.NoAngleClosure[bi] == 0;
        int term = sol.TermStart[bi];
        for (int t = 1; t <= angles; ++t) {
            const int p = (first + AnglePoint(kind, t) - 1);
            const int i = ++term;
            sol.A1[i] = angleCondition ? 1.0 : 0.0;
            sol.A2[i] = -(yn - ws.PositionY[p]) / kRho;
            sol.A3[i] = (xn - ws.PositionX[p]) / kRho;
            sol.Q[i] = sol.AngleTermQ[i];
        }
        for (int j = 1; j <= n - 1; ++j) {
            const int p = (first + j - 1);
            const int i = ++term;
            const double a = DegToRad(ws.PositionAzimuths[p]);
            sol.A2[i] = std::cos(a);
            sol.A3[i] = std::sin(a);
            double ms = sol.MsInUse;
            if (settings.WeightMode == WeightMode::Entered) {
                ms = (settings.MsConstant + settings.MsPpm * ws.PositionSides[p] / 1000.0) / 1000.0;
                if (!(ms > 0.0)) ms = 0.005;
            }
            sol.Q[i] = (ms / mb) * (ms / mb);
        }
    }
}

namespace {

// Pages of a store touched by ranges of places given in ascending order.
class PageCount {
public:
    explicit PageCount(std::size_t pageBytes) : pageBytes_(pageBytes) {}
    void Add(std::size_t from, std::size_t to) {
        const std::size_t first = from * sizeof(double) / pageBytes_;
        const std::size_t last = to * sizeof(double) / pageBytes_;
        if (counted_ && last <= last_) return;
        count_ += last - (counted_ && first <= last_ ? last_ + 1 : first) + 1;
        last_ = last;
        counted_ = true;
    }
    std::size_t Bytes() const { return count_ * pageBytes_; }

private:
    std::size_t pageBytes_;
    std::size_t count_ = 0;
    std::size_t last_ = 0;
    bool counted_ = false;
};

std::size_t PageBytes() {
    const long page = ::sysconf(_SC_PAGESIZE);
    return page > 0 ? static_cast<std::size_t>(page) : 4096;
}

}  // namespace

namespace {

// NormalsMemoryEstimate on the layout of the unknowns.
std::size_t LayoutMemoryEstimate(const GroupWorkingSet& ws, const RigorousSolution& layout) {
    const int nb = ws.Nb;
    const int n = layout.Unknowns;
    const int border = n - 3 * nb;
    // Place of element (row, column), column >= row, in the packed store.
    auto at = [&](int row, int column) {
        return PackedNormalMatrix::RowStart(n, row) + static_cast<std::size_t>(column - row);
    };
    // The last column each node row reaches, after the fill of the elimination.
    std::vector<int> reach(static_cast<std::size_t>(border), 0);
    for (int i = 0; i < border; ++i) reach[static_cast<std::size_t>(i)] = 3 * nb + 1 + i;
    PageCount pages(PageBytes());
    std::vector<int> columns;
    for (int b = 1; b <= nb; ++b) {
        columns.clear();
        layout.ForEachCoupledColumn(b, [&](int c) { columns.push_back(c); });
        int lo = 0;
        int hi = 0;
        if (!columns.empty()) {
            lo = *std::min_element(columns.begin(), columns.end());
            hi = *std::max_element(columns.begin(), columns.end());
        }
        for (int r = 3 * b - 2; r <= 3 * b; ++r) {
            pages.Add(at(r, r), at(r, 3 * b));
            if (hi > 0) pages.Add(at(r, lo), at(r, hi));
            pages.Add(at(r, n + 1), at(r, n + 1));
        }
        // Eliminating the branch couples every unknown its rows hold.
        for (const int c : columns) {
            int& r = reach[static_cast<std::size_t>(c - 3 * nb - 1)];
            r = std::max(r, hi);
        }
    }
    // A row reaches at least as far as any row above it that reaches it.
    int running = 0;
    for (int i = 0; i < border; ++i) {
        const int row = 3 * nb + 1 + i;
        int& r = reach[static_cast<std::size_t>(i)];
        if (running >= row) r = std::max(r, running);
        running = std::max(running, r);
        pages.Add(at(row, row), at(row, r));
        pages.Add(at(row, n + 1), at(row, n + 1));
    }
    // The condition block, the corrections and the accuracy arrays beside the normals, with room
    // for the heap's own keeping when a second pass makes them again.
    const std::size_t perPoint = 32 * sizeof(double);
    return pages.Bytes() + static_cast<std::size_t>(std::max(ws.TotalPoints, 0)) * perPoint;
}

}  // namespace

std::size_t NormalsMemoryEstimate(const GroupWorkingSet& ws, const NetworkModel& model) {
    RigorousSolution layout;
    LayOutUnknowns(ws, model, layout);
    return LayoutMemoryEstimate(ws, layout);
}

std::size_t RigorousMemoryLimit() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const std::size_t physical =
        pages > 0 ? static_cast<std::size_t>(pages) * PageBytes() : std::size_t{1} << 31;
    return physical / 2;
}

namespace {

// Adds to the normals outside a branch's own block, widening the row's profile to hold it.
void AddCoupling(RigorousSolution& sol, int row, int column, double value) {
    sol.Normals(row, column) += value;
    int& from = sol.Profile.From[static_cast<std::size_t>(row)];
    int& to = sol.Profile.To[static_cast<std::size_t>(row)];
    from = std::min(from, column);
    to = std::max(to, column);
}

// The branch's three condition rows against themselves, through the weights of its terms.
void AddBranchBlock(RigorousSolution& sol, int b) {
    PackedNormalMatrix& normals = sol.Normals;
    const int r1 = 3 * b - 2;
    const OneBased<double>* rows[3] = {&sol.A1, &sol.A2, &sol.A3};
    for (int i = sol.TermStart[b] + 1; i <= sol.TermStart[b + 1]; ++i)
        for (int u = 0; u < 3; ++u)
            for (int v = u; v < 3; ++v) normals(r1 + u, r1 + v) += (*rows[u])[i] * (*rows[v])[i] * sol.Q[i];
}

// A shared measured angle enters the rows through every term that takes it.
void AddSharedAngleCouplings(RigorousSolution& sol, int b) {
    const int r1 = 3 * b - 2;
    for (int t = sol.TermStart[b] + 1; t <= sol.TermStart[b + 1]; ++t)
        for (const RigorousSolution::Share& share : sol.SharesOf(t)) {
            const int column = sol.SharedColumn[share.Shared];
            AddCoupling(sol, r1, column, sol.A1[t] * share.Sign);
            AddCoupling(sol, r1 + 1, column, sol.A2[t] * share.Sign);
            AddCoupling(sol, r1 + 2, column, sol.A3[t] * share.Sign);
        }
}

// The orientation and coordinates of the nodes at the branch's ends. Accumulated: a branch from a
// node back to it gets both ends' terms.
void AddNodeCouplings(const GroupWorkingSet& ws, const BranchModel& br, RigorousSolution& sol, int b) {
    const int r1 = 3 * b - 2;
    const int r2 = r1 + 1;
    const int r3 = r1 + 2;
    const bool angleCondition = ws.NoAngleClosure[b] == 0;
    const int first = br.First(b);
    const int last = br.Last(b);
    if (const int s = ws.StartNodeOf[b]; s > 0) {
        if (angleCondition) AddCoupling(sol, r1, sol.NodeColumn(s, 1), 1.0);
        if (NodeCoordinatesUnknown(ws, s)) {
            AddCoupling(sol, r2, sol.NodeColumn(s, 2), 1.0);
            AddCoupling(sol, r3, sol.NodeColumn(s, 3), 1.0);
        }
        AddCoupling(sol, r2, sol.NodeColumn(s, 1), -(ws.PositionY[last] + sol.Fy[b] - ws.PositionY[first]) / kRho);
        AddCoupling(sol, r3, sol.NodeColumn(s, 1), (ws.PositionX[last] + sol.Fx[b] - ws.PositionX[first]) / kRho);
    }
    if (const int e = ws.EndNodeOf[b]; e > 0) {
        if (angleCondition) AddCoupling(sol, r1, sol.NodeColumn(e, 1), -1.0);
        if (NodeCoordinatesUnknown(ws, e)) {
            AddCoupling(sol, r2, sol.NodeColumn(e, 2), -1.0);
            AddCoupling(sol, r3, sol.NodeColumn(e, 3), -1.0);
        }
    }
}

// Fb is of the measured angles, in which the angle condition is linear. The coordinate closures
// are of the corrected observations: less what the corrections already put in them, the solution
// is again the whole correction of each observation.
void SetBranchConstants(const GroupWorkingSet& ws, const BranchModel& br, RigorousSolution& sol, int b) {
    double wx = sol.Fx[b];
    double wy = sol.Fy[b];
    if (!sol.AngleCorrections.Empty()) {
        const BranchKind kind = ws.BranchTypes[b];
        const int first = br.First(b);
        const int angles = KindAngleCount(kind, br.BranchPointCounts[b]);
        for (int t = 1; t <= sol.TermStart[b + 1] - sol.TermStart[b]; ++t) {
            const int i = sol.TermStart[b] + t;
            const double v = t <= angles ? sol.AngleCorrections[first + AnglePoint(kind, t) - 1]
                                         : sol.SideCorrections[first + t - angles - 1];
            wx -= sol.A2[i] * v;
            wy -= sol.A3[i] * v;
        }
    }
    const int r1 = 3 * b - 2;
    sol.Normals.Constant(r1) = DegreesToSeconds(sol.Fb[b]);
    sol.Normals.Constant(r1 + 1) = wx;
    sol.Normals.Constant(r1 + 2) = wy;
}

}  // namespace

void BuildCorrelateNormals(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol) {
    const BranchModel& br = model.Branches;
    const int n = sol.Unknowns;
    // The store of the last pass is cleared where it was written, not made anew.
    sol.Normals.Reset(n);
    // Each branch row couples with the unknowns of its end nodes only; the node rows start empty.
    sol.Profile.From.assign(static_cast<std::size_t>(n) + 1, n + 1);
    sol.Profile.To.assign(static_cast<std::size_t>(n) + 1, 0);
    for (int b = 1; b <= sol.B; ++b) {
        AddBranchBlock(sol, b);
        if (!sol.TermShares.empty()) AddSharedAngleCouplings(sol, b);
        AddNodeCouplings(ws, br, sol, b);
        SetBranchConstants(ws, br, sol, b);
    }
    // A shared angle weighs as one measured angle: its correction u enters [pvv] as u^2, which
    // borders the normals with -1 on its diagonal.
    for (int e = 1; e <= sol.SharedCount; ++e) AddCoupling(sol, sol.SharedColumn[e], sol.SharedColumn[e], -1.0);
}

void SolveRigorous(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol) {
    const BranchModel& br = model.Branches;
    SolveCorrelateNormals(sol.Solution, sol.Normals, false, sol.B, &sol.Profile);
    sol.AngleCorrections = Zeros(ws.TotalPoints);
    sol.SideCorrections = Zeros(ws.TotalPoints);
    sol.MeasuredCorrections.clear();
    double pvv = 0.0;
    for (int b = 1; b <= sol.B; ++b) {
        const int bi = b;
        const double k1 = sol.Solution[(3 * b - 2)];
        const double k2 = sol.Solution[(3 * b - 1)];
        const double k3 = sol.Solution[(3 * b)];
        const BranchKind kind = ws.BranchTypes[bi];
        const int first = br.First(b);
        const int angles = KindAngleCount(kind, br.BranchPointCounts[bi]);
        for (int t = 1; t <= sol.TermStart[bi + 1] - sol.TermStart[bi]; ++t) {
            const int i = (sol.TermStart[bi] + t);
            // The term's own measured angles; a term made of shared angles only has none.
            const double lambda = sol.A1[i] * k1 + sol.A2[i] * k2 + sol.A3[i] * k3;
            const double own = sol.Q[i] * lambda;
            if (sol.Q[i] > 0.0) pvv += own * lambda;
            // Each own measured angle of a derived term takes its share, by its sign.
            if (!sol.TermOwnStart.empty())
                for (int k = sol.TermOwnStart[static_cast<std::size_t>(i)];
                     k < sol.TermOwnStart[static_cast<std::size_t>(i) + 1]; ++k) {
                    const AngleSource& source = sol.TermOwn[static_cast<std::size_t>(k)];
                    sol.MeasuredCorrections.emplace_back(source.Angle, source.Sign * lambda);
                }
            double v = own;
            for (const RigorousSolution::Share& share : sol.SharesOf(i))
                v += share.Sign * sol.Solution[sol.SharedColumn[share.Shared]];
            if (t <= angles)
                sol.AngleCorrections[(first + AnglePoint(kind, t) - 1)] = v;
            else
                sol.SideCorrections[(first + t - angles - 1)] = v;
        }
    }
    const int n = sol.Normals.N();
    std::vector<char> sharedColumn(static_cast<std::size_t>(n) + 1, 0);
    for (int e = 1; e <= sol.SharedCount; ++e) {
        const double u = sol.SharedCorrection(e);
        sol.MeasuredCorrections.emplace_back(sol.SharedAngle[e], u);
        pvv += u * u;
        sharedColumn[static_cast<std::size_t>(sol.SharedColumn[e])] = 1;
    }
    sol.Pvv = pvv;
    // Conditions that exist less node unknowns that they determine: the pivots that stayed. A
    // shared angle is a measurement, no unknown of the network.
    int conditions = 0;
    int unknowns = 0;
    for (int i = 1; i <= n; ++i) {
        if (sol.Normals(i, i) == 0.0 || sharedColumn[static_cast<std::size_t>(i)] != 0) continue;
        if (i <= 3 * sol.B)
            ++conditions;
        else
            ++unknowns;
    }
    sol.Redundancy = conditions - unknowns;
    sol.Mu = sol.Redundancy > 0 ? std::sqrt(pvv / sol.Redundancy) : 0.0;
}

namespace {

// The node part of the solution added to the node values and spread to the branch ends.
void CorrectNodes(GroupWorkingSet& ws, const NetworkModel& model, const RigorousSolution& sol) {
    for (int j = 1; j <= sol.M; ++j) {
        const int ji = j;
        const double turnSeconds = sol.Solution[sol.NodeColumn(j, 1)];
        ws.NodeAzimuths[ji] = NormalizeAzimuth(ws.NodeAzimuths[ji] + SecondsToDegrees(turnSeconds));
        SpreadNodeAzimuth(ws, model, j);
        if (!NodeCoordinatesUnknown(ws, j)) continue;
        ws.NodeX[ji] += sol.Solution[(sol.NodeColumn(j, 2))];
        ws.NodeY[ji] += sol.Solution[(sol.NodeColumn(j, 3))];
        SpreadNodeX(ws, model, j);
        SpreadNodeY(ws, model, j);
    }
}

// A pass that moves no point by more than this leaves the least squares solution standing.
constexpr double kSettledMetres = 0.000001;

// The largest distance in X or Y between the points of the group and `x`, `y`.
double LargestShift(const GroupWorkingSet& ws, const OneBased<double>& x, const OneBased<double>& y) {
    double largest = 0.0;
    for (int p = 1; p <= ws.TotalPoints; ++p)
        largest = std::max({largest, std::fabs(ws.PositionX[p] - x[p]), std::fabs(ws.PositionY[p] - y[p])});
    return largest;
}

}  // namespace

void ApplyRigorousCorrections(GroupWorkingSet& ws, const NetworkModel& model, const RigorousSolution& sol) {
    const BranchModel& br = model.Branches;
    CorrectNodes(ws, model, sol);
    PropagateAllAzimuths(ws, br, Carry::WithCorrections, sol.AngleCorrections);
    DistributeClosure(ws, br, Carry::WithCorrections, sol.Fx, sol.Fy, sol.SideCorrections);
}

RigorousGroupResult RigorousAdjustGroup(GroupWorkingSet& ws, const NetworkModel& model,
                                        const RigorousContext& context) {
    const ComputationSettings& settings = context.Settings;
    Progress& monitor = context.Monitor;
    RigorousGroupResult result;

    monitor.SetText(MonitorLabel::Stage, Vn("Đang bình sai chặt chẽ"));
    RigorousSolution& sol = result.Solution;
    LayOutUnknowns(ws, model, sol);
    // Checked before anything is recomputed, so that the group keeps its simple adjustment.
    const std::size_t limit =
        context.State.MemoryLimitBytes > 0 ? context.State.MemoryLimitBytes : RigorousMemoryLimit();
    if (LayoutMemoryEstimate(ws, sol) > limit) {
        context.Ui.Message("Thieu bo nho");
        context.Run.ProgressLog.Add(StripAccents(
            Vn("     Thiếu bộ nhớ cho bình sai chặt chẽ: nhóm giữ tọa độ bình sai đơn giản"), settings.KeepAccents));
        result.Status = RigorousStatus::TooLarge;
        result.Solution = RigorousSolution();
        return result;
    }
    // The conditions are linear near the solution only: each pass linearises them again where the
    // last one put the points, until a pass moves no point by more than a micrometre. Every pass
    // solves for the whole corrections of the observations, so mu, [pvv] and the accuracy are
    // those of the last pass.
    OneBased<double> linearisedX;
    OneBased<double> linearisedY;
    for (int pass = 1;; ++pass) {
        ComputeApproximateValues(ws, model, sol);
        monitor.SetText(MonitorLabel::End, Vn("đến ") + TimeOfDay());
        monitor.SetText(MonitorLabel::Stage, Vn("Đang giải HPT số liên hệ"));
        ChooseAprioriErrors(ws, settings, sol);
        BuildConditionBlock(ws, model, settings, sol);
        BuildCorrelateNormals(ws, model, sol);
        SolveRigorous(ws, model, sol);
        linearisedX = ws.PositionX;
        linearisedY = ws.PositionY;
        ApplyRigorousCorrections(ws, model, sol);
        sol.Passes = pass;
        if (LargestShift(ws, linearisedX, linearisedY) < kSettledMetres) break;
        if (pass >= context.State.PassLimit) {
            sol.Settled = false;
            break;
        }
    }
    if (!sol.Settled) {
        // The group keeps the last pass; the user must know that it is not the least squares yet.
        const std::string text = Vn("Bình sai chặt chẽ chưa ổn định sau " + std::to_string(sol.Passes) +
                                    " lần lặp: các bảng ghi lần lặp cuối");
        context.Run.ProgressLog.Add(StripAccents("     " + text, settings.KeepAccents));
        context.Ui.Message(text);
        sol.TableNote = StripAccents(Vn("(Chưa ổn định sau " + std::to_string(sol.Passes) +
                                        " lần lặp: bảng ghi lần lặp cuối)"),
                                     settings.KeepAccents);
    }
    context.State.MbInUseSeconds = sol.MbInUseSeconds;
    context.State.PvvTotal = sol.Pvv;

    EstimateSideAccuracy(ws, model, sol, context);

    monitor.SetText(MonitorLabel::Accuracy, Vn("Đánh giá đcx điểm : "));
    monitor.SetRange(0, ws.Nb + 1);
    EstimatePointErrors(ws, model, sol, &monitor);
    UpdateRunExtremes(ws, model, sol, context.State.Extremes);
    result.Status = RigorousStatus::Adjusted;
    return result;
}

}  // namespace qef
