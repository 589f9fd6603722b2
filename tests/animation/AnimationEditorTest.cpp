#include "animation/AnimationEditor.h"

#include <gtest/gtest.h>

using namespace lumora;

namespace {

FramePtr frame()
{
    return std::make_shared<AnimationFrame>();
}

/// An editor with n frames F0..Fn−1 and the given current frame.
std::shared_ptr<AnimationEditor> editorWith(int n, qint64 current, QList<FramePtr> *frames = nullptr)
{
    auto editor = std::make_shared<AnimationEditor>();
    for (int i = 0; i < n; ++i)
        editor->track().frames.append(frame());
    editor->setSelectedFrame(current);
    if (frames)
        *frames = editor->track().frames;
    return editor;
}

} // namespace

TEST(AnimationEditor, FreshEditorMakesItsFirstTrackOnDemand)
{
    AnimationEditor editor;
    EXPECT_TRUE(editor.tracks().isEmpty());
    EXPECT_EQ(editor.selectedFrame(), -1);
    EXPECT_EQ(editor.animationFrame(), nullptr);
    EXPECT_EQ(editor.tracks().size(), 1);
    editor.track();
    EXPECT_EQ(editor.tracks().size(), 1);
}

TEST(AnimationEditor, AddFrameAppendsThenInsertsBeforeTheCurrentFrame)
{
    AnimationEditor editor;
    auto first = frame(), second = frame();
    editor.addFrame(first);
    EXPECT_EQ(editor.selectedFrame(), 0);
    editor.addFrame(second);
    EXPECT_EQ(editor.selectedFrame(), 0);
    EXPECT_EQ(editor.track().frames, (QList<FramePtr>{second, first}));
    EXPECT_FALSE(second->selected); // flags are left alone
    EXPECT_TRUE(AnimationFrame::newWithSelection({true}, nullptr, {})->selected);
}

TEST(AnimationEditor, RemoveFramesKeepsACurrentFrame)
{
    QList<FramePtr> f;
    auto editor = editorWith(3, 2, &f);
    editor->removeFrames();
    EXPECT_EQ(editor->selectedFrame(), 1);
    EXPECT_TRUE(f[1]->selected);

    editor = editorWith(3, 0, &f);
    editor->removeFrames();
    EXPECT_EQ(editor->selectedFrame(), 0);
    EXPECT_EQ(editor->animationFrame(), f[1]);
    EXPECT_FALSE(f[1]->selected);

    editor = editorWith(1, 0);
    editor->removeFrames();
    EXPECT_EQ(editor->selectedFrame(), -1);

    // Without a current frame, or with one beyond the end, nothing is removed.
    editor = editorWith(2, -1);
    editor->removeFrames();
    editor->setSelectedFrame(7);
    editor->removeFrames();
    EXPECT_EQ(editor->track().frames.size(), 2);
}

TEST(AnimationEditor, CursorMovesStopAtTheEnds)
{
    auto editor = editorWith(3, 0);
    EXPECT_FALSE(editor->previousFrame());
    EXPECT_EQ(editor->selectedFrame(), 0);
    editor->setSelectedFrame(-1);
    EXPECT_TRUE(editor->previousFrame());
    EXPECT_EQ(editor->selectedFrame(), 2);
    EXPECT_FALSE(editor->nextFrame());
    editor->setSelectedFrame(-1);
    EXPECT_TRUE(editor->nextFrame());
    EXPECT_EQ(editor->selectedFrame(), 0);

    auto empty = editorWith(0, -1);
    EXPECT_FALSE(empty->nextFrame());
    EXPECT_TRUE(empty->previousFrame()); // reports a move, but stays at −1
    EXPECT_EQ(empty->selectedFrame(), -1);
}

TEST(AnimationEditor, SetAnimationFrameOnlyWithAValidCurrentFrame)
{
    QList<FramePtr> f;
    auto editor = editorWith(2, 1, &f);
    auto replacement = frame();
    editor->setAnimationFrame(replacement);
    EXPECT_EQ(editor->track().frames[1], replacement);
    editor->setSelectedFrame(5);
    editor->setAnimationFrame(frame());
    EXPECT_EQ(editor->animationFrame(), nullptr);
}

TEST(AnimationEditor, TrackCursor)
{
    AnimationEditor editor;
    auto first = editor.track();
    editor.addTrack(); // inserted at the selected index 0 and selected
    EXPECT_EQ(editor.tracks().size(), 2);
    EXPECT_EQ(editor.selectedTrack(), 0);
    editor.nextTrack();
    EXPECT_EQ(editor.selectedTrack(), 1);
    editor.nextTrack();
    EXPECT_EQ(editor.selectedTrack(), 1);
    editor.removeTrack();
    EXPECT_EQ(editor.selectedTrack(), 0);
    editor.removeTrack();
    EXPECT_EQ(editor.selectedTrack(), -1);
    EXPECT_TRUE(editor.tracks().isEmpty());

    // With the cursor out of range, track() answers a detached empty track instead of
    // crashing, and frames added to it reach no document.
    editor.setSelectedTrack(-1);
    editor.track().frames.append(frame());
    EXPECT_TRUE(editor.track().frames.isEmpty());
    editor.addTrack(); // from −1: appended and selected
    EXPECT_EQ(editor.selectedTrack(), 1);
}
