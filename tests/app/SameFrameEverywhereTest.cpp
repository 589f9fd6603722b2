// One frame of a pattern, three ways out: the editor's preview, Send to LEDs, and
// `lumora-cli play --time-base export` (and the pattern PPM's row) give the same bytes.
#include "../output/OutputTestSupport.h"
#include "../cli/CliTestSupport.h"

#include "app/Document.h"
#include "app/DocumentWindow.h"
#include "app/LiveOutput.h"
#include "editor/View.h"
#include "patterns/catalogue/Catalogue.h"
#include "patterns/framework/ColorPattern.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace lumora;

namespace {

constexpr int frameIndex = 7;

const ColorPattern *pattern(const char *name)
{
    static const PatternRegistry patterns = builtInPatterns();
    return patterns.named(name);
}

/// Row `row` of the pattern PPM `lumora-cli export` writes for the document.
QByteArray ppmRow(const QString &doc, const QString &pattern, const QString &folder, int row)
{
    const CliRun run = runCli({"export", doc, "--pattern", pattern, "--frames", QString::number(row + 1),
                               "--output-dir", folder});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    QFile file(folder + "/" + pattern + ".ppm");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    file.readLine();
    const int leds = file.readLine().split(' ').value(0).toInt();
    file.readLine();
    file.skip(qint64(3) * leds * row);
    return file.read(3 * leds);
}

} // namespace

TEST(SameFrame, PreviewSendToLedsPlayAndTheExportAgreeToTheByte)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath("heart.lumora");
    ASSERT_TRUE(QFile::copy(LUMORA_TEST_DATA "/../../examples/heart.lumora", doc));
    ASSERT_TRUE(QFile::copy(LUMORA_TEST_DATA "/../../examples/heart.png", dir.filePath("heart.png")));
    QFile::setPermissions(doc, QFile::ReadOwner | QFile::WriteOwner);
    QString error;
    std::unique_ptr<Document> document(Document::open(doc, &error));
    ASSERT_NE(document, nullptr) << error.toStdString();
    document->showWindow();
    View *view = document->view();
    LiveOutput *live = document->window()->liveOutput();
    // The Image pattern samples the background, which decodes off the window's thread.
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->model()->background() && view->model()->background()->isDecoded(); }, 10000));

    LoopbackReceiver controller;
    OutputSettings settings;
    settings.protocol = OutputProtocol::Ddp;
    settings.host = "127.0.0.1";
    settings.port = controller.port();
    settings.universe = describe(OutputProtocol::Ddp).firstUniverse;
    live->setSettings(settings);

    for (const char *name : {"Image", "Floating", "Rings"}) {
        SCOPED_TRACE(name);
        const ColorPattern *shown = pattern(name);
        ASSERT_NE(shown, nullptr);
        view->setPatternSource([shown] { return shown; });
        // The preview's clock held at the export's frame time: every tick shows that frame.
        view->clock().setFixedTime(0.2 * frameIndex);
        view->setMode("Preview");
        ASSERT_EQ(view->mode(), "Preview");
        view->tick();
        const QByteArray editor = view->ledBytes();
        ASSERT_EQ(editor.size(), 3 * view->model()->ledCount());
        ASSERT_NE(editor, QByteArray(editor.size(), '\0')) << "a frame with some light in it";

        live->setSending(true);
        bool sent = false;
        for (int tries = 0; tries < 100 && !sent; ++tries)
            for (const QByteArray &datagram : controller.receive(1))
                sent = sent || datagram.mid(10) == editor;
        EXPECT_TRUE(sent) << "Send to LEDs sends the frame on screen";
        live->setSending(false);
        // The document file does not say which picture is the background: from the file
        // alone the Image pattern samples none.
        if (std::string(name) == "Image")
            continue;

        LoopbackReceiver played;
        const CliRun run = runCli({"play", doc, "--to", QString("ddp://127.0.0.1:%1").arg(played.port()), "--pattern",
                                   name, "--time-base", "export", "--count", QString::number(frameIndex + 1), "--keep"});
        ASSERT_EQ(run.exitCode, 0) << run.err.constData();
        const QList<QByteArray> frames = framesOf(played.receive(frameIndex + 1), OutputProtocol::Ddp, 0, editor.size());
        ASSERT_EQ(frames.size(), frameIndex + 1);
        EXPECT_EQ(frames[frameIndex], editor) << "lumora-cli play";

        QTemporaryDir out;
        EXPECT_EQ(ppmRow(doc, name, out.path(), frameIndex), editor) << "the pattern PPM";
    }
}
