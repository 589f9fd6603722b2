// The timeline following the layout editor's frame commands, storing the marking and the
// background into frames, and the thumbnail images.
#include "TimelineTestSupport.h"

#include <QScrollBar>

using namespace lumora;

namespace {

PicturePtr solidPicture(QColor color, const QString &name)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(color);
    return Picture::fromImage(image, QUrl::fromLocalFile("/tmp/" + name));
}

PicturePtr gradientPicture()
{
    QImage image(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, (x * y) % 256, y));
    return Picture::fromImage(image);
}

} // namespace

TEST(TimelineFrames, FrameCommandsKeepThumbnailsAlignedWithFrames)
{
    TimelineFixture f(3);
    f.click(f.centre(1));

    // A new frame goes in front of the current one and slides in.
    f.view.model()->addFrame();
    f.undo.endGrouping();
    ASSERT_EQ(f.frames().size(), 4);
    EXPECT_EQ(f.editor->selectedFrame(), 1);
    EXPECT_TRUE(f.timeline->isAnimating());
    QCoreApplication::processEvents();
    f.expectThumbnailsAligned();
    // The new frame comes selected and the previous one stays so.
    EXPECT_EQ(f.selected(), "1 2");
    EXPECT_TRUE(f.timeline->isHighlighted(1));
    EXPECT_FALSE(f.timeline->isHighlighted(2));

    // Removing shrinks the view by one slot at once.
    f.view.model()->removeFrame();
    f.undo.endGrouping();
    EXPECT_EQ(f.timeline->height(), 64 * 3);
    EXPECT_EQ(f.timeline->thumbnailCount(), 3);
    f.expectThumbnailsAligned();

    // With one selected frame left, the selection follows the current frame again.
    f.view.model()->nextFrame();
    EXPECT_EQ(f.editor->selectedFrame(), 2);
    EXPECT_TRUE(f.timeline->isHighlighted(2));
    EXPECT_FALSE(f.timeline->isHighlighted(1));
    EXPECT_EQ(f.selected(), "2");

    f.timeline->removeLayerAtIndex(0);
    EXPECT_EQ(f.timeline->height(), 64 * 2);
    f.timeline->removeLayerAtIndex(-1);
    f.timeline->removeLayerAtIndex(7);
    EXPECT_EQ(f.timeline->height(), 64 * 2);
}

TEST(TimelineFrames, AddingTheFirstFrameAppendsAThumbnail)
{
    TimelineFixture f(0);
    EXPECT_EQ(f.timeline->height(), 0);
    f.view.model()->addFrame();
    f.view.model()->addFrame();
    QCoreApplication::processEvents();
    EXPECT_EQ(f.timeline->thumbnailCount(), 2);
    f.expectThumbnailsAligned();
    EXPECT_TRUE(f.timeline->isHighlighted(0));
}

TEST(TimelineFrames, ChangeSelectionStoresMarkingInTheCurrentFrameAndPictureInSelectedOnes)
{
    TimelineFixture f(5);
    f.select({2, 4}, 2);
    const QList<bool> before4 = f.frames()[4]->selection;
    const PicturePtr picture = solidPicture(Qt::green, "green.png");

    const QList<bool> marking{true, true, false, false, false};
    f.undo.disableUndoRegistration();
    f.model.setMarking(marking);
    f.model.setBackground(picture, picture->url());
    f.undo.enableUndoRegistration();
    f.model.changeFrames();
    EXPECT_EQ(f.frames()[2]->selection, marking);
    EXPECT_EQ(f.frames()[2]->image, picture);
    EXPECT_EQ(f.frames()[2]->url, picture->url());
    EXPECT_EQ(f.frames()[4]->selection, before4);
    EXPECT_EQ(f.frames()[4]->image, picture);
    EXPECT_EQ(f.frames()[4]->url, picture->url());
    for (int i : {0, 1, 3}) {
        EXPECT_EQ(f.frames()[i]->image, nullptr);
        EXPECT_TRUE(f.frames()[i]->url.isEmpty());
    }
    EXPECT_FALSE(f.undo.canUndo());
    f.expectThumbnailsAligned();
}

TEST(TimelineImages, ThumbnailShowsThePictureAndADotPerLitLed)
{
    const PicturePtr blue = solidPicture(Qt::blue, "blue.png");
    // One LED in the middle of the layout; the selection is longer than the LED list.
    const QImage image = AnimationEditorView::renderThumbnail({QPointF(512, 384)}, {true, true, true},
                                                              blue->image(), 1.0);
    ASSERT_EQ(image.size(), QSize(64, 48));
    EXPECT_EQ(image.pixelColor(32, 24), QColor(Qt::black));
    // The picture at 0.8 over white, away from the dot.
    const QColor paper = image.pixelColor(50, 10);
    EXPECT_NEAR(paper.red(), 51, 2);
    EXPECT_NEAR(paper.green(), 51, 2);
    EXPECT_EQ(paper.blue(), 255);
    // Rounded corners.
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);

    // Layout y grows upwards: an LED near the top lights the top of the thumbnail.
    const QImage high = AnimationEditorView::renderThumbnail({QPointF(512, 704)}, {true}, QImage(), 1.0);
    EXPECT_EQ(high.pixelColor(32, 48 - 704 / 16), QColor(Qt::black));
    EXPECT_EQ(high.pixelColor(32, 24), QColor(Qt::white));

    // No LEDs: only the picture; neither lit nor LED: white.
    EXPECT_EQ(AnimationEditorView::renderThumbnail({}, {true}, blue->image(), 1.0).pixelColor(32, 24), paper);
    EXPECT_EQ(AnimationEditorView::renderThumbnail({QPointF(512, 384)}, {false}, QImage(), 1.0).pixelColor(32, 24),
              QColor(Qt::white));
}

TEST(TimelineImages, UpdateImagesRedrawsInTheBackgroundAndTheLatestLayoutWins)
{
    TimelineFixture f(30);
    f.waitForImages();
    const QImage before = f.timeline->thumbnailImage(3);
    // Nothing a thumbnail shows has changed: no work.
    f.timeline->updateImages();
    EXPECT_FALSE(f.timeline->isRenderingImages());
    // Pictures look the same drawn in the background as drawn at once.
    const PicturePtr picture = gradientPicture();
    for (int i : {2, 3, 17})
        f.frames()[i]->image = picture;

    f.model.setLedPosition(f.view.model()->leds()[3], QPointF(900, 700));
    f.timeline->updateImages();
    // Until the new image arrives the old one is shown.
    EXPECT_FALSE(f.timeline->thumbnailImage(3).isNull());
    f.model.setLedPosition(f.view.model()->leds()[3], QPointF(20, 20));
    f.timeline->updateImages();
    f.expectThumbnailsAligned();
    EXPECT_FALSE(f.timeline->thumbnailImage(3) == before);

    // A single thumbnail redrawn at once is not overwritten by a batch still running.
    f.model.setLedPosition(f.view.model()->leds()[3], QPointF(500, 300));
    f.timeline->updateImages();
    f.model.setLedPosition(f.view.model()->leds()[3], QPointF(700, 300));
    f.timeline->updateImage(3);
    f.expectThumbnailsAligned();
    EXPECT_TRUE(f.timeline->createImage(30).isNull());
    EXPECT_TRUE(f.timeline->createImage(-1).isNull());
}

TEST(TimelineFrames, ScrollsTheCurrentFrameIntoView)
{
    TimelineFixture f(20, 200);
    f.editor->setSelectedFrame(15);
    f.timeline->scrollToSelectedFrame();
    const QRect shown = f.area.viewport()->rect();
    const QRect thumbnail(f.timeline->mapTo(f.area.viewport(), QPoint(10, 64 * 15 + 8)), QSize(64, 48));
    EXPECT_TRUE(shown.contains(thumbnail)) << f.area.verticalScrollBar()->value();
}
