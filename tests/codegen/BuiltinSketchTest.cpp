// The built-in patterns as sketches: built for this computer against the editor's pattern
// export of the same frames, and compiled for an Uno.

#include "SketchTestSupport.h"

#include "codegen/BuiltinSketch.h"
#include "colors/PatternRender.h"
#include "patterns/catalogue/Catalogue.h"
#include "patterns/catalogue/PortableCatalogue.h"
#include "patterns/framework/ColorPattern.h"
#include "patterns/framework/PatternRegistry.h"

#include <QTemporaryDir>

#include <map>

using namespace lumora;
using namespace lumora::test;

namespace {

constexpr int frames = 20;

const PatternRegistry &patterns()
{
    static const PatternRegistry registry = builtInPatterns();
    return registry;
}

QList<QPointF> heartGrid()
{
    Model model;
    readDocumentFile(QString(LUMORA_TEST_DATA) + "/../../examples/heart.lumora", model);
    return LayoutSnapshot::fromModel(model).points();
}

bool writeBuiltin(const ColorPattern &pattern, const QList<QPointF> &grid, SketchTarget target, const QString &folder)
{
    QString error;
    const std::optional<SketchPattern> sketch = BuiltinSketch::make(pattern, grid, &error);
    EXPECT_TRUE(sketch) << error.toStdString();
    if (!sketch)
        return false;
    const bool ok = SketchWriter::write(folder, SketchWriter::files(*sketch, {}, target, "sketch"), &error);
    EXPECT_TRUE(ok) << error.toStdString();
    return ok;
}

// The host sketch's frames, its PPM without the header.
QByteArray sketchFrames(const ColorPattern &pattern, const QList<QPointF> &grid)
{
    QTemporaryDir dir;
    if (!writeBuiltin(pattern, grid, SketchTarget::Host, dir.path()))
        return {};
    return hostFrames(dir.path(), grid.size(), frames);
}

} // namespace

TEST(BuiltinSketch, EveryPortablePatternAgreesWithThePatternExport)
{
    // Float limits, not faults: StarField2 hashes floor(256·angle) and divides by a distance
    // to a stripe that reaches 0, Floating places its sparks from a time that float holds to
    // fewer digits; both land edges a pixel apart from the editor's double (measured 52 %
    // and 95 % here). Field and Spirals, below 99 % on larger layouts, agree on this one.
    const std::map<std::string, double> floatLimited = {{"StarField2", 0.50}, {"Floating", 0.94}};
    const QList<QPointF> grid = heartGrid();
    ASSERT_EQ(grid.size(), 48);
    int built = 0;
    for (const PortablePattern &portable : portablePatterns()) {
        const ColorPattern *pattern = patterns().named(std::string(portable.name));
        ASSERT_TRUE(pattern) << portable.name;
        QByteArray expected;
        renderPatternAnimation(expected, grid, *pattern, frames, 1);
        const double share = agreement(sketchFrames(*pattern, grid), expected);
        const auto limited = floatLimited.find(pattern->name());
        EXPECT_GE(share, limited == floatLimited.end() ? 0.99 : limited->second) << pattern->name();
        ++built;
    }
    EXPECT_EQ(built, 63);
}

TEST(BuiltinSketch, ImageIsRefusedWithAReason)
{
    const ColorPattern *image = patterns().named("Image");
    ASSERT_TRUE(image);
    QString error;
    EXPECT_FALSE(BuiltinSketch::make(*image, heartGrid(), &error));
    EXPECT_TRUE(error.contains("picture")) << error.toStdString();
}

// Bars keeps a table in a local static, Field works out terms once a frame: both compile
// for an Uno as the Arduino IDE builds them, without a warning.
TEST(BuiltinSketch, CompilesForAnUnoWithoutWarnings)
{
    if (QStandardPaths::findExecutable("avr-g++").isEmpty())
        GTEST_SKIP() << "avr-g++ is not installed (scripts/install-deps installs gcc-avr and avr-libc)";
    for (const char *name : {"Bars", "Field"}) {
        QTemporaryDir dir;
        ASSERT_TRUE(writeBuiltin(*patterns().named(name), heartGrid(), SketchTarget::Avr, dir.path()));
        QFile check(dir.filePath("check.cpp"));
        ASSERT_TRUE(check.open(QIODevice::WriteOnly));
        check.write("unsigned long millis();\n#define LUMORA_NO_FASTLED\n#include \"sketch.ino\"\n");
        check.close();
        const Ran r = runTool("avr-g++", {"-mmcu=atmega328p", "-Os", "-Wall", "-fno-threadsafe-statics", "-c",
                                          "check.cpp", "-o", "check.o"},
                              dir.path());
        EXPECT_TRUE(r.ok && r.output.isEmpty()) << name << ": " << r.output.toStdString();
    }
}
