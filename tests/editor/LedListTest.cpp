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
    f.view->markNode(m);
    auto n1 = f.view->addVertex({50, 10});
    auto n2 = f.view->addVertex({60, 10});
    EXPECT_EQ(f.view->nodes(), (QList<NodePtr>{a, b, n2, n1, m, c}));
    EXPECT_TRUE(n1->isMarked() && n2->isMarked() && m->isMarked());
}

// The marker says where a click in Edit LEDs mode will put the next LED, and it is right.
TEST(LedList, NextLedMarkerShowsWhereAClickInserts)
{
    ViewFixture f;
    QList<NodePtr> leds;
    for (int i = 0; i < 4; ++i)
        leds.append(f.view->addVertex({100.0 + 100 * i, 300}));
    EXPECT_FALSE(f.view->nextLedMarker()) << "nothing marked: new LEDs are appended";

    f.view->markNode(leds[2]);
    f.undo.endGrouping();
    ASSERT_EQ(f.view->nextLedPlace(), 2);
    EXPECT_EQ(f.view->nextLedText(), "next LED: before LED 2");
    // Halfway along the order line from LED 1 into LED 2.
    EXPECT_EQ(f.view->nextLedMarker(), QPointF(250, 300));

    f.click({600, 600});
    EXPECT_EQ(f.view->nodes()[2]->position(), QPointF(600, 600)) << "the LED went where the marker said";
    // The new LED is marked and first, so the next one goes before it.
    EXPECT_EQ(f.view->nextLedText(), "next LED: before LED 2");
    EXPECT_EQ(f.view->nextLedMarker(), (QPointF(200, 300) + QPointF(600, 600)) / 2);

    // Only Edit LEDs mode adds LEDs by clicking.
    f.view->selectMode();
    EXPECT_FALSE(f.view->nextLedMarker());
    f.view->editNodes();

    // Marking LED 0 puts the marker on the line's tail into it.
    f.view->markNode(f.view->nodes()[0]);
    ASSERT_EQ(f.view->nextLedPlace(), 0);
    EXPECT_LT(f.view->nextLedMarker()->x(), 100);

    // Deselect All: one undo step, and new LEDs are appended again.
    f.undo.endGrouping();
    f.view->deselectAll();
    f.undo.endGrouping();
    EXPECT_FALSE(f.view->isMarked());
    EXPECT_FALSE(f.view->nextLedMarker());
    f.undo.undo();
    EXPECT_EQ(f.view->model()->markedLeds().size(), 3);
}
