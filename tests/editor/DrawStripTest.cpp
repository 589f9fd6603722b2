// Draw Strip in the layout editor: dragged lines, clicked polylines, the keys, the zoom.
#include "EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace lumora;

namespace {

void expectNear(const QList<QPointF> &actual, const QList<QPointF> &expected, double tolerance)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (qsizetype i = 0; i < actual.size(); ++i)
        EXPECT_LT(QLineF(actual[i], expected[i]).length(), tolerance) << "LED " << i;
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
    f.drawStrip({StripPlacement::Count, 30}, false);
    f.press({100, 100});
    f.drag({250, 300});
    ASSERT_EQ(dynamic_cast<DrawStripTool *>(f.view->tool())->preview().size(), 30);
    EXPECT_EQ(dynamic_cast<DrawStripTool *>(f.view->tool())->preview().last(), QPointF(250, 300));
    f.drag({390, 100});
    EXPECT_EQ(f.view->model()->ledCount(), 1) << "nothing is added before the release";
    f.release({390, 100});
    f.endEvent();

    QList<QPointF> even;
    for (int i = 0; i < 30; ++i)
        even.append({100.0 + 10 * i, 100});
    expectNear(f.view->model()->ledPositions().mid(1), even, 1e-9);
    EXPECT_EQ(f.model.markedLeds().size(), 30);
    EXPECT_EQ(f.undo.undoActionName(), "add strip");
    f.undo.undo();
    EXPECT_EQ(f.view->model()->ledPositions(), QList<QPointF>{QPointF(50, 50)});
}

TEST(DrawStrip, AClickedPolylineFinishesByDoubleClickOrByEnterAfterBackspace)
{
    // Count 5 on an L of two 200-unit legs: ends, corner and the middles of the legs.
    const QList<QPointF> l{{100, 100}, {200, 100}, {300, 100}, {300, 200}, {300, 300}};
    for (const bool enter : {false, true}) {
        ViewFixture f;
        f.drawStrip({StripPlacement::Count, 4}, false);
        QTest::keyClick(f.view.get(), Qt::Key_Plus); // the count follows + and −
        f.click({100, 100});
        f.click({300, 100});
        if (enter) {
            f.click({300, 300});
            f.click({700, 500});
            QTest::keyClick(f.view.get(), Qt::Key_Backspace);
            f.drag({500, 500}); // the pointer's spot is no point of the strip
            QTest::keyClick(f.view.get(), Qt::Key_Return);
        } else {
            doubleClick(f, {300, 300});
        }
        EXPECT_FALSE((dynamic_cast<DrawStripTool *>(f.view->tool()) != nullptr));
        EXPECT_EQ(f.view->model()->ledPositions(), l) << (enter ? "Enter" : "double click");
    }
}

TEST(DrawStrip, EscapeInTheMiddleOfADragLeavesWithNothingAdded)
{
    ViewFixture f;
    f.drawStrip({}, false);
    f.press({500, 500});
    f.drag({700, 500});
    QTest::keyClick(f.view.get(), Qt::Key_Escape);
    f.release({700, 500});
    f.endEvent();
    EXPECT_FALSE((dynamic_cast<DrawStripTool *>(f.view->tool()) != nullptr));
    EXPECT_EQ(f.view->model()->ledCount(), 0);
    EXPECT_FALSE(f.undo.canUndo());
    f.click({600, 600}); // an ordinary click of Edit LEDs again
    EXPECT_EQ(f.view->model()->ledCount(), 1);
}

TEST(DrawStrip, LandsWhereThePointerIsWhileZoomedInFourTimes)
{
    ViewFixture f;
    f.view->setZoom(4, f.view->widgetPoint({600, 400}));
    // A drag of 20 units is 80 pixels at this zoom: a line, not a click.
    f.drawStrip({StripPlacement::Count, 5}, false);
    f.pressDragRelease({580, 400}, {600, 400});
    f.drawStrip({StripPlacement::Count, 3}, false);
    f.click({560, 380});
    f.drag({600, 420});
    f.view->grab(); // the line and the preview paint at this zoom
    doubleClick(f, {600, 420});
    // The second strip goes in front of the first, which is marked.
    expectNear(f.view->model()->ledPositions(), {{560, 380}, {580, 400}, {600, 420}, {580, 400}, {585, 400}, {590, 400},
                                     {595, 400}, {600, 400}},
               0.25);
}

TEST(DrawStrip, SnapsToHalfGridStepsWhenAskedWithACompleteGrid)
{
    ViewFixture f;
    f.makeGrid({100, 100}, {140, 100}, {100, 140}); // 40 units a step
    f.drawStrip({StripPlacement::Count, 3}, true);
    f.press({103, 104});
    f.drag({181, 97});
    const QList<QPointF> snapped{{100, 100}, {140, 100}, {180, 100}};
    EXPECT_EQ(dynamic_cast<DrawStripTool *>(f.view->tool())->preview(), snapped);
    f.release({181, 97});
    EXPECT_EQ(f.view->model()->ledPositions(), snapped);
}
