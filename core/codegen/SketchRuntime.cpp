#include "SketchRuntime.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace lumora {

namespace {

struct Piece {
    const char *name;
    std::vector<const char *> needs;
    const char *text;
};

// In dependency order: a piece only needs pieces above it.
const std::vector<Piece> &pieces()
{
    static const std::vector<Piece> all = {
        {"base", {}, R"(static inline float lm_bitsToFloat(uint32_t u) { union { uint32_t u; float f; } c; c.u = u; return c.f; }
static inline uint32_t lm_floatToBits(float f) { union { uint32_t u; float f; } c; c.f = f; return c.u; }
static inline bool lm_truthy(float v) { return v != 0; }
static inline float lm_min(float a, float b) { return a < b ? a : b; }
static inline float lm_max(float a, float b) { return a > b ? a : b; }
// As std::min(std::max(v, low), high).
static inline float lm_clamp(float v, float low, float high) { float m = v < low ? low : v; return high < m ? high : m; }
static inline float lm_wrap(float v) { return v - floorf(v); }
)"},
        {"eq", {"base"}, R"(static inline float lm_eq(float a, float b) { return (a == b || (a != a && lm_floatToBits(a) == lm_floatToBits(b))) ? 1.0f : 0.0f; }
)"},
        {"fixed", {"base"}, R"(// The language's 16.16 fixed-point form, wrapped to 32 bits.
static inline int32_t lm_fix(float v) { float s = v * 65536.0f; if (!(fabsf(s) < 9.0e18f)) return 0; return (int32_t)(uint32_t)(uint64_t)(int64_t)s; }
static inline float lm_unfix(int32_t f) { return (float)f / 65536.0f; }
static inline int32_t lm_index(float v) { float s = v * 65536.0f; if (!(fabsf(s) < 9.0e15f)) return -1; int64_t i = (int64_t)s; return i >> 16 > 2147483647LL ? -1 : (int32_t)(i >> 16); }
static inline float lm_band(float a, float b) { return lm_unfix(lm_fix(a) & lm_fix(b)); }
static inline float lm_bor(float a, float b) { return lm_unfix(lm_fix(a) | lm_fix(b)); }
static inline float lm_bxor(float a, float b) { return lm_unfix(lm_fix(a) ^ lm_fix(b)); }
static inline float lm_shl(float a, float b) { return lm_unfix((int32_t)((uint32_t)lm_fix(a) << ((lm_fix(b) >> 16) & 31))); }
static inline float lm_shr(float a, float b) { return lm_unfix(lm_fix(a) >> ((lm_fix(b) >> 16) & 31)); }
static inline float lm_ushr(float a, float b) { return lm_unfix((int32_t)((uint32_t)lm_fix(a) >> ((lm_fix(b) >> 16) & 31))); }
static inline float lm_bnot(float a) { return lm_unfix((int32_t)(~(uint32_t)lm_fix(a) & 0xFFFF0000u)); }
)"},
        {"frac", {"base"}, "static inline float lm_frac(float v) { return v - truncf(v); }\n"},
        {"mod", {"base"}, "static inline float lm_mod(float x, float y) { return x - y * floorf(x / y); }\n"},
        {"round", {"base"}, "static inline float lm_round(float v) { return floorf(v + 0.5f); }\n"},
        {"log2", {"base"}, "static inline float lm_log2(float v) { return logf(v) * 1.44269504f; }\n"},
        {"hypot", {"base"}, "static inline float lm_hypot(float x, float y) { return sqrtf(x * x + y * y); }\n"},
        {"hypot3", {"base"}, "static inline float lm_hypot3(float x, float y, float z) { return sqrtf(x * x + y * y + z * z); }\n"},
        {"wave", {"base"}, "static inline float lm_wave(float v) { return (1 + sinf(lm_wrap(v) * 6.28318531f)) * 0.5f; }\n"},
        {"triangle", {"base"}, "static inline float lm_triangle(float v) { v = lm_wrap(v) * 2; return v < 1 ? v : 2 - v; }\n"},
        {"square", {"base"}, "static inline float lm_square(float v, float duty) { return lm_wrap(v) < duty ? 1.0f : 0.0f; }\n"},
        {"mix", {"base"}, "static inline float lm_mix(float low, float high, float w) { return low + (high - low) * w; }\n"},
        {"smoothstep", {"base"}, R"(static inline float lm_smoothstep(float low, float high, float v)
{
    float t = lm_clamp((v - low) / (high - low), 0, 1);
    if (t != t) t = v < low ? 0 : 1;
    return t * t * (3 - 2 * t);
}
)"},
        {"bezier", {"base"}, R"(static inline float lm_bezierQuadratic(float t, float p0, float p1, float p2) { float u = 1 - t; return u * u * p0 + 2 * u * t * p1 + t * t * p2; }
static inline float lm_bezierCubic(float t, float p0, float p1, float p2, float p3) { float u = 1 - t; return u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 + t * t * t * p3; }
)"},
        {"colour", {"base"}, R"(// The colour of the LED being rendered, 0..1 per channel.
static float lm_r, lm_g, lm_b;
static inline float lm_rgb(float r, float g, float b) { lm_r = lm_clamp(r, 0, 1); lm_g = lm_clamp(g, 0, 1); lm_b = lm_clamp(b, 0, 1); return 0; }
)"},
        {"hsv", {"colour"}, R"(static inline float lm_hsv(float h, float s, float v)
{
    h = lm_wrap(h);
    if (!(h >= 0 && h < 1)) h = 0;
    s = s > 0 ? (s < 1 ? s : 1) : 0;
    v = v > 0 ? (v < 1 ? v : 1) : 0;
    float h6 = h * 6;
    int i = (int)h6;
    float f = h6 - i;
    float p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    switch (i % 6) {
    case 0: lm_r = v; lm_g = t; lm_b = p; break;
    case 1: lm_r = q; lm_g = v; lm_b = p; break;
    case 2: lm_r = p; lm_g = v; lm_b = t; break;
    case 3: lm_r = p; lm_g = q; lm_b = v; break;
    case 4: lm_r = t; lm_g = p; lm_b = v; break;
    default: lm_r = v; lm_g = p; lm_b = q; break;
    }
    return 0;
}
)"},
        {"time", {"base"}, R"(// Milliseconds the pattern has run, as the sum of the frame deltas.
static uint32_t lm_nowMs;
static inline float lm_time(float interval) { float period = 65536.0f * interval; if (!(period > 0)) return 0; return lm_wrap((float)lm_nowMs / period); }
)"},
        {"random", {"base"}, R"(static uint64_t lm_randomState = LM_RANDOM_START;
// xorshift64*, the same numbers as the editor's.
static inline float lm_random(float limit)
{
    uint64_t x = lm_randomState;
    x ^= x >> 12; x ^= x << 25; x ^= x >> 27;
    lm_randomState = x;
    return (float)(uint32_t)((x * 0x2545F4914F6CDD1DULL) >> 40) * (1.0f / 16777216.0f) * limit;
}
)"},
        {"prng", {"fixed"}, R"(static uint32_t lm_prngState;
static inline float lm_prng(float limit) { uint32_t x = lm_prngState ? lm_prngState : 0x6D2B79F5UL; x ^= x << 13; x ^= x >> 17; x ^= x << 5; lm_prngState = x; return (float)x / 4294967296.0f * limit; }
static inline float lm_prngSeed(float v) { float old = lm_unfix((int32_t)lm_prngState); lm_prngState = (uint32_t)lm_fix(v); return old; }
)"},
        {"arrays", {"fixed"}, R"(// Arrays live in one pool sized when the sketch was made; a value holding an array is a
// NaN whose low bits name it, as in the editor.
static float lm_pool[LM_POOL_SIZE];
static lm_index_t lm_arrayStart[LM_ARRAY_COUNT];
static lm_index_t lm_arrayLength[LM_ARRAY_COUNT];
static lm_index_t lm_arrays, lm_poolUsed;
static float lm_scratch;
static inline bool lm_isArray(float v) { return (lm_floatToBits(v) & 0xFFE00000UL) == 0x7FA00000UL && (lm_floatToBits(v) & 0x1FFFFFUL) < lm_arrays; }
static inline float lm_newArray(float count)
{
    int32_t n = lm_index(count);
    if (n < 0 || lm_arrays >= LM_ARRAY_COUNT || (int32_t)(LM_POOL_SIZE - lm_poolUsed) < n) return 0;
    lm_arrayStart[lm_arrays] = lm_poolUsed;
    lm_arrayLength[lm_arrays] = (lm_index_t)n;
    for (int32_t i = 0; i < n; ++i) lm_pool[lm_poolUsed + i] = 0;
    lm_poolUsed += (lm_index_t)n;
    return lm_bitsToFloat(0x7FA00000UL | lm_arrays++);
}
static inline lm_index_t lm_length(float a) { return lm_isArray(a) ? lm_arrayLength[lm_floatToBits(a) & 0x1FFFFFUL] : 0; }
// Not an array: the pool's start, with a length of 0.
static inline float *lm_data(float a) { return lm_pool + (lm_isArray(a) ? lm_arrayStart[lm_floatToBits(a) & 0x1FFFFFUL] : 0); }
// An element; outside the array a scratch value, where the editor stops the pattern.
static inline float &lm_at(float a, float index)
{
    int32_t i = lm_index(index);
    if (i < 0 || i >= (int32_t)lm_length(a)) { lm_scratch = 0; return lm_scratch; }
    return lm_pool[lm_arrayStart[lm_floatToBits(a) & 0x1FFFFFUL] + i];
}
static inline float lm_arraySum(float a) { float s = 0; float *p = lm_data(a); for (lm_index_t i = 0; i < lm_length(a); ++i) s += p[i]; return s; }
static inline float lm_arraySort(float a)
{
    float *p = lm_data(a);
    for (lm_index_t i = 1; i < lm_length(a); ++i) {
        float v = p[i]; lm_index_t j = i;
        while (j > 0 && v < p[j - 1]) { p[j] = p[j - 1]; --j; }
        p[j] = v;
    }
    return 0;
}
)"},
        {"palette", {"arrays", "colour", "mix"}, R"(static float lm_palette;
static inline float lm_setPalette(float a) { lm_palette = a; return 0; }
static inline float lm_paint(float value, float brightness)
{
    brightness = lm_clamp(brightness, 0, 1);
    lm_index_t entries = lm_length(lm_palette) / 4;
    if (entries == 0) { lm_r = lm_g = lm_b = 0; return 0; }
    const float *p = lm_data(lm_palette);
    float v = lm_wrap(value);
    lm_index_t i = 0;
    while (i < entries && p[i * 4] < v) ++i;
    float r, g, b;
    if (i == 0 || i == entries) {
        lm_index_t k = (i == 0 ? 0 : entries - 1) * 4;
        r = p[k + 1]; g = p[k + 2]; b = p[k + 3];
    } else {
        lm_index_t lo = (i - 1) * 4, hi = i * 4;
        float span = p[hi] - p[lo];
        float t = span > 0 ? (v - p[lo]) / span : 1;
        r = lm_mix(p[lo + 1], p[hi + 1], t); g = lm_mix(p[lo + 2], p[hi + 2], t); b = lm_mix(p[lo + 3], p[hi + 3], t);
    }
    lm_r = lm_clamp(r, 0, 1) * brightness; lm_g = lm_clamp(g, 0, 1) * brightness; lm_b = lm_clamp(b, 0, 1) * brightness;
    return 0;
}
)"},
        {"transform", {"base"}, R"(// The pattern's coordinate transform, row major, applied to (x, y, z, 1).
static float lm_matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
static bool lm_transformed;
static inline void lm_applyAfter(const float *t)
{
    float m[16];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += t[r * 4 + k] * lm_matrix[k * 4 + c];
            m[r * 4 + c] = s;
        }
    for (int i = 0; i < 16; ++i) lm_matrix[i] = m[i];
    lm_transformed = true;
}
static inline float lm_resetTransform() { for (int i = 0; i < 16; ++i) lm_matrix[i] = i % 5 == 0 ? 1 : 0; lm_transformed = false; return 0; }
static inline float lm_translate(float x, float y, float z) { const float t[16] = {1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1}; lm_applyAfter(t); return 0; }
static inline float lm_scale(float x, float y, float z) { const float t[16] = {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1}; lm_applyAfter(t); return 0; }
static inline float lm_rotateAxis(float angle, int axis)
{
    float c = cosf(angle), s = sinf(angle);
    float t[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    int i = axis == 0 ? 1 : 0, j = axis == 2 ? 1 : 2;
    t[i * 4 + i] = c; t[i * 4 + j] = -s; t[j * 4 + i] = s; t[j * 4 + j] = c;
    if (axis == 1) { t[i * 4 + j] = s; t[j * 4 + i] = -s; }
    lm_applyAfter(t);
    return 0;
}
static inline float lm_rotateX(float a) { return lm_rotateAxis(a, 0); }
static inline float lm_rotateY(float a) { return lm_rotateAxis(a, 1); }
static inline float lm_rotateZ(float a) { return lm_rotateAxis(a, 2); }
static inline float lm_transform(const float *a)
{
    float t[16];
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) t[r * 4 + c] = a[c * 4 + r];
    lm_applyAfter(t);
    return 0;
}
)"},
        {"noise", {"fixed"}, R"(static int lm_perlinWrap[3] = {256, 256, 256};
static inline float lm_fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }
static inline float lm_lerp(float t, float a, float b) { return a + t * (b - a); }
static inline float lm_grad(int hash, float x, float y, float z)
{
    int h = hash & 15;
    float u = h < 8 ? x : y;
    float v = h < 4 ? y : (h == 12 || h == 14 ? x : z);
    return ((h & 1) ? -u : u) + ((h & 2) ? -v : v);
}
static inline int lm_wrapCell(int32_t c, int wrap) { int32_t m = c % wrap; return (int)(m < 0 ? m + wrap : m); }
static inline int lm_hash(int a, int b, int c, int s)
{
    return LM_READ_BYTE(&lm_permutation[(LM_READ_BYTE(&lm_permutation[(LM_READ_BYTE(&lm_permutation[(a + s) & 255]) + b) & 255]) + c) & 255]);
}
static inline float lm_perlin(float x, float y, float z, int variant)
{
    if (!isfinite(x) || !isfinite(y) || !isfinite(z)) return 0;
    float fx = floorf(x), fy = floorf(y), fz = floorf(z);
    float dx = x - fx, dy = y - fy, dz = z - fz;
    int32_t ix = (int32_t)fx, iy = (int32_t)fy, iz = (int32_t)fz;
    int x0 = lm_wrapCell(ix, lm_perlinWrap[0]), x1 = lm_wrapCell(ix + 1, lm_perlinWrap[0]);
    int y0 = lm_wrapCell(iy, lm_perlinWrap[1]), y1 = lm_wrapCell(iy + 1, lm_perlinWrap[1]);
    int z0 = lm_wrapCell(iz, lm_perlinWrap[2]), z1 = lm_wrapCell(iz + 1, lm_perlinWrap[2]);
    int s = variant & 255;
    float u = lm_fade(dx), v = lm_fade(dy), w = lm_fade(dz);
    float n000 = lm_grad(lm_hash(x0, y0, z0, s), dx, dy, dz);
    float n100 = lm_grad(lm_hash(x1, y0, z0, s), dx - 1, dy, dz);
    float n010 = lm_grad(lm_hash(x0, y1, z0, s), dx, dy - 1, dz);
    float n110 = lm_grad(lm_hash(x1, y1, z0, s), dx - 1, dy - 1, dz);
    float n001 = lm_grad(lm_hash(x0, y0, z1, s), dx, dy, dz - 1);
    float n101 = lm_grad(lm_hash(x1, y0, z1, s), dx - 1, dy, dz - 1);
    float n011 = lm_grad(lm_hash(x0, y1, z1, s), dx, dy - 1, dz - 1);
    float n111 = lm_grad(lm_hash(x1, y1, z1, s), dx - 1, dy - 1, dz - 1);
    return lm_lerp(w, lm_lerp(v, lm_lerp(u, n000, n100), lm_lerp(u, n010, n110)),
                   lm_lerp(v, lm_lerp(u, n001, n101), lm_lerp(u, n011, n111)));
}
static inline int lm_octaves(float v) { int32_t i = lm_index(v); return i < 0 ? 0 : i > 32 ? 32 : (int)i; }
static inline int lm_variant(float v) { return (int)lm_index(v); }
static inline float lm_perlinFbm(float x, float y, float z, float lacunarity, float gain, float octaves)
{
    float f = 1, a = 1, sum = 0; int n = lm_octaves(octaves);
    for (int i = 0; i < n; ++i) { sum += lm_perlin(x * f, y * f, z * f, i) * a; f *= lacunarity; a *= gain; }
    return sum;
}
static inline float lm_perlinRidge(float x, float y, float z, float lacunarity, float gain, float offset, float octaves)
{
    float f = 1, previous = 1, a = 0.5f, sum = 0; int n = lm_octaves(octaves);
    for (int i = 0; i < n; ++i) {
        float r = offset - fabsf(lm_perlin(x * f, y * f, z * f, i));
        r = r * r; sum += r * a * previous; previous = r; f *= lacunarity; a *= gain;
    }
    return sum;
}
static inline float lm_perlinTurbulence(float x, float y, float z, float lacunarity, float gain, float octaves)
{
    float f = 1, a = 1, sum = 0; int n = lm_octaves(octaves);
    for (int i = 0; i < n; ++i) { sum += fabsf(lm_perlin(x * f, y * f, z * f, i)) * a; f *= lacunarity; a *= gain; }
    return sum;
}
static inline float lm_setPerlinWrap(float x, float y, float z)
{
    float w[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) { int32_t v = lm_index(w[i]); lm_perlinWrap[i] = v < 2 ? 2 : v > 256 ? 256 : (int)v; }
    return 0;
}
)"},
    };
    return all;
}

// The noise's fixed shuffle of 0..255, as the editor makes it, kept in flash.
std::string permutationTable()
{
    uint8_t p[256];
    for (int i = 0; i < 256; ++i)
        p[i] = uint8_t(i);
    uint32_t state = 0x9E3779B9u;
    for (int i = 255; i > 0; --i) {
        state = state * 1664525u + 1013904223u;
        int j = int((state >> 8) % uint32_t(i + 1));
        std::swap(p[i], p[j]);
    }
    std::string out = "static const uint8_t lm_permutation[256] PROGMEM = {";
    for (int i = 0; i < 256; ++i)
        out += (i % 16 == 0 ? "\n    " : " ") + std::to_string(p[i]) + ",";
    return out + "\n};\n";
}

const Piece *find(const std::string &name)
{
    for (const Piece &p : pieces())
        if (name == p.name)
            return &p;
    return nullptr;
}

void require(const std::string &name, std::set<std::string> &chosen)
{
    const Piece *p = find(name);
    if (!p || chosen.count(name))
        return;
    chosen.insert(name);
    for (const char *n : p->needs)
        require(n, chosen);
}

} // namespace

bool SketchRuntime::has(const std::string &name)
{
    return find(name) != nullptr;
}

std::string SketchRuntime::text(const std::set<std::string> &names)
{
    std::set<std::string> chosen;
    for (const std::string &n : names)
        require(n, chosen);
    std::string out;
    if (chosen.count("noise"))
        out += permutationTable();
    for (const Piece &p : pieces())
        if (chosen.count(p.name))
            out += p.text;
    return out;
}

} // namespace lumora
