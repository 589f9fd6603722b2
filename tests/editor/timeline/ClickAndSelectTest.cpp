// Picking the current frame and the selected frames with the mouse.
#include "TimelineTestSupport.h"

using namespace lumora;

namespace {

QImage solid(QColor color)
{
    QImage image(32, 24, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QString marked(const View &view)
{
    QStringList names;
    for (qsizetype k = 0; k < view.model()->leds().size(); ++k)
        if (view.model()->leds()[k]->isMarked())
            names.append(QString::number(k));
    return names.join(' ');
}

} // namespace

TEST(TimelineClicks, ClickMakesTheFrameCurrentAndTheOnlySelectedOneAndShowsIt)
{
    TimelineFixture f(3);
    const PicturePtr picture = Picture::fromImage(solid(Qt::blue), QUrl("file:///tmp/blue.png"));
    f.frames()[1]->image = picture;
    f.frames()[1]->url = picture->url();
    ASSERT_EQ(f.editor->selectedFrame(), -1);
    ASSERT_EQ(f.selected(), "");

    f.click(f.centre(1));
    EXPECT_EQ(f.editor->selectedFrame(), 1);
    EXPECT_EQ(f.selected(), "1");
    EXPECT_TRUE(f.timeline->isHighlighted(1));
    EXPECT_FALSE(f.timeline->isHighlighted(0));
    EXPECT_TRUE(f.timeline->hasSelectedBorder(1));
    EXPECT_FALSE(f.timeline->hasSelectedBorder(0));
    // The layout editor shows frame 1: its LED marked, its picture as background.
    EXPECT_EQ(marked(f.view), "1");
    EXPECT_EQ(f.view.model()->background(), picture);
    EXPECT_EQ(f.view.model()->backgroundUrl(), picture->url());

    // A plain click elsewhere moves both the current frame and the selection.
    f.click(f.centre(0));
    EXPECT_EQ(f.editor->selectedFrame(), 0);
    EXPECT_EQ(f.selected(), "0");
    EXPECT_FALSE(f.timeline->isHighlighted(1));
    EXPECT_EQ(marked(f.view), "0");
    EXPECT_EQ(f.view.model()->background(), nullptr);
}

TEST(TimelineClicks, ShiftClickTogglesAndASyncMakesTheSelectionFollowTheCurrentFrame)
{
    TimelineFixture f(3);
    f.click(f.centre(1));

    f.click(f.centre(2), Qt::ShiftModifier);
    EXPECT_EQ(f.selected(), "1 2");
    EXPECT_EQ(f.editor->selectedFrame(), 2);
    EXPECT_TRUE(f.timeline->isHighlighted(2));
    EXPECT_FALSE(f.timeline->isHighlighted(1));
    EXPECT_EQ(marked(f.view), "2");

    // Deselecting with Shift keeps the current frame.
    f.click(f.centre(2), Qt::ShiftModifier);
    EXPECT_EQ(f.selected(), "1");
    EXPECT_EQ(f.editor->selectedFrame(), 2);
    EXPECT_FALSE(f.timeline->hasSelectedBorder(2));

    // With at most one selected frame the next sync selects exactly the current one...
    f.timeline->updateAnimationEditorView();
    EXPECT_EQ(f.selected(), "2");
    EXPECT_TRUE(f.timeline->hasSelectedBorder(2));
    EXPECT_FALSE(f.timeline->hasSelectedBorder(1));

    // ...but leaves a multiple selection alone.
    f.click(f.centre(0), Qt::ShiftModifier);
    f.timeline->updateAnimationEditorView();
    EXPECT_EQ(f.selected(), "0 2");
    EXPECT_EQ(f.editor->selectedFrame(), 0);
}

TEST(TimelineClicks, ClickBesideAllThumbnailsClearsCurrentFrameAndSelection)
{
    TimelineFixture f(3);
    f.click(f.centre(1));
    f.click(f.centre(2), Qt::ShiftModifier);
    const QString shown = marked(f.view);

    // The gap between two thumbnails belongs to neither.
    f.click(QPoint(42, 64 + 4));
    EXPECT_EQ(f.editor->selectedFrame(), -1);
    EXPECT_EQ(f.selected(), "");
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(f.timeline->isHighlighted(i));
        EXPECT_FALSE(f.timeline->hasSelectedBorder(i));
    }
    // The layout editor is not asked to change.
    EXPECT_EQ(marked(f.view), shown);
}

TEST(TimelineClicks, RubberbandSelectsTheThumbnailsWhoseCentresItCovers)
{
    TimelineFixture f(5);
    f.click(f.centre(0));

    // From beside thumbnail 1 down past the centre of thumbnail 2, right to left.
    f.dragThrough(QPoint(90, 70), {QPoint(85, 80), QPoint(5, 170)});
    EXPECT_EQ(f.selected(), "1 2");
    EXPECT_EQ(f.editor->selectedFrame(), 0);

    // With Shift, covered thumbnails toggle and the others stay as they are.
    f.dragThrough(QPoint(5, 130), {QPoint(6, 131), QPoint(90, 240)}, Qt::ShiftModifier);
    EXPECT_EQ(f.selected(), "1 3");

    // Without Shift, everything outside is deselected; an empty band deselects all.
    f.dragThrough(QPoint(5, 4), {QPoint(6, 5), QPoint(90, 6)});
    EXPECT_EQ(f.selected(), "");
    EXPECT_EQ(f.editor->selectedFrame(), 0);
}
