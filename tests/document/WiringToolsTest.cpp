// Adding generated LEDs and the wiring tools on the model, each one named undo step.
#include "document/DocumentModel.h"
#include "document/UndoManager.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

/// LEDs named by letters at x = 100, 110, …, the given ones marked, with nothing to undo.
struct Wiring {
    DocumentModel model;
    UndoManager &undo = *model.undoManager();

    explicit Wiring(const QString &names, const QString &marked = {})
    {
        undo.disableUndoRegistration();
        for (qsizetype i = 0; i < names.size(); ++i) {
            auto node = std::make_shared<Node>();
            node->setPosition(QPointF(100 + 10 * i, 100));
            model.addLed(node);
            if (marked.contains(names[i]))
                model.markLed(node);
        }
        undo.enableUndoRegistration();
        m_names = names;
    }
    NodePtr led(QChar name) const { return m_byPosition(100 + 10 * m_names.indexOf(name)); }
    /// The LED order by the letters, "?" for an LED that was not there at the start.
    QString order() const
    {
        QString text;
        for (const NodePtr &node : model.leds()) {
            const qsizetype i = qsizetype((node->position().x() - 100) / 10);
            const bool original = node->position().y() == 100 && i >= 0 && i < m_names.size();
            text += original ? m_names[i] : QChar('?');
        }
        return text;
    }
    void addGrid(QPointF origin, QPointF x, QPointF y)
    {
        model.addOrigin(origin);
        model.addX(x);
        model.addY(y);
    }
    /// Ends the step and expects its name; undoing it must restore `before`, redoing it `after`.
    void expectStep(const QString &name, const QString &before)
    {
        undo.endGrouping();
        EXPECT_EQ(undo.undoActionName(), name);
        const QString after = order();
        undo.undo();
        EXPECT_EQ(order(), before) << qPrintable(name);
        undo.redo();
        EXPECT_EQ(order(), after) << qPrintable(name);
    }

private:
    NodePtr m_byPosition(double x) const
    {
        for (const NodePtr &node : model.leds())
            if (node->position() == QPointF(x, 100))
                return node;
        return nullptr;
    }
    QString m_names;
};

} // namespace

TEST(WiringTools, GeneratedLedsGoInFrontOfTheFirstMarkedLedMarkedAsOneStep)
{
    Wiring w("ABMC", "M");
    QSignalSpy changes(&w.model, &DocumentModel::ledsChanged);
    const QList<NodePtr> added = w.model.addLeds({{500, 500}, {510, 500}, {520, 500}}, "add matrix");
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(w.order(), "AB???MC");
    EXPECT_EQ(w.model.leds()[2], added[0]); // in generator order
    EXPECT_EQ(w.model.markedLeds().size(), 4);
    w.expectStep("add matrix", "ABMC");
    w.undo.undo();
    EXPECT_EQ(w.model.markedLeds().size(), 1);

    Wiring none("AB");
    none.model.addLeds({{500, 500}}, "add ring");
    EXPECT_EQ(none.order(), "AB?");
    EXPECT_TRUE(none.model.leds().last()->isMarked());
}

TEST(WiringTools, GeneratedLedsSnapOnlyWhenAskedAndTheGridIsComplete)
{
    Wiring w("");
    w.model.addLeds({{513, 397}}, "add strip", true); // no grid: left alone
    EXPECT_EQ(w.model.leds().last()->position(), QPointF(513, 397));
    w.addGrid({500, 400}, {520, 400}, {500, 420});
    w.model.addLeds({{513, 397}}, "add strip", false);
    EXPECT_EQ(w.model.leds().last()->position(), QPointF(513, 397));
    w.model.addLeds({{513, 397}}, "add strip", true);
    EXPECT_EQ(w.model.leds().first()->position(), QPointF(510, 400)); // in front of the marked
}

TEST(WiringTools, ReorderingMovesOnlyTheMarkedLeds)
{
    struct Case {
        const char *marked;
        void (DocumentModel::*operation)();
        const char *name;
        const char *expected;
    };
    const Case cases[] = {
        {"BDE", &DocumentModel::reverseOrder, "reverse order", "AECDBF"},
        {"CE", &DocumentModel::moveToStart, "move to start", "CEABDF"},
        {"BD", &DocumentModel::moveToEnd, "move to end", "ACEFBD"},
    };
    for (const Case &c : cases) {
        Wiring w("ABCDEF", c.marked);
        (w.model.*c.operation)();
        EXPECT_EQ(w.order(), c.expected) << c.name;
        w.expectStep(c.name, "ABCDEF");
        EXPECT_TRUE(w.led(c.marked[0])->isMarked());
    }

    // Nothing to do is no step.
    Wiring already("ABC", "AB");
    already.model.moveToStart();
    already.model.reverseOrder();
    already.undo.endGrouping();
    EXPECT_EQ(already.order(), "BAC");
    EXPECT_EQ(already.undo.undoActionName(), "reverse order");
}

TEST(WiringTools, WiringByClickingGivesConsecutivePlacesFromTheChosenIndex)
{
    Wiring w("ABCDEF");
    // Clicking F, A, D from place 1 on; A comes from in front of the run, which stays put.
    w.model.wire(w.led('F'), 1, 1);
    w.expectStep("wire", "ABCDEF");
    w.model.wire(w.led('A'), 2, 1);
    w.undo.endGrouping();
    EXPECT_EQ(w.order(), "BFACDE");
    w.model.wire(w.led('D'), 3, 1);
    w.undo.endGrouping();
    EXPECT_EQ(w.order(), "BFADCE");
    w.undo.undo();
    EXPECT_EQ(w.order(), "BFACDE");

    w.model.wire(w.led('B'), 99); // beyond the end: the last place
    EXPECT_EQ(w.order().back(), 'B');
}

TEST(WiringTools, NudgeMovesTheMarkedLedsByHalfGridStepsOrUnits)
{
    Wiring w("ABC", "AC");
    EXPECT_EQ(w.model.nudgeStep(1, 0, false), QPointF(1, 0));
    EXPECT_EQ(w.model.nudgeStep(0, -1, true), QPointF(0, -10));
    w.model.nudge(w.model.nudgeStep(0, -1, true));
    w.undo.endGrouping();
    EXPECT_EQ(w.undo.undoActionName(), "nudge");
    EXPECT_EQ(w.model.leds()[0]->position(), QPointF(100, 90));
    EXPECT_EQ(w.model.leds()[1]->position(), QPointF(110, 100));
    w.undo.undo();
    EXPECT_EQ(w.model.leds()[0]->position(), QPointF(100, 100));
    EXPECT_EQ(w.model.leds()[2]->position(), QPointF(120, 100));

    // A skewed grid: half a step along its own axes.
    w.addGrid({0, 0}, {20, 4}, {-2, 30});
    EXPECT_EQ(w.model.nudgeStep(1, 0, false), QPointF(10, 2));
    EXPECT_EQ(w.model.nudgeStep(-1, 1, true), QPointF(-110, 130));
}

TEST(WiringTools, NudgeStopsAtTheEdgeOfTheLayout)
{
    Wiring w("AB", "AB"); // at x = 100 and 110
    w.model.nudge({-150, 0});
    EXPECT_EQ(w.model.leds()[0]->position(), QPointF(0, 100));
    EXPECT_EQ(w.model.leds()[1]->position(), QPointF(10, 100));
    w.undo.endGrouping();
    w.model.nudge({-5, 0}); // already on the edge: nothing, no step
    w.undo.endGrouping();
    w.undo.undo();
    EXPECT_EQ(w.model.leds()[0]->position(), QPointF(100, 100));
}
