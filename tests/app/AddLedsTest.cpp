// Layout ▸ Add LEDs and Wire by Clicking through the real menu items, their dialogs and clicks
// on the layout editor, with the event loop running as for a user.
#include "app/Document.h"
#include "app/DocumentWindow.h"
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
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <memory>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

using Fields = QList<std::pair<const char *, double>>;

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
        activate();
    }
    /// As on a desktop, the window is active (again, once a dialog is gone), so that its
    /// shortcuts see the keys.
    void activate()
    {
        document->window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(document->window()));
    }
    /// Triggers the item of Layout ▸ Add LEDs or Layout with the text, first filling the
    /// modal dialog it opens (fields by name: numbers, choices' indexes, check boxes 0 or 1)
    /// and accepting it.
    void choose(const QString &text, const Fields &fields)
    {
        QTimer::singleShot(0, [fields] {
            QWidget *dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            for (const auto &[name, value] : fields) {
                if (auto *box = dialog->findChild<QSpinBox *>(name))
                    box->setValue(int(value));
                else if (auto *number = dialog->findChild<QDoubleSpinBox *>(name))
                    number->setValue(value);
                else if (auto *choice = dialog->findChild<QComboBox *>(name))
                    choice->setCurrentIndex(int(value));
                else if (auto *check = dialog->findChild<QCheckBox *>(name))
                    check->setChecked(value != 0);
                else if (auto *input = qobject_cast<QInputDialog *>(dialog))
                    input->setIntValue(int(value));
            }
            static_cast<QDialog *>(dialog)->accept();
        });
        for (QAction *item : document->window()->findChildren<QAction *>())
            if (item->text().remove('&') == text)
                return item->trigger(), settle();
        FAIL() << "no " << text.toStdString();
    }
    /// Lets the event loop run, which ends the user event (and its undo step).
    void settle() { QCoreApplication::processEvents(); }
    void click(QPointF p)
    {
        QTest::mouseClick(view, Qt::LeftButton, {}, view->widgetPoint(p).toPoint());
        settle();
    }
    QString status() const { return document->window()->statusBar()->currentMessage(); }
};

} // namespace

TEST(AddLeds, TheStripRingAndMatrixDialogsAddTheirLedsAsOneStep)
{
    struct Case {
        const char *item;
        Fields fields;
        QList<QPointF> expected; // the new LEDs, in LED order
        const char *step;
    };
    const Fields line{{"fromX", 100}, {"fromY", 200}, {"toX", 400}, {"toY", 200}};
    const Case cases[] = {
        {"Strip…", line + Fields{{"count", 4}}, {{100, 200}, {200, 200}, {300, 200}, {400, 200}}, "add strip"},
        {"Strip…", line + Fields{{"stripBy", 1}, {"stripSpacing", 120}}, {{100, 200}, {220, 200}, {340, 200}},
         "add strip"},
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
        w.choose(c.item, c.fields);
        const QList<QPointF> added = w.view->model()->ledPositions().mid(2);
        ASSERT_EQ(added.size(), c.expected.size());
        for (qsizetype i = 0; i < added.size(); ++i)
            EXPECT_LT(QLineF(added[i], c.expected[i]).length(), 1e-6) << i;
        EXPECT_EQ(w.model->markedLeds().size(), c.expected.size());
        EXPECT_EQ(w.undo->undoActionName(), c.step);
        w.undo->undo();
        EXPECT_EQ(w.view->model()->ledPositions(), (QList<QPointF>{{100, 100}, {300, 100}}));
    }
}

TEST(AddLeds, WireByClickingTakesClickedLedsInTurnUntilEscape)
{
    Window w({{100, 300}, {300, 300}, {500, 300}, {700, 300}});
    const QList<NodePtr> abcd = w.model->leds();
    w.choose("Wire by Clicking…", {{"first", 1}});
    w.click({700, 300}); // D becomes LED 1
    w.click({700, 300}); // a second click on it changes nothing
    w.click({100, 300}); // A becomes LED 2
    const QList<NodePtr> bdac{abcd[1], abcd[3], abcd[0], abcd[2]};
    EXPECT_EQ(w.model->leds(), bdac);
    EXPECT_TRUE(w.status().contains("LED 3"));
    QTest::keyClick(w.view, Qt::Key_Escape);
    w.click({500, 300}); // an ordinary click again: nothing is wired
    EXPECT_EQ(w.model->leds(), bdac);
    // Each click was a step of its own.
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
    QTimer::singleShot(0, [] {
        auto *dialog = static_cast<QDialog *>(QApplication::activeModalWidget());
        dialog->findChild<QSpinBox *>("count")->setValue(30);
        dialog->accept();
    });
    QTest::keyClick(w.document->window(), Qt::Key_T, Qt::ControlModifier); // Draw Strip
    w.activate();

    // A quarter circle round (500, 300), and a slip that Backspace takes back; Backspace must
    // not reach Edit ▸ Delete, which would delete the marked LED.
    const QList<QPointF> curve{{700, 300}, {685, 377}, {641, 441}, {577, 485}, {500, 500}};
    for (const QPointF &p : curve + QList<QPointF>{{300, 600}})
        w.click(p);
    EXPECT_TRUE(w.status().contains("30 LED")) << w.status().toStdString();
    QTest::keyClick(w.view, Qt::Key_Backspace);
    QTest::keyClick(w.view, Qt::Key_Return);
    w.settle();

    // In front of the marked LED, and evenly along the curve (the view maps through whole
    // pixels, hence the tolerance).
    ASSERT_EQ(w.view->model()->ledCount(), 32);
    EXPECT_EQ(w.model->leds()[31], marked);
    const QList<QPointF> expected = polylineByCount(curve, 30);
    for (qsizetype i = 0; i < 30; ++i)
        EXPECT_LT(QLineF(w.view->model()->ledPositions()[i + 1], expected[i]).length(), 2) << i;
    EXPECT_EQ(w.undo->undoActionName(), "add strip");
    w.undo->undo();
    EXPECT_EQ(w.view->model()->ledCount(), 2);
}
