// Draw Strip in the layout editor: dragged lines, clicked polylines, the keys, the zoom.
#include "EditorTestSupport.h"

#include <QKeyEvent>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

StripPlacement byCount(int count)
{
    return {StripPlacement::Count, count, 20};
}

StripPlacement bySpacing(double spacing)
{
    return {StripPlacement::Spacing, 30, spacing};
}

void expectNear(QPointF actual, QPointF expected, double tolerance, int index)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance) << "LED " << index;
    EXPECT_NEAR(actual.y(), expected.y(), tolerance) << "LED " << index;
}

/// The positions of the LEDs from `first` on.
QList<QPointF> positionsFrom(const View &view, qsizetype first)
{
    return view.positions().mid(first);
}

/// What a window system sends for a double click: a click, then a double click event in
/// place of the second press, and its release.
void doubleClick(ViewFixture &f, QPointF p)
{
    f.click(p);
    QTest::mouseDClick(f.view.get(), Qt::LeftButton, {}, f.at(p));
    f.release(p);
}

} // namespace

TEST(DrawStrip, ADraggedLineGetsTheCountEvenlyFromEndToEndAsOneUndoStep)
{
    ViewFixture f;
    f.led({50, 50});
    f.led({60, 60});
    f.view->startDrawingStrip(byCount(30), false);
    f.press({100, 100});
    f.drag({250, 300});
    // The preview shows what the release will add.
    const QList<QPointF> preview = f.view->stripPreview();
    f.drag({390, 100});
    EXPECT_EQ(f.view->ledCount(), 2) << "nothing is added before the release";
    ASSERT_EQ(preview.size(), 30);
    EXPECT_EQ(preview.last(), QPointF(250, 300));
    f.release({390, 100});
    f.endEvent();

    EXPECT_FALSE(f.view->isDrawingStrip());
    const QList<QPointF> strip = positionsFrom(*f.view, 2);
    ASSERT_EQ(strip.size(), 30);
    for (int i = 0; i < 30; ++i)
        expectNear(strip[i], QPointF(100 + 10 * i, 100), 1e-9, i);
    EXPECT_EQ(f.model.markedLeds().size(), 30);
    EXPECT_EQ(f.undo.undoActionName(), "add strip");
    f.undo.undo();
    EXPECT_EQ(f.view->positions(), (QList<QPointF>{{50, 50}, {60, 60}}));
}

TEST(DrawStrip, AClickedPolylineFinishesByDoubleClickOrEnter)
{
    // Count 5 on an L of two 200-unit legs: ends, corner and the middles of the legs.
    const QList<QPointF> byFive{{100, 100}, {200, 100}, {300, 100}, {300, 200}, {300, 300}};
    for (const bool enter : {false, true}) {
        ViewFixture f;
        f.view->startDrawingStrip(byCount(5), false);
        f.click({100, 100});
        f.click({300, 100});
        if (enter) {
            f.click({300, 300});
            f.drag({500, 500}); // the pointer's spot is no point of the strip
            QTest::keyClick(f.view.get(), Qt::Key_Return);
        } else {
            doubleClick(f, {300, 300});
        }
        f.endEvent();
        EXPECT_FALSE(f.view->isDrawingStrip());
        EXPECT_EQ(f.view->positions(), byFive) << (enter ? "Enter" : "double click");
        EXPECT_EQ(f.undo.undoActionName(), "add strip");
        f.undo.undo();
        EXPECT_EQ(f.view->ledCount(), 0);
    }

    // By spacing: one LED every 75 units along the 400 units of the L, from its start.
    ViewFixture f;
    f.view->startDrawingStrip(bySpacing(75), false);
    for (const QPointF p : {QPointF(100, 100), QPointF(300, 100), QPointF(300, 300)})
        f.click(p);
    QTest::keyClick(f.view.get(), Qt::Key_Enter);
    const QList<QPointF> every75{{100, 100}, {175, 100}, {250, 100}, {300, 125}, {300, 200}, {300, 275}};
    ASSERT_EQ(f.view->ledCount(), every75.size());
    for (int i = 0; i < every75.size(); ++i)
        expectNear(f.view->positions()[i], every75[i], 1e-9, i);
}

TEST(DrawStrip, BackspaceTakesBackAPointAndEscapeLeavesWithNothingAdded)
{
    ViewFixture f;
    f.view->startDrawingStrip(byCount(3), false);
    f.click({100, 100});
    f.click({300, 100});
    f.click({300, 500});
    QTest::keyClick(f.view.get(), Qt::Key_Backspace);
    QTest::keyClick(f.view.get(), Qt::Key_Return);
    f.endEvent();
    EXPECT_EQ(f.view->positions(), (QList<QPointF>{{100, 100}, {200, 100}, {300, 100}}));

    // Enter with one point only keeps drawing; Escape, even in the middle of a drag, ends
    // the tool and the next click is an ordinary one of Edit LEDs again.
    const int steps = f.undo.stack()->count();
    f.view->startDrawingStrip(byCount(3), false);
    f.click({500, 500});
    QTest::keyClick(f.view.get(), Qt::Key_Return);
    EXPECT_TRUE(f.view->isDrawingStrip());
    f.view->cancelDrawingStrip();
    f.view->startDrawingStrip(byCount(3), false);
    f.press({500, 500});
    f.drag({700, 500});
    QTest::keyClick(f.view.get(), Qt::Key_Escape);
    f.release({700, 500});
    f.endEvent();
    EXPECT_FALSE(f.view->isDrawingStrip());
    EXPECT_EQ(f.view->ledCount(), 3);
    EXPECT_EQ(f.undo.stack()->count(), steps);
    f.click({600, 600});
    EXPECT_EQ(f.view->ledCount(), 4);
}

TEST(DrawStrip, PlusAndMinusChangeTheCountWhileDrawingAndAreKeptForTheNextStrip)
{
    ViewFixture f;
    f.view->startDrawingStrip(byCount(10), false);
    f.click({100, 100});
    f.drag({200, 100});
    QTest::keyClick(f.view.get(), Qt::Key_Plus);
    QTest::keyClick(f.view.get(), Qt::Key_Plus);
    QTest::keyClick(f.view.get(), Qt::Key_Minus);
    EXPECT_EQ(f.view->stripPreview().size(), 11);
    doubleClick(f, {200, 100});
    EXPECT_EQ(f.view->ledCount(), 11);
    EXPECT_EQ(f.view->stripPlacement().count, 11);
}

TEST(DrawStrip, LandsWhereThePointerIsWhileZoomedInFourTimes)
{
    ViewFixture f;
    f.view->setZoom(4, f.view->widgetPoint({600, 400}));
    ASSERT_DOUBLE_EQ(f.view->layoutTransform().m11(), 4);
    // A drag of 20 units is 80 pixels at this zoom: a line, not a click.
    f.view->startDrawingStrip(byCount(5), false);
    f.pressDragRelease({580, 400}, {600, 400});
    f.endEvent();
    ASSERT_EQ(f.view->ledCount(), 5);
    for (int i = 0; i < 5; ++i)
        expectNear(f.view->positions()[i], QPointF(580 + 5 * i, 400), 0.25, i);

    // A curve clicked point by point on screen.
    f.view->startDrawingStrip(byCount(3), false);
    f.click({560, 380});
    f.click({600, 420});
    f.drag({640, 380});
    f.view->grab(); // the line and the preview paint at this zoom
    doubleClick(f, {640, 380});
    f.endEvent();
    const QList<QPointF> curve = f.view->positions().mid(0, 3); // in front of the marked strip
    expectNear(curve[0], {560, 380}, 0.25, 0);
    expectNear(curve[1], {600, 420}, 0.25, 1);
    expectNear(curve[2], {640, 380}, 0.25, 2);
    EXPECT_EQ(f.view->ledCount(), 8);
}

TEST(DrawStrip, SnapsToHalfGridStepsOnlyWhenAskedWithACompleteGrid)
{
    ViewFixture f;
    f.makeGrid({100, 100}, {140, 100}, {100, 140}); // 40 units a step
    f.view->startDrawingStrip(byCount(3), true);
    f.press({103, 104});
    f.drag({181, 97});
    EXPECT_EQ(f.view->stripPreview(), (QList<QPointF>{{100, 100}, {140, 100}, {180, 100}}));
    f.release({181, 97});
    EXPECT_EQ(f.view->positions(), (QList<QPointF>{{100, 100}, {140, 100}, {180, 100}}));

    f.view->startDrawingStrip(byCount(2), false);
    f.pressDragRelease({303, 304}, {403, 304});
    EXPECT_EQ(f.view->positions().first(), QPointF(303, 304));
}
