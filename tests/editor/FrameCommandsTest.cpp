#include "EditorTestSupport.h"

#include <gtest/gtest.h>

using namespace lumora;

// Frame commands keep their own names in the Undo menu even though showing a frame marks
// and unmarks LEDs, and undoing a removal brings back the removed frame's own content.
TEST(FrameCommands, NamesWinOverTheMarkingTheyCauseAndUndoRestoresTheFrame)
{
    ViewFixture f;
    auto a = f.view->addVertex({10, 10});
    auto b = f.view->addVertex({20, 10});
    f.view->model()->markLed(a);
    f.view->model()->addFrame(); // frame [true, false]
    f.endEvent();
    EXPECT_EQ(f.undo.undoActionName(), "add Frame");
    f.view->model()->unmarkLed(a);
    f.view->model()->markLed(b);
    f.view->model()->addFrame(); // inserted before it: [false, true], current index 0
    f.endEvent();
    const FramePtr second = f.view->model()->animationEditor()->animationFrame();

    f.view->model()->removeFrame(); // shows the remaining frame [true, false]
    f.endEvent();
    EXPECT_EQ(f.undo.undoActionName(), "remove Frame");
    EXPECT_TRUE(a->isMarked());
    EXPECT_FALSE(b->isMarked());

    f.undo.undo();
    EXPECT_EQ(f.view->model()->animationEditor()->track().frames.size(), 2);
    EXPECT_EQ(f.view->model()->animationEditor()->animationFrame(), second);
    EXPECT_EQ(second->selection, (QList<bool>{false, true}));
    EXPECT_TRUE(b->isMarked()); // the restored frame is shown again

    f.view->model()->nextFrame();
    f.endEvent();
    EXPECT_EQ(f.undo.undoActionName(), "next Frame");
    f.view->model()->previousFrame();
    f.endEvent();
    EXPECT_EQ(f.undo.undoActionName(), "previous Frame");
}
