// Live output: preparing, splitting and sending one 2,000-LED frame in each protocol, and a
// whole output frame (pattern evaluated at the LEDs, then sent) against the 33 ms of 30 fps.
#include "colors/PatternRender.h"
#include "output/LedSender.h"
#include "patterns/catalogue/Catalogue.h"

#include <QCoreApplication>
#include <QUdpSocket>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace lumora;

namespace {

constexpr int leds = 2000;

QCoreApplication &application()
{
    static int argc = 1;
    static char name[] = "output_benchmark";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

/// A sender to a receiving socket on 127.0.0.1 (which never reads: the kernel drops what
/// overflows, so the sender's cost is all that is measured).
struct Loopback {
    QUdpSocket receiver;
    LedSender sender;

    explicit Loopback(OutputProtocol protocol)
    {
        receiver.bind(QHostAddress::LocalHost, 0);
        OutputSettings settings;
        settings.protocol = protocol;
        settings.host = "127.0.0.1";
        settings.port = receiver.localPort();
        // Every stage of the colour preparation at work.
        settings.order = ColorOrder::GRB;
        settings.brightness = 80;
        settings.gamma = 2.2;
        settings.limitMilliamps = 20000;
        sender.setCid(QUuid::createUuid());
        sender.setSettings(settings);
    }
};

QList<QPointF> gridLeds()
{
    QList<QPointF> points;
    const int side = int(std::ceil(std::sqrt(double(leds))));
    for (int i = 0; i < leds; ++i)
        points.append(QPointF(i % side - side / 2.0, i / side - side / 2.0));
    return points;
}

/// Argument: the protocol. Items: LEDs sent.
void sendFrame(benchmark::State &state)
{
    application();
    Loopback loopback{OutputProtocol(state.range(0))};
    QByteArray frame(3 * leds, '\0');
    for (qsizetype i = 0; i < frame.size(); ++i)
        frame[i] = char(i * 13);
    for (auto _ : state)
        loopback.sender.sendFrame(frame);
    state.SetItemsProcessed(state.iterations() * leds);
    state.SetLabel(protocolName(OutputProtocol(state.range(0))).toStdString());
}

/// The headless player's frame: the pattern at the LEDs (one core), then sent by DDP.
void renderAndSend(benchmark::State &state, const char *patternName)
{
    application();
    static const PatternRegistry patterns = builtInPatterns();
    const ColorPattern *pattern = patterns.named(patternName);
    if (!pattern) {
        state.SkipWithError("no such pattern");
        return;
    }
    Loopback loopback{OutputProtocol::Ddp};
    const QList<QPointF> points = gridLeds();
    int i = 0;
    for (auto _ : state)
        loopback.sender.sendFrame(renderPatternFrame(points, *pattern, 0.2 * i++));
    state.SetItemsProcessed(state.iterations() * leds);
}

} // namespace

BENCHMARK(sendFrame)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(renderAndSend, Rings, "Rings")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(renderAndSend, Floating, "Floating")->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
