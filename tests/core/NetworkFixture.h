#pragma once
// A network built from point names: observations from a short script or branches written by
// hand, and the text forms the tests compare.
#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "core/analysis/AnalysisInvariants.h"
#include "core/analysis/BranchBuilding.h"
#include "core/analysis/BranchLevels.h"
#include "core/io/Readers.h"
#include "support/Fakes.h"
#include "support/Lists.h"

namespace qef::test {

struct NetFixture : ::testing::Test {
    NetworkModel model;
    PointList known;
    TraverseAnalysis an;
    StartAzimuthAnswers answers;
    ComputationSettings settings;
    test::ScriptedInteraction ui;
    test::RecordingProgress progress;
    bool errorFlag = false;

    int Id(const std::string& name) { return model.PointNames.Register(name); }
    // "S E": the ids of the names, in order.
    OneBased<int> Ids(const std::string& names) {
        OneBased<int> ids;
        std::istringstream words(names);
        for (std::string name; words >> name;) ids.PushBack(Id(name));
        return ids;
    }
    std::string Name(int id) const { return id ? model.PointNames.Name(id) : "0"; }
    // A traverse point after point: angles at all but the first and last point (only sighted),
    // sides between the points in between.
    void Traverse(const std::vector<std::string>& p) {
        for (std::size_t i = 1; i + 1 < p.size(); ++i) an.Angles.Add(Id(p[i - 1]), Id(p[i]), Id(p[i + 1]));
        for (std::size_t i = 1; i + 2 < p.size(); ++i) an.Sides.Add(Id(p[i]), Id(p[i + 1]));
    }

    // "known A B; trav A B 1 C D; side N 3; angle 1 N 3": a fresh network, known points at (0, 0).
    void Load(const std::string& script) {
        model = NetworkModel{};
        known.Clear();
        an = TraverseAnalysis{};
        std::istringstream commands(script);
        for (std::string command; std::getline(commands, command, ';');) {
            std::istringstream words(command);
            std::string verb, w;
            std::vector<std::string> p;
            for (words >> verb; words >> w;) p.push_back(w);
            if (verb == "known")
                for (const auto& n : p) known.Add(Id(n), 0, 0);
            if (verb == "side") an.Sides.Add(Id(p[0]), Id(p[1]));
            if (verb == "angle") an.Angles.Add(Id(p[0]), Id(p[1]), Id(p[2]));
            if (verb == "trav") Traverse(p);
        }
    }
    template <typename List>
    std::string Names(const List& ids) const {
        std::string out;
        for (int id : ids) out += (out.empty() ? "" : " ") + Name(id);
        return out;
    }
    std::string Pairs(const SidePairs& s) const {
        std::string out;
        for (int i = 1; i <= s.Count(); ++i)
            out += (out.empty() ? "" : ", ") + Name(s.EndsA[i]) + "-" + Name(s.EndsB[i]);
        return out;
    }
    // A branch written by hand.
    void Branch(std::initializer_list<const char*> points, bool deadEnd = false) {
        BranchModel& br = model.Branches;
        br.BranchPointCounts.PushBack(static_cast<int>(points.size()));
        br.BranchDeadEnd.PushBack(deadEnd ? 1 : 0);
        for (const char* p : points) br.BranchPoints.PushBack(Id(p));
        br.BuildBranchOffsets(br.BranchCount());
    }
    // "B 1 N" per branch, "*" after a dead end.
    std::vector<std::string> Branches() const {
        std::vector<std::string> out;
        const BranchModel& br = model.Branches;
        for (int b = 1; b <= br.BranchCount(); ++b) {
            std::string s;
            for (int p = br.First(b); p <= br.Last(b); ++p) s += (s.empty() ? "" : " ") + Name(br.PointAt(p));
            out.push_back(s + (br.BranchDeadEnd[b] ? " *" : ""));
        }
        return out;
    }
    AnalysisStatus Analyse() {
        return AnalyseTraverseNetwork(model, an, known, known.Count(), settings, answers, errorFlag, ui, progress);
    }
    std::string BranchText(int b) const { return Branches()[b - 1]; }
    int NodeCount() const { return model.NetworkNodes.Size(); }
    // Levels on the branches, the known points as the known list; by default every start station
    // counts.
    BranchSets sets;
    int pass = 0;
    OneBased<int> knownList, newStarts;
    int knownCount = 0, newStartCount = 0;
    void Levels(int startCount = -1) {
        knownList = known.Ids;
        knownCount = known.Count();
        BuildBranchAdjacency(model, NodeCount(), sets);
        AssignBranchLevels(model, pass, NodeCount(), {knownList, knownCount, newStarts, newStartCount}, sets,
                           startCount < 0 ? model.StartStations.Size() : startCount, settings);
    }
    // Branch invariants against the given sides; stop points: start directions and unresolved nodes.
    std::vector<std::string> Findings(const SidePairs& sides) const {
        OneBased<int> stops;
        for (const OneBased<int>* list : {&model.StartStations, &model.StartTargets, &model.NetworkNodes})
            for (int id : *list)
                if (id != 0) stops.PushBack(id);
        return CheckBranchInvariants(model.Branches, sides.EndsA, sides.EndsB, sides.Count(), stops,
                                     stops.Size());
    }
};

// Observations with their values: "T S P 30; S P 10" gives an angle and a side.
struct ObservedFixture : NetFixture {
    Observations obs;
    LogBuffer log;

    void Observe(const std::string& list) {
        std::istringstream items(list);
        for (std::string item; std::getline(items, item, ';');) {
            std::istringstream words(item);
            std::vector<std::string> w;
            for (std::string word; words >> word;) w.push_back(word);
            const double value = std::stod(w.back());
            if (w.size() == 4) {
                obs.Angles.BackIds.PushBack(Id(w[0]));
                obs.Angles.StationIds.PushBack(Id(w[1]));
                obs.Angles.ForeIds.PushBack(Id(w[2]));
                obs.Angles.Values.PushBack(value);
            } else {
                obs.Sides.FromIds.PushBack(Id(w[0]));
                obs.Sides.ToIds.PushBack(Id(w[1]));
                obs.Sides.Lengths.PushBack(value);
            }
        }
    }
};

}  // namespace qef::test
