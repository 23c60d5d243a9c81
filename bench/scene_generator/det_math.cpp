#include "scene_generator/det_math.h"

#include <cassert>
#include <cmath>
#include <cstddef>

namespace tarvel::scenegen {
namespace {

// pi/2 split in two (Cody-Waite) so that x - q*pi/2 loses no bits for the
// angles the generator uses (well below 1e6).
constexpr double kHalfPiHi = 1.57079632673412561417e+00;
constexpr double kHalfPiLo = 6.07710050650619224932e-11;

// Horner's rule in y^2, highest coefficient first.
template <std::size_t N>
double Series(double y2, const double (&coefficients)[N]) {
    double sum = 0.0;
    for (double c : coefficients) {
        sum = sum * y2 + c;
    }
    return sum;
}

// Taylor series on [-pi/4, pi/4]; the first omitted term is below 1e-16.
constexpr double kSinCoefficients[] = {1.0 / 355687428096000.0,
                                       -1.0 / 1307674368000.0,
                                       1.0 / 6227020800.0,
                                       -1.0 / 39916800.0,
                                       1.0 / 362880.0,
                                       -1.0 / 5040.0,
                                       1.0 / 120.0,
                                       -1.0 / 6.0,
                                       1.0};
constexpr double kCosCoefficients[] = {1.0 / 20922789888000.0,
                                       -1.0 / 87178291200.0,
                                       1.0 / 479001600.0,
                                       -1.0 / 3628800.0,
                                       1.0 / 40320.0,
                                       -1.0 / 720.0,
                                       1.0 / 24.0,
                                       -1.0 / 2.0,
                                       1.0};

double SinKernel(double y) {
    return y * Series(y * y, kSinCoefficients);
}
double CosKernel(double y) {
    return Series(y * y, kCosCoefficients);
}

struct Reduced {
    double y;      // in [-pi/4, pi/4]
    int quadrant;  // 0..3
};

Reduced Reduce(double x) {
    assert(std::isfinite(x) && std::fabs(x) < 1e6);
    const double q = std::floor(x / kHalfPiHi + 0.5);
    const double y = (x - q * kHalfPiHi) - q * kHalfPiLo;
    // q is an integer of modest size, so its residue is exact in double.
    double r = q - 4.0 * std::floor(q / 4.0);
    int quadrant = 0;
    while (r >= 1.0) {
        r -= 1.0;
        ++quadrant;
    }
    return {y, quadrant};
}

}  // namespace

double Sin(double x) {
    const Reduced r = Reduce(x);
    switch (r.quadrant) {
        case 0:
            return SinKernel(r.y);
        case 1:
            return CosKernel(r.y);
        case 2:
            return -SinKernel(r.y);
        default:
            return -CosKernel(r.y);
    }
}

double Cos(double x) {
    const Reduced r = Reduce(x);
    switch (r.quadrant) {
        case 0:
            return CosKernel(r.y);
        case 1:
            return -SinKernel(r.y);
        case 2:
            return -CosKernel(r.y);
        default:
            return SinKernel(r.y);
    }
}

double Smoothstep(double edge0, double edge1, double x) {
    double t = (x - edge0) / (edge1 - edge0);
    t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
    return t * t * (3.0 - 2.0 * t);
}

double WrapAngle(double x) {
    return x - kTwoPi * std::floor(x / kTwoPi);
}

}  // namespace tarvel::scenegen
