#pragma once

// The parts of the heavy patterns' formulas that depend on the time only. color() works them
// out for its one LED; colors() and the vector kernels work them out once per frame. Both go
// through the same builders, so a frame's LEDs see exactly the values color() would.

#include "../framework/Color.h"
#include "../framework/Position.h"
#include "../framework/Vec.h"

#include <cstddef>
#include <span>

namespace lumora {

/// out[k] = at(positions[k] at the given time) for every position: the LED loop of a batch
/// override.
template <class At>
void eachPosition(double time, std::span<const Position> positions, std::span<Color> out, At at)
{
    for (std::size_t k = 0; k < positions.size(); ++k) {
        Position p = positions[k];
        p.time = time;
        out[k] = at(p);
    }
}

inline constexpr int kSparkCount = 100;

/// Where the hundred sparks of Floating, Spirals and Field stand at one time.
struct SparkPlaces {
    double qx[kSparkCount];
    double qy[kSparkCount];
};
SparkPlaces sparkPlaces(double tt);

/// Glow's hundred sparks at one time: their direction (a, b), place and sign.
struct GlowSparks {
    double a[kSparkCount];
    double b[kSparkCount];
    double px[kSparkCount];
    double py[kSparkCount];
    double s[kSparkCount];
};
GlowSparks glowSparks(double tt);

/// Tunnel's scene at one time: the three blob centres and the terms of the ripple and ray.
struct TunnelScene {
    double t;
    Vec3 centre1;
    Vec3 centre2;
    Vec3 centre3;
    double sevenT; ///< 7·t, the ripple's phase
    double sway;   ///< 0.01·cos(t), the ray's sideways drift
};
TunnelScene tunnelScene(double t);

/// OilSpiral's nineteen layers at one time.
inline constexpr int kOilSpiralLayers = 19;
struct OilSpiralLayers {
    double t;
    double i[kOilSpiralLayers];
    double share[kOilSpiralLayers];     ///< 0.3 / i
    double phase[kOilSpiralLayers];     ///< 0.3·i·sin(t)
    double amplitude[kOilSpiralLayers]; ///< (0.3 / i)·cos(0.9·t)
    double shift[kOilSpiralLayers];     ///< 0.3·i
    double t101;                        ///< 1.01·t
    double t09;                         ///< 0.9·t
    double t098;                        ///< 0.98·t
};
OilSpiralLayers oilSpiralLayers(double t);

/// Sinus's thirty points per channel at one time: their heights and the channels' falloffs.
inline constexpr int kSinusPoints = 30;
struct SinusTerms {
    double q;
    double column[kSinusPoints]; ///< i / 10 − 1.5
    double redY[kSinusPoints];
    double greenY[kSinusPoints];
    double blueY[kSinusPoints];
    double redFalloff;
    double greenFalloff;
    double blueFalloff[kSinusPoints];
};
SinusTerms sinusTerms(double t);

} // namespace lumora
