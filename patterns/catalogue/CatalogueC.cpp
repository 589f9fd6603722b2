#include "CatalogueC.h"

#include "Catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lumora {

using std::atan2;
using std::cos;
using std::fabs;
using std::log;
using std::pow;
using std::sin;
using std::sqrt;

Color Fiver::color(const Position &p) const
{
    const double t = p.time;
    const double A = 100 * sin(0.001 * t);
    double S = 0;
    for (int i = 0; i <= 4; ++i) {
        const double theta = i * 2 * PI / 5;
        S += cos(2 * PI * (p.x * cos(theta) + p.y * sin(theta) + A));
    }
    const double c = 0.3 * S;
    return Color(2 * c + sin(0.1 * t), 1.5 * c + cos(0.09 * t), -3 * c + sin(0.11 * t));
}

Sweeplet::Sweeplet()
{
    r1 = 0.0;
    speed = 0.05;
}

Color Sweeplet::band(double x, double, double centre, double r, double g, double b)
{
    const double k = std::max(0.0, 1 - fabs(centre - x));
    return Color(r, g, b) * k;
}

Color Sweeplet::color(const Position &p) const
{
    const double centre = 1.5 * sin(p.time);
    return band(p.x, p.y, centre, 1, 0, 0);
}

Vec3 Bars::bar(double, double v, double centre, double r, double g, double b) const
{
    const double w = std::max(0.0, 1 - fabs(centre - v) / barsize);
    return {r * w, g * w, b * w};
}

Color Bars::color(const Position &p) const
{
    static constexpr Vec3 colors[8] = {
        {1, 0, 0}, {1, 0.5, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}, {0.5, 0, 1}, {1, 0, 1},
    };
    const double t = p.time;
    const double a = 0.5 * t;
    const double c = cos(a);
    const double s = sin(a);
    // Not a rotation: the second component keeps the sign pattern of the original.
    const double u = p.x * c - p.y * s;
    const double v = p.x * s - p.y * c;
    const double w = 200 * sin(0.001 * t);
    Vec3 sum;
    for (int k = 0; k <= 7; ++k) {
        const double centre = sin(a + 2 * k * w);
        sum += bar(u, v, centre, colors[k].x, colors[k].y, colors[k].z);
    }
    return Color(sum.x, sum.y, sum.z);
}

Wiggling::Wiggling()
{
    s0 *= 0.2;
    s1 *= 0.2;
}

Color Wiggling::color(const Position &p) const
{
    const double t = p.time;
    const double x = p.x;
    const double y = p.y;
    double P = 0, Q = 0, S = 0;
    for (int i = 1; i <= 3; ++i) {
        P += 8 * sqrt(x * x + y * y);
        Q += i * atan2(y, x);
        S += sin(Q + 3 * sin(P - t) - t);
        S += cos(5 * (Q + 5 * sin(0.3 * t)));
    }
    const double d = 0.5 * S;
    return Color((5 * x - t) * d, cos(5 * y - t) * d, (0.5 + 0.5 * cos(t)) * d);
}

Walkern::Walkern()
{
    speed = 1.0;
}

Color Walkern::color(const Position &p) const
{
    const double t = p.time;
    const auto n = static_cast<std::int64_t>(mod(0.01 * t, 15) + 1);
    const std::int64_t r = p.index % n;
    const auto k = static_cast<std::int64_t>(t);
    if (k % n == r)
        return Color::fromHsv(mod(t, 100) * 360 / 100, 255, 255);
    return black;
}

Color Ringel::color(const Position &p) const
{
    const double a = pow(fabs(mod(p.x, 2) - 1), 4);
    const double b = pow(fabs(mod(p.y, 2) - 1), 4);
    const double h = sin(5 * pow(fabs(a - b), 0.25) + 3 * p.time);
    return Color(h, h * h, -h);
}

Clouds::Clouds()
{
    s0 *= 10;
    s1 *= 10;
    speed *= 2;
}

Color Clouds::color(const Position &p) const
{
    const double t = p.time;
    const double hue = 128 + 127 * sin(p.y * sin(0.818181818181818 * t));
    const double sat = 128 + 127 * sin(p.x * sin(0.176470588235294 * t));
    const double val = 128 + 127 * sin(((p.x + p.y) * 40 + t) / 2);
    return Color::fromHsv(hue, sat, val);
}

Vec2 DoubleSpirals::logPolar(double x, double y)
{
    return {0.5 * log(x * x + y * y), atan2(-y, x)};
}

Color DoubleSpirals::color(const Position &p) const
{
    const double t = p.time;
    const Vec2 B = logPolar(p.x + 1, p.y) - logPolar(p.x - 1, p.y);
    const double alpha = 2 * PI;
    const double beta = log(256.0);
    const double C = sqrt(alpha * alpha + beta * beta);
    const double f = C / 2 / PI;
    const Vec2 R{B.x * alpha / C - B.y * beta / C, B.x * beta / C + B.y * alpha / C};
    const Vec2 W{R.x * f / beta - 0.1 * t, R.y * f / alpha - 0.01 * t};
    const double D = (sin(W.y * 8 * PI) + 1) * 0.7 - 0.2;
    const double h = 2 * PI * W.x;
    return Color(D * (sin(h + t) + 1), D * (sin(h + PI / 3) + 1),
                 D * (sin(h + 0.99 * t + 2 * PI / 3) + 1));
}

double Thingi::curve(double a, double time)
{
    return smoothstep(0, 3, sin01(2 * PI * a) + cos(PI * a) + sin(PI * a + time)) + sin01(2 * PI * a);
}

double Thingi::thing(double x, double y, double t)
{
    const double c = curve(sin01(x) * sin(t), 0.1 * t);
    const double e = curve(sin01(y) * sin(t), 0.13 * t);
    const double g = curve(x + e, 0.14 * t);
    const double l = curve(y - c, 0.15 * t);
    return g - l;
}

Color Thingi::color(const Position &p) const
{
    const double h = thing(p.x, p.y, p.time);
    return Color(h, sin(h + p.time), 1 - h);
}

double Spotlight::spot(double cx, double cy, double radius, double px, double py)
{
    const double d = distance(Vec2{px, py}, Vec2{cx, cy});
    if (radius > d)
        return 1 - pow(d / radius, 4);
    return 0;
}

Color Spotlight::color(const Position &p) const
{
    const double t = p.time;
    return Color(spot(2 * sin(1.01 * t), cos(t), 1, p.x, p.y), spot(2 * cos(t), sin(t), 1, p.x, p.y),
                 spot(2 * sin(t), sin(0.989 * t), 1, p.x, p.y));
}

Spirale4::Spirale4()
{
    s0 *= 0.3;
    s1 *= 0.3;
}

Color Spirale4::color(const Position &p) const
{
    const double t = p.time;
    const double r = sqrt(p.x * p.x + p.y * p.y);
    const double a = atan2(p.y, p.x);
    const double g = cos(3 * (a + 3 * r * cos(t) - sin(t)));
    const double h = 2 * (r + g);
    return Color(1.1 - h, sin(t + h), 1.1 - 2 * (r - g));
}

Color Rings::color(const Position &p) const
{
    const double t = p.time;
    const double s = sin(t) + 2;
    const double k = sin(1.01 * t) + sin(1.1001 * t);
    const double X = p.x * s + k;
    const double Y = p.y * s + k;
    const double L = 2 + 6 * fract(0.5 * sqrt(X * X + Y * Y));
    auto K = [](double v) { return clamp(v, 0, 1); };
    const double red = 2 - K(L - 3) - K(1 - L) - K(L - 9) - K(7 - L);
    const double green = 1 - K(L - 5) - K(3 - L);
    const double blue = 1 - K(L - 7) - K(5 - L);
    return Color(red, green, blue);
}

Walker::Walker()
{
    speed = 1.0;
}

Color Walker::color(const Position &p) const
{
    if (static_cast<std::int64_t>(p.time) % 100 == p.index % 100)
        return white;
    return black;
}

double Bubbles::bubble(double cx, double cy, double radius, double px, double py)
{
    const double d = distance(Vec2{px, py}, Vec2{cx, cy});
    if (radius > d)
        return sin(3 * pow(d / radius, 4) + 0.5);
    return 0;
}

Color Bubbles::color(const Position &p) const
{
    const double t = p.time;
    const double x = p.x;
    const double y = p.y;
    const double b1 = bubble(2 * sin(1.01 * t), cos(t), 1, x, y);
    const double b2 = bubble(2 * cos(t), sin(t), 1, x, y);
    const double b3 = bubble(2 * sin(t), sin(0.989 * t), 1, x, y);
    const double b4 = bubble(-2 * sin(t), -sin(1.03 * t), 1, x, y);
    const double b5 = bubble(-2 * cos(1.02 * t), -sin(t), 1, x, y);
    return Color(b1 + b4 + b5, b2 + b4, b3 + b5);
}

std::vector<PatternFactory> catalogueC()
{
    return {
        makePattern<Fiver>,
        makePattern<Sweeplet>,
        makePattern<Bars>,
        makePattern<Wiggling>,
        makePattern<Walkern>,
        makePattern<Ringel>,
        makePattern<Clouds>,
        makePattern<DoubleSpirals>,
        makePattern<Thingi>,
        makePattern<Spotlight>,
        makePattern<Spirale4>,
        makePattern<Rings>,
        makePattern<Walker>,
        makePattern<Bubbles>,
    };
}

} // namespace lumora
