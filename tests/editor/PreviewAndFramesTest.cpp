#include "EditorTestSupport.h"

#include "patterns/framework/ColorPattern.h"

#include <QDateTime>
#include <QSignalSpy>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace lumora;

namespace {

/// Neither breathes nor turns, so it sees each LED at its grid position; its answer
/// leaves 0..1 on purpose.
class ProbePattern : public ColorPattern {
public:
    explicit ProbePattern(double base = 1, double breathing = 0, double turning = 0)
    {
        s0 = base;
        s1 = breathing;
        r1 = turning;
        speed = 1;
    }

    Color color(const Position &position) const override
    {
        seen.push_back(position);
        return Color(position.x * 0.25, position.y, 0.5 * double(position.index) - 0.25);
    }

    mutable std::vector<Position> seen;
};

void expectFill(const View &view, const NodePtr &led, double r, double g, double b)
{
    const QColor fill = view.ledFill(view.model()->leds().indexOf(led));
    EXPECT_NEAR(fill.redF(), r, 1e-3);
    EXPECT_NEAR(fill.greenF(), g, 1e-3);
    EXPECT_NEAR(fill.blueF(), b, 1e-3);
    EXPECT_NEAR(fill.alphaF(), 1, 1e-3);
}

} // namespace

TEST(Preview, RefusedWithoutACompleteGrid)
{
    ViewFixture f;
    QSignalSpy spy(f.view.get(), &View::toolbarItemSelected);
    f.view->setMode("Preview");
    f.view->model()->addOrigin({0, 0});
    f.view->model()->addX({64, 0});
    f.view->setMode("Preview");
    EXPECT_EQ(f.view->mode(), "Edit Nodes");
    EXPECT_EQ(spy.count(), 0);

    f.view->addY({0, 64});
    f.view->setMode("Preview");
    EXPECT_EQ(f.view->mode(), "Preview");
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy[0][0].toString(), "Preview");
}

TEST(Preview, TickColoursEachLedFromItsGridPosition)
{
    ViewFixture f;
    ProbePattern pattern;
    f.view->setPatternSource([&pattern] { return &pattern; });
    auto near = f.led({116, 132});
    auto far = f.led({164, 228});
    f.makeGrid({100, 100}, {132, 100}, {100, 164});

    // Outside preview and colours mode a tick changes nothing.
    f.view->tick();
    EXPECT_TRUE(pattern.seen.empty());
    expectFill(*f.view, near, 0, 0, 0);

    f.view->setMode("Preview");
    f.view->tick();
    ASSERT_EQ(pattern.seen.size(), 2u);
    EXPECT_DOUBLE_EQ(pattern.seen[0].x, 0.5);
    EXPECT_DOUBLE_EQ(pattern.seen[0].y, 0.5);
    EXPECT_EQ(pattern.seen[0].index, 0);
    EXPECT_DOUBLE_EQ(pattern.seen[1].x, 2);
    EXPECT_DOUBLE_EQ(pattern.seen[1].y, 2);
    EXPECT_EQ(pattern.seen[1].index, 1);
    EXPECT_GT(pattern.seen[0].time, 0);
    EXPECT_EQ(pattern.seen[0].time, pattern.seen[1].time);
    expectFill(*f.view, near, 0.125, 0.5, 0);
    expectFill(*f.view, far, 0.5, 1, 0.25);

    // The editing modes show no stale preview colours, and their ticks colour nothing.
    f.view->setMode("Edit Grid");
    f.view->tick();
    EXPECT_EQ(pattern.seen.size(), 2u);
    expectFill(*f.view, far, 0, 0, 0);
}

TEST(Preview, TheSamplePointBreathesAndTurnsWithTheClock)
{
    ViewFixture f;
    ProbePattern pattern(2, 0.5, 0.3);
    f.view->setPatternSource([&pattern] { return &pattern; });
    f.led({132, 228});
    f.makeGrid({100, 100}, {132, 100}, {100, 164});
    f.view->setMode("Preview");

    const double seconds = QDateTime(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc()).secsTo(QDateTime::currentDateTimeUtc());
    f.view->tick();
    ASSERT_EQ(pattern.seen.size(), 1u);
    const Position &p = pattern.seen[0];
    // Thirty time units a second since the start of 2001; the pattern's speed is 1.
    const double T = p.time;
    EXPECT_NEAR(T, 30 * seconds, 30 * 5);
    const double scale = 2 + 0.5 * std::sin(0.000827 * T);
    const double angle = 0.3 * std::sin(0.000742 * T);
    // The LED sits at grid position (1, 2).
    EXPECT_NEAR(p.x, std::cos(angle) * scale - std::sin(angle) * 2 * scale, 1e-9);
    EXPECT_NEAR(p.y, std::sin(angle) * scale + std::cos(angle) * 2 * scale, 1e-9);
}

TEST(Preview, ColoursModeShowsThePictureUnderEachLed)
{
    ViewFixture f;
    auto centre = f.led({512, 384});
    auto topLeft = f.led({0, 768});
    auto lowerRight = f.led({1024, 0});
    QImage picture(2048, 1536, QImage::Format_RGBA8888);
    picture.fill(Qt::white);
    picture.setPixelColor(1024, 768, Qt::red);
    picture.setPixelColor(0, 0, Qt::green);
    f.view->model()->setBackground(Picture::fromImage(picture), QUrl());
    f.view->setMode("Colors");

    f.view->tick();
    expectFill(*f.view, centre, 1, 0, 0);
    expectFill(*f.view, topLeft, 0, 1, 0);
    expectFill(*f.view, lowerRight, 0, 0, 0);

    f.view->model()->setBackground(nullptr, QUrl());
    const std::vector<PixelColor> blue(3, PixelColor{0, 0, 1, 1});
    f.view->showColors(blue);
    f.view->tick();
    expectFill(*f.view, centre, 0, 0, 0);
}

namespace {

/// The box the Image pattern fits the picture to, as the view hands it over.
QRectF imageBox(View &view)
{
    view.updateBitmap();
    const BoundingBox box = view.frameContext().pixels.box;
    return QRectF(box.x, box.y, box.width, box.height);
}

} // namespace

TEST(Preview, PointsAndBoundingBoxAreInGridUnits)
{
    {
        ViewFixture f;
        EXPECT_EQ(imageBox(*f.view), QRectF(0, 0, 1, 1));
        f.view->model()->addOrigin({100, 50});
        EXPECT_EQ(imageBox(*f.view), QRectF(100, 50, 1, 1));
        f.view->model()->addX({164, 50});
        f.view->addVertex({300, 300});
        f.view->addVertex({400, 200});
        EXPECT_EQ(f.view->model()->snapshot().points(), (QList<QPointF>{{0, 0}, {0, 0}}));
        EXPECT_EQ(imageBox(*f.view), QRectF(0, 0, 1, 1));
        EXPECT_EQ(f.view->model()->ledPositions(), (QList<QPointF>{{300, 300}, {400, 200}}));
    }
    {
        ViewFixture f;
        f.makeGrid({100, 50}, {164, 50}, {100, 114});
        EXPECT_EQ(imageBox(*f.view), QRectF(100, 50, 1, 1));
        f.view->addVertex({164, 178});
        f.view->addVertex({132, -14});
        f.view->addVertex({100, 50});
        EXPECT_EQ(f.view->model()->snapshot().points(), (QList<QPointF>{{1, 2}, {0.5, -1}, {0, 0}}));
        EXPECT_EQ(imageBox(*f.view), QRectF(0, -1, 2, 4));
    }
}

namespace {

/// Two LEDs and the document's frames as the window shows them.
struct FramesFixture : ViewFixture {
    NodePtr a, b;

    FramesFixture()
    {
        a = led({100, 100});
        b = led({200, 100});
    }

    AnimationEditor &editor() { return *view->model()->animationEditor(); }
    QList<FramePtr> &frames() { return editor().track().frames; }

    /// Marks as given and adds a frame of that marking, each its own user action.
    FramePtr frameOf(const QList<bool> &marking)
    {
        const QList<NodePtr> list = model.leds();
        for (qsizetype i = 0; i < list.size() && i < marking.size(); ++i) {
            if (marking[i])
                model.markLed(list[i]);
            else
                model.unmarkLed(list[i]);
        }
        endEvent();
        view->model()->addFrame();
        endEvent();
        return editor().animationFrame();
    }
};

} // namespace

TEST(Frames, AddFrameCapturesTheMarkingAndUndoTakesItOut)
{
    FramesFixture f;
    const FramePtr first = f.frameOf({true, false});
    EXPECT_EQ(f.undo.undoActionName(), "add Frame");
    ASSERT_EQ(f.frames().size(), 1);
    EXPECT_EQ(f.frames()[0], first);
    EXPECT_EQ(first->selection, (QList<bool>{true, false}));
    EXPECT_EQ(f.editor().selectedFrame(), 0);

    // A new frame goes in front of the current one and becomes current.
    const FramePtr second = f.frameOf({false, true});
    EXPECT_EQ(f.frames(), (QList<FramePtr>{second, first}));
    EXPECT_EQ(f.editor().selectedFrame(), 0);

    f.undo.undo();
    EXPECT_EQ(f.frames(), (QList<FramePtr>{first}));
    f.undo.undo();
    f.undo.undo();
    EXPECT_TRUE(f.frames().isEmpty());
}

TEST(Frames, UndoingARemovePutsTheSameFrameBack)
{
    FramesFixture f;
    const FramePtr first = f.frameOf({true, false});
    const FramePtr second = f.frameOf({false, true});

    f.view->model()->removeFrame();
    f.endEvent();
    EXPECT_EQ(f.frames(), (QList<FramePtr>{first}));
    EXPECT_EQ(f.editor().selectedFrame(), 0);
    EXPECT_EQ(f.view->model()->marking(), (QList<bool>{true, false}));

    f.undo.undo();
    EXPECT_EQ(f.frames(), (QList<FramePtr>{second, first}));
    EXPECT_EQ(f.editor().animationFrame(), second);
    EXPECT_EQ(second->selection, (QList<bool>{false, true}));
    EXPECT_EQ(f.view->model()->marking(), (QList<bool>{false, true}));

    f.undo.redo();
    EXPECT_EQ(f.frames(), (QList<FramePtr>{first}));
}

// Showing a frame marks and unmarks LEDs, and those name the step last; these frames share
// one marking so that the frame command's own name is what the Undo menu shows.
TEST(Frames, FrameCommandsNameTheirUndoStep)
{
    FramesFixture f;
    const FramePtr older = f.frameOf({true, false});
    const FramePtr newer = f.frameOf({true, false});
    EXPECT_EQ(f.undo.undoActionName(), "add Frame");

    f.view->model()->nextFrame();
    f.endEvent();
    EXPECT_EQ(f.editor().animationFrame(), older);
    EXPECT_EQ(f.undo.undoActionName(), "next Frame");

    f.view->model()->previousFrame();
    f.endEvent();
    EXPECT_EQ(f.editor().animationFrame(), newer);
    EXPECT_EQ(f.undo.undoActionName(), "previous Frame");

    f.view->model()->removeFrame();
    f.endEvent();
    EXPECT_EQ(f.undo.undoActionName(), "remove Frame");
    EXPECT_EQ(f.frames(), (QList<FramePtr>{older}));
}

TEST(Frames, PreviousAndNextShowTheFrameAndUndo)
{
    FramesFixture f;
    const FramePtr first = f.frameOf({true, false});
    const FramePtr second = f.frameOf({false, true});
    const int steps = f.undo.stack()->count();

    // At the first frame there is nothing before it, and at the last nothing after it.
    f.view->model()->previousFrame();
    f.endEvent();
    EXPECT_EQ(f.editor().selectedFrame(), 0);
    EXPECT_EQ(f.undo.stack()->count(), steps);

    f.view->model()->nextFrame();
    f.endEvent();
    EXPECT_EQ(f.editor().animationFrame(), first);
    EXPECT_EQ(f.view->model()->marking(), (QList<bool>{true, false}));

    f.view->model()->nextFrame();
    f.endEvent();
    EXPECT_EQ(f.undo.stack()->count(), steps + 1);

    f.undo.undo();
    EXPECT_EQ(f.editor().animationFrame(), second);
    EXPECT_EQ(f.view->model()->marking(), (QList<bool>{false, true}));

    f.view->model()->nextFrame();
    f.endEvent();
    f.view->model()->previousFrame();
    f.endEvent();
    EXPECT_EQ(f.editor().animationFrame(), second);
    f.undo.undo();
    EXPECT_EQ(f.editor().animationFrame(), first);
    EXPECT_EQ(f.view->model()->marking(), (QList<bool>{true, false}));
}
