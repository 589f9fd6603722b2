#pragma once

// Vector versions of the heavy patterns for the live preview: several LEDs per instruction,
// with a vectorised libm whose results stay within a few units in the last place of the exact
// functions. One set of kernels is built per instruction set; vectorKernels() picks the widest
// one the processor runs.

#include "../catalogue/FrameTerms.h"

#include <cstddef>
#include <span>
#include <vector>

namespace lumora {

/// One LED span of a pattern, with the frame's time-only terms already worked out.
template <class Terms>
using VectorKernel = void (*)(const Terms &terms, double time, const Position *positions, Color *out,
                              std::size_t count);

struct VectorKernels {
    const char *instructionSet;
    int lanes;
    VectorKernel<SparkPlaces> floating;
    VectorKernel<SparkPlaces> spirals;
    VectorKernel<SparkPlaces> field;
    VectorKernel<GlowSparks> glow;
    VectorKernel<OilSpiralLayers> oilSpiral;
    VectorKernel<double> oil; ///< its terms are the time itself
};

/// The kernels for this processor, or nullptr where none were built (no vector libm at build
/// time, or not an x86-64): callers then take the exact path.
const VectorKernels *vectorKernels();

/// Every kernel set built in that this processor runs, widest first (for tests and benchmarks).
std::vector<const VectorKernels *> supportedVectorKernels();
/// Makes colorsFast() use one of those sets from now on, so that tests and benchmarks can
/// compare them; the default is the widest.
void useVectorKernels(const VectorKernels *kernels);

/// Runs one pattern's kernel over the span; false where there are no kernels, so that the
/// pattern's colorsFast() falls back to its exact colors().
template <class Terms>
bool vectorColors(VectorKernel<Terms> VectorKernels::*kernel, const Terms &terms, double time,
                  std::span<const Position> positions, std::span<Color> out)
{
    const VectorKernels *kernels = vectorKernels();
    if (!kernels)
        return false;
    (kernels->*kernel)(terms, time, positions.data(), out.data(), positions.size());
    return true;
}

} // namespace lumora
