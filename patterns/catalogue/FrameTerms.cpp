#include "FrameTerms.h"

#include "../framework/Functions.h"

#include <cmath>

namespace lumora {

using std::cos;
using std::sin;
using std::sqrt;

// Each expression is written exactly as in the pattern's formula, operation order included.

SparkPlaces sparkPlaces(double tt)
{
    SparkPlaces places;
    for (int i = 0; i < kSparkCount; ++i) {
        const double fi = i;
        places.qy[i] = 0.3165 * (fi * fi) + 0.01 * tt * fi + 0.5;
        places.qx[i] = 0.161235 * fi + 0.1 * sin(0.13 * tt * fi) + 0.5;
    }
    return places;
}

GlowSparks glowSparks(double tt)
{
    GlowSparks sparks;
    for (int i = 0; i < kSparkCount; ++i) {
        const double fi = i;
        const double a = fract(0.13 * fi) - 0.5;
        const double b = sqrt(1 - a * a) - 0.8;
        sparks.a[i] = a;
        sparks.b[i] = b;
        sparks.px[i] = 0.161235 * fi + tt * a + 0.5;
        sparks.py[i] = 0.3165 * (fi * fi) + 0.5 + tt * b + 0.5;
        sparks.s[i] = fract(0.5 * fi) * 4 - 1;
    }
    return sparks;
}

TunnelScene tunnelScene(double t)
{
    TunnelScene scene;
    scene.t = t;
    scene.centre1 = Vec3{cos(t) + sin(0.2 * t), 0.3, 2 + 0.5 * cos(0.5 * t)};
    scene.centre2 = Vec3{-cos(0.7 * t), 0.3, 2 + sin(0.5 * t)};
    scene.centre3 = Vec3{-0.5 * sin(0.2 * t), sin(t), 2};
    scene.sevenT = 7 * t;
    scene.sway = 0.01 * cos(t);
    return scene;
}

OilSpiralLayers oilSpiralLayers(double t)
{
    OilSpiralLayers layers;
    layers.t = t;
    const double sinT = sin(t);
    const double cos09T = cos(0.9 * t);
    int k = 0;
    for (double i = 1; i < 20; i += 1, ++k) {
        layers.i[k] = i;
        layers.share[k] = 0.3 / i;
        layers.phase[k] = 0.3 * i * sinT;
        layers.amplitude[k] = (0.3 / i) * cos09T;
        layers.shift[k] = 0.3 * i;
    }
    layers.t101 = 1.01 * t;
    layers.t09 = 0.9 * t;
    layers.t098 = 0.98 * t;
    return layers;
}

SinusTerms sinusTerms(double t)
{
    SinusTerms terms;
    const double s = sin(t);
    terms.q = sin01(t);
    for (int n = 0; n < kSinusPoints; ++n) {
        const double i = n;
        terms.column[n] = i / 10 - 1.5;
        terms.redY[n] = s * sin((((i + 1) * 1.5) / 10) * t) * 0.3;
        terms.greenY[n] = sin((((i + 1) * 3) / 10) * t + PI) * 0.3;
        terms.blueY[n] = cos((((i + 1) * 4.5) / 10) * t) * 0.3;
        terms.blueFalloff[n] = 1 - (terms.q * 0.2 * i) / 10;
    }
    terms.redFalloff = 1 - s * 0.3;
    terms.greenFalloff = 1 - terms.q * 0.05;
    return terms;
}

} // namespace lumora
