#pragma once

#include <cmath>

namespace tarvel::render {

// Render-side geometry is computed in double: camera and projection maths
// are not bound to the compiler's float rounding rules.
struct Vec3 {
    double x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline double Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(Vec3 a) {
    return std::sqrt(Dot(a, a));
}
inline Vec3 Normalised(Vec3 a) {
    const double len = Length(a);
    return len > 0 ? a * (1.0 / len) : Vec3{0, 0, 1};
}

struct Bounds {
    Vec3 min{1, 1, 1};
    Vec3 max{-1, -1, -1};

    bool Empty() const { return min.x > max.x; }
    void Add(Vec3 p) {
        if (Empty()) {
            min = max = p;
            return;
        }
        min = {std::fmin(min.x, p.x), std::fmin(min.y, p.y), std::fmin(min.z, p.z)};
        max = {std::fmax(max.x, p.x), std::fmax(max.y, p.y), std::fmax(max.z, p.z)};
    }
    Vec3 Centre() const { return (min + max) * 0.5; }
    double Radius() const { return Empty() ? 0.0 : Length(max - min) * 0.5; }
};

}  // namespace tarvel::render
