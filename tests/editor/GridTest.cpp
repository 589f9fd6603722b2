#include "EditorTestSupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

/// The square grid of 64 units at the lower left corner, in edit-grid mode.
struct GridFixture : ViewFixture {
    GridFixture() { makeGrid({0, 0}, {64, 0}, {0, 64}); }

    void expectHandles(QPointF origin, QPointF x, QPointF y)
    {
        EXPECT_EQ(view->model()->origin()->position(), origin);
        EXPECT_EQ(view->model()->xDirection()->position(), x);
        EXPECT_EQ(view->model()->yDirection()->position(), y);
    }
};

} // namespace

TEST(Grid, ThreePressesPlaceTheHandlesEvenOnAnLed)
{
    ViewFixture f;
    auto led = f.led({64, 0});
    const int steps = f.undo.stack()->count();
    f.view->setMode("Edit Grid");

    f.press({0, 0});
    EXPECT_EQ(f.view->model()->gridState(), 1);
    EXPECT_EQ(f.view->tool()->selectedNode(), f.view->model()->origin());
    f.release({0, 0});

    f.press({64, 0});
    EXPECT_EQ(f.view->model()->gridState(), 2);
    EXPECT_EQ(f.view->tool()->selectedNode(), f.view->model()->xDirection());
    f.release({64, 0});

    f.press({0, 64});
    EXPECT_EQ(f.view->model()->gridState(), 3);
    f.release({0, 64});
    f.endEvent();

    EXPECT_EQ(f.view->model()->origin()->position(), QPointF(0, 0));
    EXPECT_EQ(f.view->model()->xDirection()->position(), QPointF(64, 0));
    EXPECT_EQ(f.view->model()->yDirection()->position(), QPointF(0, 64));
    EXPECT_TRUE(f.model.gridHandles());
    EXPECT_EQ(f.view->latticeSegments().size(), 82);
    EXPECT_EQ(f.view->model()->ledCount(), 1);
    EXPECT_EQ(f.undo.stack()->count(), steps);

    // Once the grid is complete, a press on an LED selects the LED.
    f.press({66, 2});
    EXPECT_EQ(f.view->tool()->selectedNode(), led);
    EXPECT_EQ(f.view->tool()->handle(), nullptr);
    f.release({66, 2});
}

TEST(Grid, TheThirdHandleSwitchesToEditGridWithoutTheToolbar)
{
    ViewFixture f;
    f.view->setMode("Select");
    QSignalSpy spy(f.view.get(), &View::toolbarItemSelected);
    f.view->model()->addOrigin({0, 0});
    f.view->model()->addX({64, 0});
    EXPECT_EQ(f.view->mode(), "Select");
    EXPECT_FALSE(f.view->model()->transform());
    EXPECT_FALSE(f.model.gridHandles());
    f.view->addY({0, 64});
    EXPECT_EQ(f.view->mode(), "Edit Grid");
    EXPECT_EQ(spy.count(), 0);
    ASSERT_TRUE(f.view->model()->transform());
    EXPECT_EQ(f.view->model()->transform()->map({1.5, 2}), QPointF(96, 128));
}

TEST(Grid, AHandleBeingPlacedIsPutBackWhenReleasedOutside)
{
    ViewFixture f;
    f.view->setMode("Edit Grid");
    const int steps = f.undo.stack()->count();

    f.pressDragRelease({100, 100}, {100, 900});
    EXPECT_EQ(f.view->model()->origin()->position(), QPointF(100, 100));
    f.pressDragRelease({200, 100}, {1030, 100});
    EXPECT_EQ(f.view->model()->xDirection()->position(), QPointF(200, 100));
    f.endEvent();
    EXPECT_EQ(f.view->model()->gridState(), 2);
    EXPECT_EQ(f.view->tool()->selectedNode(), nullptr);
    EXPECT_EQ(f.undo.stack()->count(), steps);

    // Dragged to a place inside, it stays there as an undoable move.
    f.pressDragRelease({100, 200}, {110, 210});
    f.endEvent();
    EXPECT_EQ(f.view->model()->yDirection()->position(), QPointF(110, 210));
    EXPECT_EQ(f.undo.undoActionName(), "move node");
    f.undo.undo();
    EXPECT_EQ(f.view->model()->yDirection()->position(), QPointF(100, 200));
}

TEST(Grid, TheNearestHandleDecidesWhatAPressGrabs)
{
    GridFixture f;
    const int steps = f.undo.stack()->count();
    const struct {
        QPointF press;
        int state;
    } cases[] = {{{60, 4}, 2}, {{32, 32}, 1}, {{32, 64}, 3}, {{64, 64}, 3}, {{10, 10}, 1}};
    for (const auto &c : cases) {
        f.press(c.press);
        EXPECT_EQ(dynamic_cast<EditGridTool *>(f.view->tool())->editGridState(), c.state);
        ASSERT_NE(f.view->tool()->handle(), nullptr);
        EXPECT_EQ(f.view->tool()->handle()->position(), c.press);
        EXPECT_EQ(f.view->tool()->selectedNode(), f.view->tool()->handle());
        f.release(c.press);
        EXPECT_EQ(f.view->tool()->handle(), nullptr);
        EXPECT_EQ(f.view->tool()->selectedNode(), nullptr);
    }
    f.endEvent();
    f.expectHandles({0, 0}, {64, 0}, {0, 64});
    EXPECT_EQ(f.undo.stack()->count(), steps);
}

TEST(Grid, ReaimingAnAxisKeepsTheGrabbedGridPointUnderThePointer)
{
    {
        GridFixture f;
        f.press({32, 64});
        f.drag({32, 128});
        f.expectHandles({0, 0}, {64, 0}, {0, 128});
        f.release({32, 128});
        f.endEvent();
        f.expectHandles({0, 0}, {64, 0}, {0, 128});
        EXPECT_EQ(f.undo.undoActionName(), "move grid");
        f.undo.undo();
        f.expectHandles({0, 0}, {64, 0}, {0, 64});
    }
    {
        GridFixture f;
        f.pressDragRelease({64, 0}, {128, 32});
        f.expectHandles({0, 0}, {128, 32}, {0, 64});
    }
}

TEST(Grid, MovingTheGridIsOneUndoStep)
{
    GridFixture f;
    f.press({32, 32});
    f.drag({40, 30});
    f.drag({42, 27});
    f.release({42, 27});
    f.endEvent();
    f.expectHandles({10, -5}, {74, -5}, {10, 59});
    EXPECT_EQ(f.undo.undoActionName(), "move grid");

    f.undo.undo();
    f.expectHandles({0, 0}, {64, 0}, {0, 64});
    EXPECT_FALSE(f.undo.canUndo());

    f.undo.redo();
    f.expectHandles({10, -5}, {74, -5}, {10, 59});
}

TEST(Grid, SnapGoesToTheNearestHalfStepWithHalvesAwayFromZero)
{
    ViewFixture f;
    // Without a complete grid, points stay where they are.
    auto snap = [&f](QPointF p) {
        const auto grid = f.model.transform();
        return grid ? grid->snap(p) : p;
    };
    EXPECT_EQ(snap({40, 15}), QPointF(40, 15));
    f.view->model()->addOrigin({0, 0});
    f.view->model()->addX({64, 0});
    EXPECT_EQ(snap({40, 15}), QPointF(40, 15));
    f.view->addY({0, 64});
    EXPECT_EQ(snap({40, 15}), QPointF(32, 0));
    EXPECT_EQ(snap({48, 16}), QPointF(64, 32));
    EXPECT_EQ(snap({-48, -16}), QPointF(-64, -32));
}

TEST(Grid, SnapToGridMovesTheMarkedLedsUndoably)
{
    GridFixture f;
    auto a = f.led({40, 15});
    auto b = f.led({48, 16});
    f.view->model()->markLed(a);
    f.endEvent();
    f.view->transforms().snapToGrid();
    f.endEvent();
    EXPECT_EQ(a->position(), QPointF(32, 0));
    EXPECT_EQ(b->position(), QPointF(48, 16));
    f.undo.undo();
    EXPECT_EQ(a->position(), QPointF(40, 15));

    f.view->model()->unmarkLed(a);
    f.endEvent();
    f.view->transforms().snapToGrid();
    EXPECT_EQ(a->position(), QPointF(32, 0));
    EXPECT_EQ(b->position(), QPointF(64, 32));
}

TEST(Grid, ADraggedLedSnapsOnlyInEditGridMode)
{
    {
        GridFixture f;
        auto led = f.led({200, 200});
        f.press({200, 200});
        f.drag({240, 215});
        EXPECT_EQ(led->position(), QPointF(256, 224));
        f.release({240, 215});
        f.endEvent();
        EXPECT_EQ(led->position(), QPointF(256, 224));
        EXPECT_EQ(f.undo.undoActionName(), "move node");
        f.undo.undo();
        EXPECT_EQ(led->position(), QPointF(200, 200));
    }
    {
        GridFixture f;
        auto led = f.led({200, 200});
        f.view->setMode("Select");
        f.pressDragRelease({200, 200}, {240, 215});
        EXPECT_EQ(led->position(), QPointF(240, 215));
    }
    {
        // A marked group moves by the pointer's offset and does not snap.
        GridFixture f;
        auto a = f.led({200, 200});
        auto b = f.led({400, 200});
        f.view->model()->markLed(a);
        f.view->model()->markLed(b);
        f.endEvent();
        f.pressDragRelease({200, 200}, {240, 215});
        EXPECT_EQ(a->position(), QPointF(240, 215));
        EXPECT_EQ(b->position(), QPointF(440, 215));
    }
}

TEST(Grid, AHandleOnTheOriginIsRefused)
{
    ViewFixture f;
    f.view->setMode("Edit Grid");
    f.click({300, 300});
    f.click({300.5, 300}); // a double-click
    EXPECT_EQ(f.view->model()->gridState(), 1);
    f.click({340, 300});
    f.click({299.5, 300.5});
    EXPECT_EQ(f.view->model()->gridState(), 2);
    f.click({300, 340});
    EXPECT_EQ(f.view->model()->gridState(), 3);
}
