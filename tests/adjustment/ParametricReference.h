#pragma once
// An independent parametric least-squares adjustment, written with Eigen, of the observations of
// a synthetic network: the coordinates of every point that is not known are the unknowns.
#include <Eigen/Dense>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "SyntheticNetwork.h"

namespace qef::test {

struct ParametricSolution {
    std::map<std::string, int> Index;  // unknown point -> its X column (Y the next)
    std::map<std::string, Eigen::Vector2d> Coords;
    Eigen::MatrixXd Qxx;
    double Pvv = 0;
    int Redundancy = 0;
    double Mu = 0;

    double X(const std::string& p) const { return Coords.at(p)(0); }
    double Y(const std::string& p) const { return Coords.at(p)(1); }

    // Gradient of a function of two points' coordinates over the unknowns.
    Eigen::VectorXd Gradient(const std::string& a, const std::string& b, double da_x, double da_y, double db_x,
                             double db_y) const {
        Eigen::VectorXd g = Eigen::VectorXd::Zero(Qxx.rows());
        if (auto it = Index.find(a); it != Index.end()) {
            g(it->second) += da_x;
            g(it->second + 1) += da_y;
        }
        if (auto it = Index.find(b); it != Index.end()) {
            g(it->second) += db_x;
            g(it->second + 1) += db_y;
        }
        return g;
    }
    double Sigma(const Eigen::VectorXd& g) const { return Mu * std::sqrt(g.dot(Qxx * g)); }
    // axis 0 for X, 1 for Y.
    double SigmaOf(const std::string& p, int axis) const {
        return Index.count(p) ? Mu * std::sqrt(Qxx(Index.at(p) + axis, Index.at(p) + axis)) : 0;
    }
    double SideSigma(const std::string& a, const std::string& b) const {
        const double dx = X(b) - X(a), dy = Y(b) - Y(a), s = std::hypot(dx, dy);
        return Sigma(Gradient(a, b, -dx / s, -dy / s, dx / s, dy / s));
    }
    // Seconds.
    double AzimuthSigma(const std::string& a, const std::string& b) const {
        const double dx = X(b) - X(a), dy = Y(b) - Y(a), s2 = dx * dx + dy * dy;
        const double k = kSecondsPerRadian / s2;
        return Sigma(Gradient(a, b, dy * k, -dx * k, -dy * k, dx * k));
    }
};

// mb: unit-weight error in seconds (an angle's); sideMs(S): a side's error in metres.
inline ParametricSolution SolveParametric(const SyntheticNetwork& g, double mb, const std::function<double(double)>& sideMs) {
    ParametricSolution sol;
    int columns = 0;
    for (const auto& [name, p] : g.Points)
        if (!p.Known) {
            sol.Index[name] = columns;
            columns += 2;
        }
    for (const auto& [name, p] : g.Points) sol.Coords[name] = Eigen::Vector2d(p.X, p.Y);
    const auto& angles = g.Angles;
    const auto& sides = g.Sides;
    const int rows = static_cast<int>(angles.size() + sides.size());
    // Each observation touches at most three points: its row goes into the normals term by term.
    Eigen::MatrixXd n(columns, columns);
    Eigen::VectorXd rhs(columns);
    double pvv = 0.0;
    for (int iteration = 0; iteration < 8; ++iteration) {
        n.setZero();
        rhs.setZero();
        pvv = 0.0;
        std::vector<std::pair<int, double>> row;
        auto add = [&](const std::string& p, double dx, double dy) {
            if (auto it = sol.Index.find(p); it != sol.Index.end()) {
                row.emplace_back(it->second, dx);
                row.emplace_back(it->second + 1, dy);
            }
        };
        auto accumulate = [&](double misfit, double weight) {
            for (const auto& [c1, v1] : row) {
                rhs(c1) -= weight * v1 * misfit;
                for (const auto& [c2, v2] : row) n(c1, c2) += weight * v1 * v2;
            }
            pvv += weight * misfit * misfit;
            row.clear();
        };
        for (const auto& a : angles) {
            const Eigen::Vector2d s = sol.Coords[a.Station], b = sol.Coords[a.Back], f = sol.Coords[a.Fore];
            double computed = Azimuth(s(0), s(1), f(0), f(1)) - Azimuth(s(0), s(1), b(0), b(1));
            double d = (computed - a.Value) * 3600.0;
            while (d > 648000.0) d -= 1296000.0;
            while (d < -648000.0) d += 1296000.0;
            // d(azimuth s->p) / d(p) = (-dy, dx) / s^2, in seconds.
            const Eigen::Vector2d df = f - s, db = b - s;
            const double kf = kSecondsPerRadian / df.squaredNorm(), kb = kSecondsPerRadian / db.squaredNorm();
            add(a.Fore, -df(1) * kf, df(0) * kf);
            add(a.Station, df(1) * kf, -df(0) * kf);
            add(a.Back, db(1) * kb, -db(0) * kb);
            add(a.Station, -db(1) * kb, db(0) * kb);
            accumulate(d, 1.0);
        }
        for (const auto& s : sides) {
            const Eigen::Vector2d d = sol.Coords[s.To] - sol.Coords[s.From];
            const double len = d.norm();
            const double m = sideMs(s.Value);
            add(s.To, d(0) / len, d(1) / len);
            add(s.From, -d(0) / len, -d(1) / len);
            accumulate(len - s.Value, (mb / m) * (mb / m));
        }
        const Eigen::LDLT<Eigen::MatrixXd> factor(n);
        const Eigen::VectorXd step = factor.solve(rhs);
        for (const auto& [name, c] : sol.Index) sol.Coords[name] += Eigen::Vector2d(step(c), step(c + 1));
        if (step.size() == 0 || step.cwiseAbs().maxCoeff() < 1e-10) break;
    }
    sol.Qxx = n.inverse();
    sol.Pvv = pvv;
    sol.Redundancy = rows - columns;
    sol.Mu = std::sqrt(sol.Pvv / sol.Redundancy);
    return sol;
}

}  // namespace qef::test
