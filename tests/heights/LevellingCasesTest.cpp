#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <fstream>
#include <map>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "core/text/VnCodec.h"
#include "heights/LevellingAdjustment.h"
#include "support/Fakes.h"
#include "support/WholeRunCase.h"

namespace qef {
namespace {

// Weighted least squares over every point of the files (weight 1 / length), known heights fixed,
// solved with Eigen: the heights of the points whose lines join a known height. A line without a
// length is left out. Read with a plain whitespace split, apart from the program's readers.
std::map<std::string, double> IndependentHeights(const std::string& knownFile, const std::string& linesFile,
                                                 double unit) {
    std::map<std::string, double> known;
    std::ifstream k(knownFile);
    for (std::string line; std::getline(k, line);) {
        std::istringstream in(line);
        std::string name, value;
        if (in >> name >> value && name.rfind("//", 0) != 0) known.emplace(name, std::stod(value) * unit);
    }
    struct Obs { std::string from, to; double length, dh; };
    std::vector<Obs> obs;
    std::ifstream l(linesFile);
    for (std::string line; std::getline(l, line);) {
        std::istringstream in(line);
        Obs o;
        if (in >> o.from >> o.to >> o.length >> o.dh && o.length > 0)
            obs.push_back({o.from, o.to, o.length * unit, o.dh * unit});
    }

    std::map<std::string, int> id;
    for (const Obs& o : obs)
        for (const std::string* p : {&o.from, &o.to}) id.emplace(*p, static_cast<int>(id.size()));
    for (const auto& [name, h] : known) id.emplace(name, static_cast<int>(id.size()));
    std::vector<int> root(id.size());
    std::iota(root.begin(), root.end(), 0);
    auto find = [&](int a) { while (root[a] != a) a = root[a] = root[root[a]]; return a; };
    for (const Obs& o : obs) root[find(id[o.from])] = find(id[o.to]);
    std::map<int, bool> usable;  // component -> joins a known height
    for (const auto& [name, h] : known) usable[find(id[name])] = true;

    std::map<std::string, int> unknown;
    for (const auto& [name, i] : id)
        if (!known.contains(name) && usable[find(i)]) unknown.emplace(name, static_cast<int>(unknown.size()));
    const int n = static_cast<int>(unknown.size());
    Eigen::MatrixXd a = Eigen::MatrixXd::Zero(n, n);
    Eigen::VectorXd b = Eigen::VectorXd::Zero(n);
    for (const Obs& o : obs) {
        if (!usable[find(id[o.from])]) continue;
        // H(to) - H(from) = dh
        double rhs = o.dh;
        std::vector<std::pair<int, double>> row;
        if (unknown.contains(o.to)) row.emplace_back(unknown[o.to], 1.0); else rhs -= known[o.to];
        if (unknown.contains(o.from)) row.emplace_back(unknown[o.from], -1.0); else rhs += known[o.from];
        for (auto [i, ci] : row) {
            for (auto [j, cj] : row) a(i, j) += ci * cj / o.length;
            b(i) += ci * rhs / o.length;
        }
    }
    const Eigen::VectorXd x = a.ldlt().solve(b);
    std::map<std::string, double> heights = known;
    for (const auto& [name, i] : unknown) heights[name] = x(i);
    return heights;
}

class LevellingCases : public testing::TestWithParam<std::string> {};

TEST_P(LevellingCases, WriteTheExpectedFilesAndMatchLeastSquares) {
    const test::WholeRunCase runCase = test::ReadWholeRunCase("heights", GetParam());
    for (const std::string& problem : runCase.Problems) ADD_FAILURE() << "case.txt: " << problem;
    ASSERT_TRUE(runCase.Problems.empty());
    ASSERT_EQ(runCase.Command, "F6");

    // One record for both runs: the second must start afresh.
    RunRecord record;
    test::RunTwiceAndCompare(runCase, [&](const std::string& dir, test::ScriptedInteraction& ui) {
        const LevellingInput files{runCase.File("known", dir), runCase.File("observations", dir),
                                   runCase.File("result", dir)};
        test::RecordingProgress progress;
        const LevellingStatus status = AdjustLevellingNetwork(files, runCase.Settings, ui, progress, record);
        EXPECT_EQ(status.Outcome, runCase.Outcome);
        EXPECT_EQ(progress.LastText(MonitorLabel::Stage), Vn("Kết thúc"));
        if (status.Outcome != RunOutcome::Completed) return;

        const auto expected = IndependentHeights(files.KnownHeightsFile, files.LevellingFile,
                                                 runCase.Settings.MetresFlag ? 1.0 : 0.001);
        for (const auto& [name, height] : status.Heights) {
            const auto it = expected.find(name);
            ASSERT_NE(it, expected.end()) << name << " has a height but joins no known height";
            EXPECT_NEAR(height, it->second, 1e-4) << name;
        }
    });
}

std::string CaseName(const testing::TestParamInfo<std::string>& param) { return test::WholeRunTestName(param.param); }

INSTANTIATE_TEST_SUITE_P(Levelling, LevellingCases, testing::ValuesIn(test::WholeRunCaseNames("heights", {"F6"})),
                         CaseName);

}  // namespace
}  // namespace qef
