#pragma once

// Trigonometry made of +, -, *, / and floor only. The libm sin and cos may
// differ in the last bit between C libraries, and a generated scene must be
// the same bytes on every machine; IEEE basic operations are.

namespace tarvel::scenegen {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;

double Sin(double x);
double Cos(double x);

// 0 below edge0, 1 above edge1, a smooth cubic between.
double Smoothstep(double edge0, double edge1, double x);

// x reduced into [0, 2*pi), so accumulated angles stay small.
double WrapAngle(double x);

}  // namespace tarvel::scenegen
