#include "tools/ObservationTools.h"

#include <cmath>
#include <unordered_map>
#include <vector>

#include "core/analysis/BranchBuilding.h"
#include "core/io/Readers.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/Geometry.h"
#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/SplitLines.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "tools/WholeUnits.h"

namespace qef {

namespace {

// The value texts of an observation file in the order the reader stores the values.
struct ObservationTexts {
    std::vector<std::string> Angles;
    std::vector<std::string> Sides;
    std::vector<std::string> HeightNames;
    std::vector<std::string> Heights;
};

// Follows the reader's shapes: five fields an angle and a side, four an angle, three a side, two
// a point height.
bool ReadObservationTexts(const std::string& fileName, const ComputationSettings& settings, ObservationTexts& out) {
    SplitLines lines(fileName, settings.FixedFieldWidth);
    if (!lines.IsOpen()) return false;
    const FieldArray& f = lines.Fields();
    while (lines.Next()) {
        if (lines.Line().empty()) continue;
        const int k = lines.Count();
        if (k >= 4 && k <= 5) {
            out.Angles.push_back(TrimBlanks(f[4]));
            if (k == 5) out.Sides.push_back(TrimBlanks(f[5]));
        } else if (k == 3) {
            out.Sides.push_back(TrimBlanks(f[3]));
        } else if (k == 2) {
            std::string name = RemoveCharToName(f[1]);
            if (name.empty()) continue;
            out.HeightNames.push_back(std::move(name));
            out.Heights.push_back(TrimBlanks(f[2]));
        }
    }
    return true;
}

// Positions (from 1) of the observations that do not join known points only: the values are
// replaced by their positions, which the removal carries along.
void RemainingPositions(const Observations& obs, const PointList& known, std::vector<int>& angles,
                        std::vector<int>& sides) {
    AngleObservations a = obs.Angles;
    SideObservations s = obs.Sides;
    for (int i = 1; i <= a.Count(); ++i) a.Values[i] = i;
    for (int i = 1; i <= s.Count(); ++i) s.Lengths[i] = i;
    DropFixedObservations(s, a, known, known.Count());
    for (int i = 1; i <= a.Count(); ++i) angles.push_back(static_cast<int>(a.Values[i]));
    for (int i = 1; i <= s.Count(); ++i) sides.push_back(static_cast<int>(s.Lengths[i]));
}

std::string Dms(double degrees) { return TrimBlanks(FormatDms(0, ".", degrees)); }
std::string Metres(double value) { return FormatFixed(value, 1, 3); }

std::string AngleNames(const PointNameTable& t, const AngleObservations& a, int i) {
    return t.Name(a.BackIds[i]) + "\t" + t.Name(a.StationIds[i]) + "\t" + t.Name(a.ForeIds[i]);
}

std::string SideNames(const PointNameTable& t, const SideObservations& s, int i) {
    return t.Name(s.FromIds[i]) + "\t" + t.Name(s.ToIds[i]);
}

std::unordered_map<int, std::vector<int>> AnglesByStation(const AngleObservations& a) {
    std::unordered_map<int, std::vector<int>> by;
    for (int i = 1; i <= a.Count(); ++i) by[a.StationIds[i]].push_back(i);
    return by;
}

long long SideKey(const SideObservations& s, int i) {
    const long long a = std::min(s.FromIds[i], s.ToIds[i]);
    const long long b = std::max(s.FromIds[i], s.ToIds[i]);
    return (a << 32) | b;
}

std::unordered_map<long long, std::vector<int>> SidesByEnds(const SideObservations& s) {
    std::unordered_map<long long, std::vector<int>> by;
    for (int i = 1; i <= s.Count(); ++i) by[SideKey(s, i)].push_back(i);
    return by;
}

// An angle of file 1 against one of file 2 at the same station: a row when they are the same
// angle (or the same seen the other way round) and differ. False when they are not the same angle.
bool CompareAngles(const PointNameTable& t, const AngleObservations& a1, int i, const AngleObservations& a2, int j,
                   std::vector<std::string>& rows) {
    double value2 = 0.0;
    if (a1.BackIds[i] == a2.BackIds[j] && a1.ForeIds[i] == a2.ForeIds[j])
        value2 = a2.Values[j];
    else if (a1.BackIds[i] == a2.ForeIds[j] && a1.ForeIds[i] == a2.BackIds[j])
        value2 = NormalizeAzimuth(360.0 - a2.Values[j]);
    else
        return false;
    const double d = AngleDifference(a1.Values[i] - value2);
    if (HundredthsOfSecond(d) > kSameAngleHundredths)
        rows.push_back(AngleNames(t, a1, i) + "\t" + Dms(a1.Values[i]) + "\t" + Dms(value2) + "\t" + Dms(d));
    return true;
}

void SideRow(const PointNameTable& t, const SideObservations& s1, int i, double length2,
             std::vector<std::string>& rows) {
    const double l1 = s1.Lengths[i];
    rows.push_back(SideNames(t, s1, i) + "\t" + Metres(l1) + "\t" + Metres(length2) + "\t" + Metres(l1 - length2));
}

void CompareWithItself(const PointNameTable& t, const Observations& o, std::vector<std::string>& rows) {
    const auto byStation = AnglesByStation(o.Angles);
    for (int i = 1; i <= o.Angles.Count(); ++i)
        for (int j : byStation.at(o.Angles.StationIds[i]))
            if (j > i) CompareAngles(t, o.Angles, i, o.Angles, j, rows);
    rows.push_back("//Canh");
    const auto byEnds = SidesByEnds(o.Sides);
    for (int i = 1; i <= o.Sides.Count(); ++i)
        for (int j : byEnds.at(SideKey(o.Sides, i)))
            if (j > i && o.Sides.Lengths[i] != o.Sides.Lengths[j]) SideRow(t, o.Sides, i, o.Sides.Lengths[j], rows);
}

void CompareTwo(const PointNameTable& t, const Observations& o1, const Observations& o2, bool listMissing,
                std::vector<std::string>& rows) {
    const auto byStation = AnglesByStation(o2.Angles);
    for (int i = 1; i <= o1.Angles.Count(); ++i) {
        bool found = false;
        const auto same = byStation.find(o1.Angles.StationIds[i]);
        if (same != byStation.end())
            for (int j : same->second) found = CompareAngles(t, o1.Angles, i, o2.Angles, j, rows) || found;
        if (!found && listMissing) rows.push_back(AngleNames(t, o1.Angles, i) + "\t" + Dms(o1.Angles.Values[i]));
    }
    rows.push_back("//Canh");
    const auto byEnds = SidesByEnds(o2.Sides);
    for (int i = 1; i <= o1.Sides.Count(); ++i) {
        const auto same = byEnds.find(SideKey(o1.Sides, i));
        if (same == byEnds.end()) {
            if (listMissing) rows.push_back(SideNames(t, o1.Sides, i) + "\t" + Metres(o1.Sides.Lengths[i]));
            continue;
        }
        for (int j : same->second)
            if (TenthsOfMillimetre(o1.Sides.Lengths[i] - o2.Sides.Lengths[j]) > kSameSideTenths)
                SideRow(t, o1.Sides, i, o2.Sides.Lengths[j], rows);
    }
}

}  // namespace

ToolStatus WriteObservations(const std::string& knownFile, const std::string& observationFile,
                             const std::string& resultFile, const ComputationSettings& settings, Interaction& ui) {
    ToolStatus status;
    if (!ResultNameUsable({knownFile, observationFile}, resultFile, ui, status)) return status;
    NetworkModel model;
    PointList known;
    Observations obs;
    if (!ReadKnownPoints(knownFile, settings, model, known, status.ReadError, ui) ||
        !ReadObservations(observationFile, settings, model.PointNames, obs, status.ReadError, ui)) {
        status.Outcome = RunOutcome::ReadFailed;
        return status;
    }
    if (known.Count() == 0) {
        ReportNoData(knownFile, ui, status);
        return status;
    }
    if (obs.Angles.Count() + obs.Sides.Count() + obs.Heights.Count() == 0) {
        ReportNoData(observationFile, ui, status);
        return status;
    }
    ObservationTexts texts;
    // The file changed between the two readings when their counts differ.
    if (!ReadObservationTexts(observationFile, settings, texts) ||
        texts.Angles.size() != static_cast<std::size_t>(obs.Angles.Count()) ||
        texts.Sides.size() != static_cast<std::size_t>(obs.Sides.Count())) {
        ReportUnreadable(observationFile, ui, status);
        return status;
    }
    std::vector<int> angles;
    std::vector<int> sides;
    RemainingPositions(obs, known, angles, sides);

    const PointNameTable& t = model.PointNames;
    std::vector<std::string> lines;
    for (int i : angles) lines.push_back(AngleNames(t, obs.Angles, i) + "\t" + texts.Angles[i - 1]);
    for (int i : sides) lines.push_back(SideNames(t, obs.Sides, i) + "\t" + texts.Sides[i - 1]);
    for (std::size_t i = 0; i < texts.Heights.size(); ++i) lines.push_back(texts.HeightNames[i] + "\t" + texts.Heights[i]);
    WriteToolResult(resultFile, lines, ui, status);
    return status;
}

ToolStatus CompareObservationFiles(const std::string& file1, const std::string& file2,
                                   const std::string& resultFile, const ComputationSettings& settings,
                                   Interaction& ui) {
    ToolStatus status;
    if (!ResultNameUsable({file1, file2}, resultFile, ui, status)) return status;
    const bool sameFile = file1 == file2 || SameFile(file1, file2);
    // Both files are read before the question: one that cannot serve stops the tool unasked.
    PointNameTable names;
    Observations o1;
    Observations o2;
    if (!ReadObservations(file1, settings, names, o1, status.ReadError, ui) ||
        (!sameFile && !ReadObservations(file2, settings, names, o2, status.ReadError, ui))) {
        status.Outcome = RunOutcome::ReadFailed;
        return status;
    }
    const auto empty = [](const Observations& o) { return o.Angles.Count() + o.Sides.Count() == 0; };
    if (empty(o1) || (!sameFile && empty(o2))) {
        ReportNoData(empty(o1) ? file1 : file2, ui, status);
        return status;
    }
    bool listMissing = false;
    if (!sameFile) {
        const Answer answer = ui.AskYesNoCancel(
            Vn("Có hoặc không liệt kê các góc, cạnh có trong file 1 nhưng không có trong file 2 (Y/N)"));
        if (answer == Answer::Cancel) {
            status.Outcome = RunOutcome::Cancelled;
            return status;
        }
        listMissing = answer == Answer::Yes;
    }
    std::vector<std::string> rows{"//Goc"};
    if (sameFile)
        CompareWithItself(names, o1, rows);
    else
        CompareTwo(names, o1, o2, listMissing, rows);
    // The heading rows are no records.
    if (WriteToolResult(resultFile, rows, ui, status)) status.Written -= 2;
    return status;
}

}  // namespace qef
