#include "script/Noise.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace lumora::script::noise {

namespace {

// A fixed shuffle of 0..255, the same on every run and machine.
std::array<uint8_t, 256> makePermutation()
{
    std::array<uint8_t, 256> p{};
    for (int i = 0; i < 256; ++i)
        p[i] = uint8_t(i);
    uint32_t state = 0x9E3779B9u;
    for (int i = 255; i > 0; --i) {
        state = state * 1664525u + 1013904223u;
        int j = int((state >> 8) % uint32_t(i + 1));
        std::swap(p[i], p[j]);
    }
    return p;
}

const std::array<uint8_t, 256> permutation = makePermutation();

double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
double lerp(double t, double a, double b) { return a + t * (b - a); }

double grad(int hash, double x, double y, double z)
{
    int h = hash & 15;
    double u = h < 8 ? x : y;
    double v = h < 4 ? y : (h == 12 || h == 14 ? x : z);
    return ((h & 1) ? -u : u) + ((h & 2) ? -v : v);
}

int wrapCell(int64_t c, int wrap)
{
    int64_t m = c % wrap;
    return int(m < 0 ? m + wrap : m);
}

int limitWrap(int w) { return w < 2 ? 2 : w > 256 ? 256 : w; }

} // namespace

double perlin(double x, double y, double z, int variant, const int wrapIn[3])
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return 0;
    int wrap[3] = {limitWrap(wrapIn[0]), limitWrap(wrapIn[1]), limitWrap(wrapIn[2])};
    double fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    double dx = x - fx, dy = y - fy, dz = z - fz;
    int64_t ix = int64_t(fx), iy = int64_t(fy), iz = int64_t(fz);
    int x0 = wrapCell(ix, wrap[0]), x1 = wrapCell(ix + 1, wrap[0]);
    int y0 = wrapCell(iy, wrap[1]), y1 = wrapCell(iy + 1, wrap[1]);
    int z0 = wrapCell(iz, wrap[2]), z1 = wrapCell(iz + 1, wrap[2]);
    const auto &p = permutation;
    int s = variant & 255;
    auto hash = [&](int a, int b, int c) { return p[(p[(p[(a + s) & 255] + b) & 255] + c) & 255]; };
    double u = fade(dx), v = fade(dy), w = fade(dz);
    double n000 = grad(hash(x0, y0, z0), dx, dy, dz);
    double n100 = grad(hash(x1, y0, z0), dx - 1, dy, dz);
    double n010 = grad(hash(x0, y1, z0), dx, dy - 1, dz);
    double n110 = grad(hash(x1, y1, z0), dx - 1, dy - 1, dz);
    double n001 = grad(hash(x0, y0, z1), dx, dy, dz - 1);
    double n101 = grad(hash(x1, y0, z1), dx - 1, dy, dz - 1);
    double n011 = grad(hash(x0, y1, z1), dx, dy - 1, dz - 1);
    double n111 = grad(hash(x1, y1, z1), dx - 1, dy - 1, dz - 1);
    return lerp(w, lerp(v, lerp(u, n000, n100), lerp(u, n010, n110)),
                lerp(v, lerp(u, n001, n101), lerp(u, n011, n111)));
}

double fbm(double x, double y, double z, double lacunarity, double gain, int octaves, const int wrap[3])
{
    double frequency = 1, amplitude = 1, sum = 0;
    for (int i = 0; i < octaves && i < 32; ++i) {
        sum += perlin(x * frequency, y * frequency, z * frequency, i, wrap) * amplitude;
        frequency *= lacunarity;
        amplitude *= gain;
    }
    return sum;
}

double ridge(double x, double y, double z, double lacunarity, double gain, double offset, int octaves,
             const int wrap[3])
{
    double frequency = 1, previous = 1, amplitude = 0.5, sum = 0;
    for (int i = 0; i < octaves && i < 32; ++i) {
        double r = offset - std::fabs(perlin(x * frequency, y * frequency, z * frequency, i, wrap));
        r = r * r;
        sum += r * amplitude * previous;
        previous = r;
        frequency *= lacunarity;
        amplitude *= gain;
    }
    return sum;
}

double turbulence(double x, double y, double z, double lacunarity, double gain, int octaves, const int wrap[3])
{
    double frequency = 1, amplitude = 1, sum = 0;
    for (int i = 0; i < octaves && i < 32; ++i) {
        sum += std::fabs(perlin(x * frequency, y * frequency, z * frequency, i, wrap)) * amplitude;
        frequency *= lacunarity;
        amplitude *= gain;
    }
    return sum;
}

} // namespace lumora::script::noise
