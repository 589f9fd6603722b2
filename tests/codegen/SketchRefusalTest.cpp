// What a sketch cannot do the editor's way is refused with its line and column.

#include "SketchTestSupport.h"

using namespace lumora;
using namespace lumora::test;

TEST(SketchRefusal, NamesTheLineAndColumnOfWhatCannotBeTranslated)
{
    const struct {
        const char *source;
        const char *where;
    } cases[] = {
        {"var f = (x) => x\nexport function render(i) { hsv(f(i), 1, 1) }", "p.js:1:9: "},
        {"function g() { return 1 }\nvar h = g\nexport function render(i) { hsv(h(), 1, 1) }", "p.js:2:9: "},
        {"export function render(i) {\n  var a = array(3)\n  hsv(a[0], 1, 1)\n}", "p.js:2:11: "},
        {"export function render(i) {\n  var a = [1, 2]\n  hsv(a[0], 1, 1)\n}", "p.js:2:11: "},
        {"function make() { return array(2) }\nexport function beforeRender(d) { make() }", "p.js:1:26: "},
        {"var a = [1]\nvar f = (v) => v\nexport function render(i) { a.forEach(f); hsv(1, 1, 1) }", "p.js:2:9: "},
    };
    for (const auto &c : cases) {
        QStringList errors;
        EXPECT_FALSE(ScriptTranslator::translate(c.source, "p.js", heartLeds(), errors)) << c.source;
        ASSERT_FALSE(errors.isEmpty()) << c.source;
        EXPECT_TRUE(errors[0].startsWith(c.where)) << errors[0].toStdString() << " for " << c.source;
    }
    // Compile errors come first, as check-pattern reports them.
    QStringList errors;
    EXPECT_FALSE(ScriptTranslator::translate("export function render(i) { hsv(1, 1 }", "p.js", heartLeds(), errors));
    EXPECT_TRUE(errors.value(0).startsWith("p.js:1:")) << errors.value(0).toStdString();
}

TEST(SketchRefusal, ArraysMadeOnlyAtTheStartAreAllowed)
{
    // Arrays made by the top-level code, directly or through a function it alone calls,
    // go into the pool sized for this layout.
    const char *source = "function grid(n) { var g = array(n); for (var i = 0; i < n; i++) g[i] = array(2); return g }\n"
                         "var cells = grid(pixelCount)\n"
                         "export function render(i) { hsv(cells[i][0], 1, 1) }";
    QStringList errors;
    const auto pattern = ScriptTranslator::translate(source, "p.js", heartLeds(), errors);
    ASSERT_TRUE(pattern) << errors.join('\n').toStdString();
    EXPECT_EQ(pattern->arrayCount, 49);
    EXPECT_EQ(pattern->poolSize, 48 + 48 * 2);
}
