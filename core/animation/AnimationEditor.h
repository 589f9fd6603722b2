#pragma once

#include "AnimationFrame.h"

#include <QList>

#include <memory>

namespace lumora {

/// The frame animations of one document: tracks of frames, the selected track and the
/// current frame. Pure data with index rules; one per document, shared by the layout editor
/// and the timeline.
class AnimationEditor {
public:
    AnimationEditor() = default;

    QList<TrackPtr> &tracks() { return m_tracks; }
    const QList<TrackPtr> &tracks() const { return m_tracks; }
    void setTracks(const QList<TrackPtr> &tracks) { m_tracks = tracks; }

    qint64 selectedTrack() const { return m_selectedTrack; }
    void setSelectedTrack(qint64 index) { m_selectedTrack = index; }
    /// −1 means there is no current frame.
    qint64 selectedFrame() const { return m_selectedFrame; }
    void setSelectedFrame(qint64 index) { m_selectedFrame = index; }

    /// The selected track; creates track 0 first when there are no tracks. When
    /// selectedTrack points outside the list (only reachable through removeTrack or a bad
    /// setSelectedTrack) it answers a detached empty track, so callers never crash and
    /// nothing they add to it reaches the document.
    AnimationTrack &track();

    void addTrack();
    void removeTrack();
    void previousTrack();
    void nextTrack();

    /// Inserts before the current frame (or appends when there is none); the new frame
    /// becomes current.
    void addFrame(FramePtr frame);
    /// Removes the current frame (just the one, despite the name).
    void removeFrames();
    /// Whether the cursor moved.
    bool previousFrame();
    bool nextFrame();

    /// The current frame, or nullptr.
    FramePtr animationFrame();
    void setAnimationFrame(FramePtr frame);

private:
    QList<TrackPtr> m_tracks;
    AnimationTrack m_detached;
    qint64 m_selectedTrack = 0;
    qint64 m_selectedFrame = -1;
};

} // namespace lumora
