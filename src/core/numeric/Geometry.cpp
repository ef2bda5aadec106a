#include "core/numeric/Geometry.h"

#include <cmath>
#include <numbers>

#include "core/numeric/Numbers.h"

namespace qef {

double DegToRad(double degrees) {
    return static_cast<double>(std::numbers::pi_v<long double> * degrees / 180.0L);
}

double TanRad(double radians) { return std::sin(radians) / std::cos(radians); }

double NormalizeAzimuth(double azimuth) {
    if (azimuth >= 360.0) return azimuth - 360.0;
    if (azimuth < 0.0) return azimuth + 360.0;
    return azimuth;
}

double AngleDifference(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d <= -180.0) d += 360.0;
    return d;
}

double ReverseAzimuth(double azimuth) {
    return azimuth >= 180.0 ? azimuth - 180.0 : azimuth + 180.0;
}

double NextAzimuth(double azimuth, double angle, double correction) {
    return azimuth + angle + correction - 180.0;
}

double PolarX(double x0, double side, double azimuth, double correction) {
    return x0 + std::cos(DegToRad(azimuth)) * (side + correction);
}

double PolarY(double y0, double side, double azimuth, double correction) {
    return y0 + std::sin(DegToRad(azimuth)) * (side + correction);
}

double AzimuthOf(double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    if (dx == 0.0) return dy > 0.0 ? 90.0 : 270.0;
    const double a = std::atan(dy / dx) * 180.0 / std::numbers::pi;
    if (dx < 0.0) return a + 180.0;
    if (dy >= 0.0) return a;
    // A direction a hair west of north must not round up to 360.
    const double turned = a + 360.0;
    return turned < 360.0 ? turned : 0.0;
}

double AngleDiffSeconds(double x, double y) {
    const double reverse = y <= x ? y + 180.0 : y - 180.0;
    return RoundHalfEven(0, DegreesToSeconds(x - reverse));
}

double MeanDirection(int decimals, double x, double y) {
    const double reverse = y <= x ? y + 180.0 : y - 180.0;
    return RoundDms(decimals, (x + reverse) / 2.0);
}

}  // namespace qef
