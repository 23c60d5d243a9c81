#include "scene_generator/track.h"

#include <cassert>
#include <cmath>

#include "scene_generator/det_math.h"

namespace tarvel::scenegen {
namespace {

// Bank about 8 degrees at a 100 m radius, never more.
constexpr double kBankPerCurvature = 0.14 * 100.0;
constexpr double kMaxBank = 0.14;

struct PolarSample {
    double rho, drho, ddrho;  // radius and its derivatives by the angle
};

PolarSample Polar(const TrackShape& shape, double c, double s) {
    // Multiple angles from (c, s) by the usual identities, so that TrackRadius
    // needs no angle at all.
    const double c2 = c * c - s * s, s2 = 2.0 * s * c;
    const double c3 = 4.0 * c * c * c - 3.0 * c, s3 = 3.0 * s - 4.0 * s * s * s;
    const double cos2p = c2 * shape.cos2 - s2 * shape.sin2;  // cos(2t + p2)
    const double sin2p = s2 * shape.cos2 + c2 * shape.sin2;  // sin(2t + p2)
    const double cos3p = c3 * shape.cos3 - s3 * shape.sin3;  // cos(3t + p3)
    const double sin3p = s3 * shape.cos3 + c3 * shape.sin3;  // sin(3t + p3)
    const double r = shape.radius;
    return {r * (1.0 + shape.a2 * cos2p + shape.a3 * sin3p),
            r * (-2.0 * shape.a2 * sin2p + 3.0 * shape.a3 * cos3p),
            r * (-4.0 * shape.a2 * cos2p - 9.0 * shape.a3 * sin3p)};
}

double Elevation(const TrackShape& shape, double t) {
    return shape.zMid + shape.z1 * Sin(t + shape.zp1) + shape.z2 * Sin(2.0 * t + shape.zp2);
}

double ElevationSlope(const TrackShape& shape, double t) {
    return shape.z1 * Cos(t + shape.zp1) + 2.0 * shape.z2 * Cos(2.0 * t + shape.zp2);
}

TrackFrame FrameAt(const TrackShape& shape, double t) {
    const double c = Cos(t), s = Sin(t);
    const PolarSample p = Polar(shape, c, s);
    TrackFrame frame;
    frame.centre = {p.rho * c, p.rho * s, Elevation(shape, t)};
    const Vec3 velocity{p.drho * c - p.rho * s, p.drho * s + p.rho * c, ElevationSlope(shape, t)};
    frame.forward = Normalize(velocity);
    // Signed curvature of the plan view; positive bends to the left.
    const double speed2 = p.rho * p.rho + p.drho * p.drho;
    const double curvature =
        (speed2 + p.drho * p.drho - p.rho * p.ddrho) / (speed2 * std::sqrt(speed2));
    double bank = -kBankPerCurvature * curvature;
    bank = bank > kMaxBank ? kMaxBank : (bank < -kMaxBank ? -kMaxBank : bank);
    const Vec3 flatLeft = Normalize({-frame.forward.y, frame.forward.x, 0.0});
    const Vec3 flatUp = Cross(frame.forward, flatLeft);
    // Negative bank lowers the left edge: the inside of a left-hand bend.
    const double cb = Cos(bank), sb = Sin(bank);
    frame.left = flatLeft * cb + flatUp * sb;
    frame.up = flatUp * cb - flatLeft * sb;
    return frame;
}

}  // namespace

TrackShape RandomTrackShape(SplitMix64& rng) {
    TrackShape shape;
    shape.radius = rng.Range(450.0, 550.0);
    shape.a2 = rng.Range(0.08, 0.15);
    const double p2 = rng.Range(0.0, kTwoPi);
    shape.cos2 = Cos(p2);
    shape.sin2 = Sin(p2);
    shape.a3 = rng.Range(0.03, 0.07);
    const double p3 = rng.Range(0.0, kTwoPi);
    shape.cos3 = Cos(p3);
    shape.sin3 = Sin(p3);
    shape.z1 = rng.Range(0.8, 1.3);
    shape.zp1 = rng.Range(0.0, kTwoPi);
    shape.z2 = rng.Range(0.3, 0.7);
    shape.zp2 = rng.Range(0.0, kTwoPi);
    return shape;
}

double TrackRadius(const TrackShape& shape, double c, double s) {
    return Polar(shape, c, s).rho;
}

double TrackReach(const TrackShape& shape) {
    return shape.radius * (1.0 + shape.a2 + shape.a3);
}

double RadialTrackDistance(const TrackShape& shape, double x, double y) {
    const double rho = std::sqrt(x * x + y * y);
    if (rho < 1e-9) {
        return shape.radius * (1.0 - shape.a2 - shape.a3);
    }
    return std::fabs(rho - TrackRadius(shape, x / rho, y / rho));
}

std::vector<TrackFrame> SampleTrack(const TrackShape& shape, int32_t segments) {
    assert(segments >= 3);
    std::vector<TrackFrame> frames;
    frames.reserve(static_cast<std::size_t>(segments) + 1);
    for (int32_t i = 0; i < segments; ++i) {
        frames.push_back(FrameAt(shape, kTwoPi * i / segments));
        if (i > 0) {
            const TrackFrame& previous = frames[frames.size() - 2];
            frames.back().along = previous.along + Length(frames.back().centre - previous.centre);
        }
    }
    TrackFrame closing = frames.front();
    closing.along = frames.back().along + Length(closing.centre - frames.back().centre);
    frames.push_back(closing);
    return frames;
}

void SweepProfile(MeshObject& object, const std::vector<TrackFrame>& frames,
                  const std::vector<ProfilePoint>& profile, double uTile, double vTile,
                  int32_t smoothing) {
    const auto segments = static_cast<int32_t>(frames.size()) - 1;
    const auto width = static_cast<int32_t>(profile.size());
    std::vector<double> across(profile.size(), 0.0);
    for (std::size_t j = 1; j < profile.size(); ++j) {
        const double dOffset = profile[j].offset - profile[j - 1].offset;
        const double dHeight = profile[j].height - profile[j - 1].height;
        across[j] = across[j - 1] + std::sqrt(dOffset * dOffset + dHeight * dHeight);
    }
    const int32_t firstVertex = static_cast<int32_t>(object.vertices.size());
    const int32_t firstTVert = static_cast<int32_t>(object.tverts.size());
    for (int32_t i = 0; i <= segments; ++i) {
        const TrackFrame& f = frames[static_cast<std::size_t>(i)];
        for (int32_t j = 0; j < width; ++j) {
            const ProfilePoint& q = profile[static_cast<std::size_t>(j)];
            // The closing frame shares the first frame's vertices.
            if (i < segments) {
                object.AddVertex(f.centre + f.left * q.offset + f.up * q.height);
            }
            object.AddTVert({across[static_cast<std::size_t>(j)] / uTile, f.along / vTile});
        }
    }
    for (int32_t i = 0; i < segments; ++i) {
        const int32_t next = (i + 1) % segments;
        for (int32_t j = 0; j + 1 < width; ++j) {
            const int32_t v[4] = {firstVertex + i * width + j, firstVertex + next * width + j,
                                  firstVertex + next * width + j + 1,
                                  firstVertex + i * width + j + 1};
            const int32_t t[4] = {firstTVert + i * width + j, firstTVert + (i + 1) * width + j,
                                  firstTVert + (i + 1) * width + j + 1,
                                  firstTVert + i * width + j + 1};
            object.AddQuad(v, t, smoothing, 0);
        }
    }
}

}  // namespace tarvel::scenegen
