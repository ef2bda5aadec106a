#pragma once
// Error-free traverse networks made from true coordinates, written as a known-point file and an
// observation file. Angles and lengths are computed here, independently of the program.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <sstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "adjustment/AdjustByOrder.h"
#include "support/Fakes.h"

namespace qef::test {

class SyntheticTraverse {
public:
    struct Angle {
        std::string Back, Station, Fore;
    };

    std::map<std::string, std::pair<double, double>> Truth;  // name -> (X north, Y east)
    std::vector<std::string> Known;                           // points of the known-point file, in order
    std::vector<Angle> Angles;
    std::vector<std::pair<std::string, std::string>> Sides;

    struct Named {
        std::string Name;
        double X, Y;
    };
    void Add(const std::string& name, double x, double y) { Truth[name] = {x, y}; }
    void Add(std::initializer_list<Named> points, bool known = false) {
        for (const Named& p : points) {
            Add(p.Name, p.X, p.Y);
            if (known) Known.push_back(p.Name);
        }
    }
    void AddAngle(const std::string& back, const std::string& station, const std::string& fore) {
        Angles.push_back({back, station, fore});
    }
    void AddSide(const std::string& a, const std::string& b) { Sides.emplace_back(a, b); }

    // Sides between consecutive points, angles at every interior point, and the connecting angles
    // from startRef at the first point and to endRef at the last (none when empty).
    void Chain(const std::vector<std::string>& points, const std::string& startRef, const std::string& endRef) {
        const std::size_t n = points.size();
        if (!startRef.empty()) AddAngle(startRef, points[0], points[1]);
        for (std::size_t i = 1; i + 1 < n; ++i) AddAngle(points[i - 1], points[i], points[i + 1]);
        if (!endRef.empty()) AddAngle(points[n - 2], points[n - 1], endRef);
        for (std::size_t i = 0; i + 1 < n; ++i) AddSide(points[i], points[i + 1]);
    }

    // Azimuth in degrees, clockwise from north (X).
    double Azimuth(const std::string& from, const std::string& to) const {
        const auto& a = Truth.at(from);
        const auto& b = Truth.at(to);
        double az = std::atan2(b.second - a.second, b.first - a.first) * 180.0 / M_PI;
        return az < 0.0 ? az + 360.0 : az;
    }
    double Distance(const std::string& a, const std::string& b) const {
        const auto& p = Truth.at(a);
        const auto& q = Truth.at(b);
        return std::hypot(q.first - p.first, q.second - p.second);
    }
    // The clockwise angle at the station from the back point to the fore point.
    double AngleValue(const Angle& a) const {
        double v = Azimuth(a.Station, a.Fore) - Azimuth(a.Station, a.Back);
        return v < 0.0 ? v + 360.0 : v;
    }

    // D.MMSSsss: degrees, minutes, seconds and thousandths of a second.
    static std::string DmsText(double degrees) {
        long long ms = std::llround(degrees * 3600000.0);
        const long long d = ms / 3600000;
        ms -= d * 3600000;
        const long long m = ms / 60000;
        ms -= m * 60000;
        char text[40];
        std::snprintf(text, sizeof text, "%lld.%02lld%05lld", d, m, ms);
        return text;
    }
    static std::string Fixed(double value, int decimals) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        return text;
    }

    std::string KnownText() const {
        std::string text;
        for (const std::string& name : Known)
            text += name + "\t" + Fixed(Truth.at(name).first, 4) + "\t" + Fixed(Truth.at(name).second, 4) + "\r\n";
        return text;
    }
    std::string ObservationText() const {
        std::string text;
        for (const Angle& a : Angles)
            text += a.Back + "\t" + a.Station + "\t" + a.Fore + "\t" + DmsText(AngleValue(a)) + "\r\n";
        for (const auto& [a, b] : Sides) text += a + "\t" + b + "\t" + Fixed(Distance(a, b), 5) + "\r\n";
        return text;
    }
};

// name -> (X, Y) of a result file; `repeats` counts names listed more than once.
inline std::map<std::string, std::pair<double, double>> ReadResult(const std::string& path, int& repeats) {
    std::map<std::string, std::pair<double, double>> points;
    std::istringstream in(ReadFileBytes(path));
    repeats = 0;
    for (std::string line; std::getline(in, line);) {
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

// A whole adjustment run on the network's files, in a folder of its own.
struct ByOrderCase {
    TempDir dir;
    AdjustmentInput files;
    ScriptedInteraction ui;
    RecordingProgress progress;
    RunRecord record;

    explicit ByOrderCase(const SyntheticTraverse& net)
        : files{dir.File("known.txt"), dir.File("obs.txt"), "", dir.File("kq.dta")} {
        WriteFileBytes(files.KnownPointsFile, net.KnownText());
        WriteFileBytes(files.ObservationFile, net.ObservationText());
    }
    RunStatus Go(const ComputationSettings& settings) { return AdjustNetworkByOrder(files, settings, ui, progress, record); }
    std::string Report(const std::string& ext) const { return ReadFileBytes(dir.File("kq." + ext)); }

    // Every point of the network is in the result file once, at its true place.
    void ExpectTrueCoordinates(const SyntheticTraverse& net, double tolerance) const {
        int repeats = 0;
        const auto result = ReadResult(files.ResultFile, repeats);
        EXPECT_EQ(repeats, 0);
        EXPECT_EQ(result.size(), net.Truth.size());
        for (const auto& [name, xy] : net.Truth) {
            ASSERT_TRUE(result.count(name)) << name;
            EXPECT_NEAR(result.at(name).first, xy.first, tolerance) << name;
            EXPECT_NEAR(result.at(name).second, xy.second, tolerance) << name;
        }
    }
};

}  // namespace qef::test
