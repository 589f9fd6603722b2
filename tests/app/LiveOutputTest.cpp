// Send to LEDs, the output settings and Frame ▸ Play in a real window, with a receiver on
// the loopback interface standing in for the controller.
#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "app/FramePlayer.h"
#include "app/LiveOutput.h"
#include "app/OutputDialog.h"
#include "document/DocumentModel.h"
#include "document/UndoManager.h"
#include "editor/View.h"
#include "patterns/catalogue/Catalogue.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QNetworkDatagram>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <functional>
#include <memory>

#include "app/PatternEditorDock.h"
#include "editor/pattern/PatternEditorPanel.h"

#include <gtest/gtest.h>

using namespace lumora;

namespace {

bool waitFor(const std::function<bool()> &condition)
{
    for (int waited = 0; waited < 5000; waited += 20) {
        if (condition())
            return true;
        QTest::qWait(20);
    }
    return condition();
}

/// Two LEDs on a grid with two frames (LED 0 marked, then LED 1), open in a window.
struct TwoLeds {
    QTemporaryDir folder;
    QString fileName = folder.filePath("two.lumora");
    std::unique_ptr<Document> document;

    TwoLeds()
    {
        QFile::copy(QStringLiteral(LUMORA_TEST_DATA "/documents/two-leds-grid-image-track.lumora"), fileName);
        QFile::setPermissions(fileName, QFile::ReadOwner | QFile::WriteOwner);
        open();
    }
    void open()
    {
        QString error;
        document.reset();
        document.reset(Document::open(fileName, &error));
        ASSERT_NE(document, nullptr) << error.toStdString();
        document->showWindow();
    }
    DocumentWindow *window() const { return document->window(); }
    View *view() const { return document->view(); }
    LiveOutput *live() const { return window()->liveOutput(); }
};

/// A controller on 127.0.0.1 that keeps what it receives.
struct Receiver {
    QUdpSocket socket;
    QList<QByteArray> datagrams;

    Receiver()
    {
        EXPECT_TRUE(socket.bind(QHostAddress::LocalHost, 0));
        QObject::connect(&socket, &QUdpSocket::readyRead, &socket, [this] {
            while (socket.hasPendingDatagrams())
                datagrams.append(socket.receiveDatagram().data());
        });
    }
    OutputSettings target(OutputProtocol protocol) const
    {
        OutputSettings settings;
        settings.protocol = protocol;
        settings.host = "127.0.0.1";
        settings.port = socket.localPort();
        settings.universe = describe(protocol).firstUniverse;
        return settings;
    }
    /// Waits for a datagram whose LED data (after the header) satisfies the condition.
    bool received(int header, const std::function<bool(const QByteArray &)> &condition)
    {
        qsizetype seen = 0;
        return waitFor([&] {
            for (; seen < datagrams.size(); ++seen)
                if (condition(datagrams[seen].mid(header)))
                    return true;
            return false;
        });
    }
};

const ColorPattern *anyPattern()
{
    static const PatternRegistry patterns = builtInPatterns();
    return patterns.at(0);
}

} // namespace

TEST(LiveOutput, previewSendsTheColoursOnScreen)
{
    TwoLeds layout;
    Receiver receiver;
    layout.view()->setPatternSource(anyPattern);
    layout.live()->setSettings(receiver.target(OutputProtocol::Ddp));

    // Each frame of the preview, as the LEDs on screen show it right after the tick.
    QList<QByteArray> shown;
    QObject::connect(layout.view(), &View::ticked, layout.view(), [&] { shown.append(layout.view()->ledBytes()); });
    layout.view()->setMode("Preview");
    ASSERT_EQ(layout.view()->mode(), "Preview");
    layout.window()->findChild<QAction *>("sendToLeds")->trigger();
    ASSERT_TRUE(layout.live()->isSending());

    // The bytes sent are those colours, to the byte.
    EXPECT_TRUE(receiver.received(10, [&](const QByteArray &data) { return shown.contains(data); }));
    EXPECT_GT(layout.live()->sender().framesSent(), 0u);

    // Previewing shows the estimate in the status bar, sending or not.
    layout.live()->setSending(false);
    EXPECT_FALSE(layout.window()->findChild<QAction *>("sendToLeds")->isChecked());
    EXPECT_TRUE(waitFor([&] { return layout.live()->indicatorText().contains("peak"); }));
}

TEST(LiveOutput, editingModesSendTheMarkedLedsRed)
{
    TwoLeds layout;
    Receiver receiver;
    layout.live()->setSettings(receiver.target(OutputProtocol::E131));
    layout.view()->setMode("Select");
    layout.live()->setSending(true);

    const QByteArray none("\0\0\0\0\0\0", 6);
    EXPECT_TRUE(receiver.received(126, [&](const QByteArray &data) { return data == none; }));

    layout.view()->model()->markLed(layout.view()->model()->leds()[1]);
    const QByteArray second("\0\0\0\xff\0\0", 6);
    EXPECT_TRUE(receiver.received(126, [&](const QByteArray &data) { return data == second; }));

    // An unreachable destination is reported, not fatal.
    QString error;
    QObject::connect(layout.live(), &LiveOutput::errorOccurred, [&](const QString &message) { error = message; });
    OutputSettings nowhere = receiver.target(OutputProtocol::Ddp);
    nowhere.host = "no-such-host.invalid";
    layout.live()->setSettings(nowhere);
    EXPECT_TRUE(waitFor([&] { return !error.isEmpty(); }));
    EXPECT_TRUE(layout.live()->isSending());
}

TEST(LiveOutput, settingsDialogRoundTripsAndSettingsStayWithTheDocument)
{
    OutputSettings settings;
    settings.protocol = OutputProtocol::ArtNet;
    settings.host = "10.0.0.7";
    settings.port = 6455;
    settings.universe = 12;
    settings.order = ColorOrder::GRB;
    settings.brightness = 40;
    settings.gamma = 2.2;
    settings.limitMilliamps = 4000;
    settings.framesPerSecond = 25;
    settings.power.milliampsPerChannel = 12;

    OutputDialog dialog;
    dialog.setSettings(settings);
    EXPECT_EQ(dialog.settings(), settings);
    OutputSettings ddp;
    ddp.offset = 1500;
    dialog.setSettings(ddp);
    EXPECT_EQ(dialog.settings(), ddp);
    dialog.setSettings(settings);

    // Entering values through the widgets.
    dialog.findChild<QComboBox *>("protocol")->setCurrentIndex(0);
    dialog.findChild<QSpinBox *>("offset")->setValue(300);
    dialog.findChild<QLineEdit *>("host")->setText(" 127.0.0.1 ");
    const OutputSettings entered = dialog.settings();
    EXPECT_EQ(entered.protocol, OutputProtocol::Ddp);
    EXPECT_EQ(entered.offset, 300u);
    EXPECT_EQ(entered.host, "127.0.0.1");
    EXPECT_EQ(entered.power, settings.power);

    TwoLeds layout;
    layout.live()->setSettings(entered);
    layout.open();
    EXPECT_EQ(layout.live()->settings(), entered);

    // Settings chosen for an untitled document go with it when it is saved.
    LiveOutput untitled(layout.view()->model());
    untitled.setSettings(settings);
    const QString savedAs = layout.folder.filePath("saved-as.lumora");
    untitled.setDocumentPath(savedAs);
    EXPECT_EQ(OutputSettings::load(savedAs), settings);
}

TEST(LiveOutput, playShowsTheFramesWithoutUndoStepsUntilEscape)
{
    TwoLeds layout;
    DocumentModel *model = layout.view()->model();
    ASSERT_EQ(model->frames().size(), 2);
    UndoManager *undo = layout.view()->model()->undoManager();
    const int steps = undo->stack()->count();

    QList<qint64> shown;
    QObject::connect(model, &DocumentModel::currentFrameChanged, model, [&] { shown.append(model->currentFrame()); });
    QAction *play = layout.window()->findChild<QAction *>("playFrames");
    play->trigger();
    ASSERT_TRUE(layout.window()->framePlayer()->isPlaying());
    EXPECT_TRUE(waitFor([&] { return shown.count(0) >= 2 && shown.count(1) >= 2; }));
    EXPECT_EQ(undo->stack()->count(), steps);
    EXPECT_FALSE(layout.document->isModified());

    QTest::keyClick(layout.window(), Qt::Key_Escape);
    EXPECT_FALSE(layout.window()->framePlayer()->isPlaying());
    EXPECT_FALSE(play->isChecked());
}

// Frame ▸ Play steps the current frame; what goes to the LEDs is each frame's marking, as the
// editing modes send it, one frame after the other.
TEST(LiveOutput, playSendsEachFrameInTurn)
{
    TwoLeds layout;
    Receiver receiver;
    layout.live()->setSettings(receiver.target(OutputProtocol::Ddp));
    layout.view()->setMode("Select");
    layout.live()->setSending(true);
    layout.window()->findChild<QAction *>("playFrames")->trigger();

    const QByteArray first("\xff\0\0\0\0\0", 6), second("\0\0\0\xff\0\0", 6);
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(receiver.received(10, [&](const QByteArray &data) { return data == first; })) << round;
        EXPECT_TRUE(receiver.received(10, [&](const QByteArray &data) { return data == second; })) << round;
    }
    QTest::keyClick(layout.window(), Qt::Key_Escape);
}

TEST(LiveOutput, playShowsEachFrameForTheDocumentsFrameDuration)
{
    TwoLeds layout;
    FramePlayer *player = layout.window()->framePlayer();
    EXPECT_EQ(player->frameDuration(), 200) << "the default, not the output rate";

    OutputSettings settings = layout.live()->settings();
    settings.frameDuration = 450;
    settings.framesPerSecond = 60;
    layout.live()->setSettings(settings);
    EXPECT_EQ(player->frameDuration(), 450);

    // Kept with the document's output settings.
    layout.open();
    EXPECT_EQ(layout.window()->framePlayer()->frameDuration(), 450);

    // Settings kept before frame durations existed read as the default.
    QTemporaryDir dir;
    QSettings old(dir.filePath("old.ini"), QSettings::IniFormat);
    settings.save(old, layout.fileName);
    for (const QString &key : old.allKeys())
        if (key.endsWith("frameDuration") || key.endsWith("keepLastFrameLit"))
            old.remove(key);
    const OutputSettings read = OutputSettings::load(old, layout.fileName);
    EXPECT_EQ(read.frameDuration, 200);
    EXPECT_FALSE(read.keepLastFrameLit);
    EXPECT_EQ(read.framesPerSecond, 60);
}

TEST(LiveOutput, switchingOffSendsBlackOnceUnlessTheLastFrameStaysLit)
{
    TwoLeds layout;
    Receiver receiver;
    layout.live()->setSettings(receiver.target(OutputProtocol::Ddp));
    layout.view()->setMode("Select");
    layout.view()->model()->markLed(layout.view()->model()->leds()[0]);
    const QByteArray red("\xff\0\0\0\0\0", 6), black(6, '\0');
    layout.live()->setSending(true);
    ASSERT_TRUE(receiver.received(10, [&](const QByteArray &data) { return data == red; }));
    const qsizetype before = receiver.datagrams.size();
    layout.live()->setSending(false);
    EXPECT_TRUE(receiver.received(10, [&](const QByteArray &data) { return data == black; }));
    QTest::qWait(200);
    int blacks = 0;
    for (const QByteArray &datagram : receiver.datagrams.mid(before))
        blacks += datagram.mid(10) == black;
    EXPECT_EQ(blacks, 1);
    receiver.datagrams.clear();

    OutputSettings keep = receiver.target(OutputProtocol::Ddp);
    keep.keepLastFrameLit = true;
    layout.live()->setSettings(keep);
    layout.live()->setSending(true);
    ASSERT_TRUE(receiver.received(10, [&](const QByteArray &data) { return data == red; }));
    layout.live()->setSending(false);
    QTest::qWait(200);
    for (const QByteArray &datagram : receiver.datagrams)
        EXPECT_NE(datagram.mid(10), black);
}

TEST(LiveOutput, aPatternBeingWrittenIsWhatIsSent)
{
    TwoLeds layout;
    Receiver receiver;
    layout.live()->setSettings(receiver.target(OutputProtocol::Ddp));
    PatternEditorPanel *panel = layout.window()->patternEditor()->panel();
    layout.window()->patternEditor()->newPattern();
    panel->editor()->setPlainText("export function render(index) { rgb(index, 1 - index, 0.5) }");
    panel->compileNow();
    ASSERT_EQ(layout.view()->mode(), "Preview");
    layout.window()->findChild<QAction *>("sendToLeds")->trigger();
    ASSERT_TRUE(layout.live()->isSending());
    const QByteArray expected("\x00\xff\x7f\xff\x00\x7f", 6);
    EXPECT_TRUE(receiver.received(10, [&](const QByteArray &data) { return data == expected; }));
}
