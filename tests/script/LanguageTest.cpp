// The language's rules, each as a small program with the value it must give.

#include "ScriptTestSupport.h"

#include <cmath>

namespace lumora::script::test {
namespace {

struct Case {
    const char *source;
    double expected;
};

void expectAll(std::initializer_list<Case> cases)
{
    for (const Case &c : cases)
        EXPECT_NEAR(evaluate(c.source), c.expected, 1e-9) << c.source;
}

TEST(Language, OperatorsAndPrecedence)
{
    expectAll({
        {"r = 1 + 2 * 3", 7},
        {"r = (1 + 2) * 3", 9},
        {"r = 2 ** 3 ** 2", 512},
        {"r = 10 - 4 - 3", 3},
        {"r = -3.5 % 3", -0.5},
        {"r = 7 % -3", 1},
        {"r = 1 < 2 == 1", 1},
        {"r = 3 > 2 ? 10 : 20", 10},
        {"r = 0 ? 1 : 0 ? 2 : 3", 3},
        {"r = !0 + !5", 1},
        {"x = 5; x += 2; x *= 3; x -= 1; x /= 4; r = x", 5},
        {"i = 1; r = i++ + i", 3},
        {"i = 1; r = ++i + i", 4},
        {"r = 1, 2", 1}, // the assignment binds tighter than the comma
        {"r = true + true", 2},
        {"r = 1 / 0 > 1e300", 1}, // doubles, no wrap at 32,768
        {"r = 30000 + 30000", 60000},
    });
}

TEST(Language, LogicalOperatorsGiveTheirOperands)
{
    expectAll({
        {"r = 0 || 42", 42},
        {"r = 7 || 42", 7},
        {"r = 0 && 42", 0},
        {"r = 3 && 42", 42},
        {"n = 0; f = () => n = 1; r = 1 || f(); r = r + n", 1}, // short circuit
    });
}

TEST(Language, BitwiseOperatorsWorkOnSixteenDotSixteen)
{
    expectAll({
        {"r = 5.75 | 0", 5.75},           // all 32 bits take part, the fraction too
        {"r = 5.75 & 0xFF", 5},           // the mask has no fraction bits
        {"r = 1.5 ^ 1", 0.5},
        {"r = 1 >> 1", 0.5},              // a shift moves fraction bits too
        {"r = 3 << 2", 12},
        {"r = -1 >> 4", -0.0625},         // arithmetic shift
        {"r = ~0", -1},                   // ~ clears the fraction
        {"r = ~1.5", -2},
        {"r = 16384 << 1", -32768},       // the 32-bit register wraps
        {"r = 0.00001 | 0", 0},           // below 1/65536
    });
}

TEST(Language, ArrayIndicesTakeTheIntegerPartOfTheFixedPointValue)
{
    expectAll({
        {"a = [10, 20, 30]; r = a[1.9]", 20},
        {"a = [10, 20, 30]; r = a[2.99999]", 30},
        {"a = [10, 20, 30]; r = a[-0.000001]", 10}, // rounds to 0 in 16.16, not to -1
        {"a = array(3); a[1] = 4; a[1] += 2; a[1]++; r = a[1]", 7},
        {"a = [[1, 2], [3, 4]]; r = a[1][0]", 3},
        {"a = [1, 2, 3]; r = a.length + arrayLength(a)", 6},
    });
}

TEST(Language, VariablesAndScopes)
{
    expectAll({
        {"var a, b = 2; r = a + b", 2},                          // declared without a value: 0
        {"function f() { g = 5 } f(); r = g", 5},                // implicit globals
        {"x = 1; function f() { var x = 2; return x } r = f() + x", 3}, // locals shadow
        {"function f(a, b) { return a + b } r = f(1)", 1},       // missing arguments are 0
        {"n = 0; function f(a) { var b; return a + b } r = f(1, n = 5) + n", 6}, // extra ones run, then drop
        {"r = later(); function later() { return 9 }", 9},       // functions are hoisted
        {"function f() { var x; x += 1; return x } f(); r = f()", 1}, // locals start at 0 each call
        {"n = 0; function f() { n++; if (n < 5) f() } f(); r = n", 5}, // recursion
    });
}

TEST(Language, ControlFlow)
{
    expectAll({
        {"r = 0; for (i = 0; i < 10; i++) { if (i == 3) continue; if (i == 6) break; r += i }", 12},
        {"r = 0; i = 0; while (true) { if (++i > 4) break; r += i }", 10},
        {"r = 0; do { r++ } while (r < 3)", 3},
        {"function f(x) { if (x > 0) return 1; else if (x < 0) return -1; return 0 } r = f(-4) * 10 + f(0)", -10},
        {"function f() { for (var i = 0; i < 5; i++) { if (i == 2) return i } } r = f()", 2},
        {"function f() { return\n 5 } r = f()", 0}, // a return at the end of a line ends there
    });
}

TEST(Language, FunctionsAreValues)
{
    expectAll({
        {"f = (a) => a * 2; r = f(4)", 8},
        {"f = a => a + 1; r = f(1)", 2},
        {"f = function (a) { return a * 3 }; r = f(2)", 6},
        {"function twice(fn, v) { return fn(fn(v)) } r = twice((v) => v * v, 3)", 81},
        {"modes = [() => 1, () => 2]; r = modes[1]()", 2},
        {"function a() { return 1 } function b() { return 2 } p = a; p = b; r = p()", 2},
        {"function pick() { return (x) => x + 100 } r = pick()(1)", 101},
    });
}

TEST(Language, ArrayFunctionsAndMethods)
{
    expectAll({
        {"a = [3, 1, 2]; a.sort(); r = a[0] * 100 + a[1] * 10 + a[2]", 123},
        {"a = [3, 1, 2]; arraySortBy(a, (x, y) => y - x); r = a[0] * 100 + a[1] * 10 + a[2]", 321},
        {"a = [1, 2, 3]; r = a.sum()", 6},
        {"a = [1, 2, 3]; r = a.reduce((acc, v) => acc + v * v, 0)", 14},
        {"a = [1, 2, 3]; a.mutate((v, i) => v * i); r = a[2]", 6},
        {"a = [1, 2, 3]; b = array(2); a.mapTo(b, (v) => v * 10); r = b[0] + b[1]", 30},
        {"a = [1, 2, 3]; s = 0; a.forEach((v, i, arr) => s += v * i + arr[0]); r = s", 11},
        {"a = array(4); arrayReplace(a, 1, 2); arrayReplaceAt(a, 2, 7, 8); r = a[0] * 1000 + a[1] * 100 + a[2] * 10 + a[3]", 1278},
    });
}

TEST(Language, ExportedVariablesAndControls)
{
    auto program = compileOrFail("export var speed = 0.5\nvar hidden = 1\n"
                                 "export function sliderSpeed(v) { speed = v }\n"
                                 "export function hsvPickerColour(h, s, v) { hue = h + s + v }\n"
                                 "export function triggerReset() { speed = 0 }\n"
                                 "export function gaugeLevel() { return speed * 2 }\n"
                                 "export function render(i) { hsv(0, 0, speed) }");
    ASSERT_TRUE(program);
    Instance instance(program);
    EXPECT_EQ(instance.exportedVariables(), std::vector<std::string>{"speed"});
    ASSERT_EQ(instance.controls().size(), 4u);
    EXPECT_EQ(instance.controls()[0].label, "Speed");
    EXPECT_EQ(instance.controls()[1].kind, ControlKind::HsvPicker);
    EXPECT_EQ(instance.controls()[1].values, 3);
    EXPECT_EQ(instance.controls()[3].kind, ControlKind::Gauge);

    double x[2] = {0, 1}, y[2] = {0, 0}, rgb[6];
    instance.setPositions(x, y);
    const double speed = 0.25;
    EXPECT_TRUE(instance.setControl("sliderSpeed", {&speed, 1}));
    instance.renderFrame(16, rgb);
    EXPECT_DOUBLE_EQ(rgb[0], 0.25);
    EXPECT_DOUBLE_EQ(*instance.readControl("gaugeLevel"), 0.5);
    EXPECT_TRUE(instance.setVariable("speed", 0.75));
    EXPECT_DOUBLE_EQ(*instance.variable("speed"), 0.75);
    EXPECT_TRUE(instance.setControl("triggerReset", {}));
    EXPECT_DOUBLE_EQ(*instance.variable("speed"), 0);
    EXPECT_FALSE(instance.setControl("gaugeLevel", {}));
    EXPECT_EQ(instance.controlValues("sliderSpeed"), std::vector<double>{0.25});
}

} // namespace
} // namespace lumora::script::test
