#include "document/GridFit.h"
#include "document/LedGenerators.h"
#include "maps/CellLattice.h"
#include "maps/MapExport.h"
#include "maps/WledPanelWiring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace lumora;

namespace {

LayoutSnapshot layoutOf(const QList<QPointF> &leds, std::optional<GridHandles> grid = std::nullopt)
{
    LayoutSnapshot layout;
    layout.leds = leds;
    layout.grid = grid;
    return layout;
}

/// Four LEDs far apart around a cluster of nine 2 units apart: a fine lattice over a wide
/// layout.
QList<QPointF> denseLayout()
{
    QList<QPointF> leds{{100, 100}, {600, 100}, {100, 450}, {600, 450}};
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            leds.append(QPointF(350 + 2 * i, 276 + 2 * j));
    return leds;
}

} // namespace

TEST(CellFit, EvenStripsFillConsecutiveCellsWithoutHoles)
{
    for (int count : {2, 3, 7, 20, 64, 255, 256, 300})
        for (double degrees : {0.0, 10.0, 30.0, 45.0, 60.0, 90.0, 135.0, 200.0}) {
            const double a = degrees * std::numbers::pi / 180, length = 700.0;
            const QPointF from(512 - std::cos(a) * length / 2, 384 - std::sin(a) * length / 2);
            const QList<QPointF> leds = stripPositions(from, from + QPointF(std::cos(a), std::sin(a)) * length, count);
            // Alone, and with the grid `generate strip` fits to it (its steps are not the LEDs').
            for (const std::optional<GridHandles> &grid : {std::optional<GridHandles>(), std::optional(fitGrid(leds))}) {
                const CellLattice lattice = CellLattice::forLayout(leds, grid, 1 << 20);
                SCOPED_TRACE(QString("%1 LEDs at %2°%3").arg(count).arg(degrees).arg(grid ? ", fitted grid" : "").toStdString());
                ASSERT_TRUE(lattice.fits()) << qPrintable(lattice.tooLarge());
                EXPECT_TRUE(lattice.hidden().isEmpty());
                EXPECT_EQ(std::max(lattice.width(), lattice.height()), count) << "one cell per LED along the strip";
                for (int i = 1; i < count; ++i) {
                    const QPoint step = lattice.cells()[i] - lattice.cells()[i - 1];
                    ASSERT_LE(std::max(std::abs(step.x()), std::abs(step.y())), 1) << "LED " << i << " skips a cell";
                }
            }
        }
}

TEST(CellFit, TooManyCellsIsAnErrorNamingTheCloseLeds)
{
    const CellLattice lattice = CellLattice::forLayout(denseLayout(), std::nullopt);
    EXPECT_FALSE(lattice.fits());
    const QString message = lattice.tooLarge();
    EXPECT_TRUE(message.startsWith("LEDs 4 and ")) << qPrintable(message);
    EXPECT_TRUE(message.contains(" are 2 layout units apart: cells that separate them make a 251 × 176 lattice, "
                                 "44176 cells, more than the 16384 allowed; move them apart, lay a grid over the "
                                 "layout, or raise the cell limit (--max-cells 44176)"))
        << qPrintable(message);
    for (LedMapFormat format : {LedMapFormat::Wled, LedMapFormat::WledGaps, LedMapFormat::FastLed, LedMapFormat::XModel}) {
        const MapExport map = exportLedMap(format, layoutOf(denseLayout()), "dense");
        EXPECT_FALSE(map.ok()) << qPrintable(formatName(format));
        EXPECT_TRUE(map.bytes.isEmpty());
    }
    EXPECT_TRUE(exportLedMap(LedMapFormat::Wled, layoutOf(denseLayout()), "dense", 44176).ok());
    // A larger limit is no help to an AVR: 44176 cells of uint16_t are more than one array may hold.
    const MapExport header = exportLedMap(LedMapFormat::FastLed, layoutOf(denseLayout()), "dense", 44176);
    EXPECT_FALSE(header.ok());
    EXPECT_TRUE(header.error.contains("XYTable would take 88352 bytes")) << qPrintable(header.error);
    EXPECT_TRUE(header.error.contains("2 layout units apart and need a 251 × 176 lattice")) << qPrintable(header.error);
}

TEST(CellFit, GapsFindEveryMatrixWiringAndRefuseARing)
{
    // WLED numbers the cells of its panel along the wiring, skipping -1 (setUpMatrix in
    // wled00/FX_2Dfcn.cpp); each generated matrix must be named by the wiring it was made with.
    const char *corners[] = {"top-left", "top-right", "bottom-left", "bottom-right"};
    for (int corner = 0; corner < 4; ++corner)
        for (bool columns : {false, true})
            for (bool serpentine : {false, true}) {
                MatrixLayout matrix;
                matrix.width = 5;
                matrix.height = 3;
                matrix.columns = columns;
                matrix.serpentine = serpentine;
                matrix.start = MatrixLayout::Corner(corner);
                const GridHandles grid{{100, 100}, {140, 100}, {100, 140}};
                const QList<QPointF> leds = matrixOnGrid(matrix, GridTransform(grid), QPointF(0, 0));
                const MapExport gaps = exportLedMap(LedMapFormat::WledGaps, layoutOf(leds, grid), "m");
                ASSERT_TRUE(gaps.ok()) << qPrintable(gaps.error);
                const QString want = QString("set WLED's 2D panel to: %1, %2, %3 (5 × 3)")
                                         .arg(corners[corner], columns ? "vertical" : "horizontal",
                                              serpentine ? "serpentine" : "not serpentine");
                EXPECT_TRUE(gaps.notes.contains(want)) << qPrintable(gaps.notes.join("; "));
            }

    RingLayout ring;
    const MapExport gaps = exportLedMap(LedMapFormat::WledGaps, layoutOf(ringPositions(ring)), "ring");
    EXPECT_FALSE(gaps.ok());
    EXPECT_TRUE(gaps.bytes.isEmpty());
    EXPECT_TRUE(gaps.error.startsWith("no WLED 2D panel wiring gives the LEDs' order: with the closest")) << qPrintable(gaps.error);
    EXPECT_TRUE(gaps.error.endsWith("export ledmap.json instead, which carries any order")) << qPrintable(gaps.error);
}

TEST(CellFit, WiringOrderIsWledsForEachSetUp)
{
    // 3 × 2 panel, cells numbered y·3 + x: the orders setUpMatrix walks.
    EXPECT_EQ((WledPanelWiring{false, false, false, false}.order(3, 2)), (QList<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ((WledPanelWiring{false, false, false, true}.order(3, 2)), (QList<int>{0, 1, 2, 5, 4, 3}));
    EXPECT_EQ((WledPanelWiring{true, true, false, false}.order(3, 2)), (QList<int>{5, 4, 3, 2, 1, 0}));
    EXPECT_EQ((WledPanelWiring{false, false, true, false}.order(3, 2)), (QList<int>{0, 3, 1, 4, 2, 5}));
    EXPECT_EQ((WledPanelWiring{true, false, true, true}.order(3, 2)), (QList<int>{3, 0, 1, 4, 5, 2}));
}
