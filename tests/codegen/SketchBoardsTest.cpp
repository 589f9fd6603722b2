// The sketch as a user builds it for the boards, and the budget against the simulators.

#include "SketchTestSupport.h"

#include "codegen/BoardBudget.h"

#include <QDirIterator>
#include <QTemporaryDir>

using namespace lumora;
using namespace lumora::test;

namespace {

bool installed(const char *tool)
{
    return !QStandardPaths::findExecutable(tool).isEmpty();
}

// Compiles every translatable sample's .ino (without FastLED, with a stand-in millis())
// and returns the compiler's complaints.
QString compileSamples(const QString &compiler, const QStringList &flags)
{
    const QList<QPointF> leds = heartLeds();
    QString complaints;
    QDirIterator it(QString(LUMORA_TEST_DATA) + "/pattern-samples", {"*.js"});
    while (it.hasNext()) {
        const QString file = it.next();
        QStringList errors;
        const auto pattern = ScriptTranslator::translate(readAll(file), file, leds, errors);
        if (!pattern)
            continue;
        QTemporaryDir dir;
        QString error;
        EXPECT_TRUE(SketchWriter::write(dir.path(), SketchWriter::files(*pattern, {}, SketchTarget::Avr, "s"), &error));
        QFile check(dir.filePath("check.cpp"));
        check.open(QIODevice::WriteOnly);
        check.write("unsigned long millis();\n#define LUMORA_NO_FASTLED\n#include \"s.ino\"\n");
        check.close();
        const Ran r = runTool(compiler, flags + QStringList{"-Os", "-Wall", "-c", "check.cpp", "-o", "check.o"}, dir.path());
        if (!r.ok || !r.output.isEmpty())
            complaints += file + ":\n" + r.output;
    }
    return complaints;
}

} // namespace

TEST(SketchBoards, CompilesWithoutWarningsForAvrAndCortexM4)
{
    if (!installed("avr-g++"))
        GTEST_SKIP() << "avr-g++ is not installed (scripts/install-deps installs gcc-avr and avr-libc)";
    EXPECT_EQ(compileSamples("avr-g++", {"-mmcu=atmega328p"}).toStdString(), "");
    if (!installed("arm-none-eabi-g++"))
        GTEST_SKIP() << "arm-none-eabi-g++ is not installed (scripts/install-deps installs gcc-arm-none-eabi)";
    EXPECT_EQ(compileSamples("arm-none-eabi-g++", {"-mcpu=cortex-m4", "-mthumb", "-mfloat-abi=hard", "-mfpu=fpv4-sp-d16"})
                  .toStdString(),
              "");
}

// One pixel of wave(x + t) * triangle(y - t): the budget's frame time against simavr's own
// count of cycles for a program doing just that many pixels, and the cost model against
// the measurement.
TEST(SketchBoards, AvrBudgetMatchesSimavrAndTheCostModelIsNear)
{
    if (!installed("avr-g++") || !installed("simavr"))
        GTEST_SKIP() << "avr-g++ or simavr is not installed (scripts/install-deps installs gcc-avr, avr-libc, simavr)";
    const QByteArray source = "var t\nexport function beforeRender(d) { t = time(0.1) }\n"
                              "export function render2D(i, x, y) { var v = wave(x + t) * triangle(y - t); hsv(v, 1, v) }";
    QStringList errors;
    const auto pattern = ScriptTranslator::translate(source, "p.js", heartLeds(), errors);
    ASSERT_TRUE(pattern);
    const auto files = SketchWriter::files(*pattern, {}, SketchTarget::Avr, "s");
    QString error;
    int steps = 0;
    const auto budgets = measureBudgets(files, "s", SketchTarget::Avr, &error, [&](int, int) { return ++steps > 0; });
    ASSERT_TRUE(budgets) << error.toStdString();
    ASSERT_EQ(budgets->size(), 2);
    const BoardBudget &uno = budgets->first();
    EXPECT_TRUE(uno.measured);
    EXPECT_TRUE(uno.fits());
    EXPECT_EQ(steps, 3);
    // The issue's figure for this pixel on simavr is about 3,200 cycles; a frame of 48 LEDs
    // with the colour conversion lands within a factor of two of 48 of them.
    EXPECT_GT(uno.frameCycles, 48 * 1600.0);
    EXPECT_LT(uno.frameCycles, 48 * 6400.0);
    EXPECT_NEAR(uno.framesPerSecond, 16e6 / uno.frameCycles, 1e-6);
    EXPECT_TRUE(uno.line().startsWith("Arduino Uno: ")) << uno.line().toStdString();
    EXPECT_TRUE(uno.line().contains(" of 32 KB flash, ")) << uno.line().toStdString();
    EXPECT_TRUE(uno.line().endsWith(" at 48 LEDs")) << uno.line().toStdString();

    const BoardBudget model = estimateBudget(files, 0);
    EXPECT_FALSE(model.measured);
    EXPECT_TRUE(model.line().endsWith("(estimate)"));
    EXPECT_GT(model.frameCycles, uno.frameCycles / 2.5);
    EXPECT_LT(model.frameCycles, uno.frameCycles * 2.5);
    EXPECT_GT(model.flashBytes, uno.flashBytes / 2);
    EXPECT_LT(model.flashBytes, uno.flashBytes * 2);
}

TEST(SketchBoards, ArmBudgetCountsInstructionsOnQemu)
{
    if (!installed("arm-none-eabi-g++") || !installed("qemu-system-arm"))
        GTEST_SKIP() << "arm-none-eabi-g++ or qemu-system-arm is not installed (scripts/install-deps installs them)";
    const QByteArray source = "export function render2D(i, x, y) { hsv(x + y, 1, sqrt(x)) }";
    QStringList errors;
    const auto pattern = ScriptTranslator::translate(source, "p.js", heartLeds(), errors);
    ASSERT_TRUE(pattern);
    QString error;
    const auto budgets = measureBudgets(SketchWriter::files(*pattern, {}, SketchTarget::Arm, "s"), "s", SketchTarget::Arm,
                                        &error);
    ASSERT_TRUE(budgets) << error.toStdString();
    ASSERT_EQ(budgets->size(), 1);
    EXPECT_TRUE(budgets->first().measured);
    // A few hundred instructions a pixel: far faster than the AVR, still finite.
    EXPECT_GT(budgets->first().frameCycles, 48 * 20.0);
    EXPECT_LT(budgets->first().frameCycles, 48 * 5000.0);
}

TEST(SketchBoards, ABoardThatCannotHoldTheSketchSaysSo)
{
    if (!installed("avr-g++"))
        GTEST_SKIP() << "avr-g++ is not installed";
    // 3,000 floats of pool: 12 KB, more than either AVR's RAM.
    const QByteArray source = "var a = array(3000)\nexport function render(i) { hsv(a[i], 1, 1) }";
    QStringList errors;
    const auto pattern = ScriptTranslator::translate(source, "p.js", heartLeds(), errors);
    ASSERT_TRUE(pattern);
    QString error;
    const auto budgets = measureBudgets(SketchWriter::files(*pattern, {}, SketchTarget::Avr, "s"), "s", SketchTarget::Avr,
                                        &error);
    ASSERT_TRUE(budgets) << error.toStdString();
    for (const BoardBudget &b : *budgets) {
        EXPECT_FALSE(b.fits());
        EXPECT_GT(b.ramBytes, 12000);
        EXPECT_TRUE(b.line().contains("does not fit its RAM")) << b.line().toStdString();
    }
}

// The FastLED branch of the .ino against a stand-in with FastLED's interface (CRGB,
// addLeds<chip, pin, order>, the power limit, show), as the sketch uses it.
TEST(SketchBoards, TheFastLedBranchCompiles)
{
    QStringList errors;
    const auto pattern = ScriptTranslator::translate("export function render(i) { rgb(i / 48, 0.5, 1) }", "p.js",
                                                     heartLeds(), errors);
    ASSERT_TRUE(pattern);
    QTemporaryDir dir;
    SketchSettings settings;
    settings.colorOrder = "GRB";
    settings.limitMilliamps = 500;
    QString error;
    ASSERT_TRUE(SketchWriter::write(dir.filePath("s"), SketchWriter::files(*pattern, settings, SketchTarget::Avr, "s"), &error));
    QDir(dir.path()).mkpath("stub");
    QFile stub(dir.filePath("stub/FastLED.h"));
    stub.open(QIODevice::WriteOnly);
    stub.write(R"(#pragma once
#include <stdint.h>
struct CRGB { uint8_t r, g, b; };
enum EOrder { RGB, GRB, BRG, RBG, GBR, BGR };
struct WS2812B {};
struct CFastLED {
    template<class CHIP, int PIN, EOrder ORDER> void addLeds(CRGB *, int) {}
    void setMaxPowerInVoltsAndMilliamps(uint8_t, uint32_t) {}
    void show() {}
};
static CFastLED FastLED;
)");
    stub.close();
    QFile check(dir.filePath("s/check.cpp"));
    check.open(QIODevice::WriteOnly);
    check.write("unsigned long millis() { return 0; }\n#include \"s.ino\"\n"
                "static_assert(sizeof(leds) == 48 * sizeof(CRGB), \"a CRGB per LED\");\n"
                "int main() { setup(); loop(); return leds[0].r == 0 && leds[0].g == 127 && leds[0].b == 255 ? 0 : 1; }\n");
    check.close();
    const Ran built = runTool(LUMORA_HOST_CXX, {"-Wall", "-Werror", "-I", "../stub", "-o", "check", "check.cpp"},
                              dir.filePath("s"));
    ASSERT_TRUE(built.ok) << built.output.toStdString();
    // LED 0: r = 0, g = 0.5 → 127, b = 1 → 255 in CRGB's r, g, b; the chip's order is FastLED's job.
    EXPECT_TRUE(runTool(dir.filePath("s/check"), {}, dir.filePath("s")).ok);
}
