// lumora-cli play: runs a pattern or the frame animation on real LEDs, headless.
#include "Commands.h"

#include "colors/FramesColorSource.h"
#include "colors/PatternColorSource.h"
#include "colors/PreviewClock.h"
#include "colors/UserPatternColorSource.h"
#include "exports/Exporter.h"
#include "output/LedSender.h"
#include "output/OutputTarget.h"
#include "patterns/framework/ColorPattern.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <csignal>
#include <cmath>
#include <cstdio>
#include <functional>

namespace lumora::cli {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int)
{
    stopRequested = 1;
}

/// Reads a number option in [low, high]; false after a message.
bool readNumber(const QCommandLineParser &parser, const QCommandLineOption &option, double low, double high,
                double &value)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const double read = parser.value(option).toDouble(&ok);
    if (!ok || !(read >= low && read <= high)) {
        fail(QString("--%1 must be a number from %2 to %3, not '%4'")
                 .arg(option.names().first()).arg(low).arg(high).arg(parser.value(option)));
        return false;
    }
    value = read;
    return true;
}

/// Each frame of track 0 as LED bytes, as the animation export colours it.
QList<QByteArray> animationFrames(const FrameContext &layout)
{
    QList<QByteArray> frames;
    FramesColorSource source;
    FrameContext context = layout;
    for (qsizetype i = 0; i < FramesColorSource::frameCount(layout); ++i) {
        context.frame = i;
        frames.append(source.bytes(context));
    }
    return frames;
}

} // namespace

int runPlay(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(wrapped(
        "Sends a pattern (or, with --frames, the frame animation of track 0) to LED controllers until "
        "stopped by SIGINT or SIGTERM, or for --count frames or --seconds; then sends black once unless "
        "--keep. Targets: " + targetForms(true).join(", ") + "."));
    parser.addPositionalArgument("DOC", "The document whose LEDs to drive.");
    QCommandLineOption to("to", "Where to send the frames (required).", "URL");
    QCommandLineOption patternOption("pattern", "The pattern to play (default: the first by name).", "NAME");
    QCommandLineOption patternFile("pattern-file", "Play the pattern written in FILE.js.", "FILE.js");
    QCommandLineOption frames({"frames", "animation"}, "Play the frame animation of track 0 instead of a pattern.");
    QCommandLineOption fps("fps", "Frames per second, 1 to 240 (default 30).", "F");
    QCommandLineOption seconds("seconds", "Stop after this many seconds of frames.", "S");
    QCommandLineOption count("count", "Stop after N frames.", "N");
    QCommandLineOption brightness("brightness", "Brightness in percent, 0 to 100 (default 100).", "P");
    QCommandLineOption gamma("gamma", "Gamma, 1.0 to 3.0 (default 1).", "G");
    QCommandLineOption order("order", "The controller's colour order: RGB, GRB, BRG, RBG, GBR or BGR.", "ORDER");
    QCommandLineOption limit("limit-ma", "Scale frames down to draw at most M mA (20 mA per channel at full, "
                                         "1 mA per LED idle); 0: no limit.", "M");
    QCommandLineOption timeBase("time-base", "preview (the editor's clock, default) or export (frame i at "
                                             "T = 0.2 i, like the rows of the pattern PPM).", "BASE");
    QCommandLineOption keep("keep", "Leave the last frame on the LEDs instead of sending black.");
    parser.addOptions({to, patternOption, patternFile, frames, fps, seconds, count, brightness, gamma, order, limit, timeBase, keep});
    if (!parse(parser, arguments, 1))
        return 2;

    OutputSettings settings;
    QString error;
    if (!parser.isSet(to)) {
        fail("play needs --to URL; see --help");
        return 2;
    }
    if (!parseOutputTarget(parser.value(to), settings, &error)) {
        fail(error);
        return 2;
    }
    double rate = settings.framesPerSecond, level = 100, frameCount = -1, duration = -1;
    if (!readNumber(parser, fps, 1, 240, rate) || !readNumber(parser, brightness, 0, 100, level)
        || !readNumber(parser, gamma, 1, 3, settings.gamma) || !readNumber(parser, limit, 0, 1e9, settings.limitMilliamps)
        || !readNumber(parser, count, 0, 1e12, frameCount) || !readNumber(parser, seconds, 0, 1e9, duration))
        return 2;
    settings.framesPerSecond = rate;
    settings.brightness = int(std::lround(level));
    if (parser.isSet(order)) {
        const auto parsed = colorOrderFromName(parser.value(order));
        if (!parsed) {
            fail(QString("--order must be RGB, GRB, BRG, RBG, GBR or BGR, not '%1'").arg(parser.value(order)));
            return 2;
        }
        settings.order = *parsed;
    }
    const QString base = parser.value(timeBase);
    if (!base.isEmpty() && base != "preview" && base != "export") {
        fail(QString("--time-base must be preview or export, not '%1'").arg(base));
        return 2;
    }
    const bool exportTime = base == "export";
    // The frames to send: --count and --seconds both bound them, the smaller wins.
    qint64 total = frameCount >= 0 ? qint64(frameCount) : -1;
    if (duration >= 0) {
        const qint64 bySeconds = qint64(std::ceil(duration * rate));
        total = total < 0 ? bySeconds : std::min(total, bySeconds);
    }

    if (bothPatternOptions(parser))
        return 2;
    const ColorPattern *pattern = nullptr;
    std::optional<UserPattern> userPattern;
    if (!parser.isSet(frames)) {
        int status = 0;
        if (parser.isSet(patternFile)) {
            if (!(userPattern = loadPatternFile(parser.value(patternFile), &status)))
                return status;
        } else if (!(pattern = findPattern(parser.value(patternOption), &status))) {
            return status;
        }
    }
    const QString fileName = parser.positionalArguments()[0];
    const std::optional<LayoutSnapshot> loaded = loadLayout(fileName);
    if (!loaded)
        return 1;
    const LayoutSnapshot &layout = *loaded;
    const QList<QPointF> points = layout.points();
    if (const QString problem = settings.problem(points.size()); !problem.isEmpty()) {
        fail(problem);
        return 2;
    }

    const double idle = points.size() * settings.power.idleMilliampsPerLed;
    if (settings.limitMilliamps > 0 && settings.limitMilliamps <= idle)
        std::fprintf(stderr, "lumora-cli: warning: %g mA is no more than the %g mA the %lld LEDs draw when dark; "
                             "they stay dark\n", settings.limitMilliamps, idle, (long long)points.size());

    // The frames come from a colour source over the layout, at the preview's clock or, with
    // --time-base export, at the pattern PPM's row times.
    const FrameContext layoutContext = FrameContext::fromSnapshot(layout);
    const PreviewClock previewClock;
    std::function<QByteArray(qint64)> frameAt;
    std::unique_ptr<ColorSource> source;
    UserPatternColorSource *userSource = nullptr;
    bool reportedError = false;
    QElapsedTimer clock;
    if (userPattern) {
        // A user pattern keeps state: its frames come in order, each after the time since
        // the last (or 200 ms, as in the export).
        auto owned = std::make_unique<UserPatternColorSource>(*userPattern);
        userSource = owned.get();
        source = std::move(owned);
        frameAt = [&](qint64 i) {
            FrameContext context = layoutContext;
            context.frame = i;
            context.deltaMs = 200;
            if (!exportTime) {
                context.deltaMs = clock.isValid() ? double(clock.nsecsElapsed()) / 1e6 : 0;
                clock.start();
            } else if (i == 0) {
                context.deltaMs = 0;
            }
            QByteArray frame = source->bytes(context);
            if (const QString error = userSource->error(); !error.isEmpty() && !reportedError) {
                reportedError = true;
                std::fprintf(stderr, "%s\n", qPrintable(error));
            }
            return frame;
        };
    } else if (pattern) {
        source = std::make_unique<PatternColorSource>(*pattern);
        frameAt = [&](qint64 i) {
            FrameContext context = layoutContext;
            context.frame = i;
            context.time = exportTime ? 0.2 * i : previewClock.time();
            return source->bytes(context);
        };
    } else {
        const QList<QByteArray> animation = animationFrames(layoutContext);
        if (animation.isEmpty()) {
            fail(QString("%1 has no frames in track 0 to play").arg(fileName));
            return 1;
        }
        frameAt = [animation](qint64 i) { return animation[i % animation.size()]; };
    }

    LedSender sender;
    int status = 0;
    qint64 next = 0;
    bool finished = false;
    QString lastProblem;
    auto finish = [&](int exitStatus) {
        if (finished)
            return;
        finished = true;
        status = exitStatus;
        sender.stop();
        const quint64 sent = sender.framesSent(), packets = sender.packetsSent();
        // Frames were due but none went out: that is a failure, whatever stopped the play.
        if (status == 0 && sent == 0 && next > 0) {
            status = 1;
            fail(QString("no frame could be sent to %1: %2")
                     .arg(outputTarget(sender.settings()),
                          lastProblem.isEmpty() ? QString("every send failed") : lastProblem));
        }
        const bool blank = !parser.isSet(keep) && sender.isReady();
        if (blank)
            sender.sendFrame(QByteArray(3 * points.size(), '\0'));
        std::printf("sent %llu frame%s in %llu packets to %s%s\n", (unsigned long long)sent, sent == 1 ? "" : "s",
                    (unsigned long long)packets, qPrintable(outputTarget(sender.settings())),
                    blank ? ", then black" : "");
        QCoreApplication::exit(status);
    };
    QObject::connect(&sender, &LedSender::errorOccurred, [&](const QString &message) {
        lastProblem = message;
        // Without a destination there is nothing to do; a failed write is worth a line only.
        if (!sender.isReady()) {
            fail(message);
            finish(1);
        } else {
            std::fprintf(stderr, "lumora-cli: warning: %s\n", qPrintable(message));
        }
    });
    QObject::connect(&sender, &LedSender::ready, [&] {
        if (total == 0) {
            finish(0);
            return;
        }
        sender.start([&] {
            const QByteArray frame = frameAt(next++);
            // Finish once this last frame has gone out, whether or not it could be written.
            if (total >= 0 && next >= total)
                QMetaObject::invokeMethod(&sender, [&] { finish(0); }, Qt::QueuedConnection);
            return frame;
        });
    });

    stopRequested = 0;
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    QTimer stopWatch;
    QObject::connect(&stopWatch, &QTimer::timeout, [&] {
        if (stopRequested)
            finish(0);
        else if (reportedError)
            finish(1); // the pattern stopped on an error, said above
    });
    stopWatch.start(50);

    // Once the loop runs, so that an early error can end it.
    QTimer::singleShot(0, &sender, [&] { sender.setSettings(settings); });
    QCoreApplication::exec();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return status;
}

} // namespace lumora::cli
