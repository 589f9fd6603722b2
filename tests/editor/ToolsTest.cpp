// The tools the view forwards its events to: tools started over the mode, and the mode's
// tool changing while a press is under way.
#include "EditorTestSupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace lumora;

TEST(Tools, WireByClickingTakesEachClickedLedInTurnAndEndsAfterTheLast)
{
    ViewFixture f;
    const NodePtr a = f.led({100, 100}), b = f.led({200, 100}), c = f.led({300, 100});
    QSignalSpy changed(f.view.get(), &View::wiringChanged);
    f.view->startTool(std::make_unique<WireByClickingTool>(*f.view, 0));
    EXPECT_EQ(changed.count(), 1);

    f.click({300, 100});
    f.click({300, 100}); // the same LED again does not scramble the run
    f.click({500, 500}); // nor does a click on nothing
    EXPECT_EQ(f.model.leds(), (QList<NodePtr>{c, a, b}));
    ASSERT_NE(dynamic_cast<WireByClickingTool *>(f.view->tool()), nullptr);
    EXPECT_EQ(dynamic_cast<WireByClickingTool *>(f.view->tool())->nextPlace(), 1);

    f.click({200, 100});
    f.click({100, 100});
    EXPECT_EQ(f.model.leds(), (QList<NodePtr>{c, b, a}));
    // The last place is taken: the mode's tool is back, and clicks add LEDs again.
    EXPECT_EQ(dynamic_cast<WireByClickingTool *>(f.view->tool()), nullptr);
    EXPECT_EQ(changed.count(), 5); // the start, each LED wired, the end
    f.click({600, 600});
    EXPECT_EQ(f.model.ledCount(), 4);
}

TEST(Tools, EscapeEndsWiringAndArrowsStillNudgeTheMarkedLeds)
{
    ViewFixture f;
    const NodePtr a = f.led({100, 100});
    f.led({200, 100});
    f.model.markLed(a);
    f.endEvent();
    f.view->startTool(std::make_unique<WireByClickingTool>(*f.view, 1));
    QTest::keyClick(f.view.get(), Qt::Key_Right);
    EXPECT_GT(a->position().x(), 100);
    QTest::keyClick(f.view.get(), Qt::Key_Escape);
    EXPECT_EQ(dynamic_cast<WireByClickingTool *>(f.view->tool()), nullptr);
    EXPECT_EQ(f.view->cursor().shape(), Qt::ArrowCursor);
}

TEST(Tools, StartingWiringCancelsADrawStripUnderWayWithNothingAdded)
{
    ViewFixture f;
    QSignalSpy messages(f.view.get(), &View::statusMessage);
    f.drawStrip({StripPlacement::Count, 5}, false);
    f.click({100, 100});
    f.view->startTool(std::make_unique<WireByClickingTool>(*f.view, 0));
    EXPECT_EQ(messages.last().first().toString(), "Draw Strip cancelled; nothing was added.");
    f.click({300, 300});
    EXPECT_EQ(f.model.ledCount(), 0);
    EXPECT_EQ(f.view->cursor().shape(), Qt::CrossCursor);
}

TEST(Tools, AModeChosenDuringADragTakesOverOnlyAfterTheRelease)
{
    ViewFixture f;
    const NodePtr led = f.led({100, 100});
    f.press({100, 100});
    f.drag({150, 150});
    f.view->setMode("Select");
    EXPECT_EQ(f.view->mode(), "Select");
    f.release({150, 150});
    f.endEvent();
    // The drag ended as Edit LEDs began it: one undo step back to the start.
    EXPECT_EQ(led->position(), QPointF(150, 150));
    EXPECT_EQ(f.undo.undoActionName(), "move node");
    f.undo.undo();
    EXPECT_EQ(led->position(), QPointF(100, 100));
    // And now a click on nothing starts a rubber band instead of adding an LED.
    f.press({500, 500});
    EXPECT_NE(dynamic_cast<SelectTool *>(f.view->tool())->rubberband(), nullptr);
    f.release({500, 500});
    EXPECT_EQ(f.model.ledCount(), 1);
}
