// Dragging frames to a new place, moving one frame, and reversing, each with its undo.
#include "TimelineTestSupport.h"

#include <QLoggingCategory>
#include <QScrollBar>

using namespace lumora;

namespace {

/// Collects what the timeline writes to its log category while it lives.
class LogCapture {
public:
    LogCapture()
    {
        lines().clear();
        m_previous = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }
    static QStringList &lines()
    {
        static QStringList captured;
        return captured;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type == QtInfoMsg && QByteArray(context.category) == "lumora.timeline")
            lines().append(message);
    }
    QtMessageHandler m_previous;
};

} // namespace

TEST(TimelineDrag, DraggingSelectedFramesDownInsertsThemAfterEachThumbnailPassed)
{
    TimelineFixture f(6);
    f.select({1, 2}, 1);

    // Over thumbnail 3 first, then over thumbnail 4.
    f.dragThrough(f.centre(1), {f.centre(1) + QPoint(0, 4), f.centre(3), f.centre(4)});
    EXPECT_EQ(f.order(), "0 3 4 1 2 5");
    EXPECT_EQ(f.selected(), "3 4");
    f.expectThumbnailsAligned();
    EXPECT_EQ(f.undo.undoActionName(), "move Frames");

    // The whole drag is one step.
    f.undo.undo();
    EXPECT_EQ(f.order(), "0 1 2 3 4 5");
    f.expectThumbnailsAligned();
    f.undo.redo();
    EXPECT_EQ(f.order(), "0 3 4 1 2 5");
}

TEST(TimelineDrag, DraggingSelectedFramesUpInsertsThemBeforeTheThumbnailPassed)
{
    TimelineFixture f(6);
    f.select({3, 4}, 3);

    f.dragThrough(f.centre(3), {f.centre(3) - QPoint(0, 4), f.centre(2), f.centre(1)});
    EXPECT_EQ(f.order(), "0 3 4 1 2 5");
    f.expectThumbnailsAligned();
}

TEST(TimelineDrag, DraggingAnUnselectedThumbnailDragsItAloneAndTheCurrentFrameStaysAnIndex)
{
    TimelineFixture f(6);
    f.select({1, 2}, 1);

    f.dragThrough(f.centre(4), {f.centre(4) - QPoint(0, 4), f.centre(0)});
    EXPECT_EQ(f.order(), "4 0 1 2 3 5");
    EXPECT_EQ(f.selected(), "0");
    // The click that started the drag made index 4 current; after the move that index
    // holds frame 3.
    EXPECT_EQ(f.editor->selectedFrame(), 4);
    EXPECT_TRUE(f.timeline->isHighlighted(4));
    EXPECT_FALSE(f.timeline->isHighlighted(0));
    f.expectThumbnailsAligned();
}

TEST(TimelineDrag, MoveFrameLogsTheIndicesAndUndoesWithTheInverseMove)
{
    TimelineFixture f(4);
    f.select({}, 1);
    LogCapture log;

    f.timeline->moveFrameFromIndex(0, 3);
    f.undo.endGrouping();
    EXPECT_EQ(f.order(), "1 2 0 3");
    EXPECT_EQ(f.undo.undoActionName(), "move Frames");
    EXPECT_EQ(log.lines(), QStringList{"0 3"});
    // The current frame stays at index 1, whichever frame is there now.
    EXPECT_EQ(f.editor->selectedFrame(), 1);
    EXPECT_TRUE(f.timeline->isHighlighted(1));
    EXPECT_FALSE(f.timeline->isHighlighted(0));

    f.undo.undo();
    EXPECT_EQ(f.order(), "0 1 2 3");
    f.undo.redo();
    EXPECT_EQ(f.order(), "1 2 0 3");
    EXPECT_EQ(log.lines(), (QStringList{"0 3", "2 0", "0 3"}));
    f.expectThumbnailsAligned();
}

TEST(TimelineReverse, ReversesTheSelectedSlotsOrTheWholeTrackAndUndoes)
{
    TimelineFixture f(6);
    f.select({1, 3, 4}, 1);
    f.timeline->reverseSelection();
    f.undo.endGrouping();
    EXPECT_EQ(f.order(), "0 4 2 3 1 5");
    EXPECT_EQ(f.selected(), "1 3 4");
    EXPECT_EQ(f.undo.undoActionName(), "reverse Frames");
    f.expectThumbnailsAligned();
    f.undo.undo();
    EXPECT_EQ(f.order(), "0 1 2 3 4 5");
    f.expectThumbnailsAligned();

    f.select({}, -1);
    f.timeline->reverseSelection();
    f.undo.endGrouping();
    EXPECT_EQ(f.order(), "5 4 3 2 1 0");
    f.timeline->reverseSelection();
    f.undo.endGrouping();

    f.select({2}, 2);
    f.timeline->reverseSelection();
    EXPECT_EQ(f.order(), "0 1 2 3 4 5");
    f.expectThumbnailsAligned();
}

TEST(TimelineDrag, HoldingTheMouseBelowTheStripScrollsItAndTheDraggedThumbnailFollows)
{
    TimelineFixture f(20, 200);
    QScrollBar *bar = f.area.verticalScrollBar();
    ASSERT_EQ(bar->value(), 0);

    const QPoint below(42, f.area.viewport()->height() + 30);
    f.press(f.centre(0));
    f.drag(f.centre(0) + QPoint(0, 4));
    f.drag(below);
    const QString passed = f.order();
    EXPECT_EQ(passed.left(8), "1 2 3 0 ");

    QTest::qWait(700);
    EXPECT_GT(bar->value(), 100);
    // The mouse has not moved on the screen; the strip has moved under it, and the grabbed
    // thumbnail stays under the mouse.
    const qsizetype grabbed = f.frames().indexOf(f.made[0]);
    EXPECT_NEAR(f.timeline->thumbnailRect(grabbed).center().y(), below.y() + bar->value(), 1.0);
    // Scrolling alone reorders nothing.
    EXPECT_EQ(f.order(), passed);
    f.release(below + QPoint(0, bar->value()));
    EXPECT_EQ(f.order(), passed);
    EXPECT_EQ(f.timeline->thumbnailRect(grabbed), QRectF(10, 64 * grabbed + 8, 64, 48));
}

TEST(TimelineDrag, AWholeDragIsOneUndoStepInTheRealEventLoop)
{
    TimelineFixture f(6);
    f.select({1, 2}, 1);
    QCoreApplication::processEvents();
    const int steps = f.undo.stack()->count();
    f.press(TimelineFixture::centre(1));
    // Every step of the drag is its own event, with the event loop turning in between.
    for (int y = 96; y <= 64 * 4 + 32; y += 16) {
        f.drag(QPoint(42, y));
        QTest::qWait(1);
    }
    f.release(QPoint(42, 64 * 4 + 32));
    QTest::qWait(1);
    EXPECT_NE(f.order(), "0 1 2 3 4 5");
    EXPECT_EQ(f.undo.stack()->count(), steps + 1);
    EXPECT_EQ(f.undo.undoActionName(), "move Frames");
    f.undo.undo();
    EXPECT_EQ(f.order(), "0 1 2 3 4 5");
}

TEST(TimelineClick, ShowingAFrameMarksItsLedsWithoutAnUndoStep)
{
    TimelineFixture f(4);
    QCoreApplication::processEvents();
    const int steps = f.undo.stack()->count();
    f.press(TimelineFixture::centre(2));
    f.release(TimelineFixture::centre(2));
    QTest::qWait(1);
    EXPECT_EQ(f.editor->selectedFrame(), 2);
    EXPECT_EQ(f.model.marking(), (QList<bool>{false, false, true, false}));
    EXPECT_EQ(f.undo.stack()->count(), steps);
}
