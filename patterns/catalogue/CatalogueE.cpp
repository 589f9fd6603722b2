#include "CatalogueE.h"

#include "Catalogue.h"
#include "FrameTerms.h"

#include "../vector/VectorKernels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lumora {

using std::atan2;
using std::cos;
using std::exp;
using std::floor;
using std::sin;
using std::sqrt;

namespace {

/// One of the hundred sparks that Floating and Spirals share: its angle a and scaled
/// distance r seen from the point, and its weight e.
struct Spark {
    double a;
    double r;
    double e;
};

Spark spark(double x, double y, const SparkPlaces &places, int i)
{
    const double d1 = fract(x - places.qy[i]) - 0.5;
    const double d2 = fract(y - places.qx[i]) - 0.5;
    const double a = atan2(d2, d1);
    const double r = 100 * sqrt(d1 * d1 + d2 * d2);
    return {a, r, exp(-0.5 * r)};
}

Color floatingAt(const Position &p, const SparkPlaces &places)
{
    double A = 0;
    double W = 0;
    for (int i = 0; i < kSparkCount; ++i) {
        const Spark k = spark(p.x, p.y, places, i);
        A = A + sin(sin(2 * k.a - k.r) + k.a + p.time) * k.e;
        W = W + k.e;
    }
    const double B = 1.5 * A / W;
    return Color((B - 0.5) * (B + 0.5), B, -B);
}

Color spiralsAt(const Position &p, const SparkPlaces &places)
{
    double A = 0;
    double W = 0;
    for (int i = 0; i < kSparkCount; ++i) {
        const Spark k = spark(p.x, p.y, places, i);
        A = A + sin(k.r - k.a - p.time) * k.e;
        W = W + k.e;
    }
    const double B = 1.5 * A / W;
    return Color(B, (B - 0.5) * (B + 0.5), -B);
}

double densityIn(const TunnelScene &scene, Vec3 q)
{
    const double d1 = distance(q, scene.centre1);
    const double d2 = distance(q, scene.centre2);
    const double d3 = distance(q, scene.centre3);
    return d1 * d2 * d3
           * (cos(q.y) * cos(q.x) - 0.1 - 0.1 * cos(7 * q.z + scene.sevenT) * cos(3 * q.x) * cos(4 * q.y));
}

// Offsets for the field's gradient in Tunnel.
constexpr Vec3 kDx{0.01, 0, 0};
constexpr Vec3 kDy{0, 0.01, 0};
constexpr Vec3 kDz{0, 0, 0.01};

// Beyond this magnitude a double has no 64-bit integer part.
constexpr double kInt64Limit = 9223372036854775808.0;

} // namespace

Eggs::Eggs()
{
    s0 *= 6;
    s1 *= 6;
}

Color Eggs::color(const Position &p) const
{
    const double t = p.time;
    const double r = sqrt(p.x * p.x + p.y * p.y);
    const double a = atan2(p.y, p.x) + PI;
    const double d = r - a + 2 * PI;
    const double m = a + 2 * PI * floor(d / (2 * PI));
    const double s = 0.02 * PI * (m * m) - t;
    const double u = 2 * (fract(s) - 0.5);
    const double w = 2 * (fract(d / (2 * PI)) - 0.5);
    const double n = floor(s);
    const double H = sqrt(u * u + w * w);
    if (H >= 1)
        return Color(0, 0, 0);

    const Vec3 N{u, w, sqrt(1 - H * H)};
    const Vec3 L = normalize(Vec3{0, 1, 1});
    const double diffuse = std::max(dot(L, N), 0.25);
    const Vec3 half = normalize(L + Vec3{0, 0, 1});
    const double specular = std::pow(std::max(dot(half, N), 0.0), 40);
    return Color(diffuse * (0.5 * cos(n + 2) + 0.5) + specular,
                 diffuse * (0.5 * cos(n + 4) + 0.5) + specular,
                 diffuse * (0.5 * cos(n) + 0.5) + specular);
}

Tunnel::Tunnel()
{
    r1 = 0.0;
    s0 = 0.08;
    s1 = 0.0;
    speed = 0.05;
}

/// One ray of Tunnel through the scene of its frame.
static Color tunnelAt(const Position &p, const TunnelScene &scene)
{
    const Vec3 O{p.x, p.y, 0};
    const Vec3 D{(p.x + scene.sway) / 54, p.y / 54, 0.018518518518518517};
    const auto densityAt = [&scene](Vec3 q) { return densityIn(scene, q); };

    Vec3 C{0, 0, 0};
    double s = 0;
    for (int step = 0; step < 64; ++step) {
        if (densityAt(O + D * s) < 0.4) {
            // Back off and close in on the surface in finer steps.
            s = s - 4;
            for (int refine = 0; refine < 8; ++refine) {
                if (densityAt(O + D * s) < 0.4)
                    break;
                s = s + 0.5;
            }
            const Vec3 q = O + D * s;
            const double f0 = densityAt(q);
            const Vec3 g{f0 - densityAt(q + kDx), f0 - densityAt(q + kDy), f0 - densityAt(q + kDz)};
            const Vec3 n = normalize(g);
            const double a = 0.5 * std::max(0.0, -0.5 * n.y + 0.25 * n.z);
            C = C + Vec3{a - 0.5 * n.x, a - 0.5 * n.y, a - 0.5 * n.z};
            break;
        }
        s = s + 4;
    }
    return Color(C.x + 0.003 * s, C.y + 0.006 * s, C.z + 0.015 * s);
}

double Tunnel::density(double x, double y, double z, double t)
{
    return densityIn(tunnelScene(t), Vec3{x, y, z});
}

Color Tunnel::color(const Position &p) const
{
    return tunnelAt(p, tunnelScene(p.time));
}

void Tunnel::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const TunnelScene scene = tunnelScene(time);
    eachPosition(time, positions, out, [&](const Position &p) { return tunnelAt(p, scene); });
}

Color Floating::color(const Position &p) const
{
    return floatingAt(p, sparkPlaces(0.01 * p.time));
}

void Floating::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const SparkPlaces places = sparkPlaces(0.01 * time);
    eachPosition(time, positions, out, [&](const Position &p) { return floatingAt(p, places); });
}

void Floating::colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const
{
    if (!vectorColors(&VectorKernels::floating, sparkPlaces(0.01 * time), time, positions, out))
        colors(time, positions, out);
}

Lumora::Lumora()
{
    s0 = 0.007;
    s1 = 0.002;
    speed = 0.002;
}

Color Lumora::color(const Position &p) const
{
    const double t = p.time;
    const Vec2 c1{cos(t), cos(0.535 * t)};
    const Vec2 c2{cos(0.259 * t), cos(0.605 * t)};
    const Vec2 q{p.x, p.y};
    const double d1 = distance(c1, q);
    const double d2 = distance(c2, q);
    const Vec2 S{cos(64 * d1) + cos(64 * d2), sin(64 * d1) + sin(64 * d2)};
    const Vec2 n = normalize(S);
    return Color(n.x, n.y, 0.25 * length(S) * (n.x - n.y));
}

Spirals::Spirals()
{
    s0 *= 0.1;
    s1 *= 0.1;
}

Color Spirals::color(const Position &p) const
{
    return spiralsAt(p, sparkPlaces(0.007 * p.time));
}

void Spirals::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const SparkPlaces places = sparkPlaces(0.007 * time);
    eachPosition(time, positions, out, [&](const Position &p) { return spiralsAt(p, places); });
}

void Spirals::colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const
{
    if (!vectorColors(&VectorKernels::spirals, sparkPlaces(0.007 * time), time, positions, out))
        colors(time, positions, out);
}

Vec3 Neon::latticeBars(Vec3 p)
{
    Vec3 q = abs(fract(p) - 0.5);
    q *= q;
    return {sqrt(q.x + q.y) - 0.05, sqrt(q.y + q.z) - 0.05, sqrt(q.z + q.x) - 0.05};
}

Color Neon::color(const Position &p) const
{
    const Vec3 v = normalize(Vec3{p.x, p.y, 1});
    const double a = 0.1 * p.time;
    const double y1 = v.y * cos(a) - v.z * sin(a);
    const double z1 = v.y * sin(a) + v.z * cos(a);
    const Vec3 dir{v.x * cos(a) - z1 * sin(a), y1, v.x * sin(a) + z1 * cos(a)};

    Vec3 P{0, a, 0};
    Vec3 C{0, 0, 0};
    double w = 1;
    const double step = 0.5 / MAXITER;
    for (int i = 0; i < MAXITER; ++i) {
        const Vec3 g = latticeBars(P);
        const double m = std::min({g.x, g.y, g.z});
        P = P + dir * m;
        const double k = clamp(std::fabs(w) - m, 0, 1);
        C = C + g * k;
        w = w - step * m;
    }
    return Color(C.x * C.x / 70, C.y * C.y / 70, C.z * C.z / 70);
}

Color Hexagon2::color(const Position &p) const
{
    const double theta = 0.1 * p.time * PI / 3;
    const double r = sqrt(p.x * p.x + p.y * p.y);
    Vec2 q[6] = {{p.x, p.y}};
    for (int k = 0; k < 5; ++k)
        q[k + 1] = rotated(q[k], theta);
    double a[6];
    for (int k = 0; k < 6; ++k)
        a[k] = std::fabs(0.2 - q[k].x);

    const double V0 = r * a[0] * a[2] * a[3] * a[5] * std::fabs(q[2].x);
    const double V1 = r * a[0] * a[1] * a[3] * a[4] * std::fabs(q[0].x);
    const double V2 = r * a[1] * a[2] * a[4] * a[5] * std::fabs(q[1].x);
    // Where 100000·V exceeds 11 the root is NaN, which the colour makes 0.
    return Color(sin(2.9 * sqrt(11 - 100000 * V0)),
                 sin(2.9 * sqrt(11 - 100000 * V1)),
                 sin(2.9 * sqrt(11 - 100000 * V2)));
}

Walker10::Walker10()
{
    speed = 1.0;
}

Color Walker10::color(const Position &p) const
{
    const double t = p.time;
    // Converting such a time to an integer would be undefined; it has no step to light.
    if (!(std::fabs(t) < kInt64Limit))
        return black;
    if (static_cast<std::int64_t>(t) % 10 == p.index % 10)
        return Color::fromHsv(mod(t, 100) * 360 / 100, 255, 255);
    return black;
}

std::vector<PatternFactory> catalogueE()
{
    return {
        makePattern<Eggs>,
        makePattern<Tunnel>,
        makePattern<Floating>,
        makePattern<Lumora>,
        makePattern<Spirals>,
        makePattern<Neon>,
        makePattern<Hexagon2>,
        makePattern<Walker10>,
    };
}

} // namespace lumora
