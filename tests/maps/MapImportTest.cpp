#include "maps/CellLattice.h"
#include "maps/LedMapImport.h"
#include "maps/MapExport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace lumora;

namespace {

LayoutSnapshot layoutOf(const QList<QPointF> &leds)
{
    LayoutSnapshot layout;
    layout.leds = leds;
    return layout;
}

/// Positions relative to their bounding square: (p − top-left) / side, y down.
QList<QPointF> normalised(const QList<QPointF> &points)
{
    const QRectF box = pointSpread(points);
    const double side = std::max(box.width(), box.height());
    QList<QPointF> result;
    for (const QPointF &p : points)
        result.append(QPointF((p.x() - box.left()) / side, (box.bottom() - p.y()) / side));
    return result;
}

} // namespace

TEST(LedMapImport, CsvAndPixelblazeExportsReadBackUnchanged)
{
    const QList<QPointF> leds{{100.125, 200}, {900, 700.5}, {0.1, 3}, {512, 384}};
    for (LedMapFormat format : {LedMapFormat::Csv, LedMapFormat::Pixelblaze}) {
        const LedMapImport back = importLedMap(exportLedMap(format, layoutOf(leds), "d").bytes);
        ASSERT_TRUE(back.ok()) << qPrintable(back.error);
        EXPECT_EQ(back.format, format);
        EXPECT_EQ(back.leds, leds) << qPrintable(formatName(format));
        EXPECT_TRUE(back.warnings.isEmpty()) << qPrintable(back.warnings.join("; "));
    }
}

TEST(LedMapImport, CellFormatsReadBackWithinTheLatticeResolution)
{
    QList<QPointF> leds; // an irregular, y-up layout, LED order not along the rows
    for (int i = 0; i < 60; ++i)
        leds.append(QPointF(300 + 200 * std::sin(i * 1.7), 380 + 150 * std::cos(i * 0.9)));
    const CellLattice lattice = CellLattice::forLayout(leds, std::nullopt);
    ASSERT_TRUE(lattice.hidden().isEmpty());
    const double tolerance = 0.5 / (std::max(lattice.width(), lattice.height()) - 1) * std::sqrt(2.0) + 1e-9;
    for (LedMapFormat format : {LedMapFormat::Wled, LedMapFormat::XModel}) {
        const LedMapImport back = importLedMap(exportLedMap(format, layoutOf(leds), "d").bytes);
        ASSERT_TRUE(back.ok()) << qPrintable(back.error);
        ASSERT_EQ(back.leds.size(), leds.size());
        const QList<QPointF> want = normalised(leds), got = normalised(back.leds);
        for (qsizetype i = 0; i < leds.size(); ++i)
            EXPECT_LE(std::hypot(want[i].x() - got[i].x(), want[i].y() - got[i].y()), tolerance)
                << qPrintable(formatName(format)) << " LED " << i;
        ASSERT_TRUE(back.grid);
        // The proposed grid makes each cell one step, so exporting again gives the same file.
        LayoutSnapshot again = layoutOf(back.leds);
        again.grid = back.grid;
        EXPECT_EQ(exportLedMap(format, again, "d").bytes, exportLedMap(format, layoutOf(leds), "d").bytes);
    }
}

TEST(LedMapImport, CsvVariants)
{
    // Extra columns, rows out of order, CRLF and a comment.
    LedMapImport csv = importLedMap("# from a mapper\r\nid,index,x,y,colour\r\n7,2,300,400,red\r\n5,0,100,200,blue\r\n6,1,200,300,\r\n");
    ASSERT_TRUE(csv.ok()) << qPrintable(csv.error);
    EXPECT_EQ(csv.leds, (QList<QPointF>{{100, 200}, {200, 300}, {300, 400}}));
    EXPECT_TRUE(csv.warnings.isEmpty()) << qPrintable(csv.warnings.join("; "));

    // --flip-y for a y-down CSV in layout units.
    EXPECT_EQ(importLedMap("index,x,y\n0,100,200\n1,300,600\n", std::nullopt, true).leds,
              (QList<QPointF>{{100, 568}, {300, 168}}));

    // Camera mapper: normalised, y down, fitted and centred with the aspect kept.
    const LedMapImport camera = importLedMap("index,u,v\n0,0,0\n1,1,0\n2,0,0.5\n");
    ASSERT_TRUE(camera.ok()) << qPrintable(camera.error);
    const QList<QPointF> p = camera.leds;
    EXPECT_DOUBLE_EQ(p[0].y(), p[1].y());
    EXPECT_GT(p[0].y(), p[2].y()) << "the first row of the image is at the top";
    EXPECT_DOUBLE_EQ(p[1].x() - p[0].x(), 2 * (p[0].y() - p[2].y())) << "aspect kept";
    EXPECT_DOUBLE_EQ((p[0].x() + p[1].x()) / 2, 512);
    EXPECT_DOUBLE_EQ((p[0].y() + p[2].y()) / 2, 384);

    const LedMapImport threeD = importLedMap("index,x,y,z\n0,10,20,5\n1,500,600,7\n");
    ASSERT_TRUE(threeD.ok());
    EXPECT_EQ(threeD.leds, (QList<QPointF>{{10, 20}, {500, 600}}));
    EXPECT_TRUE(threeD.warnings.join(' ').contains("3-D"));
}

TEST(LedMapImport, PixelblazeWledAndXLightsFiles)
{
    const LedMapImport pixelblaze = importLedMap(" [[0,0,1],[10,0,2],[0,5,3]]");
    ASSERT_TRUE(pixelblaze.ok()) << qPrintable(pixelblaze.error);
    EXPECT_EQ(pixelblaze.format, LedMapFormat::Pixelblaze);
    EXPECT_TRUE(pixelblaze.warnings.join(' ').contains("3-D"));
    EXPECT_GT(pixelblaze.leds[0].y(), pixelblaze.leds[2].y()) << "y down in the source";

    // WLED: cells back to positions, -1 skipped, LED numbers give the order.
    const LedMapImport wled = importLedMap("{\"n\":\"x\",\"width\":3,\"height\":2,\"map\":[2,-1,0,-1,1,-1]}");
    ASSERT_TRUE(wled.ok()) << qPrintable(wled.error);
    ASSERT_EQ(wled.leds.size(), 3);
    EXPECT_GT(wled.leds[0].x(), wled.leds[1].x());
    EXPECT_GT(wled.leds[0].y(), wled.leds[1].y());
    EXPECT_LT(wled.leds[2].x(), wled.leds[1].x());

    // xLights: the plain grid and the compressed list of the same model agree.
    const LedMapImport grid = importLedMap("<custommodel name=\"m\" CustomModel=\"2,,;,,1;,3,\"/>");
    const LedMapImport compressed = importLedMap("<?xml version=\"1.0\"?>\n"
                                                 "<custommodel name=\"m\" CustomModelCompressed=\"1,1,2;2,0,0;3,2,1\"/>");
    ASSERT_TRUE(grid.ok()) << qPrintable(grid.error);
    ASSERT_TRUE(compressed.ok()) << qPrintable(compressed.error);
    EXPECT_EQ(grid.leds, compressed.leds);
    ASSERT_EQ(grid.leds.size(), 3);
    EXPECT_GT(grid.leds[1].y(), grid.leds[0].y()) << "node 2 is in the top row";
}

TEST(LedMapImport, BadInputNamesThePlaceAndImportsNothing)
{
    const struct {
        const char *data;
        const char *message;
    } cases[] = {
        {"", "empty"},
        {"index,x,y\n0,1,2\n1,abc,3\n", "line 3"},
        {"x,y\n1,2\n", "line 1: expected a header"},
        {"index,x,y\n0,1\n", "line 2"},
        {"[[1,2],\n[3,\"a\"]]", "element 1"},
        {"[[1,2],\n[3,4,5]]", "element 1"},
        {"[[1,2],\n[3,4]", "line 2"},
        {"{\"width\":2,\"map\":[0,1,x]}", "line 1"},
        {"{\"width\":2,\"map\":[0,1,1.5]}", "map element 2"},
        {"{\"width\":1,\"height\":1,\"map\":[0,1]}", "more than width"},
        {"{\"map\":[-1,-1]}", "no LED"},
        {"<custommodel name=\"m\" CustomModel=\"1,x\"/>", "row 0, column 1"},
        {"<custommodel name=\"m\" CustomModelCompressed=\"1,0,0;2,0\"/>", "entry 1"},
        {"<custommodel name=\"m\"\n CustomModel=\"1\">", "line 2"},
        {"<model name=\"m\"/>", "<custommodel>"},
    };
    for (const auto &c : cases) {
        const LedMapImport result = importLedMap(c.data);
        EXPECT_FALSE(result.ok()) << c.data;
        EXPECT_TRUE(result.leds.isEmpty()) << c.data;
        EXPECT_TRUE(result.error.contains(c.message)) << c.data << " -> " << qPrintable(result.error);
    }
    EXPECT_FALSE(importLedMap("[[1,2]]", LedMapFormat::FastLed).ok());
}
