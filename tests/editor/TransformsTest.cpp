#include "EditorTestSupport.h"

#include <QNativeGestureEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace lumora;

namespace {

struct TransformFixture : ViewFixture {
    TransformFixture() { releaseModifiers(); }

    void leds(const QList<QPointF> &points)
    {
        for (const QPointF &p : points)
            view->addVertex(p);
        endEvent();
    }

    /// The example layout that fits with k = 2: two LEDs on the x axis and a 32-unit grid.
    void fitExample()
    {
        leds({{0, 0}, {447, 0}});
        makeGrid({0, 0}, {32, 0}, {0, 32});
    }
};

} // namespace

TEST(Transforms, MirrorAboutTheCentreOfTheLeds)
{
    TransformFixture f;
    f.leds({{100, 50}, {300, 60}});
    f.view->transforms().mirrorX();
    EXPECT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{300, 50}, {100, 60}}));
    f.view->transforms().mirrorY();
    EXPECT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{300, 60}, {100, 50}}));
}

// The model moves at once; on screen the LEDs glide there from where they were over 0.2 s,
// and LEDs a transform did not move never glide.
TEST(Transforms, TheLedsGlideOnScreenToWhereTheModelPutThem)
{
    TransformFixture f;
    f.leds({{100, 50}, {300, 60}});
    auto shown = [&] {
        const QPolygonF line = f.view->layoutPainter().orderLinePoints();
        return QList<QPointF>{line[1], line[2]};
    };
    ASSERT_EQ(shown(), f.view->model()->ledPositions());
    f.view->transforms().mirrorX();
    const QList<QPointF> mirrored{{300, 50}, {100, 60}};
    EXPECT_EQ(f.view->model()->ledPositions(), mirrored);
    const QList<QPointF> early = shown();
    EXPECT_LT(early[0].x(), 300) << "still on its way";
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown() == mirrored; }, 2000));

    f.view->model()->moveLeds({f.view->model()->leds()[0]}, {QPointF(500, 50)});
    EXPECT_EQ(shown()[0], QPointF(500, 50)) << "a move outside a transform shows at once";
}

TEST(Transforms, QuarterTurnsAboutTheCentre)
{
    {
        TransformFixture f;
        f.leds({{0, 0}, {10, 0}});
        EXPECT_EQ(LayoutTransforms::bounds(*f.view->model(), false), QRectF(0, 0, 11, 1));
        EXPECT_EQ(LayoutTransforms::center(*f.view->model(), false), QPointF(5, 0));
        f.view->transforms().rotate();
        EXPECT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{5, 5}, {5, -5}}));
    }
    {
        TransformFixture f;
        f.leds({{0, 0}, {10, 0}});
        f.view->transforms().rotateLeft();
        EXPECT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{5, -5}, {5, 5}}));
    }
    {
        TransformFixture f;
        f.leds({{0, 0}, {10, 0}, {100, 100}});
        f.view->model()->markLed(f.view->model()->leds()[0]);
        f.view->model()->markLed(f.view->model()->leds()[1]);
        f.endEvent();
        f.view->transforms().rotate();
        EXPECT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{5, 5}, {5, -5}, {100, 100}}));
    }
    {
        TransformFixture f;
        const QList<QPointF> start{{10, 20}, {50, 90}, {300, 45}, {-7, 3}};
        f.leds(start);
        for (int turn = 1; turn <= 4; ++turn) {
            f.view->transforms().rotate();
            if (turn < 4) {
                EXPECT_NE(f.view->model()->ledPositions(), start) << "after turn " << turn;
            }
        }
        EXPECT_EQ(f.view->model()->ledPositions(), start);
    }
}

TEST(Transforms, ScaleFitsLedsAndGridIntoTheLayoutSpace)
{
    {
        TransformFixture f;
        f.fitExample();
        EXPECT_EQ(LayoutTransforms::boundsOffset(*f.view->model()), 64);
        f.view->transforms().scaleFactor(1);
        EXPECT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{65, 352}, {959, 352}}));
        EXPECT_EQ(f.view->model()->origin()->position(), QPointF(65, 352));
        EXPECT_EQ(f.view->model()->xDirection()->position(), QPointF(129, 352));
        EXPECT_EQ(f.view->model()->yDirection()->position(), QPointF(65, 416));
    }
    {
        TransformFixture f;
        f.fitExample();
        f.view->transforms().scale();
        EXPECT_EQ(f.view->model()->ledPositions()[0], QPointF(65, 352));
    }
    {
        TransformFixture f;
        f.fitExample();
        f.view->transforms().scale2();
        EXPECT_EQ(f.view->model()->ledPositions()[0], QPointF(288.5, 368));
        EXPECT_EQ(f.view->model()->origin()->position(), QPointF(288.5, 368));
    }
    {
        // Scaling shows a hidden grid and ignores the marking.
        TransformFixture f;
        f.fitExample();
        f.view->setMode("Edit Nodes");
        f.view->model()->markLed(f.view->model()->leds()[1]);
        f.endEvent();
        f.view->transforms().scaleFactor(1);
        EXPECT_TRUE(f.view->isGridShown());
        EXPECT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{65, 352}, {959, 352}}));
    }
    {
        TransformFixture f;
        EXPECT_EQ(LayoutTransforms::boundsOffset(*f.view->model()), 0);
    }
}

TEST(Transforms, OneUnnamedUndoStepRevertsATransform)
{
    const QList<void (LayoutTransforms::*)()> transforms{&LayoutTransforms::mirrorX, &LayoutTransforms::mirrorY,
                                                         &LayoutTransforms::rotate,  &LayoutTransforms::rotateLeft,
                                                         &LayoutTransforms::scale,   &LayoutTransforms::scale2};
    for (auto transform : transforms) {
        TransformFixture f;
        f.leds({{0, 0}, {447, 10}});
        f.makeGrid({0, 0}, {32, 0}, {0, 32});
        const QList<QPointF> before = f.view->model()->ledPositions();
        const int steps = f.undo.stack()->count();
        (f.view->transforms().*transform)();
        f.endEvent();
        ASSERT_NE(f.view->model()->ledPositions(), before);
        EXPECT_EQ(f.undo.stack()->count(), steps + 1);
        EXPECT_EQ(f.undo.undoActionName(), "");
        f.undo.undo();
        EXPECT_EQ(f.view->model()->ledPositions(), before);
        EXPECT_EQ(f.view->model()->origin()->position(), QPointF(0, 0));
        EXPECT_EQ(f.view->model()->xDirection()->position(), QPointF(32, 0));
        EXPECT_EQ(f.view->model()->yDirection()->position(), QPointF(0, 32));
        EXPECT_EQ(f.undo.undoActionName(), "add node");
    }
}

TEST(Transforms, GesturesTurnByTheSignAndFitByTheMagnification)
{
    {
        TransformFixture f;
        f.leds({{0, 0}, {10, 0}});
        f.view->transforms().rotateGestureEnded(-0.2);
        EXPECT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{5, 5}, {5, -5}}));
    }
    {
        TransformFixture f;
        f.leds({{0, 0}, {10, 0}});
        f.view->transforms().rotateGestureEnded(0.3);
        EXPECT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{5, -5}, {5, 5}}));
    }
    {
        TransformFixture f;
        f.fitExample();
        f.view->transforms().magnifyGestureEnded(-0.1);
        EXPECT_EQ(f.view->model()->ledPositions()[0], QPointF(288.5, 368));
    }
    {
        TransformFixture f;
        f.fitExample();
        f.view->transforms().magnifyGestureEnded(0.1);
        EXPECT_EQ(f.view->model()->ledPositions()[0], QPointF(65, 352));
    }
}

TEST(Transforms, TrackpadGestureEventsReachTheTransforms)
{
    auto gesture = [](View &view, Qt::NativeGestureType type, double value) {
        QNativeGestureEvent event(type, QPointingDevice::primaryPointingDevice(), 2, QPointF(100, 100),
                                  QPointF(100, 100), QPointF(100, 100), value, QPointF(), 1);
        QApplication::sendEvent(&view, &event);
    };
    // Recorded sequences: Qt reports rotation steps clockwise positive, and one pinch
    // carries both readings; the one furthest past its threshold decides.
    struct Sequence {
        QList<QPair<Qt::NativeGestureType, double>> steps;
        QList<QPointF> after;
    };
    const QList<QPointF> clockwise{{5, 5}, {5, -5}}, counter{{5, -5}, {5, 5}}, unchanged{{0, 0}, {10, 0}};
    const QList<QPointF> fitted; // any fit: the LEDs leave the corner
    const Sequence sequences[] = {
        {{{Qt::RotateNativeGesture, 10}, {Qt::RotateNativeGesture, 8}}, clockwise},
        {{{Qt::RotateNativeGesture, -12}, {Qt::RotateNativeGesture, -9}}, counter},
        // Spreading two fingers with a little unintended turn fits, it does not turn.
        {{{Qt::RotateNativeGesture, 4}, {Qt::ZoomNativeGesture, 0.2}, {Qt::RotateNativeGesture, 3}}, fitted},
        {{{Qt::RotateNativeGesture, 0.5}, {Qt::RotateNativeGesture, -0.2}, {Qt::ZoomNativeGesture, 0.05}}, unchanged},
    };
    for (const Sequence &sequence : sequences) {
        TransformFixture f;
        f.leds({{0, 0}, {10, 0}});
        gesture(*f.view, Qt::BeginNativeGesture, 0);
        for (const auto &[type, value] : sequence.steps)
            gesture(*f.view, type, value);
        EXPECT_EQ(f.view->model()->ledPositions(), unchanged);
        gesture(*f.view, Qt::EndNativeGesture, 0);
        if (sequence.after == unchanged)
            EXPECT_EQ(f.view->model()->ledPositions(), unchanged);
        else if (sequence.after == clockwise || sequence.after == counter)
            EXPECT_EQ(f.view->model()->ledPositions(), sequence.after);
        else
            EXPECT_NE(f.view->model()->ledPositions(), unchanged) << "the zoom fitted the layout";
    }
    EXPECT_EQ(TrackpadGesture::decideGesture(14.9, 0.099), TrackpadGesture::Gesture::None);
    EXPECT_EQ(TrackpadGesture::decideGesture(20, 0.1), TrackpadGesture::Gesture::RotateClockwise);
    EXPECT_EQ(TrackpadGesture::decideGesture(-20, 0.5), TrackpadGesture::Gesture::Fit);
    EXPECT_EQ(TrackpadGesture::decideGesture(-20, -0.5), TrackpadGesture::Gesture::FitHalf);
    EXPECT_EQ(TrackpadGesture::decideGesture(-20, -0.1), TrackpadGesture::Gesture::RotateCounterClockwise);
    {
        TransformFixture f;
        f.fitExample();
        gesture(*f.view, Qt::BeginNativeGesture, 0);
        gesture(*f.view, Qt::ZoomNativeGesture, -0.1);
        gesture(*f.view, Qt::EndNativeGesture, 0);
        EXPECT_EQ(f.view->model()->ledPositions()[0], QPointF(288.5, 368));
    }
    {
        TransformFixture f;
        f.fitExample();
        gesture(*f.view, Qt::SmartZoomNativeGesture, 0);
        EXPECT_EQ(f.view->model()->ledPositions()[0], QPointF(65, 352));
    }
}

TEST(Transforms, OptionTurnsRotateAndScaleIntoTheirAlternatives)
{
    TransformFixture f;
    f.fitExample();
    QSignalSpy images(f.view.get(), &View::optionImagesChanged);

    f.holdOption();
    ASSERT_FALSE(images.isEmpty());
    EXPECT_TRUE(images.last()[0].toBool());
    f.view->transforms().rotate();
    EXPECT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{223.5, -223.5}, {223.5, 223.5}}));
    f.view->transforms().rotateLeft();
    ASSERT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{447, 0}, {0, 0}}));
    f.view->transforms().scale();
    EXPECT_EQ(f.view->model()->ledPositions()[1], QPointF(288.5, 368));
    f.releaseModifiers();
    EXPECT_FALSE(images.last()[0].toBool());
    f.view->transforms().rotate();
    EXPECT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{512, 144.5}, {512, 591.5}}));

    f.view->flagsChanged(std::nullopt);
    EXPECT_FALSE(images.last()[0].toBool());
}
