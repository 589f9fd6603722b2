#include "maps/CellLattice.h"
#include "maps/MapExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cstdlib>

using namespace lumora;

namespace {

LayoutSnapshot layoutOf(const QList<QPointF> &leds, std::optional<GridHandles> grid = std::nullopt)
{
    LayoutSnapshot layout;
    layout.leds = leds;
    layout.grid = grid;
    return layout;
}

/// A cols × rows matrix, LED order row by row from the top, 40 layout units apart.
QList<QPointF> matrix(int cols, int rows)
{
    QList<QPointF> leds;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            leds.append(QPointF(200 + 40 * c, 600 - 40 * r));
    return leds;
}

/// WLED's reader: find "map":[ and read atoi-separated integers up to "]".
QList<int> wledReads(const QByteArray &file)
{
    const qsizetype at = file.indexOf("\"map\":[");
    if (at < 0)
        return {};
    QList<int> values;
    const char *p = file.constData() + at + 7;
    while (*p && *p != ']') {
        values.append(std::atoi(p));
        while (*p && *p != ',' && *p != ']')
            ++p;
        if (*p == ',')
            ++p;
    }
    return values;
}

} // namespace

TEST(CellLattice, GridUsesItsHalfStepsThinnedToTheStepsInUse)
{
    // Grid steps of 40 with y up: LEDs on whole steps would leave every other half step empty.
    const GridHandles grid{{200, 600}, {240, 600}, {200, 640}};
    const CellLattice lattice = CellLattice::forLayout(matrix(3, 2), grid);
    EXPECT_TRUE(lattice.fromGrid());
    EXPECT_EQ(lattice.width(), 3);
    EXPECT_EQ(lattice.height(), 2);
    EXPECT_EQ(lattice.owners(), (QList<int>{0, 1, 2, 3, 4, 5})) << "row 0 is the top of the layout";

    // Two LEDs on one half step cannot both be told apart by the grid: a square lattice is used.
    const CellLattice crowded = CellLattice::forLayout({{200, 600}, {203, 600}, {240, 600}}, grid);
    EXPECT_FALSE(crowded.fromGrid());
    EXPECT_TRUE(crowded.hidden().isEmpty());
}

TEST(CellLattice, SquareLatticeFollowsTheLedsSpacing)
{
    // 0, 10, 30 on a line: the common step is 10, so the gap of 20 is one empty cell.
    const CellLattice lattice = CellLattice::forLayout({{0, 0}, {10, 0}, {30, 0}}, std::nullopt);
    EXPECT_EQ(lattice.width(), 4);
    EXPECT_EQ(lattice.height(), 1);
    EXPECT_EQ(lattice.owners(), (QList<int>{0, 1, -1, 2}));

    const CellLattice regular = CellLattice::forLayout(matrix(16, 8), std::nullopt);
    EXPECT_EQ(regular.width(), 16);
    EXPECT_EQ(regular.height(), 8);
    EXPECT_TRUE(regular.hidden().isEmpty());
}

TEST(CellLattice, ReportsLedsOnOnePlace)
{
    QList<QPointF> leds = matrix(4, 2);
    leds.append(leds[5]);
    const CellLattice lattice = CellLattice::forLayout(leds, std::nullopt);
    EXPECT_EQ(lattice.width(), 4);
    EXPECT_EQ(lattice.hidden(), QList<int>{8});
    EXPECT_EQ(lattice.sharingMessages(), QStringList{"LEDs 5 and 8 share cell (1, 1)"});

    const MapExport wled = exportLedMap(LedMapFormat::Wled, layoutOf(leds), "strip");
    EXPECT_FALSE(wled.lossless());
    const MapExport pixelblaze = exportLedMap(LedMapFormat::Pixelblaze, layoutOf(leds), "strip");
    EXPECT_TRUE(pixelblaze.lossless()) << "positions, not cells: nothing is lost";
}

TEST(WledMap, IsTextWledsReaderTakesWithGapsAsMinusOne)
{
    // An L of three LEDs in a 2 × 2 lattice: the cell at the bottom right is empty.
    const QList<QPointF> leds{{100, 500}, {300, 500}, {100, 300}};
    const MapExport map = exportLedMap(LedMapFormat::Wled, layoutOf(leds), "my \"map\":[9] room");
    EXPECT_TRUE(map.lossless());
    EXPECT_EQ(map.bytes, "{\"n\":\"my \\\"map\\\":[9] room\",\"width\":2,\"height\":2,\"map\":[0,1,2,-1]}\n");
    EXPECT_EQ(wledReads(map.bytes), (QList<int>{0, 1, 2, -1})) << "a name cannot fake the map key";
    EXPECT_TRUE(QJsonDocument::fromJson(map.bytes).isObject());

    const MapExport gaps = exportLedMap(LedMapFormat::WledGaps, layoutOf(leds), "room");
    EXPECT_EQ(gaps.bytes, "[1,1,1,-1]\n");
}

TEST(WledMap, NamesEveryLedExactlyOnceInALargeLayout)
{
    QList<QPointF> leds;
    for (int i = 0; i < 500; ++i) // a spiral: irregular, no grid
        leds.append(QPointF(512 + std::cos(i * 0.3) * (20 + i * 0.7), 384 + std::sin(i * 0.3) * (20 + i * 0.7)));
    const MapExport map = exportLedMap(LedMapFormat::Wled, layoutOf(leds), "spiral");
    const QJsonObject json = QJsonDocument::fromJson(map.bytes).object();
    const QList<int> cells = wledReads(map.bytes);
    ASSERT_EQ(cells.size(), json["width"].toInt() * json["height"].toInt());
    EXPECT_LE(json["width"].toInt(), 255);
    QList<int> count(leds.size(), 0);
    for (int led : cells)
        if (led >= 0)
            ++count[led];
    EXPECT_EQ(count, QList<int>(leds.size(), 1)) << qPrintable(map.lost.join("; "));
}

TEST(FastLedHeader, TableTypeFollowsTheLargestNumberInIt)
{
    // 4 LEDs spread over a lattice of more than 256 cells: the empty cells number past 255.
    const QList<QPointF> sparse{{0, 0}, {1000, 0}, {0, 700}, {40, 700}};
    const MapExport header = exportLedMap(LedMapFormat::FastLed, layoutOf(sparse), "sparse");
    EXPECT_TRUE(header.bytes.contains("const uint16_t XYTable[XY_WIDTH * XY_HEIGHT] PROGMEM"));
    EXPECT_TRUE(header.bytes.contains("#define NUM_LEDS 4\n"));

    const MapExport small = exportLedMap(LedMapFormat::FastLed, layoutOf(matrix(3, 2)), "small");
    EXPECT_TRUE(small.bytes.contains("const uint8_t XYTable[XY_WIDTH * XY_HEIGHT] PROGMEM"));
    EXPECT_TRUE(small.bytes.contains("const uint8_t coordsY[NUM_LEDS] PROGMEM = {\n    0, 0, 0, 255, 255, 255,\n"))
        << "y points down: the top row is 0";
}

TEST(ScreenMapAndPixelblaze, AreJsonWithYDown)
{
    const LayoutSnapshot layout = layoutOf({{10.25, 700}, {1000, 8}});
    const QJsonArray pixelblaze = QJsonDocument::fromJson(exportLedMap(LedMapFormat::Pixelblaze, layout, "x").bytes).array();
    EXPECT_EQ(pixelblaze, (QJsonArray{QJsonArray{10.25, 68}, QJsonArray{1000, 760}}));

    const QJsonObject screen = QJsonDocument::fromJson(exportLedMap(LedMapFormat::ScreenMap, layout, "hall").bytes).object();
    EXPECT_EQ(screen["version"].toInt(), 2);
    const QJsonObject segment = screen["segments"][0].toObject();
    EXPECT_EQ(segment["id"].toString(), "hall");
    EXPECT_EQ(segment["y"].toArray(), (QJsonArray{68, 760}));
    EXPECT_GT(segment["diameter"].toDouble(), 0);
}

TEST(XLightsModel, IsXmlWithOneBasedNodesTopRowFirst)
{
    const QList<QPointF> leds{{100, 500}, {300, 500}, {100, 300}};
    const MapExport model = exportLedMap(LedMapFormat::XModel, layoutOf(leds), "A & <B>");
    QXmlStreamReader xml(model.bytes);
    while (!xml.atEnd() && !xml.isStartElement())
        xml.readNext();
    ASSERT_EQ(xml.name(), QLatin1String("custommodel"));
    const QXmlStreamAttributes a = xml.attributes();
    EXPECT_EQ(a.value("name"), QLatin1String("A & <B>"));
    EXPECT_EQ(a.value("CustomWidth"), QLatin1String("2"));
    EXPECT_EQ(a.value("parm2"), QLatin1String("2"));
    EXPECT_EQ(a.value("CustomModel"), QLatin1String("1,2;3,"));
    while (!xml.atEnd())
        xml.readNext();
    EXPECT_FALSE(xml.hasError()) << qPrintable(xml.errorString());
}

TEST(CsvMap, ListsLayoutAndGridPositions)
{
    const GridHandles grid{{100, 100}, {200, 100}, {100, 200}};
    EXPECT_EQ(exportLedMap(LedMapFormat::Csv, layoutOf({{100, 200}, {150, 300.5}}, grid), "d").bytes,
              "index,x,y,u,v\n0,100,200,0,1\n1,150,300.5,0.5,2.005\n");
    EXPECT_EQ(exportLedMap(LedMapFormat::Csv, layoutOf({{0.1, 2}}), "d").bytes, "index,x,y,u,v\n0,0.1,2,,\n");
}
