#pragma once

namespace lumora::script::noise {

/// Improved Perlin noise in about -1..1, repeating every wrap[i] (2..256) along each axis;
/// each integer `variant` gives a different field.
double perlin(double x, double y, double z, int variant, const int wrap[3]);
/// Fractal sums of octaves, each `lacunarity` times finer and `gain` times weaker.
double fbm(double x, double y, double z, double lacunarity, double gain, int octaves, const int wrap[3]);
double ridge(double x, double y, double z, double lacunarity, double gain, double offset, int octaves,
             const int wrap[3]);
double turbulence(double x, double y, double z, double lacunarity, double gain, int octaves, const int wrap[3]);

} // namespace lumora::script::noise
