#include "EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace lumora;

TEST(LedList, InsertionRuleWithAMarkedLed)
{
    ViewFixture f;
    auto a = f.view->addVertex({10, 10});
    auto b = f.view->addVertex({20, 10});
    auto m = f.view->addVertex({30, 10});
    auto c = f.view->addVertex({40, 10});
    f.view->model()->markLed(m);
    auto n1 = f.view->addVertex({50, 10});
    auto n2 = f.view->addVertex({60, 10});
    EXPECT_EQ(f.view->model()->leds(), (QList<NodePtr>{a, b, n2, n1, m, c}));
    EXPECT_TRUE(n1->isMarked() && n2->isMarked() && m->isMarked());
}

// The marker says where a click in Edit LEDs mode will put the next LED, and it is right.
TEST(LedList, NextLedMarkerShowsWhereAClickInserts)
{
    ViewFixture f;
    QList<NodePtr> leds;
    for (int i = 0; i < 4; ++i)
        leds.append(f.view->addVertex({100.0 + 100 * i, 300}));
    EXPECT_FALSE(NextLedMarker(*f.view).marker()) << "nothing marked: new LEDs are appended";

    f.view->model()->markLed(leds[2]);
    f.undo.endGrouping();
    ASSERT_EQ(NextLedMarker(*f.view).place(), 2);
    EXPECT_EQ(NextLedMarker(*f.view).text(), "next LED: before LED 2");
    // Halfway along the order line from LED 1 into LED 2.
    EXPECT_EQ(NextLedMarker(*f.view).marker(), QPointF(250, 300));

    f.click({600, 600});
    EXPECT_EQ(f.view->model()->leds()[2]->position(), QPointF(600, 600)) << "the LED went where the marker said";
    // The new LED is marked and first, so the next one goes before it.
    EXPECT_EQ(NextLedMarker(*f.view).text(), "next LED: before LED 2");
    EXPECT_EQ(NextLedMarker(*f.view).marker(), (QPointF(200, 300) + QPointF(600, 600)) / 2);

    // Only Edit LEDs mode adds LEDs by clicking.
    f.view->setMode("Select");
    EXPECT_FALSE(NextLedMarker(*f.view).marker());
    f.view->setMode("Edit Nodes");

    // Marking LED 0 puts the marker on the line's tail into it.
    f.view->model()->markLed(f.view->model()->leds()[0]);
    ASSERT_EQ(NextLedMarker(*f.view).place(), 0);
    EXPECT_LT(NextLedMarker(*f.view).marker()->x(), 100);

    // Deselect All: one undo step, and new LEDs are appended again.
    f.undo.endGrouping();
    EditCommands(f.view->model()).deselectAll();
    f.undo.endGrouping();
    EXPECT_FALSE(f.view->model()->isMarked());
    EXPECT_FALSE(NextLedMarker(*f.view).marker());
    f.undo.undo();
    EXPECT_EQ(f.view->model()->markedLeds().size(), 3);
}
