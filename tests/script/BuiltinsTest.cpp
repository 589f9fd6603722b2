// Every built-in against values from its definition.

#include "ScriptTestSupport.h"

#include <cmath>

namespace lumora::script::test {
namespace {

struct Case {
    const char *expression;
    double expected;
};

void expectValues(std::initializer_list<Case> cases)
{
    for (const Case &c : cases)
        EXPECT_NEAR(evaluate(std::string("r = ") + c.expression), c.expected, 1e-9) << c.expression;
}

TEST(Builtins, Maths)
{
    expectValues({
        {"abs(-2)", 2},          {"ceil(5.1)", 6},        {"ceil(-5.9)", -5},        {"floor(5.9)", 5},
        {"floor(-5.1)", -6},     {"frac(5.5)", 0.5},      {"frac(-5.5)", -0.5},      {"trunc(5.5)", 5},
        {"trunc(-5.5)", -5},     {"round(2.5)", 3},       {"round(-2.5)", -2},       {"hypot(3, 4)", 5},
        {"hypot3(2, 3, 6)", 7},  {"log2(256)", 8},        {"pow(10, 2)", 100},       {"sqrt(9)", 3},
        {"mod(-3.5, 3)", 2.5},   {"mod(3.5, -3)", -2.5},  {"clamp(5, 0, 1)", 1},     {"clamp(-5, 0, 1)", 0},
        {"min(2, 3)", 2},        {"max(2, 3)", 3},        {"atan2(1, 1)", M_PI / 4}, {"exp(0) + log(E)", 2},
        {"sin(PI / 2) + cos(0) + tan(0)", 2}, {"asin(1) + acos(1) + atan(0)", M_PI / 2},
        {"PI2 - 2 * PI + PI3_4 - 3 * PI / 4 + PISQ - PI * PI", 0}, {"SQRT2 * SQRT1_2", 1},
    });
}

TEST(Builtins, Waveforms)
{
    expectValues({
        {"wave(0)", 0.5},            {"wave(0.25)", 1},          {"wave(1.75)", 0},
        {"wave(-0.25)", 0},          {"triangle(0)", 0},         {"triangle(0.5)", 1},
        {"triangle(0.25)", 0.5},     {"triangle(1.75)", 0.5},    {"square(0.2, 0.5)", 1},
        {"square(0.7, 0.5)", 0},     {"square(-0.2, 0.5)", 0},   {"mix(2, 4, 0.25)", 2.5},
        {"smoothstep(0, 1, 0.5)", 0.5}, {"smoothstep(0, 1, 2)", 1}, {"smoothstep(0, 2, 0.5)", 0.15625},
        {"bezierQuadratic(0.5, 0, 1, 0)", 0.5}, {"bezierCubic(0.5, 0, 1, 1, 0)", 0.75},
        {"bezierCubic(1, 0, 1, 1, 7)", 7},
    });
}

TEST(Builtins, TimeIsASawtoothOfTheAccumulatedDelta)
{
    auto program = compileOrFail("export function beforeRender(d) { t = time(1 / 65.536) }\n"
                                 "export function render(i) { rgb(t, 0, 0) }");
    Instance instance(program);
    double x = 0, y = 0, rgb[3];
    instance.setPositions({&x, 1}, {&y, 1});
    instance.renderFrame(250, rgb); // the interval repeats every second
    EXPECT_NEAR(rgb[0], 0.25, 1e-12);
    instance.renderFrame(1000, rgb);
    EXPECT_NEAR(rgb[0], 0.25, 1e-12);
    instance.renderFrame(500, rgb);
    EXPECT_NEAR(rgb[0], 0.75, 1e-12);
}

TEST(Builtins, ColoursSetThePixel)
{
    struct Colour {
        const char *call;
        double r, g, b;
    };
    const Colour cases[] = {
        {"hsv(0, 1, 1)", 1, 0, 0},      {"hsv(1 / 3, 1, 1)", 0, 1, 0}, {"hsv(-1 / 3, 1, 1)", 0, 0, 1},
        {"hsv(0.5, 0, 0.5)", 0.5, 0.5, 0.5}, {"hsv24(1 / 6, 1, 2)", 1, 1, 0}, {"rgb(0.1, 2, -1)", 0.1, 1, 0},
        {"rgb(0 / 0, 0.5, 0.5)", 0, 0.5, 0.5}, // NaN becomes 0
        {"setPalette([0, 0, 0, 0, 0.5, 1, 0, 0, 1, 1, 1, 1]); paint(0.25)", 0.5, 0, 0},
        {"setPalette([0, 0, 0, 0, 0.5, 1, 0, 0, 1, 1, 1, 1]); paint(0.75, 0.5)", 0.5, 0.25, 0.25},
        {"setPalette([0.2, 1, 0, 0, 0.8, 0, 0, 1]); paint(-0.9)", 1, 0, 0}, // wraps to 0.1, before the first
    };
    for (const Colour &c : cases) {
        auto program = compileOrFail(std::string("export function render(i) { ") + c.call + " }");
        Instance instance(program);
        double x = 0, y = 0, rgb[3];
        instance.setPositions({&x, 1}, {&y, 1});
        ASSERT_TRUE(instance.renderFrame(0, rgb)) << c.call;
        EXPECT_NEAR(rgb[0], c.r, 1e-9) << c.call;
        EXPECT_NEAR(rgb[1], c.g, 1e-9) << c.call;
        EXPECT_NEAR(rgb[2], c.b, 1e-9) << c.call;
    }
}

TEST(Builtins, PerlinNoiseIsSmoothBoundedAndWraps)
{
    expectValues({
        {"perlin(3, 4, 5, 0)", 0},                                    // zero at every lattice point
        {"perlin(0.3, 0.6, 0.2, 0) - perlin(256.3, 0.6, 0.2, 0)", 0}, // repeats every 256
        {"setPerlinWrap(4, 4, 4); perlin(0.3, 0.6, 0.2, 1) - perlin(4.3, 4.6, 8.2, 1)", 0},
        {"perlinFbm(0.3, 0.6, 0.2, 2, 0.5, 1) - perlin(0.3, 0.6, 0.2, 0)", 0},
        {"perlinTurbulence(0.3, 0.6, 0.2, 2, 0.5, 1) - abs(perlin(0.3, 0.6, 0.2, 0))", 0},
        {"perlinRidge(0.3, 0.6, 0.2, 2, 0.5, 1, 1) - (1 - abs(perlin(0.3, 0.6, 0.2, 0))) ** 2 / 2", 0},
    });
    double largestStep = 0;
    auto program = compileOrFail("export function render(i) { v = perlin(i / 97, i / 131, 0.5, 3); d = "
                                 "abs(v - perlin((i + 1) / 97, (i + 1) / 131, 0.5, 3)); rgb(v + 2, d, 0) }");
    Instance instance(program);
    Grid grid(5000);
    instance.setPositions(grid.x, grid.y);
    std::vector<double> rgb(3 * 5000);
    instance.renderFrame(0, rgb);
    for (size_t i = 0; i < 5000; ++i)
        largestStep = std::max(largestStep, rgb[i * 3 + 1]);
    EXPECT_LT(largestStep, 0.05); // smooth: neighbours 1/97 apart differ little
    EXPECT_GT(evaluate("v = 0; for (i = 0; i < 200; i++) v = max(v, abs(perlin(i * 0.37, i * 0.11, 0.5, 0))); r = v"),
              0.2);
    EXPECT_LE(evaluate("v = 0; for (i = 0; i < 2000; i++) v = max(v, abs(perlin(i * 0.37, i * 0.11, i * 0.07, 0))); r = v"),
              1.0);
}

TEST(Builtins, RandomNumbersAreInRangeAndRepeatable)
{
    EXPECT_EQ(evaluate("r = 1; for (i = 0; i < 1000; i++) { v = random(3); if (v < 0 || v >= 3) r = 0 }"), 1);
    EXPECT_EQ(evaluate("prngSeed(7); a = prng(10); prngSeed(7); r = a == prng(10)"), 1);
    EXPECT_EQ(evaluate("prngSeed(7); r = prngSeed(9)"), 7);
    EXPECT_EQ(evaluate("r = 1; for (i = 0; i < 1000; i++) { v = prng(2); if (v < 0 || v >= 2) r = 0 }"), 1);
}

TEST(Builtins, TransformsApplyInOrderToTheCoordinates)
{
    struct Transform {
        const char *calls;
        double x, y; // where world (1, 0) lands
    };
    const Transform cases[] = {
        {"translate(-0.5, -0.5)", 0.5, -0.5},
        {"scale(2, 3)", 2, 0},
        {"rotate(PI / 2)", 0, 1},
        {"translate(-1, 0); scale(2, 2)", 0, 0},
        {"scale(2, 2); translate(-1, 0)", 1, 0},
        {"rotateZ(PI); resetTransform()", 1, 0},
        {"transform(1,0,0,0, 0,1,0,0, 0,0,1,0, 5,6,0,1)", 6, 6},
    };
    for (const Transform &t : cases) {
        // Two LEDs make world units from 0 to just under 1 along x.
        auto program = compileOrFail(std::string("export function beforeRender(d) { resetTransform(); ") + t.calls
                                     + " }\nexport function render2D(i, x, y) { if (i == 1) { gx = x; gy = y } }");
        Instance instance(program);
        double x[2] = {0, 1}, y[2] = {0, 0}, rgb[6];
        instance.setPositions(x, y);
        ASSERT_TRUE(instance.renderFrame(0, rgb));
        EXPECT_NEAR(*instance.variable("gx"), t.x, 1e-4) << t.calls;
        EXPECT_NEAR(*instance.variable("gy"), t.y, 1e-4) << t.calls;
    }
}

TEST(Builtins, MapFunctionsAndWorldUnits)
{
    auto program = compileOrFail("n = 0; sx = 0; mapPixels((i, x, y, z) => { n++; sx += x })\n"
                                 "d = pixelMapDimensions() * 10 + has2DMap() + has3DMap()\n"
                                 "export function render2D(i, x, y) { rgb(x, y, 0) }");
    Instance instance(program);
    // 4 wide, 2 high, y down: contain keeps the aspect, fill stretches.
    double x[3] = {10, 14, 12}, y[3] = {5, 5, 7}, rgb[9];
    instance.setPositions(x, y, MapFit::Contain);
    ASSERT_TRUE(instance.renderFrame(0, rgb));
    EXPECT_EQ(*instance.variable("n"), 3);
    EXPECT_EQ(*instance.variable("d"), 21);
    EXPECT_NEAR(rgb[3], 1, 1e-4); // the far right edge, just under 1
    EXPECT_LT(rgb[3], 1.0);
    EXPECT_NEAR(rgb[7], 0.5, 1e-4);
    EXPECT_NEAR(*instance.variable("sx"), 1.5, 1e-4);
    Instance filled(program);
    filled.setPositions(x, y, MapFit::Fill);
    ASSERT_TRUE(filled.renderFrame(0, rgb));
    EXPECT_NEAR(rgb[7], 1, 1e-4);
}

TEST(Builtins, HardwareReadsAsZero)
{
    expectValues({
        {"analogRead(0) + digitalRead(1) + touchRead(T0) + clockHour() + clockYear() + nodeId()", 0},
        {"pinMode(1, OUTPUT); digitalWrite(1, HIGH); sequencerNext(); playlistGetLength()", 0},
    });
    EXPECT_EQ(evaluate("export var frequencyData\nr = frequencyData.length + frequencyData[31]"), 32);
}

} // namespace
} // namespace lumora::script::test
