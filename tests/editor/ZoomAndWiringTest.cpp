#include "EditorTestSupport.h"

#include "editor/ViewScroller.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QWheelEvent>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

/// A 10 × 10 lattice of LEDs 30 units apart.
QList<NodePtr> lattice(ViewFixture &f)
{
    QList<NodePtr> leds;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            leds.append(f.view->addVertex(QPointF(300 + 30 * x, 200 + 30 * y)));
    f.endEvent();
    return leds;
}

void expectNear(QPointF actual, QPointF expected)
{
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
}

} // namespace

TEST(ZoomAndPan, TheLayoutSpaceFitsAnyWindowShapeCentred)
{
    ViewFixture f;
    // 1366 × 600: the height decides, 0.78125 pixels a unit, 283 pixels either side.
    f.view->resize(1366, 600);
    expectNear(f.view->widgetPoint({0, 0}), {283, 600});
    expectNear(f.view->widgetPoint({1024, 768}), {1083, 0});
    expectNear(f.view->pointFromEvent({683, 300}), {512, 384});
    // 400 × 900: the width decides, 300 units high, 300 pixels above and below.
    f.view->resize(400, 900);
    expectNear(f.view->widgetPoint({0, 768}), {0, 300});
    // Zoomed twice about the middle: the middle stays, a unit is twice as wide.
    f.view->resize(1024, 768);
    f.view->setZoom(2, {512, 384});
    expectNear(f.view->widgetPoint({612, 384}), {712, 384});
    f.view->zoomToFit();
    EXPECT_EQ(f.view->visibleLayoutRect(), View::layoutSpace());
}

TEST(ZoomAndPan, AClickLandsOnTheLedUnderItAtEveryZoomAndWindowShape)
{
    ViewFixture f;
    const QList<NodePtr> leds = lattice(f);
    f.view->setMode("Select");
    for (const QSize size : {QSize(1024, 768), QSize(1366, 600), QSize(500, 900), QSize(300, 200)}) {
        f.view->resize(size);
        for (const double zoom : {1.0, 2.5, 16.0}) {
            f.view->zoomToFit();
            // Zoom about LED 45, as a Ctrl+wheel with the pointer on it would.
            f.view->setZoom(zoom, f.view->widgetPoint(leds[45]->position()));
            for (const int target : {0, 44, 45, 46, 99}) {
                const QPointF at = f.view->widgetPoint(leds[target]->position());
                if (!QRectF(f.view->rect()).contains(at))
                    continue;
                QTest::mouseClick(f.view.get(), Qt::LeftButton, {}, at.toPoint());
                for (int i = 0; i < leds.size(); ++i)
                    EXPECT_EQ(leds[i]->isMarked(), i == target)
                        << size.width() << "×" << size.height() << " zoom " << zoom << " LED " << i;
                QTest::mouseClick(f.view.get(), Qt::LeftButton, {}, at.toPoint());
            }
            EXPECT_TRUE(QRectF(f.view->rect()).contains(f.view->widgetPoint(leds[45]->position())));
        }
    }
    EXPECT_EQ(f.view->model()->ledCount(), 100);
}

TEST(ZoomAndPan, CtrlWheelZoomsAboutThePointerAndPansStayInTheLayoutSpace)
{
    ViewFixture f;
    const QPointF pointer(200, 600);
    const QPointF under = f.view->pointFromEvent(pointer);
    QWheelEvent wheel(pointer, f.view->mapToGlobal(pointer), {}, {0, 240}, Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.view.get(), &wheel);
    EXPECT_GT(f.view->zoom(), 1.5);
    expectNear(f.view->pointFromEvent(pointer), under);

    // A middle-drag far to the right ends at the left edge of the layout space.
    QTest::mousePress(f.view.get(), Qt::MiddleButton, {}, QPoint(100, 300));
    QMouseEvent move(QEvent::MouseMove, QPointF(1000, 300), f.view->mapToGlobal(QPointF(1000, 300)), Qt::NoButton,
                     Qt::MiddleButton, {});
    QApplication::sendEvent(f.view.get(), &move);
    QTest::mouseRelease(f.view.get(), Qt::MiddleButton, {}, QPoint(1000, 300));
    EXPECT_DOUBLE_EQ(f.view->visibleLayoutRect().left(), 0);
    EXPECT_EQ(f.view->model()->ledCount(), 0) << "panning adds no LED";

    // Space+drag pans as well, and adds no LED either.
    const QPointF before = f.view->viewCentre();
    QTest::keyPress(f.view.get(), Qt::Key_Space);
    f.pressDragRelease(f.view->pointFromEvent({500, 300}), f.view->pointFromEvent({400, 300}));
    QTest::keyRelease(f.view.get(), Qt::Key_Space);
    EXPECT_GT(f.view->viewCentre().x(), before.x());
    EXPECT_EQ(f.view->model()->ledCount(), 0);
}

TEST(ZoomAndPan, ScrollBarsShowWhileZoomedAndMoveTheView)
{
    DocumentModel model;
    auto *view = new View(&model);
    ViewScroller scroller(view);
    scroller.resize(800, 600);
    scroller.show();
    EXPECT_FALSE(scroller.horizontalBar()->isVisible());
    view->zoomIn();
    view->zoomIn();
    ASSERT_TRUE(scroller.horizontalBar()->isVisible());
    ASSERT_TRUE(scroller.verticalBar()->isVisible());
    scroller.horizontalBar()->setValue(0);
    scroller.verticalBar()->setValue(0);
    // At the start of both bars the upper left corner of the layout space shows.
    EXPECT_NEAR(view->visibleLayoutRect().left(), 0, 1);
    EXPECT_NEAR(view->visibleLayoutRect().bottom(), 768, 1);
    view->zoomToFit();
    EXPECT_FALSE(scroller.horizontalBar()->isVisible());
}

TEST(ReadingTheWiring, DenseLayoutsGetSmallerDiscsThatClicksHitPrecisely)
{
    ViewFixture f;
    QList<NodePtr> leds;
    for (int i = 0; i < 400; ++i)
        leds.append(f.view->addVertex(QPointF(100 + (i % 20) * 8, 100 + (i / 20) * 8)));
    f.endEvent();
    EXPECT_LT(f.view->ledSize(), 8);
    // 2 units right of LED 0: the later LED 1, 6 units away, lies outside its smaller disc.
    f.view->setMode("Select");
    f.click({102, 100});
    EXPECT_TRUE(leds[0]->isMarked());
    EXPECT_FALSE(leds[1]->isMarked());

    f.view->setLedSize(20);
    EXPECT_EQ(f.view->ledSize(), 20);
    f.view->setLedSize(0);
    EXPECT_LT(f.view->ledSize(), 8);
}

TEST(ReadingTheWiring, NumbersToggleAndThinOutWhenTheyWouldPileUp)
{
    ViewFixture f;
    for (int i = 0; i < 2000; ++i)
        f.view->addVertex(QPointF(100 + (i % 50) * 16, 50 + (i / 50) * 16));
    f.endEvent();
    const QImage without = f.view->renderLayout(1024);
    f.view->setNumbersShown(true);
    EXPECT_NE(f.view->renderLayout(1024), without);
    EXPECT_GT(f.view->numberStep(), 1);
    f.view->setZoom(f.view->maximumZoom(), {512, 384});
    EXPECT_EQ(f.view->numberStep(), 1);
    f.view->setNumbersShown(false);
    f.view->zoomToFit();
    EXPECT_EQ(f.view->renderLayout(1024), without);
}

TEST(ReadingTheWiring, TheTooltipTellsIndexLayoutAndGridPosition)
{
    ViewFixture f;
    f.led({100, 100});
    f.led({300, 200});
    EXPECT_EQ(ledToolTip(*f.view, {500, 500}), QString());
    EXPECT_EQ(ledToolTip(*f.view, {302, 200}), "LED 1\nLayout 300.0, 200.0\nNo complete grid");
    f.makeGrid({100, 100}, {120, 100}, {100, 150});
    EXPECT_EQ(ledToolTip(*f.view, {300, 199}), "LED 1\nLayout 300.0, 200.0\nGrid 10.00, 2.00");
}

TEST(DeadEnds, PreviewWithoutAGridSaysWhatIsMissingAndFitGridIsOneUndoStep)
{
    ViewFixture f;
    f.led({200, 200});
    f.led({400, 300});
    f.led({600, 200});
    QSignalSpy messages(f.view.get(), &View::statusMessage);
    f.view->setMode("Preview");
    EXPECT_NE(f.view->mode(), "Preview");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0][0].toString().contains("no grid yet"));
    EXPECT_TRUE(messages[0][0].toString().contains("Fit Grid to LEDs"));

    f.view->model()->addOrigin({50, 50});
    f.view->setMode("Preview");
    EXPECT_TRUE(messages[1][0].toString().contains("only its origin"));

    f.view->transforms().fitGrid();
    f.endEvent();
    EXPECT_EQ(f.undo.undoActionName(), "move grid");
    ASSERT_EQ(f.view->model()->gridState(), 3);
    // The LEDs span ten grid units across, around the grid's origin.
    const auto inverse = f.view->model()->transform()->inverted();
    EXPECT_NEAR(inverse->map({200, 200}).x(), -5, 1e-9);
    EXPECT_NEAR(inverse->map({600, 200}).x(), 5, 1e-9);
    f.view->setMode("Preview");
    EXPECT_EQ(f.view->mode(), "Preview");
    EXPECT_EQ(messages.size(), 2);

    // One undo puts back the lone origin where it was.
    f.undo.undo();
    EXPECT_EQ(f.view->model()->gridState(), 1);
    EXPECT_EQ(f.view->model()->origin()->position(), QPointF(50, 50));
    f.undo.redo();
    EXPECT_EQ(f.view->model()->gridState(), 3);
}

TEST(DeadEnds, ColorsWithoutAPictureSaysSo)
{
    ViewFixture f;
    QSignalSpy messages(f.view.get(), &View::statusMessage);
    f.view->setMode("Colors");
    EXPECT_EQ(f.view->mode(), "Colors");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0][0].toString().contains("no picture"));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    f.view->model()->setBackground(Picture::fromImage(picture), QUrl());
    f.view->setMode("Colors");
    EXPECT_EQ(messages.size(), 1);
}

// A 300 × 300 matrix (about 2.3 units apart) zooms in until neighbours are 24 pixels apart,
// with discs small enough to leave space between them; one LED is then clicked and dragged.
TEST(ReadingTheWiring, ADenseMatrixZoomsInUntilItsLedsStandApart)
{
    ViewFixture f;
    f.view->resize(900, 560); // the editor on a 1366 × 768 screen
    MatrixLayout matrix;
    matrix.width = matrix.height = 300;
    const double spacing = fittingMatrixSpacing(300, 300);
    f.model.importLeds(matrixPositions(matrix, {512, 384}, spacing));
    f.endEvent();
    ASSERT_EQ(f.view->model()->ledCount(), 90000);

    f.view->setZoom(1000, {450, 280}); // as far as it goes
    const double pixelsApart = spacing * f.view->layoutTransform().m11();
    EXPECT_GE(pixelsApart, View::closestLedPixels);
    EXPECT_LT(pixelsApart, 2 * View::closestLedPixels) << "no further than needed";
    EXPECT_GE((spacing - f.view->ledSize()) * f.view->layoutTransform().m11(), 3) << "discs with space between them";
    EXPECT_GE(f.view->ledSize(), 2.0);

    // The LED in the middle of the view, and its neighbour, are told apart by a click.
    const QPointF middle = f.view->viewCentre();
    NodePtr target;
    double best = 1e9;
    for (const NodePtr &node : f.view->model()->leds()) {
        const double d = QLineF(node->position(), middle).length();
        if (d < best) {
            best = d;
            target = node;
        }
    }
    f.view->setMode("Select");
    f.click(target->position());
    EXPECT_TRUE(target->isMarked());
    EXPECT_EQ(f.view->model()->markedLeds().size(), 1);
    f.view->setMode("Edit Nodes");
    const QPointF to = target->position() + QPointF(spacing / 2, 0);
    f.pressDragRelease(target->position(), to);
    EXPECT_NEAR(target->position().x(), to.x(), 0.2);
    EXPECT_EQ(f.view->model()->ledCount(), 90000) << "the drag moved an LED and added none";
}

TEST(ReadingTheWiring, ZoomGoesBeyondSixteenTimesWhenLedsAreCloser)
{
    ViewFixture f;
    f.led({500, 400});
    f.led({500.25, 400});
    f.led({900, 100});
    f.view->setZoom(1e6, {512, 384});
    EXPECT_GT(f.view->zoom(), View::defaultMaximumZoom);
    EXPECT_NEAR(0.25 * f.view->layoutTransform().m11(), View::closestLedPixels, 1e-6);
}
