#pragma once

#include <QObject>
#include <QTimer>

namespace lumora {

class DocumentModel;

/// Frame ▸ Play: shows the current track's frames one after another, round and round, each
/// for the document's frame duration. Showing a frame is not an edit, so playing registers no undo.
class FramePlayer : public QObject {
    Q_OBJECT
public:
    explicit FramePlayer(DocumentModel *model, QObject *parent = nullptr);

    bool isPlaying() const { return m_timer.isActive(); }
    /// Starts (from the current frame, or the first) or stops; false when there is nothing
    /// to play.
    bool setPlaying(bool playing);
    /// How long each frame shows, in ms.
    void setFrameDuration(int milliseconds);
    int frameDuration() const { return m_timer.interval(); }

signals:
    void playingChanged(bool playing);

private:
    void step();

    DocumentModel *m_model;
    QTimer m_timer;
};

} // namespace lumora
