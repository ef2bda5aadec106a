#pragma once
// Angles, azimuths and the point geometry shared by every computation.
// X is north, Y is east; azimuths run clockwise from north, in decimal degrees in [0, 360).

namespace qef {

double DegToRad(double degrees);
double TanRad(double radians);

// One turn at most is added or removed: callers never drift further.
double NormalizeAzimuth(double azimuth);
double ReverseAzimuth(double azimuth);
// Azimuth of the next side from the previous one and the angle between them (not normalised).
double NextAzimuth(double azimuth, double angle, double correction);
double PolarX(double x0, double side, double azimuth, double correction);
double PolarY(double y0, double side, double azimuth, double correction);

// Azimuth from point 1 to point 2; two equal points give 270.
double AzimuthOf(double x1, double y1, double x2, double y2);

// Direction x minus the reverse of direction y, in whole seconds.
double AngleDiffSeconds(double x, double y);
// Mean of direction x and the reverse of direction y, rounded to `decimals` of a second.
double MeanDirection(int decimals, double x, double y);

// An angle difference in degrees brought into (-180, 180].
double AngleDifference(double degrees);

}  // namespace qef
