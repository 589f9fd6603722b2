#pragma once

#include "animation/AnimationEditor.h"

#include <QList>
#include <QUrl>

#include <memory>

namespace lumora {

/// What the layout editor asks of the timeline beside it when frames change: the
/// thumbnails follow the frames of the current track index by index.
class FrameTimeline {
public:
    virtual ~FrameTimeline() = default;

    virtual void setAnimationEditor(std::shared_ptr<AnimationEditor> editor) = 0;
    /// Syncs thumbnail i with frame i, creating it at the end when missing.
    virtual void addAnimationEditorLayer(qint64 index) = 0;
    /// A thumbnail for the frame just inserted at index, sliding in.
    virtual void insertAnimationEditorLayer(qint64 index) = 0;
    virtual void removeLayerAtIndex(qint64 index) = 0;
    /// Syncs every thumbnail with the model.
    virtual void updateAnimationEditorView() = 0;
    virtual void scrollToSelectedFrame() = 0;
    /// Redraws every thumbnail (the LEDs or the background changed).
    virtual void updateImages() = 0;
    /// Reverses the order of the selected frames (or of all frames when none is selected).
    virtual void reverseSelection() = 0;
    /// Stores the marking into the current frame and the picture into it and every
    /// selected frame.
    virtual void changeSelection(const QList<bool> &selection, const QUrl &url, PicturePtr image) = 0;
};

} // namespace lumora
