// Layout ▸ Add LEDs and Wire by Clicking through the real menu items, their dialogs and clicks
// on the layout editor, with the event loop running as for a user.
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "app/GeneratorDialog.h"
#include "document/DocumentModel.h"
#include "document/LedGenerators.h"
#include "document/UndoManager.h"
#include "editor/View.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

/// A new layout in its window with LEDs at the given places (undo off).
struct Window {
    std::unique_ptr<Document> document = std::make_unique<Document>();
    View *view = document->view();
    DocumentModel *model = document->model();
    UndoManager *undo = document->undoManager();

    explicit Window(const QList<QPointF> &leds = {{100, 100}, {300, 100}})
    {
        undo->disableUndoRegistration();
        for (const QPointF &p : leds)
            view->addVertex(p);
        undo->enableUndoRegistration();
        document->showWindow();
        document->window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(document->window()));
    }
    /// The item of a menu or of one of its submenus.
    QAction *action(const QString &text) const
    {
        std::function<QAction *(const QList<QAction *> &)> find = [&](const QList<QAction *> &items) -> QAction * {
            for (QAction *item : items) {
                if (item->text().remove('&') == text)
                    return item;
                if (item->menu())
                    if (QAction *found = find(item->menu()->actions()))
                        return found;
            }
            return nullptr;
        };
        QAction *found = find(document->window()->menuBar()->actions());
        EXPECT_NE(found, nullptr) << "no " << text.toStdString();
        return found;
    }
    /// Lets the event loop run, which ends the user event (and its undo step).
    void settle() { QCoreApplication::processEvents(); }
    QPoint at(QPointF layout) const { return view->widgetPoint(layout).toPoint(); }
    void click(QPointF p)
    {
        QTest::mouseClick(view, Qt::LeftButton, {}, at(p));
        settle();
    }
    QString status() const { return document->window()->statusBar()->currentMessage(); }
};

/// Runs `fill` on the next modal dialog once it shows (the caller then opens it).
void whenModal(std::function<void(QWidget *)> fill)
{
    auto *poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, fill] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            fill(modal);
        }
    });
    poll->start();
}

/// Sets a field of a dialog by its name: a number, a choice's index, or a check box (0 or 1).
void set(QWidget *dialog, const char *name, double value)
{
    if (auto *box = dialog->findChild<QSpinBox *>(name))
        box->setValue(int(value));
    else if (auto *number = dialog->findChild<QDoubleSpinBox *>(name))
        number->setValue(value);
    else if (auto *choice = dialog->findChild<QComboBox *>(name))
        choice->setCurrentIndex(int(value));
    else if (auto *check = dialog->findChild<QCheckBox *>(name))
        check->setChecked(value != 0);
    else
        ADD_FAILURE() << "no field " << name;
}

void expectNear(QPointF actual, QPointF expected, double tolerance = 1e-6)
{
    EXPECT_NEAR(actual.x(), expected.x(), tolerance) << "expected " << expected.x() << ", " << expected.y();
    EXPECT_NEAR(actual.y(), expected.y(), tolerance) << "expected " << expected.x() << ", " << expected.y();
}

} // namespace

TEST(AddLeds, TheStripRingAndMatrixDialogsAddTheirLedsAsOneStep)
{
    struct Case {
        const char *item;
        QList<std::pair<const char *, double>> fields;
        QList<QPointF> expected; // the new LEDs, in LED order
        const char *step;
    };
    const QList<std::pair<const char *, double>> line{{"fromX", 100}, {"fromY", 200}, {"toX", 400}, {"toY", 200}};
    const Case cases[] = {
        {"Strip…", line + QList<std::pair<const char *, double>>{{"count", 4}},
         {{100, 200}, {200, 200}, {300, 200}, {400, 200}}, "add strip"},
        {"Strip…", line + QList<std::pair<const char *, double>>{{"stripBy", 1}, {"stripSpacing", 120}},
         {{100, 200}, {220, 200}, {340, 200}}, "add strip"},
        {"Ring…", {{"centerX", 512}, {"centerY", 384}, {"radius", 100}, {"count", 4}, {"clockwise", 1}},
         {{612, 384}, {512, 284}, {412, 384}, {512, 484}}, "add ring"},
        // From the top left along the top row, back along the bottom one (y points up).
        {"Matrix…",
         {{"width", 3}, {"height", 2}, {"spacing", 50}, {"centerX", 512}, {"centerY", 384}, {"serpentine", 1}},
         {{462, 409}, {512, 409}, {562, 409}, {562, 359}, {512, 359}, {462, 359}}, "add matrix"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.item);
        Window w;
        whenModal([&](QWidget *dialog) {
            ASSERT_NE(qobject_cast<GeneratorDialog *>(dialog), nullptr);
            for (const auto &[name, value] : c.fields)
                set(dialog, name, value);
            static_cast<QDialog *>(dialog)->accept();
        });
        w.action(c.item)->trigger();
        w.settle();
        const QList<QPointF> added = w.view->positions().mid(2);
        ASSERT_EQ(added.size(), c.expected.size());
        for (qsizetype i = 0; i < added.size(); ++i)
            expectNear(added[i], c.expected[i]);
        EXPECT_EQ(w.model->markedLeds().size(), c.expected.size());
        EXPECT_EQ(w.undo->undoActionName(), c.step);
        w.undo->undo();
        EXPECT_EQ(w.view->positions(), (QList<QPointF>{{100, 100}, {300, 100}}));
    }

    // Cancelled, a dialog adds nothing and leaves nothing to undo.
    Window w;
    whenModal([](QWidget *dialog) { static_cast<QDialog *>(dialog)->reject(); });
    w.action("Ring…")->trigger();
    w.settle();
    EXPECT_EQ(w.view->ledCount(), 2);
    EXPECT_FALSE(w.undo->canUndo());
}

TEST(AddLeds, WireByClickingTakesClickedLedsInTurnUntilEscape)
{
    // A, B, C, D from left to right.
    Window w({{100, 300}, {300, 300}, {500, 300}, {700, 300}});
    const QList<NodePtr> abcd = w.model->leds();
    whenModal([](QWidget *dialog) {
        auto *input = qobject_cast<QInputDialog *>(dialog);
        ASSERT_NE(input, nullptr);
        input->setIntValue(1);
        input->accept();
    });
    w.action("Wire by Clicking…")->trigger();
    w.settle();
    ASSERT_TRUE(w.view->isWiring());
    w.click({700, 300}); // D becomes LED 1
    w.click({700, 300}); // a second click on it changes nothing
    w.click({100, 300}); // A becomes LED 2
    EXPECT_EQ(w.model->leds(), (QList<NodePtr>{abcd[1], abcd[3], abcd[0], abcd[2]}));
    EXPECT_TRUE(w.status().contains("LED 3"));

    QTest::keyClick(w.view, Qt::Key_Escape);
    EXPECT_FALSE(w.view->isWiring());
    w.click({500, 300}); // an ordinary click again: C is pressed, nothing is wired
    EXPECT_EQ(w.model->leds(), (QList<NodePtr>{abcd[1], abcd[3], abcd[0], abcd[2]}));

    // Each click was a step of its own.
    EXPECT_EQ(w.undo->undoActionName(), "wire");
    w.undo->undo();
    EXPECT_EQ(w.model->leds(), (QList<NodePtr>{abcd[0], abcd[3], abcd[1], abcd[2]}));
    w.undo->undo();
    EXPECT_EQ(w.model->leds(), abcd);
}

TEST(AddLeds, DrawStripLaysThirtyLedsAlongACurveClickedPointByPoint)
{
    Window w;
    const NodePtr marked = w.model->leds()[1];
    w.model->markLed(marked);
    w.undo->endGrouping();
    const int steps = w.undo->stack()->count();

    whenModal([](QWidget *dialog) {
        set(dialog, "stripBy", 0);
        set(dialog, "count", 30);
        static_cast<QDialog *>(dialog)->accept();
    });
    QTest::keyClick(w.document->window(), Qt::Key_T, Qt::ControlModifier);
    w.settle();
    ASSERT_TRUE(w.view->isDrawingStrip());
    // The window is active again once the dialog is gone, as on a desktop, so that its
    // shortcuts would see the keys.
    w.document->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.document->window()));

    // A quarter circle round (500, 300), and one slip that Backspace takes back; Backspace
    // must not reach Edit ▸ Delete, which would delete the marked LED.
    const QList<QPointF> curve{{700, 300}, {685, 377}, {641, 441}, {577, 485}, {500, 500}};
    for (const QPointF &p : curve)
        w.click(p);
    w.click({300, 600});
    QTest::mouseMove(w.view, w.at({420, 520}));
    EXPECT_TRUE(w.status().contains("30 LED")) << w.status().toStdString();
    QTest::keyClick(w.view, Qt::Key_Backspace);
    w.settle();
    EXPECT_EQ(w.view->ledCount(), 2);
    QTest::keyClick(w.view, Qt::Key_Return);
    w.settle();

    EXPECT_FALSE(w.view->isDrawingStrip());
    ASSERT_EQ(w.view->ledCount(), 32);
    // In front of the marked LED, which stays where it was in the order, and evenly along
    // the curve (the view maps through whole pixels, hence the tolerance).
    EXPECT_EQ(w.model->leds()[31], marked);
    const QList<QPointF> strip = w.view->positions().mid(1, 30);
    const QList<QPointF> expected = polylineByCount(curve, 30);
    for (qsizetype i = 0; i < 30; ++i)
        expectNear(strip[i], expected[i], 2);
    EXPECT_EQ(w.undo->stack()->count(), steps + 1);
    EXPECT_EQ(w.undo->undoActionName(), "add strip");
    w.undo->undo();
    EXPECT_EQ(w.view->ledCount(), 2);
    EXPECT_TRUE(marked->isMarked());
}
