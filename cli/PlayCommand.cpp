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
#include <memory>
#include <optional>

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

/// play's command line: its options, declared once for --help and for reading.
struct PlayCommandLine {
    PlayCommandLine();

    QCommandLineParser parser;
    QCommandLineOption to{"to", "Where to send the frames (required).", "URL"};
    QCommandLineOption patternOption{"pattern", "The pattern to play (default: the first by name).", "NAME"};
    QCommandLineOption patternFile{"pattern-file", "Play the pattern written in FILE.js.", "FILE.js"};
    QCommandLineOption frames{QStringList{"frames", "animation"},
                              "Play the frame animation of track 0 instead of a pattern."};
    QCommandLineOption fps{"fps", "Frames per second, 1 to 240 (default 30).", "F"};
    QCommandLineOption seconds{"seconds", "Stop after this many seconds of frames.", "S"};
    QCommandLineOption count{"count", "Stop after N frames.", "N"};
    QCommandLineOption brightness{"brightness", "Brightness in percent, 0 to 100 (default 100).", "P"};
    QCommandLineOption gamma{"gamma", "Gamma, 1.0 to 3.0 (default 1).", "G"};
    QCommandLineOption order{"order", "The controller's colour order: RGB, GRB, BRG, RBG, GBR or BGR.", "ORDER"};
    QCommandLineOption limit{"limit-ma", "Scale frames down to draw at most M mA (20 mA per channel at full, "
                                         "1 mA per LED idle); 0: no limit.", "M"};
    QCommandLineOption timeBase{"time-base", "preview (the editor's clock, default) or export (frame i at "
                                             "T = 0.2 i, like the rows of the pattern PPM).", "BASE"};
    QCommandLineOption keep{"keep", "Leave the last frame on the LEDs instead of sending black."};
};

PlayCommandLine::PlayCommandLine()
{
    parser.setApplicationDescription(wrapped(
        "Sends a pattern (or, with --frames, the frame animation of track 0) to LED controllers until "
        "stopped by SIGINT or SIGTERM, or for --count frames or --seconds; then sends black once unless "
        "--keep. Targets: " + targetForms(true).join(", ") + "."));
    parser.addPositionalArgument("DOC", "The document whose LEDs to drive.");
    parser.addOptions({to, patternOption, patternFile, frames, fps, seconds, count, brightness, gamma, order, limit,
                       timeBase, keep});
}

/// What the options ask of the sending.
struct PlayOptions {
    OutputSettings settings;
    qint64 total = -1; // frames to send; negative: until stopped
    bool exportTime = false;
    bool keep = false;
};

/// Reads --order into the settings; false after a message.
bool readOrder(const QCommandLineParser &parser, const QCommandLineOption &order, OutputSettings &settings)
{
    if (!parser.isSet(order))
        return true;
    const auto parsed = colorOrderFromName(parser.value(order));
    if (!parsed) {
        fail(QString("--order must be RGB, GRB, BRG, RBG, GBR or BGR, not '%1'").arg(parser.value(order)));
        return false;
    }
    settings.order = *parsed;
    return true;
}

/// The frames to send: --count and --seconds both bound them, the smaller wins.
qint64 framesToSend(double frameCount, double duration, double rate)
{
    qint64 total = frameCount >= 0 ? qint64(frameCount) : -1;
    if (duration >= 0) {
        const qint64 bySeconds = qint64(std::ceil(duration * rate));
        total = total < 0 ? bySeconds : std::min(total, bySeconds);
    }
    return total;
}

/// The options, checked; none after a message (bad usage).
std::optional<PlayOptions> readPlayOptions(const PlayCommandLine &line)
{
    const QCommandLineParser &parser = line.parser;
    PlayOptions options;
    OutputSettings &settings = options.settings;
    QString error;
    if (!parser.isSet(line.to)) {
        fail("play needs --to URL; see --help");
        return std::nullopt;
    }
    if (!parseOutputTarget(parser.value(line.to), settings, &error)) {
        fail(error);
        return std::nullopt;
    }
    double rate = settings.framesPerSecond, level = 100, frameCount = -1, duration = -1;
    if (!readNumber(parser, line.fps, 1, 240, rate) || !readNumber(parser, line.brightness, 0, 100, level)
        || !readNumber(parser, line.gamma, 1, 3, settings.gamma)
        || !readNumber(parser, line.limit, 0, 1e9, settings.limitMilliamps)
        || !readNumber(parser, line.count, 0, 1e12, frameCount) || !readNumber(parser, line.seconds, 0, 1e9, duration))
        return std::nullopt;
    settings.framesPerSecond = rate;
    settings.brightness = int(std::lround(level));
    if (!readOrder(parser, line.order, settings))
        return std::nullopt;
    const QString base = parser.value(line.timeBase);
    if (!base.isEmpty() && base != "preview" && base != "export") {
        fail(QString("--time-base must be preview or export, not '%1'").arg(base));
        return std::nullopt;
    }
    options.exportTime = base == "export";
    options.total = framesToSend(frameCount, duration, rate);
    options.keep = parser.isSet(line.keep);
    return options;
}

/// What colours the LEDs: a built-in pattern, a user pattern or, with neither, the frames.
struct PlayPattern {
    const ColorPattern *pattern = nullptr;
    std::optional<UserPattern> userPattern;
};

/// The pattern asked for; false with the exit status when it cannot be had (after a message).
bool choosePattern(const PlayCommandLine &line, PlayPattern &chosen, int &status)
{
    const QCommandLineParser &parser = line.parser;
    if (bothPatternOptions(parser)) {
        status = 2;
        return false;
    }
    if (parser.isSet(line.frames))
        return true;
    if (parser.isSet(line.patternFile))
        return bool(chosen.userPattern = loadPatternFile(parser.value(line.patternFile), &status));
    return (chosen.pattern = findPattern(parser.value(line.patternOption), &status)) != nullptr;
}

/// Whether the target can drive that many LEDs (else false after a message); warns when
/// the current limit leaves them dark.
bool checkLedCount(const OutputSettings &settings, qsizetype ledCount)
{
    if (const QString problem = settings.problem(ledCount); !problem.isEmpty()) {
        fail(problem);
        return false;
    }
    const double idle = ledCount * settings.power.idleMilliampsPerLed;
    if (settings.limitMilliamps > 0 && settings.limitMilliamps <= idle)
        std::fprintf(stderr, "lumora-cli: warning: %g mA is no more than the %g mA the %lld LEDs draw when dark; "
                             "they stay dark\n", settings.limitMilliamps, idle, (long long)ledCount);
    return true;
}

/// The frames play sends, in order: frame i as LED bytes.
struct FrameSupply {
    std::function<QByteArray(qint64)> frameAt;
    bool reportedError = false; // a user pattern stopped on an error, said on stderr
};

/// A user pattern keeps state: its frames come in order, each after the time since the last
/// (or 200 ms, as in the export).
std::function<QByteArray(qint64)> userPatternFrames(const UserPattern &pattern, const FrameContext &layoutContext,
                                                    bool exportTime, bool &reportedError)
{
    auto source = std::make_shared<UserPatternColorSource>(pattern);
    auto clock = std::make_shared<QElapsedTimer>();
    return [source, clock, layoutContext, exportTime, &reportedError](qint64 i) {
        FrameContext context = layoutContext;
        context.frame = i;
        context.deltaMs = 200;
        if (!exportTime) {
            context.deltaMs = clock->isValid() ? double(clock->nsecsElapsed()) / 1e6 : 0;
            clock->start();
        } else if (i == 0) {
            context.deltaMs = 0;
        }
        QByteArray frame = source->bytes(context);
        if (const QString error = source->error(); !error.isEmpty() && !reportedError) {
            reportedError = true;
            std::fprintf(stderr, "%s\n", qPrintable(error));
        }
        return frame;
    };
}

std::function<QByteArray(qint64)> patternFrames(const ColorPattern &pattern, const FrameContext &layoutContext,
                                                bool exportTime)
{
    auto source = std::make_shared<PatternColorSource>(pattern);
    const PreviewClock previewClock;
    return [source, previewClock, layoutContext, exportTime](qint64 i) {
        FrameContext context = layoutContext;
        context.frame = i;
        context.time = exportTime ? 0.2 * i : previewClock.time();
        return source->bytes(context);
    };
}

/// The frames come from a colour source over the layout, at the preview's clock or, with
/// --time-base export, at the pattern PPM's row times; false after a message when there
/// are none.
bool makeFrames(FrameSupply &frames, const PlayPattern &chosen, const LayoutSnapshot &layout, bool exportTime,
                const QString &fileName)
{
    const FrameContext layoutContext = FrameContext::fromSnapshot(layout);
    if (chosen.userPattern) {
        frames.frameAt = userPatternFrames(*chosen.userPattern, layoutContext, exportTime, frames.reportedError);
    } else if (chosen.pattern) {
        frames.frameAt = patternFrames(*chosen.pattern, layoutContext, exportTime);
    } else {
        const QList<QByteArray> animation = animationFrames(layoutContext);
        if (animation.isEmpty()) {
            fail(QString("%1 has no frames in track 0 to play").arg(fileName));
            return false;
        }
        frames.frameAt = [animation](qint64 i) { return animation[i % animation.size()]; };
    }
    return true;
}

/// One run of sending: frames at the set rate until they are all out, a stop signal comes,
/// the pattern fails or the destination cannot be reached; then black unless kept.
class PlaySession
{
public:
    PlaySession(const PlayOptions &options, qsizetype ledCount, FrameSupply &frames)
        : m_options(options), m_ledCount(ledCount), m_frames(frames)
    {
    }
    /// Runs the event loop until finished; the exit status.
    int run();

private:
    void finish(int exitStatus);
    void reportProblem(const QString &message);
    void startSending();

    const PlayOptions &m_options;
    const qsizetype m_ledCount;
    FrameSupply &m_frames;
    LedSender m_sender;
    int m_status = 0;
    qint64 m_next = 0;
    bool m_finished = false;
    QString m_lastProblem;
};

void PlaySession::finish(int exitStatus)
{
    if (m_finished)
        return;
    m_finished = true;
    m_status = exitStatus;
    m_sender.stop();
    const quint64 sent = m_sender.framesSent(), packets = m_sender.packetsSent();
    // Frames were due but none went out: that is a failure, whatever stopped the play.
    if (m_status == 0 && sent == 0 && m_next > 0) {
        m_status = 1;
        fail(QString("no frame could be sent to %1: %2")
                 .arg(outputTarget(m_sender.settings()),
                      m_lastProblem.isEmpty() ? QString("every send failed") : m_lastProblem));
    }
    const bool blank = !m_options.keep && m_sender.isReady();
    if (blank)
        m_sender.sendFrame(QByteArray(3 * m_ledCount, '\0'));
    std::printf("sent %llu frame%s in %llu packets to %s%s\n", (unsigned long long)sent, sent == 1 ? "" : "s",
                (unsigned long long)packets, qPrintable(outputTarget(m_sender.settings())),
                blank ? ", then black" : "");
    QCoreApplication::exit(m_status);
}

void PlaySession::reportProblem(const QString &message)
{
    m_lastProblem = message;
    // Without a destination there is nothing to do; a failed write is worth a line only.
    if (!m_sender.isReady()) {
        fail(message);
        finish(1);
    } else {
        std::fprintf(stderr, "lumora-cli: warning: %s\n", qPrintable(message));
    }
}

void PlaySession::startSending()
{
    const qint64 total = m_options.total;
    if (total == 0) {
        finish(0);
        return;
    }
    m_sender.start([this, total] {
        const QByteArray frame = m_frames.frameAt(m_next++);
        // Finish once this last frame has gone out, whether or not it could be written.
        if (total >= 0 && m_next >= total)
            QMetaObject::invokeMethod(&m_sender, [this] { finish(0); }, Qt::QueuedConnection);
        return frame;
    });
}

int PlaySession::run()
{
    QObject::connect(&m_sender, &LedSender::errorOccurred, [this](const QString &message) { reportProblem(message); });
    QObject::connect(&m_sender, &LedSender::ready, [this] { startSending(); });

    stopRequested = 0;
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    QTimer stopWatch;
    QObject::connect(&stopWatch, &QTimer::timeout, [this] {
        if (stopRequested)
            finish(0);
        else if (m_frames.reportedError)
            finish(1); // the pattern stopped on an error, said above
    });
    stopWatch.start(50);

    // Once the loop runs, so that an early error can end it.
    QTimer::singleShot(0, &m_sender, [this] { m_sender.setSettings(m_options.settings); });
    QCoreApplication::exec();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    return m_status;
}

} // namespace

int runPlay(const QStringList &arguments)
{
    PlayCommandLine line;
    if (!parse(line.parser, arguments, 1))
        return 2;
    const std::optional<PlayOptions> options = readPlayOptions(line);
    if (!options)
        return 2;
    PlayPattern chosen;
    int status = 0;
    if (!choosePattern(line, chosen, status))
        return status;
    const QString fileName = line.parser.positionalArguments()[0];
    const std::optional<LayoutSnapshot> layout = loadLayout(fileName);
    if (!layout)
        return 1;
    const qsizetype ledCount = layout->points().size();
    if (!checkLedCount(options->settings, ledCount))
        return 2;
    FrameSupply frames;
    if (!makeFrames(frames, chosen, *layout, options->exportTime, fileName))
        return 1;
    return PlaySession(*options, ledCount, frames).run();
}

} // namespace lumora::cli
