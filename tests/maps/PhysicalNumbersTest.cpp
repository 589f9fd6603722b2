#include "document/GridTransform.h"
#include "maps/LedMapImport.h"
#include "maps/MapExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace lumora;

// WLED's deserializeMap (wled00/FX_fcn.cpp) reads map[i] as the physical LED shown in cell i
// (getMappedPixelIndex returns it); a number the map never names is an LED WLED does not
// show, and a number named twice is simply shown in both cells.

namespace {

/// A width × height ledmap wired from the bottom-left corner, `unused` LEDs between rows
/// (the wire turning round behind the panel), serpentine or not.
QByteArray wledPanel(int width, int height, int unused, bool serpentine)
{
    QList<int> cells(width * height, -1);
    for (int run = 0; run < height; ++run)
        for (int i = 0; i < width; ++i) {
            const int x = serpentine && run % 2 ? width - 1 - i : i;
            cells[(height - 1 - run) * width + x] = run * (width + unused) + i;
        }
    QByteArray map;
    for (int c : cells)
        map += (map.isEmpty() ? "" : ",") + QByteArray::number(c);
    return "{\"n\":\"wall\",\"width\":" + QByteArray::number(width) + ",\"height\":" + QByteArray::number(height)
        + ",\"map\":[" + map + "]}\n";
}

QJsonObject json(const QByteArray &bytes)
{
    return QJsonDocument::fromJson(bytes).object();
}

} // namespace

TEST(PhysicalNumbers, WledLedmapWithUnusedNumbersKeepsThemAndExportsTheSameMap)
{
    for (int unused : {1, 2, 3})
        for (bool serpentine : {true, false}) {
            SCOPED_TRACE(QString("%1 unused, serpentine %2").arg(unused).arg(serpentine).toStdString());
            const QByteArray file = wledPanel(21, 8, unused, serpentine);
            const LedMapImport imported = importLedMap(file);
            ASSERT_TRUE(imported.ok()) << qPrintable(imported.error);
            const int width = 21 + unused;
            ASSERT_EQ(imported.leds.size(), 8 * width - unused) << "every number up to the highest is an LED";
            ASSERT_EQ(imported.filled.size(), 7 * unused);
            EXPECT_EQ(imported.filled.first(), 21);
            EXPECT_EQ(imported.filledRuns.size(), 7);

            // LED k sits in the cell the map gives LED k.
            ASSERT_TRUE(imported.grid);
            const auto toCells = GridTransform(*imported.grid).inverted();
            ASSERT_TRUE(toCells);
            const QJsonArray map = json(file)["map"].toArray();
            const QPointF origin = toCells->map(imported.leds[0]);
            for (int cell = 0; cell < map.size(); ++cell) {
                const QPointF at = toCells->map(imported.leds[map[cell].toInt()]) - origin;
                EXPECT_NEAR(at.x(), cell % 21, 1e-9) << "LED " << map[cell].toInt();
                EXPECT_NEAR(at.y(), 7 - cell / 21, 1e-9) << "LED " << map[cell].toInt();
            }
            // The filled LEDs are evenly on the wire from the last LED of a row to the first of the next.
            const QPointF from = imported.leds[20], to = imported.leds[21 + unused];
            for (int k = 1; k <= unused; ++k) {
                const QPointF want = from + (to - from) * (double(k) / (unused + 1));
                EXPECT_NEAR(imported.leds[20 + k].x(), want.x(), 1e-9);
                EXPECT_NEAR(imported.leds[20 + k].y(), want.y(), 1e-9);
            }

            LayoutSnapshot layout;
            layout.leds = imported.leds;
            layout.grid = imported.grid;
            const MapExport back = exportLedMap(LedMapFormat::Wled, layout, "wall");
            ASSERT_TRUE(back.ok()) << qPrintable(back.error);
            EXPECT_TRUE(back.lossless()) << qPrintable(back.lost.join("; "));
            EXPECT_EQ(back.bytes, file) << "the same map, cell for cell";
        }
}

TEST(PhysicalNumbers, CameraScanWithMissedLedsFillsThemOnTheWire)
{
    // Marimapper-style CSV: LEDs 0, 1, 4 and 5 were not seen by the camera.
    const QByteArray csv = "index,u,v\n2,0.3,0.5\n3,0.4,0.5\n6,0.7,0.2\n7,0.1,0.1\n";
    LedMapImport imported = importLedMap(csv);
    ASSERT_TRUE(imported.ok()) << qPrintable(imported.error);
    ASSERT_EQ(imported.leds.size(), 8);
    EXPECT_EQ(imported.filled, (QList<qsizetype>{0, 1, 4, 5}));
    EXPECT_EQ(imported.filledRuns, (QStringList{"LEDs 0–1, before LED 2", "LEDs 4–5, between LEDs 3 and 6"}));
    const QList<QPointF> &p = imported.leds;
    auto near = [](QPointF a, QPointF b) { return std::hypot(a.x() - b.x(), a.y() - b.y()) < 1e-9; };
    EXPECT_TRUE(near(p[4], p[3] + (p[6] - p[3]) / 3));
    EXPECT_TRUE(near(p[5], p[3] + (p[6] - p[3]) * 2 / 3));
    EXPECT_TRUE(near(p[1], p[2] - (p[3] - p[2])) && near(p[0], p[2] - (p[3] - p[2]) * 2))
        << "before the first seen LED the wire goes on with the step of the first two";
    EXPECT_TRUE(imported.gapNote.contains("4 of its LEDs")) << qPrintable(imported.gapNote);

    // --no-fill: the seen LEDs stay where they were, and close up.
    const QList<QPointF> seen{p[2], p[3], p[6], p[7]};
    imported.closeGaps();
    EXPECT_EQ(imported.leds, seen);
    EXPECT_TRUE(imported.filled.isEmpty());
    EXPECT_TRUE(imported.gapNote.contains("move up to close")) << qPrintable(imported.gapNote);

    // Continued past the edge of the layout space, the wire stops at it.
    const LedMapImport edge = importLedMap("index,x,y\n5,10,300\n6,60,300\n");
    ASSERT_EQ(edge.leds.size(), 7);
    EXPECT_EQ(edge.leds[0], QPointF(0, 300));
    EXPECT_EQ(edge.leds[4], QPointF(0, 300));
}

TEST(PhysicalNumbers, NumberNamedTwiceKeepsItsFirstPlace)
{
    const LedMapImport wled = importLedMap("{\"width\":4,\"height\":1,\"map\":[0,1,1,2]}");
    ASSERT_TRUE(wled.ok()) << qPrintable(wled.error);
    ASSERT_EQ(wled.leds.size(), 3);
    EXPECT_LT(wled.leds[1].x(), (wled.leds[0].x() + wled.leds[2].x()) / 2 + 1e-9) << "LED 1 stays in the first cell naming it";
    ASSERT_EQ(wled.warnings.size(), 1);
    EXPECT_EQ(wled.warnings[0], "1 LED number is named more than once; each keeps its first place: "
                                "LED 1 again at map element 2 (kept: map element 1)");

    const LedMapImport csv = importLedMap("index,x,y\n0,100,100\n1,200,100\n0,300,100\n");
    ASSERT_TRUE(csv.ok()) << qPrintable(csv.error);
    EXPECT_EQ(csv.leds, (QList<QPointF>{{100, 100}, {200, 100}}));
    EXPECT_TRUE(csv.warnings.join(' ').contains("LED 0 again at line 4 (kept: line 2)")) << qPrintable(csv.warnings.join(' '));
}
