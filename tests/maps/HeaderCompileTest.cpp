#include "exports/Exporter.h"
#include "document/LedGenerators.h"
#include "maps/CellLattice.h"
#include "maps/MapExport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

void writeText(const QTemporaryDir &dir, const QString &name, const QByteArray &text)
{
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

struct Compiled {
    bool ok;
    QString output;
};

Compiled compile(const QString &compiler, const QStringList &arguments, const QString &folder)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(compiler, arguments);
    const bool finished = process.waitForFinished(120000);
    return {finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            QString::fromLocal8Bit(process.readAll())};
}

/// A layout of a few LEDs with a two-frame animation.
LayoutSnapshot threeLeds()
{
    LayoutSnapshot layout;
    layout.leds = {{100, 100}, {500, 100}, {100, 400}};
    layout.animationEditor->track().frames.append(AnimationFrame::newWithSelection({true, false, true}, nullptr, {}));
    layout.animationEditor->track().frames.append(AnimationFrame::newWithSelection({false, true, true}, nullptr, {}));
    return layout;
}

// A sketch in the language level of the Arduino toolchain: no static_assert, so the size
// checks are arrays that cannot have a negative length.
const QByteArray sketch = R"(#include "images.h"
#include "images.h"
#include "leds.h"

typedef char oneColourPerLed[sizeof(image1) == 3 * NUM_LEDS ? 1 : -1];
typedef char twoImages[IMAGE_COUNT == 2 ? 1 : -1];
volatile unsigned long shown;

void show(const uint8_t *image, unsigned int size)
{
    shown += size + (unsigned long)image;
}

int choose(int i)
{
    switch (i) {
#include "cases.h"
    }
    return XY(1, 0) + coordsX[0];
}

int main()
{
    return choose(shown);
}
)";

} // namespace

// The editor and `lumora-cli export` write what an Exporter writes unless told otherwise.
TEST(HeaderCompile, DefaultHeadersCompileForAnATmega328P)
{
    const QString avr = QStandardPaths::findExecutable("avr-g++");
    if (avr.isEmpty())
        GTEST_SKIP() << "avr-g++ is not installed (scripts/install-deps installs gcc-avr and avr-libc)";
    QTemporaryDir dir;
    Exporter exporter(threeLeds(), dir.filePath("wall.lumora"));
    ASSERT_TRUE(exporter.exportAnimation().ok());
    writeText(dir, "leds.h", exportLedMap(LedMapFormat::FastLed, threeLeds(), "wall").bytes);
    writeText(dir, "sketch.cpp", sketch);
    const Compiled result = compile(avr, {"-mmcu=atmega328p", "-Os", "-Wall", "-Werror", "-c", "sketch.cpp"}, dir.path());
    EXPECT_TRUE(result.ok) << qPrintable(result.output);
}

TEST(HeaderCompile, FastLedHeaderCompilesAndItsXyFindsEveryLed)
{
    QList<QPointF> leds; // 300 LEDs: the uint16_t table
    for (int i = 0; i < 300; ++i)
        leds.append(QPointF(100 + (i % 20) * 40, 700 - (i / 20) * 40 - (i % 3) * 5));
    LayoutSnapshot layout;
    layout.leds = leds;
    const CellLattice lattice = CellLattice::forLayout(leds, std::nullopt);
    ASSERT_TRUE(lattice.hidden().isEmpty());

    QByteArray program = "#include \"leds.h\"\n#include <stdio.h>\nint main()\n{\n    static const int cells[][2] = {";
    for (const QPoint &cell : lattice.cells())
        program += "{" + QByteArray::number(cell.x()) + "," + QByteArray::number(cell.y()) + "},";
    program += R"(};
    int wrong = 0;
    for (int i = 0; i < NUM_LEDS; ++i)
        wrong += XY(cells[i][0], cells[i][1]) != i;
    for (int i = 0; i < XY_WIDTH * XY_HEIGHT; ++i)
        wrong += XYTable[i] >= XY_OUTSIDE;
    wrong += XY(XY_WIDTH, 0) != XY_OUTSIDE;
    wrong += XY(0, XY_HEIGHT) != XY_OUTSIDE;
    printf("%d\n", wrong);
    return wrong != 0;
}
)";
    QTemporaryDir dir;
    writeText(dir, "leds.h", exportLedMap(LedMapFormat::FastLed, layout, "grid").bytes);
    writeText(dir, "main.cpp", program);
    const Compiled built = compile(LUMORA_HOST_CXX, {"-std=c++11", "-Wall", "-Werror", "main.cpp", "-o", "xy"}, dir.path());
    ASSERT_TRUE(built.ok) << qPrintable(built.output);
    const Compiled ran = compile(dir.filePath("xy"), {}, dir.path());
    EXPECT_TRUE(ran.ok) << qPrintable(ran.output);
}

namespace {

/// A sketch that reads every table of the FastLED header with the reader of its type, as
/// FastLED sketches do; with EXPECT_STANDIN it also checks that <pgmspace.h> was the one used.
const QByteArray readingSketch = R"(#include "leds.h"
#if defined(EXPECT_STANDIN) && !defined(STANDIN_PGMSPACE)
#error "the <pgmspace.h> stand-in was not included"
#endif
volatile unsigned long sink;
int main()
{
    unsigned long sum = 0;
    for (int i = 0; i < NUM_LEDS; ++i)
        sum += pgm_read_byte(&coordsX[i]) + pgm_read_byte(&coordsY[i]) + pgm_read_byte(&angles[i])
            + pgm_read_byte(&radii[i]);
    sum += pgm_read_word(&XYTable[XY_WIDTH * XY_HEIGHT - 1]) + XY(XY_WIDTH - 1, XY_HEIGHT - 1);
    sink = sum;
    return 0;
}
)";

// What an ESP core's <pgmspace.h> provides: the readers as macros of its own.
const QByteArray pgmspaceStandIn = R"(#pragma once
#include <stdint.h>
#define STANDIN_PGMSPACE 1
#define PROGMEM
#define pgm_read_byte(addr) (*(const uint8_t *)(const void *)(addr))
#define pgm_read_word(addr) (*(const uint16_t *)(const void *)(addr))
#define pgm_read_dword(addr) (*(const uint32_t *)(const void *)(addr))
)";

/// 256 LEDs, a 16 × 16 matrix: XYTable is uint16_t while the coordinates are bytes.
LayoutSnapshot sixteenBySixteen()
{
    MatrixLayout matrix;
    LayoutSnapshot layout;
    layout.leds = matrixPositions(matrix, {512, 384}, 40);
    return layout;
}

} // namespace

TEST(HeaderCompile, FastLedHeaderCompilesWithAndWithoutPgmspaceAndForAvr)
{
    QTemporaryDir dir;
    const MapExport header = exportLedMap(LedMapFormat::FastLed, sixteenBySixteen(), "matrix");
    ASSERT_TRUE(header.ok()) << qPrintable(header.error);
    ASSERT_TRUE(header.bytes.contains("const uint16_t XYTable"));
    writeText(dir, "leds.h", header.bytes);
    writeText(dir, "main.cpp", readingSketch);
    QDir(dir.path()).mkdir("standin");
    writeText(dir, "standin/pgmspace.h", pgmspaceStandIn);

    const Compiled host = compile(LUMORA_HOST_CXX, {"-std=c++11", "-Wall", "-Werror", "-c", "main.cpp", "-o", "host.o"},
                                  dir.path());
    EXPECT_TRUE(host.ok) << "host, no <pgmspace.h>:\n" << qPrintable(host.output);
    const Compiled esp = compile(LUMORA_HOST_CXX, {"-std=c++11", "-Wall", "-Werror", "-DESP32", "-DEXPECT_STANDIN",
                                                   "-Istandin", "-c", "main.cpp", "-o", "esp.o"}, dir.path());
    EXPECT_TRUE(esp.ok) << "host with a <pgmspace.h> stand-in:\n" << qPrintable(esp.output);

    const QString avr = QStandardPaths::findExecutable("avr-g++");
    if (avr.isEmpty())
        GTEST_SKIP() << "avr-g++ is not installed (scripts/install-deps installs gcc-avr and avr-libc)";
    const Compiled board = compile(avr, {"-mmcu=atmega328p", "-Os", "-Wall", "-Werror", "-c", "main.cpp", "-o", "avr.o"},
                                   dir.path());
    EXPECT_TRUE(board.ok) << "avr-g++:\n" << qPrintable(board.output);
}

TEST(HeaderCompile, LargestTableAnAvrTakesCompilesAndOneMoreCellIsRefused)
{
    // A row and a column of LEDs 5 apart span the lattice: 127 × 129 cells of uint16_t are
    // 32766 bytes, the most avr-gcc allows in one array; 128 × 128 are two bytes too many.
    auto corner = [](int columns, int rows) {
        LayoutSnapshot layout;
        for (int i = 0; i < columns; ++i)
            layout.leds.append(QPointF(100 + 5 * i, 100));
        for (int j = 1; j < rows; ++j)
            layout.leds.append(QPointF(100, 100 + 5 * j));
        return layout;
    };
    const MapExport refused = exportLedMap(LedMapFormat::FastLed, corner(128, 128), "corner");
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error.startsWith("XYTable would take 32768 bytes")) << qPrintable(refused.error);

    const MapExport largest = exportLedMap(LedMapFormat::FastLed, corner(127, 129), "corner");
    ASSERT_TRUE(largest.ok()) << qPrintable(largest.error);
    ASSERT_TRUE(largest.bytes.contains("#define XY_WIDTH 127\n#define XY_HEIGHT 129\n"));
    const QString avr = QStandardPaths::findExecutable("avr-g++");
    if (avr.isEmpty())
        GTEST_SKIP() << "avr-g++ is not installed (scripts/install-deps installs gcc-avr and avr-libc)";
    QTemporaryDir dir;
    writeText(dir, "leds.h", largest.bytes);
    writeText(dir, "main.cpp", readingSketch);
    const Compiled board = compile(avr, {"-mmcu=atmega328p", "-Os", "-c", "main.cpp", "-o", "avr.o"}, dir.path());
    EXPECT_TRUE(board.ok) << qPrintable(board.output);
}
