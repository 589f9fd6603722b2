#include "EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace lumora;

TEST(ModesAndMouse, PressWithinTenUnitsSelectsFartherCreates)
{
    for (const char *mode : {"Edit Nodes", "Colors"}) {
        ViewFixture f;
        f.view->setMode(mode);
        auto led = f.led({100, 100});

        f.press({110, 100});
        EXPECT_EQ(f.view->tool()->selectedNode(), led);
        EXPECT_EQ(f.view->model()->ledCount(), 1);
        f.release({110, 100});
        EXPECT_EQ(led->position(), QPointF(100, 100));
        EXPECT_EQ(f.view->tool()->selectedNode(), nullptr);

        f.press({111, 100});
        ASSERT_EQ(f.view->model()->ledCount(), 2);
        EXPECT_EQ(f.view->model()->leds()[1]->position(), QPointF(111, 100));
        EXPECT_EQ(f.view->tool()->selectedNode(), f.view->model()->leds()[1]);
        f.release({111, 100});
        f.endEvent();
        EXPECT_EQ(f.undo.undoActionName(), "add node");
    }
}

TEST(ModesAndMouse, WhereLedsOverlapTheLaterOneIsPressed)
{
    ViewFixture f;
    f.led({100, 100});
    auto later = f.led({105, 100});
    f.press({101, 100});
    EXPECT_EQ(f.view->tool()->selectedNode(), later);
    f.release({101, 100});
}

TEST(ModesAndMouse, ClicksAreMappedIntoTheLayoutAtAnyWidth)
{
    ViewFixture f;
    // The layout space fits the view with its aspect kept and centred: at 512 × 500 it is
    // 384 pixels high with 58 pixels above and below.
    for (const QSize size : {QSize(512, 384), QSize(512, 500)}) {
        f.view->resize(size);
        // 100 across and 50 up from the lower left corner of the layout space.
        const QPoint where(100, size.height() - (size.height() - 384) / 2 - 50);
        QTest::mouseClick(f.view.get(), Qt::LeftButton, {}, where);
        ASSERT_FALSE(f.view->model()->leds().isEmpty());
        EXPECT_EQ(f.view->model()->leds().last()->position(), QPointF(200, 100));
        f.view->model()->removeLed(f.view->model()->leds().last());
    }
}

TEST(ModesAndMouse, ClicksAppendOrInsertInFrontOfTheFirstMarkedLed)
{
    ViewFixture f;
    f.click({100, 100});
    f.click({200, 100});
    f.click({300, 100});
    ASSERT_EQ(f.view->model()->ledCount(), 3);
    EXPECT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{100, 100}, {200, 100}, {300, 100}}));
    for (const NodePtr &node : f.view->model()->leds())
        EXPECT_FALSE(node->isMarked());

    const NodePtr a = f.view->model()->leds()[0], m = f.view->model()->leds()[1], c = f.view->model()->leds()[2];
    f.view->model()->markLed(m);
    f.endEvent();
    f.click({100, 300});
    f.endEvent();
    EXPECT_EQ(f.undo.undoActionName(), "select node");
    f.click({200, 300});
    f.click({300, 300});
    ASSERT_EQ(f.view->model()->ledCount(), 6);
    EXPECT_EQ(f.view->model()->leds()[0], a);
    EXPECT_EQ(f.view->model()->leds()[4], m);
    EXPECT_EQ(f.view->model()->leds()[5], c);
    EXPECT_EQ(f.view->model()->ledPositions().mid(1, 3), (QList<QPointF>{{300, 300}, {200, 300}, {100, 300}}));
    EXPECT_EQ(f.view->model()->marking(), (QList<bool>{false, true, true, true, true, false}));
}

TEST(ModesAndMouse, ClickInSelectModeTogglesTheMarking)
{
    ViewFixture f;
    auto led = f.led({100, 100});
    auto other = f.led({300, 100});
    f.view->setMode("Select");

    f.click({100, 100});
    f.endEvent();
    EXPECT_TRUE(led->isMarked());
    EXPECT_FALSE(other->isMarked());
    EXPECT_EQ(f.undo.undoActionName(), "select node");
    EXPECT_EQ(f.view->tool()->selectedNode(), nullptr);

    f.click({105, 96});
    f.endEvent();
    EXPECT_FALSE(led->isMarked());
    EXPECT_EQ(f.undo.undoActionName(), "deselect node");
    EXPECT_EQ(f.view->model()->ledCount(), 2);

    f.undo.undo();
    EXPECT_TRUE(led->isMarked());
}

namespace {

/// Select mode with LEDs just inside both edges of the rubberband (100, 100)–(300, 200),
/// one on its right edge (outside) and one far away; the given LEDs start marked.
struct RubberbandScene {
    ViewFixture f;
    NodePtr left, corner, rightEdge, far;

    explicit RubberbandScene(QList<int> markedAtStart)
    {
        left = f.view->addVertex({100, 150});
        corner = f.view->addVertex({299.5, 199.5});
        rightEdge = f.view->addVertex({300, 150});
        far = f.view->addVertex({600, 600});
        for (int i : markedAtStart)
            f.view->model()->markLed(f.view->model()->leds()[i]);
        f.endEvent();
        f.view->setMode("Select");
    }

    void band(Qt::KeyboardModifiers modifiers)
    {
        f.press({100, 100}, modifiers);
        EXPECT_NE(dynamic_cast<SelectTool *>(f.view->tool())->rubberband(), nullptr);
        f.drag({200, 150});
        f.drag({300, 200});
        f.release({300, 200}, modifiers);
        f.endEvent();
        EXPECT_EQ(dynamic_cast<SelectTool *>(f.view->tool())->rubberband(), nullptr);
        f.releaseModifiers();
    }
};

} // namespace

TEST(ModesAndMouse, RubberbandMarksWhatItSpans)
{
    {
        RubberbandScene s({2, 3});
        s.band({});
        EXPECT_EQ(s.f.view->model()->marking(), (QList<bool>{true, true, false, false}));
        EXPECT_EQ(s.f.view->model()->ledCount(), 4);
    }
    {
        // Shift keeps the marking outside the band.
        RubberbandScene s({2, 3});
        s.band(Qt::ShiftModifier);
        EXPECT_EQ(s.f.view->model()->marking(), (QList<bool>{true, true, true, true}));
    }
    {
        // Option flips the LEDs inside and keeps the rest.
        RubberbandScene s({0, 3});
        s.band(Qt::AltModifier);
        EXPECT_EQ(s.f.view->model()->marking(), (QList<bool>{false, true, false, true}));
    }
    {
        // The band may be drawn from any corner.
        RubberbandScene s({});
        s.f.press({300, 100});
        s.f.drag({100, 200});
        s.f.release({100, 200});
        EXPECT_EQ(s.f.view->model()->marking(), (QList<bool>{true, true, false, false}));
    }
    {
        // A click on empty space is an empty band: it unmarks everything.
        RubberbandScene s({0, 1, 2, 3});
        s.f.click({800, 100});
        EXPECT_EQ(s.f.view->model()->marking(), (QList<bool>{false, false, false, false}));
    }
}

TEST(ModesAndMouse, DraggingAMarkedLedMovesTheGroupInOneUndoStep)
{
    for (const char *mode : {"Edit Nodes", "Select"}) {
        ViewFixture f;
        auto a = f.led({100, 100});
        auto b = f.led({200, 100});
        auto c = f.led({300, 100});
        f.view->model()->markLed(a);
        f.view->model()->markLed(c);
        f.endEvent();
        f.view->setMode(mode);

        f.press({103, 98});
        f.drag({150, 120});
        f.drag({163, 128});
        EXPECT_EQ(a->position(), QPointF(160, 130));
        EXPECT_EQ(c->position(), QPointF(360, 130));
        f.release({163, 128});
        f.endEvent();

        EXPECT_EQ(a->position(), QPointF(160, 130));
        EXPECT_EQ(b->position(), QPointF(200, 100));
        EXPECT_EQ(c->position(), QPointF(360, 130));
        EXPECT_TRUE(a->isMarked() && c->isMarked() && !b->isMarked());
        EXPECT_EQ(f.undo.undoActionName(), "move node");

        f.undo.undo();
        EXPECT_EQ(a->position(), QPointF(100, 100));
        EXPECT_EQ(c->position(), QPointF(300, 100));
        EXPECT_EQ(f.undo.undoActionName(), "select node");
    }
}

// Undo of a group drag put each LED at its end less the dragged LED's offset, which in
// floating point is not always where it was (300.7 came back as 300.70000000000005).
TEST(ModesAndMouse, UndoOfAGroupDragRestoresTheExactStartingPositions)
{
    ViewFixture f;
    auto a = f.led({100.1, 100.3});
    auto c = f.led({300.7, 100.9});
    f.view->model()->markLed(a);
    f.view->model()->markLed(c);
    f.endEvent();
    f.view->setMode("Select");
    f.press({103, 98});
    f.drag({150, 120});
    f.drag({163, 128});
    f.release({163, 128});
    f.endEvent();
    ASSERT_NE(c->position(), QPointF(300.7, 100.9));
    f.undo.undo();
    EXPECT_EQ(a->position().x(), 100.1);
    EXPECT_EQ(a->position().y(), 100.3);
    EXPECT_EQ(c->position().x(), 300.7);
    EXPECT_EQ(c->position().y(), 100.9);
}

TEST(ModesAndMouse, DraggingAnUnmarkedLedMovesItAloneAndUndoPutsItBack)
{
    ViewFixture f;
    auto a = f.led({100, 100});
    auto b = f.led({200, 100});
    f.view->model()->markLed(b);
    f.endEvent();

    f.press({104, 100});
    f.drag({404, 300});
    f.release({404, 300});
    f.endEvent();
    EXPECT_EQ(a->position(), QPointF(400, 300));
    EXPECT_EQ(b->position(), QPointF(200, 100));
    EXPECT_EQ(f.undo.undoActionName(), "move node");
    f.undo.undo();
    EXPECT_EQ(a->position(), QPointF(100, 100));
}

TEST(ModesAndMouse, ReleaseOutsideTheLayoutDeletesAndUndoRestoresInPlace)
{
    ViewFixture f;
    auto a = f.led({100, 100});
    auto b = f.led({200, 100});
    auto c = f.led({300, 100});

    // x = 1023 is still inside.
    f.pressDragRelease({200, 100}, {1023, 300});
    f.endEvent();
    EXPECT_EQ(f.view->model()->ledCount(), 3);
    EXPECT_EQ(b->position(), QPointF(1023, 300));
    f.undo.undo();
    ASSERT_EQ(b->position(), QPointF(200, 100));

    f.press({200, 100});
    f.drag({600, 300});
    f.drag({1024, 300});
    f.release({1024, 300});
    f.endEvent();
    EXPECT_EQ(f.view->model()->leds(), (QList<NodePtr>{a, c}));
    EXPECT_EQ(f.view->tool()->selectedNode(), nullptr);
    EXPECT_EQ(f.undo.undoActionName(), "remove node");

    f.undo.undo();
    EXPECT_EQ(f.view->model()->leds(), (QList<NodePtr>{a, b, c}));
    EXPECT_EQ(b->position(), QPointF(200, 100));
}

TEST(ModesAndMouse, ReleasingAMarkedGroupOutsideDeletesTheGroup)
{
    ViewFixture f;
    auto a = f.led({100, 100});
    auto b = f.led({200, 100});
    auto c = f.led({300, 100});
    f.view->model()->markLed(a);
    f.view->model()->markLed(c);
    f.endEvent();

    f.press({300, 100});
    f.drag({200, 400});
    f.drag({200, 768});
    f.release({200, 768});
    f.endEvent();
    EXPECT_EQ(f.view->model()->leds(), (QList<NodePtr>{b}));
    EXPECT_EQ(f.undo.undoActionName(), "remove node");

    f.undo.undo();
    EXPECT_EQ(f.view->model()->leds(), (QList<NodePtr>{a, b, c}));
    EXPECT_EQ(a->position(), QPointF(100, 100));
    EXPECT_EQ(c->position(), QPointF(300, 100));
}

TEST(ModesAndMouse, PreviewPressesReachTheGridOnlyWhileItIsShown)
{
    ViewFixture f;
    f.makeGrid({0, 0}, {64, 0}, {0, 64});
    f.view->setMode("Edit Nodes");
    EXPECT_FALSE(f.view->isGridShown());
    f.view->setMode("Preview");
    ASSERT_EQ(f.view->mode(), "Preview");

    f.press({32, 32});
    EXPECT_EQ(f.view->tool()->handle(), nullptr);
    f.release({32, 32});
    EXPECT_EQ(f.view->model()->ledCount(), 0);

    f.view->setMode("Edit Grid");
    EXPECT_TRUE(f.view->isGridShown());
    f.view->setMode("Preview");
    f.press({32, 32});
    EXPECT_NE(f.view->tool()->handle(), nullptr);
    EXPECT_EQ(dynamic_cast<EditGridTool *>(f.view->tool())->editGridState(), 1);
    f.drag({42, 27});
    f.release({42, 27});
    EXPECT_EQ(f.view->model()->origin()->position(), QPointF(10, -5));
    EXPECT_EQ(f.view->model()->ledCount(), 0);
}
