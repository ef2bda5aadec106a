#include <gtest/gtest.h>

#include <charconv>
#include <sstream>

#include "core/io/Readers.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"
#include "support/WholeRunCase.h"

namespace qef {
namespace {

// Reader cases: tests/data/readers/<case>/ holds case.txt ("read <kind>", then "name = value" for
// each setting that differs from its default), input.txt and expected.txt: what was read, as
// ReadCase writes it, then the messages shown and where the read failed.

std::string Number(double value) {
    if (IsMissing(value)) return "missing";
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value, std::chars_format::general, 12).ptr};
}

std::string Names(const PointNameTable& names) {
    std::string out = "names";
    for (int id = 1; id <= names.Count(); ++id) out += " " + names.Name(id);
    return out + "\n";
}

ComputationSettings CaseSettings(const std::string& folder, std::string& kind) {
    ComputationSettings settings;
    std::istringstream text(test::ReadFileBytes(folder + "/case.txt"));
    std::string line, name, equals, value;
    text >> line >> kind;
    while (std::getline(text, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream(line) >> name >> equals >> value;
        if (name == "MetresFlag") settings.MetresFlag = value == "true";
        else if (name == "HeightReduction") settings.HeightReduction = value == "true";
        else if (name == "HeightsFromFile") settings.HeightsFromFile = value == "true";
        else if (name == "HeightReductionMode") settings.HeightReductionMode = ReductionMode(std::stoi(value));
        else ADD_FAILURE() << "unknown setting " << line;
    }
    return settings;
}

std::string ReadCase(const std::string& folder) {
    std::string kind;
    const ComputationSettings settings = CaseSettings(folder, kind);
    const std::string path = folder + "/input.txt";
    test::ScriptedInteraction ui;
    ReadErrorRecord error;
    PointNameTable names;
    bool ok = false;
    std::ostringstream out;
    if (kind == "known") {
        NetworkModel model;
        PointList points;
        ok = ReadKnownPoints(path, settings, model, points, error, ui);
        out << Names(model.PointNames);
        for (int i = 1; i <= points.Count(); ++i)
            out << model.PointNames.Name(points.Ids[i]) << ' ' << Number(points.X[i]) << ' ' << Number(points.Y[i])
                << '\n';
        if (model.MissingValuesFlag) out << "missing values\n";
    } else if (kind == "xyh") {
        OneBased<std::string> pointNames;
        OneBased<double> x, y, h;
        bool missing = false;
        ok = ReadPointsXYH(path, settings, pointNames, x, y, h, missing, error, ui);
        for (int i = 1; i <= pointNames.Size(); ++i)
            out << pointNames[i] << ' ' << Number(x[i]) << ' ' << Number(y[i]) << ' ' << Number(h[i]) << '\n';
        if (missing) out << "missing values\n";
    } else if (kind == "observations") {
        Observations obs;
        ok = ReadObservations(path, settings, names, obs, error, ui);
        out << Names(names);
        const AngleObservations& a = obs.Angles;
        for (int i = 1; i <= a.Count(); ++i)
            out << "angle " << names.Name(a.BackIds[i]) << ' ' << names.Name(a.StationIds[i]) << ' '
                << names.Name(a.ForeIds[i]) << ' ' << Number(a.Values[i]) << '\n';
        for (int i = 1; i <= obs.Sides.Count(); ++i)
            out << "side " << names.Name(obs.Sides.FromIds[i]) << '-' << names.Name(obs.Sides.ToIds[i]) << ' '
                << Number(obs.Sides.Lengths[i]) << '\n';
        for (int i = 1; i <= obs.Heights.Count(); ++i)
            out << "height " << names.Name(obs.Heights.Ids[i]) << ' ' << Number(obs.Heights.Heights[i]) << '\n';
        ObservationCounts counts;
        ReadErrorRecord countError;
        EXPECT_TRUE(CountObservationLines(path, settings, counts, countError));
        out << "counted " << counts.Lines << " lines: " << counts.Angles << " angles, " << counts.Sides << " sides, "
            << counts.Heights << " heights\n";
    } else if (kind == "heights") {
        OneBased<int> ids;
        OneBased<double> heights;
        ok = ReadHeightFile(path, settings, names, ids, heights, error, ui);
        out << Names(names);
        for (int i = 1; i <= ids.Size(); ++i) out << names.Name(ids[i]) << ' ' << Number(heights[i]) << '\n';
    } else if (kind == "levelling") {
        LevellingLines lines;
        ok = ReadLevellingLines(path, settings, names, lines, error, ui);
        out << Names(names);
        // A failed read leaves the names of its lines unregistered.
        for (int i = 1; i <= lines.FromIds.Size(); ++i)
            out << names.Name(lines.FromIds[i]) << '-' << names.Name(lines.ToIds[i]) << ' ' << Number(lines.Lengths[i])
                << ' ' << Number(lines.Dhs[i]) << '\n';
    } else {
        ADD_FAILURE() << "unknown reader " << kind;
    }
    for (std::string message : ui.Messages()) {
        for (std::size_t at; (at = message.find(path)) != std::string::npos;) message.replace(at, path.size(), "input.txt");
        out << "message " << Tcvn3ToUtf8(message) << '\n';
    }
    if (!ok) {
        static const char* const kKinds[] = {"Line", "Open", "Height", "Side", "Angle", "AngleSide", "NoData"};
        out << "error " << kKinds[static_cast<int>(error.ReadErrorField)] << " line " << error.ReadErrorLine << '\n';
        EXPECT_TRUE(error.FailedFileName == path && error.ReadErrorFlag == 1);
    }
    return out.str();
}

class ReaderCase : public ::testing::TestWithParam<std::string> {};

TEST_P(ReaderCase, ReadsAsExpected) {
    const std::string folder = std::string(QEF_TEST_DATA) + "/readers/" + GetParam();
    EXPECT_EQ(ReadCase(folder), test::ReadFileBytes(folder + "/expected.txt"));
}

INSTANTIATE_TEST_SUITE_P(Readers, ReaderCase, ::testing::ValuesIn(test::WholeRunCaseNames("readers")),
                         [](const auto& param) { return test::WholeRunTestName(param.param); });

TEST(Readers, MissingFile) {
    ComputationSettings settings;
    ObservationCounts counts;
    ReadErrorRecord error;
    EXPECT_FALSE(CountObservationLines("/no/such/file.txt", settings, counts, error));
    EXPECT_TRUE(error.FailedFileName == "/no/such/file.txt" && error.ReadErrorField == ReadErrorKind::Open);
}

}  // namespace
}  // namespace qef
