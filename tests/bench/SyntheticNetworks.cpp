#include "SyntheticNetworks.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace qef::bench {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kTraversePoints = 10;   // new points of a connecting or hanging traverse
constexpr int kBranchPoints = 4;      // new points between two nodes of the grid
constexpr int kTraverseColumns = 400;  // traverses side by side before the next band starts

struct Point {
    std::string Name;
    double X;  // north
    double Y;  // east
};

double Azimuth(const Point& from, const Point& to) {
    const double a = std::atan2(to.Y - from.Y, to.X - from.X) * 180.0 / kPi;
    return a < 0.0 ? a + 360.0 : a;
}

// D.MMSSss, rounded to the hundredth of a second.
std::string Dms(double degrees) {
    long long hundredths = std::llround(degrees * 360000.0) % (360LL * 360000);
    if (hundredths < 0) hundredths += 360LL * 360000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%02lld%04lld", hundredths / 360000, hundredths / 6000 % 60,
                  hundredths % 6000);
    return text;
}

class NetworkWriter {
public:
    explicit NetworkWriter(const std::string& dir)
        : known_(std::fopen((dir + "/known.txt").c_str(), "wb")), obs_(std::fopen((dir + "/obs.txt").c_str(), "wb")) {
        if (known_ == nullptr || obs_ == nullptr) throw std::runtime_error("cannot write the network files in " + dir);
    }
    ~NetworkWriter() {
        std::fclose(known_);
        std::fclose(obs_);
    }
    NetworkWriter(const NetworkWriter&) = delete;
    NetworkWriter& operator=(const NetworkWriter&) = delete;

    void Known(const Point& p) { std::fprintf(known_, "%s\t%.3f\t%.3f\r\n", p.Name.c_str(), p.X, p.Y); }

    // The angle at `station` from `back` to `fore` (about 2" of error), with the side from the
    // station to `fore` (about 3 mm of error) on the same line when asked.
    void Angle(const Point& back, const Point& station, const Point& fore, bool withSide) {
        double angle = Azimuth(station, fore) - Azimuth(station, back) + 2.0 / 3600.0 * NextError();
        if (angle < 0.0) angle += 360.0;
        std::fprintf(obs_, "%s\t%s\t%s\t%s", back.Name.c_str(), station.Name.c_str(), fore.Name.c_str(),
                     Dms(angle).c_str());
        if (withSide) std::fprintf(obs_, "\t%.3f", Distance(station, fore));
        std::fputs("\r\n", obs_);
        ++lines_;
    }

    void Side(const Point& a, const Point& b) {
        std::fprintf(obs_, "%s\t%s\t%.3f\r\n", a.Name.c_str(), b.Name.c_str(), Distance(a, b));
        ++lines_;
    }

    long long Lines() const { return lines_; }

private:
    std::FILE* known_;
    std::FILE* obs_;
    long long lines_ = 0;
    std::uint64_t state_ = 0x9E3779B97F4A7C15ULL;

    // Uniform in [-1, 1), the same sequence on every run.
    double NextError() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<double>(state_ >> 11) / 4503599627370496.0 - 1.0;
    }
    double Distance(const Point& a, const Point& b) {
        return std::hypot(b.X - a.X, b.Y - a.Y) + 0.003 * NextError();
    }
};

// Traverse t: azimuth point, known station, the new points, and for a connecting traverse the
// closing station and its azimuth point. Traverses lie in bands of kTraverseColumns.
void WriteTraverse(NetworkWriter& out, int t, bool connecting) {
    const double x0 = 10000.0 + 1500.0 * (t / kTraverseColumns);
    const double y0 = 10000.0 + 2500.0 * (t % kTraverseColumns);
    const std::string prefix = (connecting ? "C" : "H") + std::to_string(t) + "_";
    std::vector<Point> points{{prefix + "A0", x0 - 300.0, y0 - 200.0}, {prefix + "A", x0, y0}};
    for (int i = 1; i <= kTraversePoints; ++i)
        points.push_back({prefix + "P" + std::to_string(i), x0 + 40.0 * std::sin(1.7 * i + t),
                          y0 + 150.0 * i + 10.0 * std::cos(i)});
    if (connecting) {
        const double yEnd = y0 + 150.0 * (kTraversePoints + 1);
        points.push_back({prefix + "B", x0 + 20.0, yEnd});
        points.push_back({prefix + "B0", x0 + 260.0, yEnd + 300.0});
    }
    const std::size_t n = points.size();
    for (std::size_t i : {std::size_t{0}, std::size_t{1}}) out.Known(points[i]);
    if (connecting)
        for (std::size_t i : {n - 2, n - 1}) out.Known(points[i]);
    for (std::size_t s = 1; s + 1 < n; ++s) {
        const bool toAzimuthPoint = connecting && s + 2 == n;
        out.Angle(points[s - 1], points[s], points[s + 1], !toAzimuthPoint);
    }
}

// The lattice: node (i, j) and the new points of the branches leaving it eastwards and southwards.
class Grid {
public:
    explicit Grid(int size) : size_(size) {}

    Point Node(int i, int j) const {
        return {"N" + std::to_string(i) + "_" + std::to_string(j), 100000.0 + 500.0 * i + 15.0 * std::sin(1.3 * j + i),
                100000.0 + 500.0 * j + 15.0 * std::cos(0.9 * i + j)};
    }
    // Point k (1..kBranchPoints) of the branch from node (i, j) to (i, j + 1).
    Point East(int i, int j, int k) const {
        const Point a = Node(i, j);
        const Point b = Node(i, j + 1);
        const double f = static_cast<double>(k) / (kBranchPoints + 1);
        return {"E" + std::to_string(i) + "_" + std::to_string(j) + "_" + std::to_string(k),
                a.X + f * (b.X - a.X) + 8.0 * std::sin(2.1 * k + i + j), a.Y + f * (b.Y - a.Y)};
    }
    // Point k of the branch from node (i, j) to (i + 1, j).
    Point South(int i, int j, int k) const {
        const Point a = Node(i, j);
        const Point b = Node(i + 1, j);
        const double f = static_cast<double>(k) / (kBranchPoints + 1);
        return {"S" + std::to_string(i) + "_" + std::to_string(j) + "_" + std::to_string(k), a.X + f * (b.X - a.X),
                a.Y + f * (b.Y - a.Y) + 8.0 * std::cos(1.9 * k + i - j)};
    }
    // The azimuth point of a corner node: outside the lattice, on its diagonal.
    Point Target(int i, int j) const {
        const Point c = Node(i, j);
        return {"K" + std::to_string(i) + "_" + std::to_string(j), c.X + (i == 0 ? -300.0 : 300.0),
                c.Y + (j == 0 ? -300.0 : 300.0)};
    }
    bool Corner(int i, int j) const { return (i == 0 || i == size_ - 1) && (j == 0 || j == size_ - 1); }

    // The first point from node (i, j) towards each neighbour: north, east, south, west.
    std::vector<Point> Neighbours(int i, int j) const {
        std::vector<Point> out;
        if (i > 0) out.push_back(South(i - 1, j, kBranchPoints));
        if (j + 1 < size_) out.push_back(East(i, j, 1));
        if (i + 1 < size_) out.push_back(South(i, j, 1));
        if (j > 0) out.push_back(East(i, j - 1, kBranchPoints));
        return out;
    }

    void Write(NetworkWriter& out) const {
        for (int i : {0, size_ - 1})
            for (int j : {0, size_ - 1}) {
                out.Known(Target(i, j));
                out.Known(Node(i, j));
            }
        for (int i = 0; i < size_; ++i)
            for (int j = 0; j < size_; ++j) {
                WriteNode(out, i, j);
                if (j + 1 < size_) WriteBranch(out, Node(i, j), Node(i, j + 1), [&](int k) { return East(i, j, k); });
                if (i + 1 < size_) WriteBranch(out, Node(i, j), Node(i + 1, j), [&](int k) { return South(i, j, k); });
            }
    }

private:
    int size_;

    // Directions at a node from one reference: the corner's azimuth point, else the first
    // neighbour (its side on a line of its own). Each side leaving the node is measured here.
    void WriteNode(NetworkWriter& out, int i, int j) const {
        const Point node = Node(i, j);
        const std::vector<Point> around = Neighbours(i, j);
        std::size_t first = 0;
        Point reference = Corner(i, j) ? Target(i, j) : around[0];
        if (!Corner(i, j)) {
            out.Side(node, around[0]);
            first = 1;
        }
        for (std::size_t n = first; n < around.size(); ++n) out.Angle(reference, node, around[n], true);
    }

    // The angles along a branch; its last side was measured at the node it reaches.
    template <typename PointOf>
    void WriteBranch(NetworkWriter& out, const Point& from, const Point& to, PointOf pointOf) const {
        for (int k = 1; k <= kBranchPoints; ++k) {
            const Point back = k == 1 ? from : pointOf(k - 1);
            const Point fore = k == kBranchPoints ? to : pointOf(k + 1);
            out.Angle(back, pointOf(k), fore, k < kBranchPoints);
        }
    }
};

const char* ShapeName(NetworkShape shape) {
    switch (shape) {
        case NetworkShape::Connecting: return "connecting";
        case NetworkShape::Hanging: return "hanging";
        case NetworkShape::Grid: break;
    }
    return "grid";
}

}  // namespace

SyntheticNetwork::SyntheticNetwork(NetworkShape shape, int size) {
    dir_ = (std::filesystem::temp_directory_path() / ("qef-bench-" + std::string(ShapeName(shape)) + "-" +
                                                      std::to_string(size) + "-" + std::to_string(::getpid())))
               .string();
    std::filesystem::create_directories(dir_);
    NetworkWriter out(dir_);
    if (shape == NetworkShape::Grid) {
        Grid(size).Write(out);
        newPoints_ = static_cast<long long>(size) * size - 4 + 2LL * size * (size - 1) * kBranchPoints;
    } else {
        for (int t = 0; t < size; ++t) WriteTraverse(out, t, shape == NetworkShape::Connecting);
        newPoints_ = static_cast<long long>(size) * kTraversePoints;
    }
    observationLines_ = out.Lines();
}

SyntheticNetwork::~SyntheticNetwork() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

AdjustmentInput SyntheticNetwork::Input() const {
    return {dir_ + "/known.txt", dir_ + "/obs.txt", "", dir_ + "/result.kq"};
}

}  // namespace qef::bench
