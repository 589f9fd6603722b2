#include "output/InstallationId.h"
#include "output/OutputTarget.h"
#include "output/PacketEncoder.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace lumora;

TEST(OutputTarget, ReadsEachProtocolsTarget)
{
    const struct {
        const char *target;
        OutputProtocol protocol;
        const char *host;
        int port, universe;
        quint32 offset;
    } cases[] = {
        {"ddp://127.0.0.1", OutputProtocol::Ddp, "127.0.0.1", 4048, 0, 0},
        {"ddp://leds.local:4049?offset=30", OutputProtocol::Ddp, "leds.local", 4049, 0, 30},
        {"e131://127.0.0.1?universe=5", OutputProtocol::E131, "127.0.0.1", 5568, 5, 0},
        {"e131://", OutputProtocol::E131, "", 5568, 1, 0},
        {"e131://?universe=63999", OutputProtocol::E131, "", 5568, 63999, 0},
        {"artnet://[::1]:6455", OutputProtocol::ArtNet, "::1", 6455, 0, 0},
        {"ARTNET://10.0.0.2?universe=32767", OutputProtocol::ArtNet, "10.0.0.2", 6454, 32767, 0},
    };
    for (const auto &c : cases) {
        OutputSettings s;
        s.brightness = 40;
        QString error;
        ASSERT_TRUE(parseOutputTarget(c.target, s, &error)) << c.target << ": " << qPrintable(error);
        EXPECT_EQ(s.protocol, c.protocol) << c.target;
        EXPECT_EQ(s.host, c.host) << c.target;
        EXPECT_EQ(s.effectivePort(), c.port) << c.target;
        EXPECT_EQ(s.universe, c.universe) << c.target;
        EXPECT_EQ(s.offset, c.offset) << c.target;
        EXPECT_EQ(s.brightness, 40) << "the rest of the settings stays";
        EXPECT_EQ(s.isMulticast(), QString(c.host).isEmpty());
        // The written target reads back the same.
        OutputSettings again;
        ASSERT_TRUE(parseOutputTarget(outputTarget(s), again)) << qPrintable(outputTarget(s));
        EXPECT_EQ(again.host, s.host);
        EXPECT_EQ(again.universe, s.universe);
    }
}

TEST(OutputTarget, RefusesWhatItCannotSendTo)
{
    for (const char *target : {"", "udp://127.0.0.1", "ddp://", "artnet://", "ddp://127.0.0.1:70000",
                               "e131://127.0.0.1?universe=0", "e131://127.0.0.1?universe=64000",
                               "artnet://127.0.0.1?universe=32768", "ddp://127.0.0.1?universe=2",
                               "ddp://127.0.0.1/path", "ddp://127.0.0.1?offset=-1", "e131://h?universe=x"}) {
        OutputSettings s;
        QString error;
        EXPECT_FALSE(parseOutputTarget(target, s, &error)) << target;
        EXPECT_FALSE(error.isEmpty()) << target;
        EXPECT_EQ(s, OutputSettings()) << "a refused target changes nothing: " << target;
    }
}

TEST(OutputSettings, KeptPerDocumentAndBroughtIntoRange)
{
    QTemporaryDir dir;
    QSettings store(dir.filePath("settings.ini"), QSettings::IniFormat);
    OutputSettings a;
    a.protocol = OutputProtocol::ArtNet;
    a.host = "10.1.2.3";
    a.universe = 9;
    a.order = ColorOrder::GRB;
    a.brightness = 35;
    a.gamma = 2.4;
    a.limitMilliamps = 2500;
    a.framesPerSecond = 40;
    a.save(store, "/shows/a.lumora");
    EXPECT_EQ(OutputSettings::load(store, "/shows/a.lumora"), a);
    EXPECT_EQ(OutputSettings::load(store, "/shows/b.lumora"), OutputSettings()) << "each document has its own";

    store.beginGroup("output/" + QString(QUrl::toPercentEncoding("/shows/a.lumora")));
    store.setValue("brightness", 400);
    store.setValue("gamma", 0.1);
    store.setValue("framesPerSecond", 0);
    store.setValue("order", "XYZ");
    store.endGroup();
    const OutputSettings edited = OutputSettings::load(store, "/shows/a.lumora");
    EXPECT_EQ(edited.brightness, 100);
    EXPECT_EQ(edited.gamma, 1.0);
    EXPECT_EQ(edited.framesPerSecond, 1.0);
    EXPECT_EQ(edited.order, ColorOrder::RGB);
}

TEST(OutputSettings, CidIsMadeOnceAndKept)
{
    QTemporaryDir dir;
    QSettings store(dir.filePath("settings.ini"), QSettings::IniFormat);
    const QUuid first = installationCid(store);
    EXPECT_FALSE(first.isNull());
    EXPECT_EQ(installationCid(store), first);
    QSettings reopened(dir.filePath("settings.ini"), QSettings::IniFormat);
    EXPECT_EQ(installationCid(reopened), first);
}

// The protocol table says where each protocol's universes end; the settings' check, the
// URL reader and the encoder must all stop there, not one short or one past.
TEST(OutputProtocols, TheLastUniverseIsWhereSettingsTargetsAndPacketsAllStop)
{
    for (const ProtocolDescriptor &info : outputProtocols()) {
        SCOPED_TRACE(info.name);
        EXPECT_EQ(protocolFromName(QString(info.name).toUpper()), info.protocol);
        OutputSettings s;
        s.protocol = info.protocol;
        s.host = "10.0.0.7";
        if (!info.hasUniverses()) {
            s.offset = 4294967295u - 3 * 100 + 1;
            EXPECT_TRUE(s.problem(99).isEmpty());
            EXPECT_FALSE(s.problem(100).isEmpty()) << "past the 32-bit offsets";
            continue;
        }
        s.universe = info.highestUniverse - 1;
        const qsizetype twoUniverses = 2 * info.ledsPerUniverse();
        EXPECT_TRUE(s.problem(twoUniverses).isEmpty());
        EXPECT_TRUE(s.problem(twoUniverses + 1).contains(info.shortTitle));

        OutputSettings read;
        ASSERT_TRUE(parseOutputTarget(outputTarget(s), read));
        EXPECT_EQ(read.universe, s.universe);
        EXPECT_FALSE(parseOutputTarget(QString("%1://h?universe=%2").arg(info.name).arg(info.highestUniverse + 1), read));
        EXPECT_FALSE(parseOutputTarget(QString("%1://h?universe=%2").arg(info.name).arg(info.lowestUniverse - 1), read));

        // One LED more than fits: it is left out rather than sent to a universe past the last.
        const auto packets = makePacketEncoder(s, QUuid::createUuid())->encode(QByteArray(3 * (twoUniverses + 1), '\1'));
        ASSERT_EQ(packets.size(), 2);
        EXPECT_EQ(packets[0].universe, info.highestUniverse - 1);
        EXPECT_EQ(packets[1].universe, info.highestUniverse);
    }
}
