#include "CatalogueB.h"

#include "Catalogue.h"

#include <algorithm>
#include <cmath>

namespace lumora {

using std::atan2;
using std::cos;
using std::exp;
using std::fabs;
using std::floor;
using std::pow;
using std::sin;
using std::sqrt;

Jelly::Jelly()
{
    s0 *= 0.3;
    s1 *= 0.3;
}

Color Jelly::color(const Position &p) const
{
    const double t = p.time;
    const double r = sqrt(p.x * p.x + p.y * p.y);
    const double a = atan2(p.y, p.x);
    const double g1 = cos(3 * (a + 3 * r * cos(t) - sin(t)));
    const double g2 = cos(4 * (a + 3 * r * cos(1.1 * t) - sin(1.01 * t)));
    return Color(1 - 2 * r * (g1 + g2 + r), 1.1 - r * (1 - sin(t + 2 * (r + g1 - g2))),
                 1.1 - 2 * r * (g2 - g1 + r));
}

Color Heart::color(const Position &p) const
{
    const double t = p.time;
    const double tt = 0.5 * mod(t, 2);
    double s = 0.5 + 0.5 * pow(tt, 0.2);
    // Deliberately 6.2831, not 2·PI.
    s = s - 0.2 * s * sin(5 * 6.2831 * tt) * exp(-6 * tt);
    const double px = p.x * (0.5 + 0.5 * s);
    const double py = p.y * (1.5 - 0.5 * s);
    // Measured from the y axis, so the heart's cleft and tip lie on it.
    const double a = atan2(px, py) / PI;
    const double h = fabs(a);
    const double r = sqrt(px * px + py * py);
    const double d = 13 * h - 22 * (h * h) + 10 * (h * h * h);
    const double f = 1 - r * (6 - 5 * h) / d;
    const double v = f < 0 ? 0 : pow(f, 0.25);
    return Color(v, 0.5 * v, 0.75 * v);
}

StarField2::StarField2()
{
    s0 *= 10;
    s1 *= 10;
    speed = 0.025;
}

Color StarField2::color(const Position &p) const
{
    double a = fract(atan2(p.y, p.x) / (2 * PI));
    const double r = sqrt(p.x * p.x + p.y * p.y);
    double T = p.time;
    double acc = 0;
    for (int i = 0; i <= 2; ++i) {
        const double fi = i;
        const double H = floor(256 * a) + 1;
        const double K = fract(H * fract(0.7235 * H) * 45.1);
        const double N = fract(H * fract(0.82657 * H) * 13.724);
        // Each layer starts where the previous one left the time.
        T = T + 10 * K;
        const double n = sqrt(N + fi);
        const double P = 0.1 * n / r;
        const double Q = fabs(fract(0.1 * T + P) - 0.5);
        acc += (1 / Q) * cos(0.7 * sin(T)) * P / n / 30;
        a = std::fmod(a + 0.61, 1);
    }
    return Color(1.5 * acc, 0.8 * acc, 0.6 * acc);
}

Rose::Rose()
{
    s1 = 0.025;
}

Color Rose::color(const Position &p) const
{
    const double t = p.time;
    const double a = atan2(p.x, p.y);
    const double r = sqrt(p.x * p.x + p.y * p.y);
    const double w = 0.5 * (sin(r - t) + 1.5) * r + 0.02 * t;
    const double h = mod(5 * a + sin(10 * r + t), 2 * PI) / PI * 0.5 - 0.5;
    const double o = mod(pow(4 * w, 0.75), 1) - 0.5;
    const double rho = sqrt(h * h + 5 * (o * o));
    const double beta = atan2(h, o);
    const double u = mod(3 * beta + 3 * cos(16 * rho - t), 2 * PI) / PI * 0.5 - 0.5;
    const double v = 1.5 * sqrt(u * u + o * o);
    return Color::fromHsv(360 * (rho + 0.5 * t), 255 * rho, 255 * v * v * v * 2);
}

Interference::Interference()
{
    s0 *= 10;
    s1 *= 2;
    speed = 0.01;
}

Color Interference::color(const Position &p) const
{
    const double t = p.time;
    const Vec2 centres[4] = {
        {cos(t), cos(0.535 * t)},
        {cos(0.259 * t), cos(0.605 * t)},
        {cos(0.346 * t), cos(0.263 * t)},
        {cos(0.1346 * t), cos(0.1263 * t)},
    };
    const Vec2 here{p.x, p.y};
    Vec2 S;
    for (const Vec2 &c : centres) {
        const double d = distance(c, here);
        S = S + Vec2{cos(16 * d), sin(16 * d)};
    }
    const Vec2 n = normalize(S);
    const double L = 0.25 * length(S);
    return Color(L * n.x, L * n.y, L * (-n.x - n.y));
}

Flower2::Flower2()
{
    s0 = 0.1;
    s1 = 0.025;
}

Color Flower2::color(const Position &p) const
{
    const double t = p.time;
    const double a = atan2(p.x, p.y);
    const double r0 = sqrt(p.x * p.x + p.y * p.y);
    const double r = 0.5 * (sin(r0 - t) + 1.5) * r0;
    const double h = mod(3 * a + sin(10 * r + t), 2 * PI) / PI * 0.5 - 0.5;
    const double m = mod(pow(4 * r, 0.75), 1) - 0.5;
    const double rho = sqrt(h * h + m * m);
    const double beta = atan2(h, m);
    const double u = mod(6 * beta + 3 * cos(30 * rho - t), 2 * PI) / PI * 0.5 - 0.5;
    const double v = mod(4 * rho, 1) - 0.5;
    return Color::fromHsv(360 * (rho + 0.5 * t), 255 * rho, 1.5 * sqrt(u * u + v * v) * 255);
}

Color Tunnel2::color(const Position &p) const
{
    const double t = p.time;
    const double a = atan2(p.y, p.x);
    const double u = a / (2 * PI) + 10;
    const double r = sqrt(p.x * p.x + p.y * p.y);
    const double v = t + 0.5 / r;
    const Vec3 q{u + v, u - v, u + sin(v)};
    const double c1 = 0.5 + 0.3 * cos(2 * PI * q.x);
    const double c2 = 0.5 + 0.3 * cos(8 * PI * q.y);
    const double c3 = 0.5 + 0.5 * cos(6 * PI * q.z);
    const double s = fabs(sin(2 * t));
    Vec3 col = 3 * mix(Vec3{1, 0.8, 1 - s}, Vec3{0.5 * s, 0, 0}, pow(c1, 0.2));
    col += 0.75 * mix(Vec3{0.8, 0.9, 1}, Vec3{0.1, 0.1, 0.2}, pow(c2, 0.1));
    col += 0.75 * mix(Vec3{0.9, 0.8, 1}, Vec3{0.1, 0.2, 0.2}, pow(c3, 0.1));
    return Color(col.x * r, col.y * r, col.z * r);
}

Vec3 WaveBars::waveBar(double a, double b, double w, double d, Vec3 colour) const
{
    const double k = std::max(0.0, 1 - fabs(d - w + 0.1 * sin(2 * a + 4 * b * sin(1 - 2 * d))) / barsize());
    return colour * k;
}

Color WaveBars::color(const Position &p) const
{
    static constexpr Vec3 colours[8] = {
        {1, 0, 0}, {1, 0.5, 0}, {1, 1, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}, {0.5, 0, 1}, {1, 0, 1},
    };
    const double t = p.time;
    const double A = 0.5 * t;
    const double U = 0.25 * cos(A);
    const double V = 0.25 * sin(A);
    // Turned and mirrored: both coordinates subtract.
    const double h = p.x * U - p.y * V;
    const double l = p.x * V - p.y * U;
    const double o = 100 * sin(0.0001 * t);
    Vec3 col;
    for (int k = 0; k <= 7; ++k)
        col += waveBar(A, h, l, sin(A + 2 * k * o), colours[k]);
    return Color(col.x, col.y, col.z);
}

Spirale2::Spirale2()
{
    speed = 3.6;
}

Color Spirale2::color(const Position &p) const
{
    const double t = p.time;
    return Color::fromHsv(100 * sqrt(p.x * p.x + p.y * p.y) + atan2(p.y, p.x) * 180 / PI - t, 240, 255);
}

GridPattern::GridPattern()
{
    speed = 0.01;
}

Color GridPattern::color(const Position &p) const
{
    const double t = p.time;
    const double s = 16 * sin(t / 8);
    const double P = p.x * s + 4 * sin(2.1 * t);
    const double Q = p.y * s + 4 * cos(2.3 * t);
    const double G = sin(P) + sin(Q);
    const double P2 = 2 * P * sin(t) + sin(1.1 * t);
    const double Q2 = 2 * Q * sin(t) + cos(1.3 * t);
    const double tau = 0.7 * t;
    const double R1 = cos(tau) * P2 - sin(tau) * Q2;
    const double R2 = sin(tau) * P2 + cos(tau) * Q2;
    const double A = sin(G + sin(R1) + sin(R2));
    const double Ad = (A + 1) * 0.5 - 0.5;
    const double e = 1.8 - sqrt(p.x * p.x + p.y * p.y);
    return Color(e * (Ad + 0.4 * e), e * (Ad * Ad - 0.5 + 0.5 * e), 1.9 * e * Ad);
}

Leadlight::Leadlight()
{
    s0 *= 0.03;
    s1 *= 0.03;
}

Color Leadlight::color(const Position &p) const
{
    const double t = p.time;
    const double r = sqrt(p.x * p.x + p.y * p.y);
    const double a = atan2(p.y, p.x);
    const double F = t + 100 / (r + 1);
    const double g = sin(r + F);
    const double k = 15 * fabs(0.05 * (sin(F) + sin(t + 8 * a)));
    const Color base(-sin(5 * r - a - t + g), sin(3 * r + a - t + g), cos(r + 2 * a + a + t) - g);
    return (base.normalize() + 0.9) * k;
}

std::vector<PatternFactory> catalogueB()
{
    return {
        makePattern<Jelly>,
        makePattern<Heart>,
        makePattern<StarField2>,
        makePattern<Rose>,
        makePattern<Interference>,
        makePattern<Flower2>,
        makePattern<Tunnel2>,
        makePattern<WaveBars>,
        makePattern<Spirale2>,
        makePattern<GridPattern>,
        makePattern<Leadlight>,
    };
}

} // namespace lumora
