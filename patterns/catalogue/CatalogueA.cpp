#include "CatalogueA.h"

#include "Catalogue.h"
#include "FrameTerms.h"

#include "../vector/VectorKernels.h"

#include <cmath>

namespace lumora {

using std::atan;
using std::atan2;
using std::cos;
using std::exp;
using std::fabs;
using std::floor;
using std::pow;
using std::sin;
using std::sqrt;

Stars2::Stars2()
{
    s0 *= 0.2;
}

double Stars2::makePoint(double x, double y, double fx, double fy, double sx, double sy, double t)
{
    const double a = x + sx * sin(t * fx);
    const double b = y + sy * cos(t * fy);
    // The product of the squares, not their sum: each line a = 0 and b = 0 glows on its own.
    return 0.01 / sqrt((a * a) * (b * b));
}

Color Stars2::color(const Position &p) const
{
    const double t = p.time;
    const double o = makePoint(p.x, p.y, 2.0, 2.5, 0.9, 0.3, t);
    const double u = makePoint(p.x, p.y, 1.0, 1.5, 0.6, 0.6, t);
    const double w = makePoint(p.x, p.y, 3.0, 3.5, 0.3, 0.9, t);
    const double B = o * o + u * u + w * w;
    return Color(o * B, u * B, w * B);
}

Floor::Floor()
{
    r1 = 0;
    speed *= 2.5;
}

double Floor::get2DTexture(double u, double v)
{
    return sin(u) + sin(v);
}

Color Floor::color(const Position &p) const
{
    const double t = p.time;
    const double e = p.y - 0.2;
    const double u = 6 * (p.x / e + 0.125 * t);
    const double v = 6 * (e - 0.8) / e;
    const double g = get2DTexture(u, v) * (2 * e);
    return Color(-g * cos(t), g * sin(0.51 * t), g * sin(0.9 * t));
}

double Lava::lava(double t, double x, double y, double modifier, double uniformity)
{
    const double m = modifier;
    const double d = 0.1 * t;
    const double xd = x + d * m;
    const double yd = y + d * 0.99 * m;
    const double s = sin(xd) + sin(m + t + 0.01 * xd * yd) + sin(yd);
    return pow(sin(2 * sin(s)), 40 * uniformity);
}

Color Lava::color(const Position &p) const
{
    const double t = p.time;
    return Color(lava(t, p.x, p.y, 2, 0.031), lava(t, p.x, p.y, 3, 0.042), lava(t, p.x, p.y, 5, 0.053));
}

Color Beams::color(const Position &p) const
{
    const double t = p.time;
    double Y = p.y;
    double r = 0, g = 0, b = 0;
    for (int i = 0; i <= 14; ++i) {
        const double fi = i;
        // Each beam bends the line the next one starts from.
        Y = Y + 0.1 * sin(0.2 * p.x * fi + t + 0.5 * fi);
        const double I = fabs(0.02 / Y);
        r += I * (10 - fi) * 0.1;
        g += I * fi * 0.1;
        b += I * 1.5;
    }
    return Color(r, g, b);
}

namespace {
double C(double v)
{
    return clamp(v, 0, 1);
}
double rampR(double u)
{
    return 2 - C(u - 3) - C(1 - u) - C(u - 9) - C(7 - u);
}
double rampG(double u)
{
    return 1 - C(u - 5) - C(3 - u);
}
double rampB(double u)
{
    return 1 - C(u - 7) - C(5 - u);
}
} // namespace

Color DoubleRings::color(const Position &p) const
{
    const double t = p.time;
    const double A1 = sin(t) + 2;
    const double B1 = sin(1.01 * t) + sin(1.101 * t);
    const double A2 = sin(t) + 2.1;
    const double B2 = sin(1.11 * t) + sin(1.111 * t);
    const double X1 = p.x * A1 + B1;
    const double Y1 = p.y * A1 + B1;
    const double X2 = p.x * A2 + B2;
    const double Y2 = p.y * A2 + B2;
    const double u1 = 2 + 6 * fract(0.5 * sqrt(X1 * X1 + Y1 * Y1));
    const double u2 = 2 + 6 * fract(0.5 * sqrt(X2 * X2 + Y2 * Y2));
    return Color(0.5 * (rampR(u1) + rampR(u2)), 0.5 * (rampG(u1) + rampG(u2)), 0.5 * (rampB(u1) + rampB(u2)));
}

namespace {

struct Blob { double fx, fy, sx, sy; };
// The first nine make up H, the last nine K.
constexpr int kBlobCount = 18;
constexpr Blob kBlobs[kBlobCount] = {
    {3.3, 2.9, 0.3, 0.3}, {1.9, 2.0, 0.4, 0.4}, {0.8, 0.7, 0.4, 0.5},
    {2.3, 0.1, 0.6, 0.3}, {0.8, 1.7, 0.5, 0.4}, {0.3, 1.0, 0.4, 0.4},
    {1.4, 1.7, 0.4, 0.5}, {1.3, 2.1, 0.6, 0.3}, {1.8, 1.7, 0.5, 0.4},
    {1.2, 1.9, 0.3, 0.3}, {0.7, 2.7, 0.4, 0.4}, {1.4, 0.6, 0.4, 0.5},
    {2.6, 0.4, 0.6, 0.3}, {0.7, 1.4, 0.5, 0.4}, {0.7, 1.7, 0.4, 0.4},
    {0.8, 0.5, 0.4, 0.5}, {1.4, 0.9, 0.6, 0.3}, {0.7, 1.3, 0.5, 0.4},
};

/// How far each blob has wobbled at one time: the 36 sines and cosines that
/// depend on the time only (at the preview's clock, 36 slow libm calls per LED otherwise).
struct BlobOffsets {
    double x[kBlobCount];
    double y[kBlobCount];
};

BlobOffsets blobOffsets(double t)
{
    BlobOffsets offsets;
    for (int i = 0; i < kBlobCount; ++i) {
        offsets.x[i] = kBlobs[i].sx * sin(t * kBlobs[i].fx);
        offsets.y[i] = kBlobs[i].sy * cos(t * kBlobs[i].fy);
    }
    return offsets;
}

/// 0.1 / (a² + b²) for the point offset by blob i's wobble.
double blobAt(double x, double y, const BlobOffsets &offsets, int i)
{
    const double a = x + offsets.x[i];
    const double b = y + offsets.y[i];
    return 0.1 / (a * a + b * b);
}

Color blobsAt(const Position &p, const BlobOffsets &offsets)
{
    double H = 0, K = 0;
    for (int i = 0; i < 9; ++i)
        H += blobAt(p.x, p.y, offsets, i);
    for (int i = 9; i < kBlobCount; ++i)
        K += blobAt(p.x, p.y, offsets, i);
    return Color(0.01 * (10 * H + K), 0.01 * (H + 5 * K), 0.2 * K);
}

} // namespace

Color Blobs::color(const Position &p) const
{
    return blobsAt(p, blobOffsets(p.time));
}

void Blobs::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const BlobOffsets offsets = blobOffsets(time);
    eachPosition(time, positions, out, [&](const Position &p) { return blobsAt(p, offsets); });
}

Color Oil::color(const Position &p) const
{
    const double t = p.time;
    double X = p.x;
    double Y = p.y;
    double r = 0, g = 0, b = 0;
    for (int i = 0; i <= 14; ++i) {
        const double fi = i;
        // Both displacements are computed from the point before this step.
        const double Yn = Y + 0.1 * cos(0.5 * X * fi + t + 0.5 * fi);
        const double Xn = X + 0.1 * sin(0.5 * Y * fi + t + 0.4321 * fi);
        X = Xn;
        Y = Yn;
        const double P = fabs(0.005 / (Y * Y + X * X));
        r += P * (fi + 10 * sin(6 * X + 0.1 * fi + t)) * 0.1;
        g += P * fi * 0.25 * cos(5 * Y + 0.1 * fi + t);
        b += P * fi * sin(5 * X * Y + 0.1 * fi + t);
    }
    return Color(r, g, b);
}

void Oil::colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const
{
    if (!vectorColors(&VectorKernels::oil, time, time, positions, out))
        colors(time, positions, out);
}

Field::Field()
{
    speed *= 2;
    s0 *= 0.1;
    s1 *= 0.1;
}

/// Field at one LED, its sparks already placed for the LED's time.
static Color fieldAt(const Position &p, const SparkPlaces &places)
{
    const double t = p.time;
    double A = 0;
    double W = 0;
    for (int i = 0; i < kSparkCount; ++i) {
        const double d1 = fract(p.x - places.qy[i]) - 0.5;
        const double d2 = fract(p.y - places.qx[i]) - 0.5;
        const double a = atan2(d2, d1);
        const double R = 100 * sqrt(d1 * d1 + d2 * d2);
        const double w = exp(-0.2 * R);
        const double v = w * atan(R);
        A += w * sin(R - a - t);
        A += v * cos(R - a - t);
        W += w;
    }
    const double m = 1.5 * sqrt(A * A) / W;
    return Color(m, (m - 0.5) * (m + 0.5), 0.3 - m);
}

Color Field::color(const Position &p) const
{
    return fieldAt(p, sparkPlaces(0.007 * p.time));
}

void Field::colors(double time, std::span<const Position> positions, std::span<Color> out) const
{
    const SparkPlaces places = sparkPlaces(0.007 * time);
    eachPosition(time, positions, out, [&](const Position &p) { return fieldAt(p, places); });
}

void Field::colorsFast(double time, std::span<const Position> positions, std::span<Color> out) const
{
    if (!vectorColors(&VectorKernels::field, sparkPlaces(0.007 * time), time, positions, out))
        colors(time, positions, out);
}

double Klecks::klecks(double cx, double cy, double radius, double x, double y, double t)
{
    const double d = distance(Vec2{x, y}, Vec2{cx, cy});
    const double a = atan2(y - cy, x - cx);
    const double R = radius - 0.1 / (0.8 + 0.1 / (0.9 - fabs(sin(t - 4.5 * a))));
    if (d < R)
        return sin(3 * pow(d / R, 14) + 0.3);
    return 0;
}

Color Klecks::color(const Position &p) const
{
    const double t = p.time;
    const double x = p.x;
    const double y = p.y;
    const double k1 = klecks(2 * sin(1.01 * t), 2 * cos(0.98 * t), 1, x, y, t);
    const double k2 = klecks(2 * cos(0.94 * t), 2 * sin(0.97 * t), 1, x, y, t);
    const double k3 = klecks(2 * sin(0.93 * t), 2 * sin(0.99 * t), 1, x, y, t);
    const double k4 = klecks(-2 * cos(1.02 * t), -2 * sin(0.96 * t), 1, x, y, t);
    const double k5 = klecks(-2 * sin(0.92 * t), -2 * sin(1.03 * t), 1, x, y, t);
    const double k6 = klecks(-2 * sin(1.05 * t), 2 * cos(0.95 * t), 1, x, y, t);
    const double k7 = klecks(2 * cos(0.91 * t), -2 * cos(1.04 * t), 1, x, y, t);
    return Color(k1 + k5 + k4 + k7 + k6, k2 + k5 + 0.5 * k7 + k6, k3 + k4 + k6);
}

Color AcidTrip::color(const Position &p) const
{
    const double t = p.time;
    const double k = 3 * sqrt(p.x * p.x + p.y * p.y) - t;
    return Color(cos(k * cos(t)), cos(k * sin(0.9 * t)), cos(k * sin(0.991 * t)));
}

QuasiCrystal::QuasiCrystal()
{
    s0 *= 2.5;
    s1 *= 2.5;
}

double QuasiCrystal::postprocess(double v)
{
    const double a = mod(v, 2);
    return a < 1 ? a : 2 - a;
}

Color QuasiCrystal::color(const Position &p) const
{
    const double X = p.x + 20;
    const double Y = p.y + 20;
    double r = 0, g = 0, b = 0;
    for (int i = 1; i <= 9; ++i) {
        const double theta = i * (2 * PI / 10);
        const double N = sqrt(std::fabs(0.5 * cos(X * cos(theta) + Y * sin(theta) + p.time)));
        r += N + 0.5 + 0.2 * i;
        g += N + 1 + 0.4 * i;
        b += N + 1.5 + 0.6 * i;
    }
    return Color(postprocess(r), postprocess(g), postprocess(b));
}

std::vector<PatternFactory> catalogueA()
{
    return {
        makePattern<Stars2>,
        makePattern<Floor>,
        makePattern<Lava>,
        makePattern<Beams>,
        makePattern<DoubleRings>,
        makePattern<Blobs>,
        makePattern<Oil>,
        makePattern<Field>,
        makePattern<Klecks>,
        makePattern<AcidTrip>,
        makePattern<QuasiCrystal>,
    };
}

} // namespace lumora
