// The window's side of the live output: Frame ▸ Play, the Output menu (Settings…, Send to
// LEDs) and the indicator in the status bar.
#include "DocumentWindow.h"

#include "Document.h"
#include "FramePlayer.h"
#include "LiveOutput.h"
#include "OutputDialog.h"

#include "editor/View.h"

#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>

namespace lumora {

void DocumentWindow::buildLiveOutput(QMenu *frameMenu)
{
    m_live = new LiveOutput(m_view->model(), m_document->fileName(), this);
    // The output sends the frames the preview's colour source gave, or the marking.
    m_live->setShowingColors(m_view->showsColors());
    connect(m_view, &View::ticked, m_live, [this] { m_live->showFrame(m_view->ledBytes()); });
    connect(m_view, &View::toolbarItemSelected, m_live, [this](const QString &identifier) {
        m_live->setShowingColors(identifier == "Preview" || identifier == "Colors");
    });
    m_player = new FramePlayer(m_view->model(), this);
    m_player->setFrameDuration(m_live->settings().frameDuration);
    connect(m_live, &LiveOutput::settingsChanged, m_player,
            [this] { m_player->setFrameDuration(m_live->settings().frameDuration); });
    // The window is made before an opened document has its path.
    connect(m_document, &Document::titleChanged, m_live, [this] { m_live->setDocumentPath(m_document->fileName()); });

    frameMenu->addSeparator();
    QAction *play = addAction(frameMenu, tr("&Play"), QKeySequence(tr("Ctrl+Shift+P")), [] {});
    play->setObjectName("playFrames");
    play->setCheckable(true);
    play->setToolTip(tr("Show the frames one after another, each for the frame duration (Escape stops)"));
    connect(play, &QAction::triggered, this, [this, play](bool on) {
        if (!m_player->setPlaying(on)) {
            play->setChecked(false);
            showStatus(tr("There are no frames to play."));
        }
    });
    auto *stop = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    stop->setEnabled(false);
    connect(stop, &QShortcut::activated, m_player, [this] { m_player->setPlaying(false); });
    connect(m_player, &FramePlayer::playingChanged, this, [play, stop](bool playing) {
        play->setChecked(playing);
        stop->setEnabled(playing);
    });

    addAction(frameMenu, tr("Frame &Duration…"), {}, [this] {
        bool ok = false;
        const int duration = QInputDialog::getInt(this, tr("Frame Duration"), tr("Each frame shows for (ms):"),
                                                  m_live->settings().frameDuration, 10, 60000, 10, &ok);
        if (!ok)
            return;
        OutputSettings settings = m_live->settings();
        settings.frameDuration = duration;
        m_live->setSettings(settings);
        showStatus(tr("Play shows each frame for %1 ms.").arg(duration));
    })->setObjectName("frameDuration");

    QMenu *output = menuBar()->addMenu(tr("&Output"));
    addAction(output, tr("&Settings…"), {}, [this] { editOutputSettings(); })->setObjectName("outputSettings");
    QAction *send = addAction(output, tr("Send to &LEDs"), QKeySequence(tr("Ctrl+Shift+D")), [] {});
    send->setObjectName("sendToLeds");
    send->setCheckable(true);
    send->setToolTip(tr("Stream what the LEDs show to the controller in the output settings"));
    connect(send, &QAction::toggled, m_live, &LiveOutput::setSending);
    connect(m_live, &LiveOutput::sendingChanged, send, &QAction::setChecked);

    auto *indicator = new QLabel(this);
    indicator->setObjectName("liveOutputIndicator");
    indicator->setToolTip(tr("Estimated current of the LEDs (20 mA per channel at full, 1 mA per LED idle)"));
    indicator->hide();
    statusBar()->addPermanentWidget(indicator);
    connect(m_live, &LiveOutput::indicatorChanged, indicator, [indicator](const QString &text) {
        indicator->setText(text);
        indicator->setVisible(!text.isEmpty());
    });
    connect(m_live, &LiveOutput::errorOccurred, this, [this](const QString &message) {
        showStatus(tr("Send to LEDs: %1").arg(message));
    });
}

void DocumentWindow::editOutputSettings()
{
    OutputDialog dialog(this);
    dialog.setSettings(m_live->settings());
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_live->setSettings(dialog.settings());
}

} // namespace lumora
