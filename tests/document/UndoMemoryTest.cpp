// Undo records sized by what changed, the history's memory budget, and paste in one pass.
#include "document/DocumentModel.h"
#include "document/UndoManager.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace lumora;

namespace {

struct Layout {
    DocumentModel model;
    UndoManager &undo = *model.undoManager();

    explicit Layout(int count)
    {
        QList<QPointF> points;
        for (int i = 0; i < count; ++i)
            points.append(QPointF(0.1 * i + 1.0 / 3, std::sqrt(double(i))));
        Model loaded;
        loaded.points = points;
        model.load(loaded);
    }
    void step() { undo.endGrouping(); }

    /// Every LED moved by an offset no float sum undoes exactly.
    void drag(const QList<NodePtr> &group, QPointF by)
    {
        QList<QPointF> starts, targets;
        for (const NodePtr &node : group) {
            starts.append(node->position());
            targets.append(node->position() + by);
        }
        model.setLedPositions(group, targets);
        model.registerMoves(group, starts, "move node");
        step();
    }
};

/// Bit for bit: QPointF's own comparison is fuzzy.
bool exactly(const QList<QPointF> &a, const QList<QPointF> &b)
{
    return a.size() == b.size() && std::memcmp(a.constData(), b.constData(), a.size() * sizeof(QPointF)) == 0;
}

} // namespace

// A drag or a transform of n LEDs registered one closure per LED: 80–90 bytes per LED per
// step. One record of flat arrays holds 16 bytes per LED (24 when the LEDs are scattered),
// and undo and redo put back exactly the positions there were.
TEST(UndoRecords, MovesOfManyLedsAreOneFlatRecordAndRestoreExactly)
{
    Layout layout(10000);
    const QList<QPointF> original = layout.model.ledPositions();
    const QList<NodePtr> all = layout.model.leds();
    QList<NodePtr> scattered;
    for (qsizetype i = 0; i < all.size(); i += 3)
        scattered.append(all[i]);

    layout.drag(all, QPointF(0.7, -0.3));
    const qint64 whole = layout.undo.memoryUsed();
    EXPECT_LE(whole, 16 * 10000 + 512);
    layout.drag(scattered, QPointF(1e-3, 5.1));
    EXPECT_LE(layout.undo.memoryUsed() - whole, 20 * scattered.size() + 512);
    QList<QPointF> rotated;
    for (const NodePtr &node : all)
        rotated.append(QPointF(-node->position().y(), node->position().x()));
    layout.model.moveLeds(all, rotated); // a transform
    layout.step();
    const QList<QPointF> end = layout.model.ledPositions();

    for (int i = 0; i < 3; ++i)
        layout.undo.undo();
    EXPECT_TRUE(exactly(layout.model.ledPositions(), original));
    for (int i = 0; i < 3; ++i)
        layout.undo.redo();
    EXPECT_TRUE(exactly(layout.model.ledPositions(), end));
    layout.undo.undo();
    layout.undo.undo();
    EXPECT_EQ(layout.undo.undoActionName(), "move node");
}

// Past the budget the oldest steps go, never the newest, the clean state moves with the
// history, and the redo side survives.
TEST(UndoRecords, TheBudgetDropsTheOldestStepsAndSaysSo)
{
    Layout layout(1000);
    const QList<NodePtr> all = layout.model.leds();
    layout.undo.stack()->setClean();
    QSignalSpy dropped(&layout.undo, &UndoManager::stepsDropped);
    layout.undo.setMemoryBudget(3 * 16 * 1000 + 2000); // three steps of 1000 LEDs
    QList<QList<QPointF>> states{layout.model.ledPositions()};
    for (int i = 0; i < 5; ++i) {
        layout.drag(all, QPointF(1, 0));
        states.append(layout.model.ledPositions());
    }
    EXPECT_EQ(layout.undo.stack()->count(), 3);
    EXPECT_EQ(layout.undo.droppedSteps(), 2);
    ASSERT_GE(dropped.size(), 1);
    EXPECT_EQ(dropped.last().at(1).toInt(), 2);
    EXPECT_LE(layout.undo.memoryUsed(), layout.undo.memoryBudget());
    EXPECT_FALSE(layout.undo.stack()->isClean());
    EXPECT_EQ(layout.undo.stack()->cleanIndex(), -1) << "the saved state went with the dropped steps";

    layout.undo.undo();
    EXPECT_TRUE(exactly(layout.model.ledPositions(), states[4]));
    layout.undo.undo();
    layout.undo.undo();
    EXPECT_TRUE(exactly(layout.model.ledPositions(), states[2]));
    EXPECT_FALSE(layout.undo.canUndo());
    layout.undo.redo();
    EXPECT_TRUE(exactly(layout.model.ledPositions(), states[3]));

    // A step larger than the whole budget is still kept: the last edit can always be undone.
    layout.undo.redo();
    layout.undo.setMemoryBudget(100);
    EXPECT_EQ(layout.undo.stack()->count(), 2);
    layout.undo.undo();
    EXPECT_TRUE(exactly(layout.model.ledPositions(), states[3]));
    EXPECT_FALSE(layout.undo.canUndo());
}

// Each pasted LED rescanned the layout for the first marked LED and recorded a step of its
// own. The paste is one splice in the same order the insertion rule gives, one step.
TEST(UndoRecords, PasteIsOneSpliceInTheInsertionOrderAndOneStep)
{
    Layout layout(6);
    layout.model.markLed(layout.model.leds()[2]);
    layout.model.markLed(layout.model.leds()[5]);
    layout.step();
    const QList<NodePtr> before = layout.model.leds();
    layout.model.pasteLeds({{1, 1}, {2, 2}, {3, 3}});
    layout.step();
    const QList<QPointF> positions = layout.model.ledPositions();
    ASSERT_EQ(positions.size(), 9);
    EXPECT_EQ(positions.mid(2, 3), (QList<QPointF>{{3, 3}, {2, 2}, {1, 1}}));
    EXPECT_EQ(layout.model.leds()[5], before[2]);
    EXPECT_EQ(layout.model.markedLeds().size(), 5);
    EXPECT_EQ(layout.undo.undoActionName(), "select node");
    layout.undo.undo();
    EXPECT_EQ(layout.model.leds(), before);

    // Nothing marked: appended, last position first.
    Layout empty(2);
    empty.model.pasteLeds({{1, 1}, {2, 2}});
    EXPECT_EQ(empty.model.ledPositions().mid(2), (QList<QPointF>{{2, 2}, {1, 1}}));
}
