#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "adjustment/AdjustByOrder.h"
#include "adjustment/SyntheticTraverse.h"
#include "core/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::ReadFileBytes;
using test::SyntheticTraverse;
using test::WriteFileBytes;

// name -> (X, Y) of a result file; `repeats` counts names listed more than once.
std::map<std::string, std::pair<double, double>> ReadResult(const std::string& path, int& repeats) {
    std::map<std::string, std::pair<double, double>> points;
    std::istringstream in(ReadFileBytes(path));
    std::string line;
    repeats = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const auto t1 = line.find('\t');
        const auto t2 = line.find('\t', t1 + 1);
        const std::string name = line.substr(0, t1);
        if (points.count(name)) ++repeats;
        points[name] = {std::strtod(line.c_str() + t1 + 1, nullptr), std::strtod(line.c_str() + t2 + 1, nullptr)};
    }
    return points;
}

struct ByOrderCase {
    test::TempDir dir;
    AdjustmentInput files;
    test::ScriptedInteraction ui;
    test::RecordingProgress progress;
    RunRecord record;
    RunStatus status;

    explicit ByOrderCase(const SyntheticTraverse& net) {
        files.KnownPointsFile = dir.File("known.txt");
        files.ObservationFile = dir.File("obs.txt");
        files.ResultFile = dir.File("kq.dta");
        WriteFileBytes(files.KnownPointsFile, net.KnownText());
        WriteFileBytes(files.ObservationFile, net.ObservationText());
    }
    RunStatus Go(const ComputationSettings& settings) {
        status = AdjustNetworkByOrder(files, settings, ui, progress, record);
        return status;
    }
    std::string Report(const std::string& ext) const { return ReadFileBytes(dir.File("kq." + ext)); }
};

// Every point of the network has its true coordinates to 1 mm, once.
void ExpectTrueCoordinates(const SyntheticTraverse& net, const ByOrderCase& run) {
    int repeats = 0;
    const auto result = ReadResult(run.files.ResultFile, repeats);
    EXPECT_EQ(repeats, 0);
    EXPECT_EQ(result.size(), net.Truth.size());
    for (const auto& [name, xy] : net.Truth) {
        auto it = result.find(name);
        ASSERT_NE(it, result.end()) << name;
        EXPECT_NEAR(it->second.first, xy.first, 0.001) << name;
        EXPECT_NEAR(it->second.second, xy.second, 0.001) << name;
    }
}

// A connecting traverse A..B between two known directions.
SyntheticTraverse ConnectingTraverse() {
    SyntheticTraverse net;
    net.AddKnown("TA", 5300.0, 4800.0);
    net.AddKnown("A", 5000.0, 5000.0);
    net.AddKnown("B", 5420.0, 5905.0);
    net.AddKnown("TB", 5710.0, 6120.0);
    net.Add("P1", 5105.3, 5180.4);
    net.Add("P2", 5080.7, 5402.2);
    net.Add("P3", 5260.1, 5555.9);
    net.Add("P4", 5301.6, 5760.3);
    net.Chain({"A", "P1", "P2", "P3", "P4", "B"}, "TA", "TB");
    return net;
}

TEST(AdjustByOrder, Explore) {
    SyntheticTraverse net = ConnectingTraverse();
    ByOrderCase run(net);
    ComputationSettings settings;
    run.Go(settings);
    std::printf("%s\n", Tcvn3ToUtf8(run.Report("in6")).c_str());
    for (auto& c : run.ui.calls) std::printf("CALL %s %s\n", c.kind.c_str(), Tcvn3ToUtf8(c.text).c_str());
    ExpectTrueCoordinates(net, run);
}

}  // namespace
}  // namespace qef
