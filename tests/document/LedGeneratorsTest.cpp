// The generators' LED order and geometry, and the fitted grid.
#include "document/GridFit.h"
#include "document/LedGenerators.h"

#include <QLineF>

#include <gtest/gtest.h>

#include <cmath>

using namespace lumora;

namespace {

/// The LED numbers of a 3 × 2 matrix as seen on screen, top row first ("0 1 2/3 4 5"), read
/// back from the positions so that the geometry (y up, spacing, centring) counts too.
QString picture(const MatrixLayout &layout)
{
    const QList<QPointF> leds = matrixPositions(layout, QPointF(100, 100), 10);
    QString rows[2][3];
    for (qsizetype i = 0; i < leds.size(); ++i) {
        const int column = int(std::lround((leds[i].x() - 90) / 10));
        const int row = int(std::lround((leds[i].y() - 95) / 10)); // 0 bottom, 1 top
        rows[1 - row][column] = QString::number(i);
    }
    return QStringList{rows[0][0], rows[0][1], rows[0][2]}.join(' ') + '/'
        + QStringList{rows[1][0], rows[1][1], rows[1][2]}.join(' ');
}

struct MatrixCase {
    bool columns;
    bool serpentine;
    MatrixLayout::Corner start;
    const char *expected;
};

} // namespace

TEST(LedGenerators, MatrixWiringStartsInItsCornerAndRunsAlongRowsOrColumns)
{
    using C = MatrixLayout;
    const MatrixCase cases[] = {
        {false, false, C::TopLeft, "0 1 2/3 4 5"},
        {false, true, C::TopLeft, "0 1 2/5 4 3"},
        {false, false, C::TopRight, "2 1 0/5 4 3"},
        {false, true, C::TopRight, "2 1 0/3 4 5"},
        {false, false, C::BottomLeft, "3 4 5/0 1 2"},
        {false, true, C::BottomLeft, "5 4 3/0 1 2"},
        {false, false, C::BottomRight, "5 4 3/2 1 0"},
        {false, true, C::BottomRight, "3 4 5/2 1 0"},
        {true, false, C::TopLeft, "0 2 4/1 3 5"},
        {true, true, C::TopLeft, "0 3 4/1 2 5"},
        {true, true, C::TopRight, "4 3 0/5 2 1"},
        {true, true, C::BottomLeft, "1 2 5/0 3 4"},
        {true, true, C::BottomRight, "5 2 1/4 3 0"},
    };
    for (const MatrixCase &c : cases) {
        MatrixLayout layout;
        layout.width = 3;
        layout.height = 2;
        layout.columns = c.columns;
        layout.serpentine = c.serpentine;
        layout.start = c.start;
        EXPECT_EQ(picture(layout), c.expected) << "columns " << c.columns << " serpentine " << c.serpentine
                                             << " corner " << c.start;
    }
}

TEST(LedGenerators, MatrixOnAGridPutsOneLedOnEachGridStep)
{
    // A skewed grid: the cells follow its axes, not the layout's.
    const GridTransform grid({{100, 100}, {130, 105}, {95, 130}});
    MatrixLayout layout;
    layout.width = 2;
    layout.height = 2;
    layout.start = MatrixLayout::BottomLeft;
    const QList<QPointF> leds = matrixOnGrid(layout, grid, QPointF(1, 0));
    ASSERT_EQ(leds.size(), 4);
    EXPECT_EQ(leds[0], grid.map({1, 0}));
    EXPECT_EQ(leds[1], grid.map({2, 0}));
    EXPECT_EQ(leds[2], grid.map({1, 1}));
}

TEST(LedGenerators, RingRunsCounterclockwiseUnlessAskedAndArcsIncludeBothEnds)
{
    RingLayout ring;
    ring.count = 4;
    ring.center = {500, 400};
    ring.radius = 100;
    const QList<QPointF> ccw = ringPositions(ring);
    ASSERT_EQ(ccw.size(), 4);
    EXPECT_NEAR(ccw[0].x(), 600, 1e-9);
    EXPECT_NEAR(ccw[1].y(), 500, 1e-9); // above the centre: y points up
    EXPECT_NEAR(ccw[3].y(), 300, 1e-9); // a closed ring does not repeat LED 0

    ring.clockwise = true;
    EXPECT_NEAR(ringPositions(ring)[1].y(), 300, 1e-9);

    ring.clockwise = false;
    ring.count = 3;
    ring.startAngle = 90;
    ring.sweep = 180;
    const QList<QPointF> arc = ringPositions(ring);
    EXPECT_NEAR(arc[0].y(), 500, 1e-9);
    EXPECT_NEAR(arc[1].x(), 400, 1e-9);
    EXPECT_NEAR(arc[2].y(), 300, 1e-9);
}

TEST(LedGenerators, StripsSpaceLedsEvenlyAlongTheirLength)
{
    const QList<QPointF> line = stripPositions({0, 0}, {90, 0}, 10);
    ASSERT_EQ(line.size(), 10);
    for (qsizetype i = 0; i < line.size(); ++i)
        EXPECT_NEAR(line[i].x(), 10.0 * i, 1e-9);

    // Around a corner the spacing is measured along the path, and the corner gets an LED.
    const QList<QPointF> corner{{0, 0}, {30, 0}, {30, 25}};
    const QList<QPointF> spaced = polylineBySpacing(corner, 10);
    ASSERT_EQ(spaced.size(), 6); // 0, 10, 20, 30 (the corner), then 10 and 20 up
    EXPECT_EQ(spaced[3], QPointF(30, 0));
    EXPECT_EQ(spaced[5], QPointF(30, 20));

    const QList<QPointF> counted = polylineByCount(corner, 12);
    ASSERT_EQ(counted.size(), 12);
    EXPECT_EQ(counted.first(), QPointF(0, 0));
    EXPECT_EQ(counted.last(), QPointF(30, 25));
    EXPECT_NEAR(QLineF(counted[5], counted[6]).length(), 5, 1e-9);
}

TEST(LedGenerators, BadInputGivesNoLeds)
{
    EXPECT_TRUE(stripPositions({0, 0}, {1, 1}, 0).isEmpty());
    EXPECT_TRUE(stripPositions({NAN, 0}, {1, 1}, 5).isEmpty());
    EXPECT_TRUE(polylineBySpacing({{0, 0}, {10, 0}}, 0).isEmpty());
    EXPECT_TRUE(polylineBySpacing({{0, 0}, {1e9, 0}}, 1e-3).isEmpty()); // beyond the limit
    RingLayout ring;
    ring.radius = INFINITY;
    EXPECT_TRUE(ringPositions(ring).isEmpty());
    MatrixLayout huge;
    huge.width = huge.height = 1 << 16;
    EXPECT_TRUE(matrixCells(huge).isEmpty());
}

TEST(GridFit, TheLedsSpanTheAskedUnitsAroundTheOrigin)
{
    const GridHandles grid = fitGrid({{100, 200}, {420, 260}, {260, 300}}, 16);
    EXPECT_EQ(grid.origin, QPointF(260, 250));
    EXPECT_EQ(grid.xDirection, QPointF(280, 250)); // 320 wide / 16
    EXPECT_EQ(grid.yDirection, QPointF(260, 270));

    const GridHandles none = fitGrid({});
    EXPECT_EQ(none.origin, QPointF(512, 384));
    EXPECT_EQ(none.xDirection, QPointF(544, 384));
    const GridHandles stacked = fitGrid({{10, 10}, {10, 10}});
    EXPECT_EQ(stacked.yDirection, QPointF(10, 42));
}
