#pragma once

// The parts of the heavy patterns' formulas that depend on the time only, in double. color()
// works them out for its one LED; colors() and the vector kernels work them out once per
// frame. All go through the same portable builders, so a frame's LEDs see exactly the values
// color() would. The builders are defined out of line so that the vector kernels' translation
// units, compiled for wider instruction sets, never make a copy of their own.

#include "portable/Plasmas.h"
#include "portable/Sparks.h"

#include "../framework/Color.h"
#include "../framework/Position.h"

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

using portable::kOilSpiralLayers;
using portable::kSparkCount;

using SparkPlaces = portable::SparkPlaces<double>;
using GlowSparks = portable::GlowSparks<double>;
using OilSpiralLayers = portable::OilSpiralLayers<double>;

SparkPlaces sparkPlaces(double tt);
GlowSparks glowSparks(double tt);
OilSpiralLayers oilSpiralLayers(double t);

} // namespace lumora
