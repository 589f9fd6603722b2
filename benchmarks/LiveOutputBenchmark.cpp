// The editor's frame with Send to LEDs on at 2,000 LEDs: one preview tick (the pattern for
// every LED), the LEDs' colours taken as bytes and sent as DDP or E1.31 datagrams to a
// receiver on the loopback interface, with and without painting the layout. A frame has
// 33 ms at 30 frames per second.
#include "app/LiveOutput.h"
#include "PreviewLayout.h"
#include "output/LedSender.h"
#include "patterns/catalogue/Catalogue.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QUdpSocket>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace lumora;

namespace {

struct LiveLayout : PreviewLayout {
    QUdpSocket receiver;
    LedSender sender;

    LiveLayout(int leds, OutputProtocol protocol)
        : PreviewLayout(leds)
    {
        receiver.bind(QHostAddress::LocalHost, 0);
        OutputSettings settings;
        settings.protocol = protocol;
        settings.host = "127.0.0.1";
        settings.port = receiver.localPort();
        settings.universe = describe(protocol).firstUniverse;
        sender.setSettings(settings);
        QCoreApplication::processEvents();
    }
    void sendFrame()
    {
        sender.sendFrame(view.ledBytes());
        // What a controller would take off the wire, so the socket's buffer never fills.
        while (receiver.hasPendingDatagrams())
            receiver.readDatagram(nullptr, 0);
    }
};

void tickAndSend(benchmark::State &state, const ColorPattern *pattern, OutputProtocol protocol, bool paint)
{
    LiveLayout layout(int(state.range(0)), protocol);
    layout.view.setPatternSource([pattern] { return pattern; });
    QImage frame(1024, 768, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        layout.view.tick();
        if (paint) {
            QPainter painter(&frame);
            layout.view.render(&painter);
        }
        layout.sendFrame();
    }
    state.counters["framesSent"] = double(layout.sender.framesSent());
    state.counters["packets/frame"] = double(layout.sender.packetsSent()) / std::max<double>(1, layout.sender.framesSent());
    state.SetItemsProcessed(state.iterations());
}

/// The send alone: colours to bytes, levels, packets, datagrams.
void sendOnly(benchmark::State &state, const ColorPattern *pattern, OutputProtocol protocol)
{
    LiveLayout layout(int(state.range(0)), protocol);
    layout.view.setPatternSource([pattern] { return pattern; });
    layout.view.tick();
    for (auto _ : state)
        layout.sendFrame();
    state.SetItemsProcessed(state.iterations());
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const PatternRegistry patterns = builtInPatterns();
    const ColorPattern *first = patterns.at(0);
    const ColorPattern *named = patterns.named(LUMORA_HEAVIEST_PATTERN);
    const ColorPattern *heaviest = named ? named : first;
    for (const ColorPattern *pattern : {first, heaviest}) {
        const std::string name = pattern->name();
        benchmark::RegisterBenchmark(("tickSend/ddp/" + name).c_str(), tickAndSend, pattern, OutputProtocol::Ddp, false)
            ->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark(("tickPaintSend/ddp/" + name).c_str(), tickAndSend, pattern, OutputProtocol::Ddp, true)
            ->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();
        benchmark::RegisterBenchmark(("tickPaintSend/e131/" + name).c_str(), tickAndSend, pattern, OutputProtocol::E131, true)
            ->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();
    }
    benchmark::RegisterBenchmark("send/ddp", sendOnly, first, OutputProtocol::Ddp)->Arg(2000)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::RegisterBenchmark("send/e131", sendOnly, first, OutputProtocol::E131)->Arg(2000)->Unit(benchmark::kMicrosecond)->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
