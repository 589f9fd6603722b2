#include "EditorTestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace lumora;

namespace {

/// The largest difference, in any channel of any pixel, the composited picture may show
/// against painting every LED: the fills' share of a pixel is measured in 8 bits, and each
/// ring or shadow above a fill rounds once more.
constexpr int tolerance = 3;

QImage paint(View &view)
{
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    view.render(&image);
    return image;
}

/// The largest channel difference between two pictures, and where it is.
struct Difference {
    int largest = 0;
    QPoint at;
};
Difference difference(const QImage &a, const QImage &b)
{
    Difference d;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int most = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                       std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
            if (most > d.largest)
                d = {most, QPoint(x, y)};
        }
    return d;
}

/// Paints the view every LED at a time, then composited (the second paint of a frame is
/// the composited one), and expects the two to agree.
void expectCompositedAgrees(View &view, const char *when)
{
    SCOPED_TRACE(when);
    view.layoutPainter().setCompositing(false);
    const QImage reference = paint(view);
    view.layoutPainter().setCompositing(true);
    paint(view);
    const QImage composited = paint(view);
    EXPECT_EQ(view.layoutPainter().lastPaintPath(), LayoutPainter::PaintPath::Composited);
    const Difference d = difference(composited, reference);
    EXPECT_LE(d.largest, tolerance) << "at " << d.at.x() << ", " << d.at.y();
}

std::vector<PixelColor> colours(const View &view, int variant)
{
    std::vector<PixelColor> colors;
    for (qsizetype k = 0; k < view.model()->ledCount(); ++k) {
        const QColor c = QColor::fromHsv(int(k * 37 + variant * 101) % 360, 255 - int(k % 3) * 60, 255 - int(k % 5) * 40);
        colors.push_back({c.redF(), c.greenF(), c.blueF(), 1});
    }
    return colors;
}

void recolour(View &view, int variant)
{
    view.showColors(colours(view, variant));
}

struct Case {
    const char *name;
    double zoom;
    double spacing;  ///< between neighbouring LEDs, layout units
    double ledSize;  ///< 0: automatic
};

} // namespace

TEST(Compositing, AgreesWithPaintingEveryLedThroughRecolouringMarkingAndMoving)
{
    // Sparse, zoomed in, and dense enough that each disc overlaps its neighbours' (later
    // LEDs cover earlier ones).
    for (const Case &c : {Case{"1x", 1, 30, 0}, Case{"4x", 4, 30, 0}, Case{"overlapping", 1, 9, 20},
                          Case{"overlapping 4x", 4, 9, 20}}) {
        SCOPED_TRACE(c.name);
        ViewFixture f;
        f.view->setLedSize(c.ledSize);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                f.view->addVertex(QPointF(350 + c.spacing * (y % 2 ? 11 - x : x), 250 + c.spacing * y));
        f.makeGrid({512, 384}, {542, 384}, {512, 414});
        f.view->setMode("Preview");
        f.view->setZoom(c.zoom, {512, 384});
        recolour(*f.view, 1);
        expectCompositedAgrees(*f.view, "coloured");

        recolour(*f.view, 2);
        const QImage written = paint(*f.view); // the new colours written, nothing rebuilt
        EXPECT_EQ(f.view->layoutPainter().lastPaintPath(), LayoutPainter::PaintPath::Composited);
        f.view->layoutPainter().setCompositing(false);
        EXPECT_LE(difference(written, paint(*f.view)).largest, tolerance);
        f.view->layoutPainter().setCompositing(true);

        for (qsizetype k = 0; k < f.view->model()->leds().size(); k += 7)
            f.view->model()->markLed(f.view->model()->leds()[k]);
        expectCompositedAgrees(*f.view, "marked");

        f.model.setLedPosition(f.view->model()->leds()[40], {520, 390});
        f.view->setNumbersShown(true);
        expectCompositedAgrees(*f.view, "moved, numbered");
    }
}

TEST(Compositing, ATranslucentFillIsPaintedLedByLed)
{
    ViewFixture f;
    for (int x = 0; x < 10; ++x)
        f.view->addVertex(QPointF(300 + 8 * x, 300));
    f.view->setLedSize(20);
    std::vector<PixelColor> colors = colours(*f.view, 3);
    colors[4] = {1, 0, 0, 100 / 255.0};
    f.view->showColors(colors);
    f.view->layoutPainter().setCompositing(false);
    const QImage reference = paint(*f.view);
    f.view->layoutPainter().setCompositing(true);
    paint(*f.view);
    EXPECT_EQ(paint(*f.view), reference);
    EXPECT_EQ(f.view->layoutPainter().lastPaintPath(), LayoutPainter::PaintPath::EveryLed);
}

namespace {

/// LEDs along a zigzag, in Select mode, and a second view of the same document that paints
/// every LED: what a fresh paint of the layout shows.
struct DragFixture : ViewFixture {
    View reference{&model};

    DragFixture(double zoom = 1)
    {
        for (int i = 0; i < 60; ++i)
            view->addVertex(QPointF(200 + 10 * i, 300 + (i % 2) * 40));
        endEvent();
        view->setMode("Select");
        reference.setMode("Select"); // the same overlays: Edit LEDs would show where the next LED goes
        reference.show();
        for (View *v : {view.get(), &reference}) {
            v->resize(1024, 768);
            // Fixed, as an automatic size follows the spacing, which a pressed view keeps.
            v->setLedSize(14);
            v->setZoom(zoom, {512, 384});
            v->setViewCentre({400, 320});
        }
        reference.layoutPainter().setCompositing(false);
        recolour(4);
    }

    /// The colours are each view's own: both show the same.
    void recolour(int variant)
    {
        ::recolour(*view, variant);
        ::recolour(reference, variant);
    }

    void expectLikeReference(const char *when)
    {
        SCOPED_TRACE(when);
        const QImage dragged = paint(*view);
        EXPECT_EQ(view->layoutPainter().lastPaintPath(), LayoutPainter::PaintPath::DragStep);
        const Difference d = difference(dragged, paint(reference));
        EXPECT_LE(d.largest, tolerance) << "at " << d.at.x() << ", " << d.at.y();
    }
};

} // namespace

TEST(Compositing, ADragShowsTheLedAndItsSegmentsWhereTheyAreNow)
{
    for (const double zoom : {1.0, 4.0}) {
        SCOPED_TRACE(zoom);
        DragFixture f(zoom);
        const QPointF from = f.view->model()->leds()[20]->position();
        const QImage before = paint(*f.view);
        f.press(from);
        // Across its neighbours' segments, over other LEDs, and away.
        for (const QPointF to : {from + QPointF(3, 4), from + QPointF(40, 10), from + QPointF(25, -60)}) {
            f.drag(to);
            f.expectLikeReference("dragging");
        }
        // Where the LED was, the picture changed (it is gone from there).
        const QPoint old = f.view->widgetPoint(from).toPoint();
        EXPECT_NE(paint(*f.view).pixel(old), before.pixel(old));
        f.recolour(5); // a preview tick during the drag
        f.expectLikeReference("recoloured");
        f.release(from + QPointF(25, -60));
        paint(*f.view);
        EXPECT_NE(f.view->layoutPainter().lastPaintPath(), LayoutPainter::PaintPath::DragStep);
    }
}

TEST(Compositing, AGroupDragOfMarkedLedsAndOfTheFirstLedShowsEveryMovedPart)
{
    DragFixture f;
    // The first LEDs (the start marker turns with them) and a run in the middle.
    for (const int k : {0, 1, 2, 30, 31, 32, 33, 50})
        f.view->model()->markLed(f.view->model()->leds()[k]);
    const QPointF from = f.view->model()->leds()[31]->position();
    f.press(from);
    for (const QPointF to : {from + QPointF(5, 5), from + QPointF(-50, 80)}) {
        f.drag(to);
        f.expectLikeReference("dragging the group");
    }
    f.release(from + QPointF(-50, 80));
    EXPECT_EQ(f.view->model()->leds()[0]->position(), QPointF(150, 380));
}
