#include "CatalogueD.h"

#include "Catalogue.h"
#include "FrameTerms.h"

#include <algorithm>
#include <cmath>

namespace lumora {

using std::atan2;
using std::cos;
using std::fabs;
using std::pow;
using std::sin;
using std::sqrt;
using std::tan;

Color Colors2::color(const Position &p) const
{
    const double t = p.time;
    const Vec2 c{cos(t), cos(0.535 * t)};
    Vec2 q{p.x, p.y};
    // fmod keeps the sign of the coordinate, so cells left of or below zero never flip.
    if (std::fmod(p.x, 0.05) > 0.025)
        q.y = 1 - p.y;
    if (std::fmod(p.y, 0.05) > 0.025)
        q.x = 1 - p.x;
    const double a = distance(c, q) * 64;
    const Vec2 n = normalize(Vec2{cos(a), sin(a)});
    return Color(n.x * n.x, n.x * n.y, n.x - n.y);
}

Flower3::Flower3()
{
    s0 = 0.1;
    s1 = 0.1025;
}

Color Flower3::color(const Position &p) const
{
    const double t = p.time;
    const double x = p.x;
    const double y = p.y;
    const double a = atan2(x, y);
    const double r = sqrt(x * x + y * y);
    const double r2 = (sin(r - t) + 1) * r;
    const double g1 = (mod(8 * a + sin(16 * r2 + t), 2 * PI) / PI) * 0.5 - 0.5;
    const double h1 = mod(pow(8 * r2, 0.75), 1);
    const double d = sqrt(g1 * g1 + (h1 - 0.5) * (h1 - 0.5));
    const double g2 = (mod(8 * a + sin(30 * d - t), 2 * PI) / PI) * 0.5 - 0.5;
    const double h2 = mod(4 * d, 1);
    const double e = sqrt(g2 * g2 + (h2 - 0.5) * (h2 - 0.5)) * 1.5;
    Color C = Color::fromHsv((d + 0.5 * t) * 360, 255, 255);
    // The components are changed after construction, bypassing its NaN step.
    C.r = 0.2 * (1 - e) + C.r * e;
    C.g = 0.2 * (1 - e) + C.g * e;
    C.b = 0.2 * (1 - e) + C.b * e;
    const double q = pow(e, 4);
    C.r = C.r * (1 - q) + q;
    C.g = C.g * (1 - q) + q;
    C.b = C.b * (1 - q) + q;
    return C;
}

Upholstery::Upholstery()
{
    s0 *= 0.3;
    s1 *= 0.3;
}

Color Upholstery::color(const Position &p) const
{
    const double t = p.time;
    const double x = p.x;
    const double y = p.y;
    const double theta = 0.2 * t * PI / 3;
    auto S = [](double v) { return smoothstep(0.2, 0, v); };

    const double r = sqrt(x * x + y * y);
    Vec2 q = rotated(rotated(Vec2{2 * x, 2 * y}, theta), theta);
    q = tan(q) * 3;
    q = q * (1.5 + sin(0.5 * t) / r);
    q = rotated(q, theta);
    const Vec2 pq = Vec2{x, y} + q;
    // Where |sin| < 0.1 the roots are NaN; the colour constructor turns what survives into 0.
    const Vec2 u{x + sqrt(fabs(sin(pq.x)) - 0.1), y + sqrt(fabs(sin(pq.y)) - 0.1)};
    const double m = length(u);
    double A = m, B = m, C = m;

    const Vec2 u1 = rotated(u, theta);
    const Vec2 u2 = rotated(u1, theta);
    const Vec2 u3 = rotated(u2, theta);
    const Vec2 u4 = rotated(u3, theta);
    const Vec2 u5 = rotated(u4, theta);
    const double s[6] = {S(fabs(x)),    S(fabs(u1.x)), S(fabs(u2.x)),
                         S(fabs(u3.x)), S(fabs(u4.x)), S(fabs(u5.x))};
    A += s[0];
    A += s[2];
    A += s[3];
    A += s[5];
    B += s[0];
    B += s[1];
    B += s[3];
    B += s[4];
    C += s[1];
    C += s[2];
    C += s[4];
    C += s[5];

    A = A * fabs(u2.x);
    B = B * fabs(x);
    C = C * fabs(u1.x);
    const Vec2 ab = rotated(Vec2{A, B}, theta);
    A = ab.x;
    B = ab.y;
    const Vec2 bc = rotated(Vec2{B, C}, theta);
    B = bc.x;
    C = bc.y;
    A = fabs(A);
    B = fabs(B);
    C = fabs(C);
    return Color(A * C, A * B, B * C);
}

Color Checkered::color(const Position &p) const
{
    const double t = p.time;
    const double v = sin(p.x + 10 * cos(0.25 * t)) + cos(p.y + 10 * sin(0.25 * t));
    return Color(v, cos(v - t), sin(v + 0.99 * t));
}

DualScan::DualScan()
{
    r1 = 0;
    speed = 0.1;
}

Vec3 DualScan::scanBar(double px, double, double pos, double r, double g, double b) const
{
    const double w = std::max(0.0, 1 - fabs(pos - px) / barsize);
    return {r * w, g * w, b * w};
}

Color DualScan::color(const Position &p) const
{
    const double x = p.x;
    const double y = p.y;
    const double h = 0.5 * p.time;
    const Vec3 S = scanBar(x, y, 1.5 * sin(h), 1, 0, 0) + scanBar(x, y, sin(h + 2 * (PI / 3)), 1, 0.5, 0)
        + scanBar(x, y, sin(h + 4 * (PI / 3)), 1, 1, 0);
    return Color(S.x, S.y, S.z);
}

Sinus::Sinus()
{
    r1 = 0;
    s0 = 0.1;
    s1 = 0;
}

/// Sinus at one LED, its points already placed for the LED's time.
static Color sinusAt(const Position &p, const SinusTerms &terms)
{
    const double x = p.x;
    const double y = p.y;
    double R = 0, G = 0, B = 0;
    for (int n = 0; n < kSinusPoints; ++n) {
        const double dx = x - terms.column[n];
        double dy = y - terms.redY[n];
        R += 0.15 / ((dx * dx + dy * dy) * 8 * 15 * terms.redFalloff);
        dy = y - terms.greenY[n];
        G += 0.5 / ((dx * dx + dy * dy) * 8 * 15 * terms.greenFalloff);
        dy = y - terms.blueY[n];
        B += 0.75 / ((dx * dx + dy * dy) * 8 * 15 * terms.blueFalloff[n]);
    }
    const double m = terms.q * 0.5 + 0.5;
    return Color(R, (1.5 - m) * G, m * B);
}

Color Sinus::color(const Position &p) const
{
    return sinusAt(p, sinusTerms(p.time));
}

void Sinus::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const SinusTerms terms = sinusTerms(time);
    eachPosition(time, positions, out, [&](const Position &p) { return sinusAt(p, terms); });
}

Vec3 RotatingBars::rotatedBar(double px, double py, double pos, double r, double g, double b,
                              double angle) const
{
    const Vec2 q = rotated(Vec2{px, py}, angle);
    const double w = std::max(0.0, 1 - fabs(pos - q.y) / barsize);
    return {r * w, g * w, b * w};
}

Color RotatingBars::color(const Position &p) const
{
    const double t = p.time;
    const double h = 0.5 * t;
    const double c = cos(h);
    const double s = sin(h);
    // Not a rotation: the second component keeps the sign pattern of the original.
    const Vec2 q{p.x * c - p.y * s, p.x * s - p.y * c};
    const double k = 200 * sin(0.001 * t);
    const Vec3 S = rotatedBar(q.x, q.y, sin(h), 1, 0, 0, h)
        + rotatedBar(q.x, q.y, sin(h + 2 * k), 1, 0.5, 0, h * 1.01)
        + rotatedBar(q.x, q.y, sin(h + 4 * k), 1, 1, 0, h * 1.02)
        + rotatedBar(q.x, q.y, sin(h + 6 * k), 0, 1, 0, h * 1.03)
        + rotatedBar(q.x, q.y, sin(h + 8 * k), 0, 1, 1, h * 1.04)
        + rotatedBar(q.x, q.y, sin(h + 10 * k), 0, 0, 1, h * 1.05)
        + rotatedBar(q.x, q.y, sin(h + 12 * k), 0.5, 0, 1, h * 1.06)
        + rotatedBar(q.x, q.y, sin(h + 14 * k), 1, 0, 1, h * 1.07);
    return Color(S.x, S.y, S.z);
}

Flower::Flower()
{
    s0 = 0.05;
    s1 = 0.025;
    speed = 0.01;
}

Color Flower::color(const Position &p) const
{
    const double t = p.time;
    const double x = p.x;
    const double y = p.y;
    const double a = atan2(x, y);
    const double r = sqrt(x * x + y * y);
    const double r2 = (sin(r - t) + 1) * r;
    const double g = (mod(8 * a + sin(16 * r2 + t), 2 * PI) / PI) * 0.5 - 0.5;
    const double h = mod(pow(8 * r2, 0.75), 1) - 0.5;
    const double d = sqrt(g * g + h * h);
    const double a2 = atan2(g, h);
    const double g2 = (mod(8 * a2 + sin(0 * d), 2 * PI) / PI) * 0.5 - 0.5;
    const double h2 = mod(4 * d, 1);
    const double e = sqrt(g2 * g2 + (h2 - 0.5) * (h2 - 0.5)) * 1.5;
    return Color::fromHsv((d + 0.5 * t) * 360, fabs(d) * 255, fabs(e * e * e * e) * 255);
}

Spirale3::Spirale3()
{
    r1 = 0;
    s0 = 0.02;
    s1 = 0;
    speed = 0.02;
}

double Spirale3::rampChannel(double v)
{
    // The truncated constants are part of the look: the ramp does not quite meet 0 and 1.
    double q = fract(fabs(v) * 0.16666);
    if (q > 0.5)
        q = 1 - q;
    if (q < 0.16666)
        return 0;
    if (q < 0.33333)
        return q * 6 - 1;
    return 1;
}

Color Spirale3::color(const Position &p) const
{
    const double t = p.time;
    const double x = p.x;
    const double y = p.y;
    const double a = atan2(y, x);
    const double r = sqrt(x * x + y * y);
    const double h = (a * 15) / PI;
    const double c = cos((a + r * 40 * (sin(20 * a + t) * 0.1 + 1)) - 3 * t);
    const double b = ((c * 5) / (r + 5) + 1) * 0.5;
    return Color(b * rampChannel(h + 0.1 * t), b * rampChannel(h + 0.201 * t),
                 b * rampChannel(h - 0.301 * t));
}

Grid::Grid()
{
    speed = 0.01;
}

Color Grid::color(const Position &p) const
{
    const double t = p.time;
    const double x = p.x;
    const double y = p.y;
    const double A = tan(x * cos(t / 15) * 80);
    const double B = cos(y * cos(t / 15) * 10);
    const double C = sin(y * sin(t / 10) * 40);
    const double D = cos(x * sin(t / 25) * 40);
    const double E = sin(x * sin(t / 5) * 10);
    const double F = tan(y * sin(t / 35) * 80);
    const double v = (((A + B) + (C + D)) + (E + F)) * (sin(t / 10) * 0.5);
    return Color(v, v * 0.5, sin(v + t / 3));
}

Color Hexagon::color(const Position &p) const
{
    const double x = p.x;
    const double y = p.y;
    const double theta = 0.1 * p.time * PI / 3;
    const double r = sqrt(x * x + y * y);
    const Vec2 p0{x, y};
    const Vec2 p1 = rotated(p0, theta);
    const Vec2 p2 = rotated(p1, theta);
    const Vec2 p3 = rotated(p2, theta);
    const Vec2 p4 = rotated(p3, theta);
    const Vec2 p5 = rotated(p4, theta);
    const double a0 = fabs(0.2 - p0.x);
    const double a1 = fabs(0.2 - p1.x);
    const double a2 = fabs(0.2 - p2.x);
    const double a3 = fabs(0.2 - p3.x);
    const double a4 = fabs(0.2 - p4.x);
    const double a5 = fabs(0.2 - p5.x);
    const double X = r * a0 * a2 * a3 * a5 * fabs(p2.x);
    const double Y = r * a0 * a1 * a3 * a4 * fabs(x);
    const double Z = r * a1 * a2 * a4 * a5 * fabs(p1.x);
    return Color(1 - 100000 * X, 1 - 100000 * Y, 1 - 100000 * Z);
}

std::vector<PatternFactory> catalogueD()
{
    return {
        makePattern<Colors2>,
        makePattern<Flower3>,
        makePattern<Upholstery>,
        makePattern<Checkered>,
        makePattern<DualScan>,
        makePattern<Sinus>,
        makePattern<RotatingBars>,
        makePattern<Flower>,
        makePattern<Spirale3>,
        makePattern<Grid>,
        makePattern<Hexagon>,
    };
}

} // namespace lumora
