// What a consumer of a compiled pattern relies on: which render function runs, restarts, and
// the forms of source text patterns are written in.

#include "ScriptTestSupport.h"

namespace lumora::script::test {
namespace {

double firstRed(const std::string &source, int leds = 2)
{
    auto program = compileOrFail(source);
    if (!program)
        return -1;
    Instance instance(program);
    Grid grid(leds);
    instance.setPositions(grid.x, grid.y);
    std::vector<double> rgb(size_t(leds) * 3);
    instance.renderFrame(0, rgb);
    return rgb[3]; // the second LED
}

TEST(Instance, TheRenderFunctionIsChosenAs2DThen3DThen1D)
{
    EXPECT_NEAR(firstRed("export function render2D(i, x, y) { rgb(x, 0, 0) }\n"
                         "export function render3D(i, x, y, z) { rgb(0.3, 0, 0) }\n"
                         "export function render(i) { rgb(0.2, 0, 0) }"),
                1, 1e-4);
    EXPECT_NEAR(firstRed("export function render3D(i, x, y, z) { rgb(x + z + 0.25, 0, 0) }\n"
                         "export function render(i) { rgb(0.2, 0, 0) }"),
                1, 1e-4);
    EXPECT_DOUBLE_EQ(firstRed("export function render(i) { rgb(i / 4, 0, 0) }"), 0.25);
    EXPECT_DOUBLE_EQ(firstRed("x = 1"), 0); // nothing to render: black
    // A render function that declares fewer parameters gets fresh locals, not coordinates.
    EXPECT_DOUBLE_EQ(firstRed("export function render2D(i) { var x; rgb(x + 0.5, 0, 0) }"), 0.5);
}

TEST(Instance, ANewLedCountStartsThePatternAgainWithItsControls)
{
    auto program = compileOrFail("var level = 0.1\nstarts = 0\nstarts++\ncount = pixelCount\n"
                                 "export function sliderLevel(v) { level = v }\n"
                                 "export function render(i) { rgb(level, count / 10, 0) }");
    Instance instance(program);
    Grid two(2), three(3);
    instance.setPositions(two.x, two.y);
    const double level = 0.6;
    ASSERT_TRUE(instance.setControl("sliderLevel", {&level, 1}));
    std::vector<double> rgb(9);
    instance.renderFrame(0, rgb);
    EXPECT_DOUBLE_EQ(rgb[1], 0.2);
    instance.setPositions(two.x, two.y); // moved, same count: state kept
    instance.renderFrame(0, rgb);
    EXPECT_EQ(*instance.variable("starts"), 1);
    instance.setPositions(three.x, three.y);
    instance.renderFrame(0, rgb);
    EXPECT_EQ(*instance.variable("starts"), 1); // a fresh start ran once
    EXPECT_DOUBLE_EQ(rgb[1], 0.3);
    EXPECT_DOUBLE_EQ(rgb[6], 0.6); // the slider's value applied again
}

TEST(Instance, AFailingControlStopsThePattern)
{
    auto program = compileOrFail("a = array(1)\nexport function sliderBad(v) { a[v * 10] = 1 }\n"
                                 "export function render(i) { rgb(1, 1, 1) }");
    Instance instance(program);
    Grid grid(1);
    instance.setPositions(grid.x, grid.y);
    const double value = 0.5;
    EXPECT_FALSE(instance.setControl("sliderBad", {&value, 1}));
    ASSERT_TRUE(instance.error());
    EXPECT_EQ(instance.error()->line, 2);
    double rgb[3];
    EXPECT_FALSE(instance.renderFrame(0, rgb));
    EXPECT_EQ(rgb[0], 0);
}

TEST(Instance, SourceFormsOfPatternsInTheWild)
{
    struct Case {
        const char *source;
        double expected;
    };
    const Case cases[] = {
        {"r = 0x1F + 0b101 + .5 + 1e2 + 2.5E-1", 31 + 5 + 0.5 + 100 + 0.25},
        {"/* a\n comment */ r = 1 // another\n", 1},
        {"let a = 2\nconst b = 3\nr = a * b", 6},
        {"r = 1 === 1 && 2 !== 3", 1},
        {"x = 1\ny = 2\nr = x\n+y", 3},     // no semicolons; a leading + continues
        {"a = [1, 2, 3,]; r = a.length", 3}, // a trailing comma
        {"var f = function named(v) { return v + 1 }; r = f(1)", 2},
        {"r = 5; r >>= 1; r <<= 2; r |= 0.5", 10.5},
        {"r = 2; r **= 3; r %= 5", 3},
        {"export var a = 1, b = 2\nr = a + b", 3},
    };
    for (const Case &c : cases)
        EXPECT_NEAR(evaluate(c.source), c.expected, 1e-12) << c.source;
}

} // namespace
} // namespace lumora::script::test
