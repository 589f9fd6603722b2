#include "FramePlayer.h"

#include "document/DocumentModel.h"

#include <cmath>

namespace lumora {

FramePlayer::FramePlayer(DocumentModel *model, QObject *parent)
    : QObject(parent), m_model(model)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    setFrameDuration(200);
    connect(&m_timer, &QTimer::timeout, this, &FramePlayer::step);
}

void FramePlayer::setFrameDuration(int milliseconds)
{
    m_timer.setInterval(std::max(1, milliseconds));
}

bool FramePlayer::setPlaying(bool playing)
{
    if (playing == isPlaying())
        return true;
    if (!playing) {
        m_timer.stop();
        emit playingChanged(false);
        return true;
    }
    if (m_model->frames().isEmpty())
        return false;
    m_model->setCurrentFrame(std::max<qint64>(m_model->currentFrame(), 0));
    m_timer.start();
    emit playingChanged(true);
    return true;
}

void FramePlayer::step()
{
    const qsizetype count = m_model->frames().size();
    if (count == 0) {
        setPlaying(false);
        return;
    }
    m_model->setCurrentFrame((m_model->currentFrame() + 1) % count);
}

} // namespace lumora
