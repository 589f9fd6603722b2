// Bad patterns get clear errors at the right place and never take the program down.

#include "ScriptTestSupport.h"

namespace lumora::script::test {
namespace {

TEST(Errors, EveryCompileErrorIsReportedWithItsLineAndColumn)
{
    struct Case {
        const char *source;
        int line, column;
        const char *message;
    };
    const Case cases[] = {
        {"x = 1\ny = nope + 1", 2, 5, "'nope' is not defined"},
        {"r = hsv(1, 2)", 1, 5, "'hsv' takes 3 arguments but 2 were given"},
        {"x = (1 + 2", 1, 11, "expected ')' but found end of file"},
        {"x = 1 +* 2", 1, 8, "unexpected '*'"},
        {"x = \"text\"", 1, 5, "strings are not supported"},
        {"break", 1, 1, "'break' outside a loop"},
        {"a = [1]\nb = a.push(2)", 2, 7, "unknown method 'push'"},
        {"x = sin", 1, 5, "built-in function 'sin' can only be called"},
        {"switch (x) {}", 1, 1, "'switch' is not supported"},
    };
    for (const Case &c : cases) {
        auto errors = compileErrors(c.source);
        ASSERT_FALSE(errors.empty()) << c.source;
        EXPECT_EQ(errors[0].line, c.line) << c.source;
        EXPECT_EQ(errors[0].column, c.column) << c.source;
        EXPECT_EQ(errors[0].message, c.message) << c.source;
    }
}

TEST(Errors, AllErrorsComeAtOnceInSourceOrder)
{
    auto errors = compileErrors("a = b\nfunction f() {\n  c = 1 +\n}\ne = sqrt()\nh = g\n");
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0].line, 1); // b
    EXPECT_EQ(errors[1].line, 4); // the unfinished expression
    EXPECT_EQ(errors[2].line, 5); // sqrt()
    EXPECT_EQ(errors[3].message, "'g' is not defined");
    EXPECT_EQ(errors[0].format("p.js"), "p.js:1:5: 'b' is not defined");
}

TEST(Errors, DeepNestingIsAnErrorNotACrash)
{
    for (std::string deep : {std::string(100000, '(') + "1", "x = " + std::string(100000, '-') + "1",
                             std::string(100000, '{'), "x = " + std::string(100000, '[')}) {
        auto errors = compileErrors(deep);
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors[0].message, "nested too deeply (more than 200 levels)");
    }
    std::string sum = "x = 1", calls = "f = () => f; f";
    for (int i = 0; i < 100000; ++i) {
        sum += " + 1";
        calls += "()";
    }
    for (const std::string &chain : {sum, calls}) {
        auto errors = compileErrors(chain);
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors[0].message, "expression too long (more than 1000 operators in a row)");
    }
    std::string locals = "function f() {";
    for (int i = 0; i < 5000; ++i)
        locals += " var v" + std::to_string(i) + ";";
    auto errors = compileErrors(locals + " }");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].message, "too many parameters and local variables (more than 4096)");
}

struct Running {
    std::shared_ptr<const Program> program;
    Instance instance;
    std::vector<double> rgb;
    explicit Running(const std::string &source, int leds = 4)
        : program(compileOrFail(source)), instance(program), rgb(size_t(leds) * 3, 0.5)
    {
        Grid grid(leds);
        instance.setPositions(grid.x, grid.y);
    }
};

TEST(Errors, RuntimeErrorsNameTheirPlaceAndTheLedsGoBlack)
{
    struct Case {
        const char *source;
        int line, column;
        const char *message;
    };
    const Case cases[] = {
        {"a = array(3)\nexport function render(i) {\n  rgb(a[i], 0, 0)\n}", 3, 7,
         "index 3 is outside the array (length 3)"},
        {"f = 5\nexport function render(i) { f() }", 2, 29, "not a function"},
        {"export function render(i) { x = 3; x[0] = 1 }", 1, 36, "not an array"},
        {"a = [1]\nexport function render(i) { a[0] = a[1] }", 2, 36, "index 1 is outside the array (length 1)"},
        {"function f(n) { return f(n + 1) }\nexport function render(i) { f(0) }", 1, 24,
         "too many nested calls (more than 200)"},
        {"export function beforeRender(d) { a = array(5e6) }", 1, 39, "an array of 5000000 elements is too large (at most 4194304)"},
        {"export function beforeRender(d) { a = array(-1) }", 1, 39, "an array cannot have a negative length"},
        {"export function beforeRender(d) { a = array(3); a.replace(1, 2, 3, 4) }", 1, 49,
         "the values do not fit into the array (length 3)"},
    };
    for (const Case &c : cases) {
        Running run(c.source);
        EXPECT_FALSE(run.instance.renderFrame(10, run.rgb)) << c.source;
        ASSERT_TRUE(run.instance.error()) << c.source;
        EXPECT_EQ(run.instance.error()->line, c.line) << c.source;
        EXPECT_EQ(run.instance.error()->column, c.column) << c.source;
        EXPECT_EQ(run.instance.error()->message, c.message) << c.source;
        EXPECT_EQ(run.rgb, std::vector<double>(run.rgb.size(), 0.0)) << c.source;
        // It stays stopped.
        EXPECT_FALSE(run.instance.renderFrame(10, run.rgb));
    }
}

TEST(Errors, TheMemoryOfAllArraysIsCapped)
{
    // Allocating every frame (the device never frees arrays) ends in a message, not a crash.
    Running run("export function beforeRender(d) { a = array(1000000) }\nexport function render(i) {}");
    int frames = 0;
    while (run.instance.renderFrame(10, run.rgb) && frames < 100)
        ++frames;
    EXPECT_EQ(frames, 16);
    EXPECT_EQ(run.instance.error()->message, "the pattern's arrays are too large together (at most 16777216 elements)");
}

TEST(Errors, TheWatchdogStopsAnEndlessLoopAtItsLine)
{
    Running run("export function beforeRender(d) {\n  x = 0\n  while (1) { x++ }\n}");
    EXPECT_FALSE(run.instance.renderFrame(10, run.rgb));
    ASSERT_TRUE(run.instance.error());
    EXPECT_EQ(run.instance.error()->line, 3);
    EXPECT_EQ(run.instance.error()->message, "stopped after running for more than 1 s (an endless loop?)");

    Running init("for (;;) {}\nexport function render(i) {}");
    EXPECT_FALSE(init.instance.renderFrame(10, init.rgb));
    EXPECT_EQ(init.instance.error()->line, 1);
}

} // namespace
} // namespace lumora::script::test
