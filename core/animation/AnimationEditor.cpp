#include "AnimationEditor.h"

namespace lumora {

AnimationTrack &AnimationEditor::track()
{
    if (m_tracks.isEmpty())
        m_tracks.append(std::make_shared<AnimationTrack>());
    if (m_selectedTrack < 0 || m_selectedTrack >= m_tracks.size()) {
        m_detached.frames.clear();
        return m_detached;
    }
    return *m_tracks[m_selectedTrack];
}

void AnimationEditor::addTrack()
{
    auto track = std::make_shared<AnimationTrack>();
    if (m_selectedTrack < 0) {
        m_tracks.append(track);
        m_selectedTrack = m_tracks.size() - 1;
    } else {
        m_tracks.insert(std::min<qint64>(m_selectedTrack, m_tracks.size()), track);
    }
}

void AnimationEditor::removeTrack()
{
    if (m_tracks.isEmpty() || m_selectedTrack < 0 || m_selectedTrack >= m_tracks.size())
        return;
    m_tracks.removeAt(m_selectedTrack);
    if (m_selectedTrack >= m_tracks.size())
        m_selectedTrack = m_tracks.size() - 1;
}

void AnimationEditor::previousTrack()
{
    if (m_selectedTrack > 0)
        --m_selectedTrack;
}

void AnimationEditor::nextTrack()
{
    if (m_selectedTrack + 1 < m_tracks.size())
        ++m_selectedTrack;
}

void AnimationEditor::addFrame(FramePtr frame)
{
    auto &frames = track().frames;
    if (m_selectedFrame < 0) {
        frames.append(std::move(frame));
        m_selectedFrame = frames.size() - 1;
    } else {
        // A current frame past the end (set from outside) inserts at the end.
        frames.insert(std::min<qint64>(m_selectedFrame, frames.size()), std::move(frame));
    }
}

void AnimationEditor::removeFrames()
{
    auto &frames = track().frames;
    if (m_selectedFrame < 0 || frames.isEmpty() || m_selectedFrame >= frames.size())
        return;
    frames.removeAt(m_selectedFrame);
    if (m_selectedFrame >= frames.size()) {
        m_selectedFrame = frames.size() - 1;
        if (m_selectedFrame >= 0)
            frames[m_selectedFrame]->selected = true;
    }
}

bool AnimationEditor::previousFrame()
{
    if (m_selectedFrame >= 1) {
        --m_selectedFrame;
        return true;
    }
    if (m_selectedFrame < 0) {
        m_selectedFrame = track().frames.size() - 1;
        return true;
    }
    return false;
}

bool AnimationEditor::nextFrame()
{
    if (m_selectedFrame + 1 < track().frames.size()) {
        ++m_selectedFrame;
        return true;
    }
    return false;
}

FramePtr AnimationEditor::animationFrame()
{
    const auto &frames = track().frames;
    if (m_selectedFrame >= 0 && m_selectedFrame < frames.size())
        return frames[m_selectedFrame];
    return nullptr;
}

void AnimationEditor::setAnimationFrame(FramePtr frame)
{
    auto &frames = track().frames;
    if (m_selectedFrame >= 0 && m_selectedFrame < frames.size())
        frames[m_selectedFrame] = std::move(frame);
}

} // namespace lumora
